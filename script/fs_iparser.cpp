// TfsParser: white space and comments, words, numbers, strings, report
// expressions in angle brackets, and line:col positions.
#include "script/fs_iparser.h"

#include <algorithm>

#include "platform/Cp1254.h"

namespace zentavo {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return c - 'A' + 10;
}
bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

// "begin,end" into its two markers.
std::pair<std::string_view, std::string_view> SplitBlock(std::string_view pair) {
  std::size_t comma = pair.find(',');
  if (comma == std::string_view::npos) return {pair, {}};
  return {pair.substr(0, comma), pair.substr(comma + 1)};
}

}  // namespace

void TfsParser::Reset() {
  CommentLine1 = "//";
  CommentLine2.clear();
  CommentBlock1 = "{,}";
  CommentBlock2 = "(*,*)";
  HexSequence = "$";
  StringQuotes = "'";
  SkipChar.clear();
  SkipEOL = true;
  CaseSensitive = false;
  keywords_.clear();
  keywordsLower_.clear();
  SetIdentChars("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz");
}

void TfsParser::SetIdentChars(std::string_view chars) {
  identChars_.fill(false);
  for (char c : chars) identChars_[static_cast<unsigned char>(c)] = true;
}

void TfsParser::AddKeyword(std::string_view word) {
  keywords_.insert(std::string(word));
  keywordsLower_.insert(cp1254::LowerCase(word));
}

bool TfsParser::IsKeyword(std::string_view word) const {
  if (CaseSensitive) return keywords_.count(std::string(word)) != 0;
  return keywordsLower_.count(cp1254::LowerCase(word)) != 0;
}

void TfsParser::SetText(std::string_view text) {
  text_.assign(text);
  size_ = static_cast<int>(text.size());
  text_.push_back('\0');
  position_ = lastPosition_ = 1;
  lines_.assign(1, 0);
  for (int i = 0; i < size_; ++i)
    if (text_[static_cast<std::size_t>(i)] == '\n') lines_.push_back(i + 1);
}

bool TfsParser::StartsWith(int position, std::string_view marker) const {
  if (marker.empty() || position < 1 || At(position) != marker[0]) return false;
  if (position - 1 + static_cast<int>(marker.size()) > size_) return false;
  return std::string_view(text_).substr(static_cast<std::size_t>(position - 1), marker.size()) ==
         marker;
}

void TfsParser::SkipSpaces() {
  // A continuation character is followed by a line end; counting them instead
  // of recursing keeps a run of thousands of them off the stack.
  int pendingEOL = 0;
  for (;;) {
    while (position_ <= size_) {
      auto c = static_cast<unsigned char>(At(position_));
      if (c > 32) break;
      // Where line ends matter (SkipEOL off) neither CR nor LF is white space,
      // so LF-only text keeps its line ends and a trailing comment leaves the
      // line end behind it for the statement.
      if (!SkipEOL && IsLineEnd(static_cast<char>(c))) break;
      ++position_;
    }
    if (position_ <= size_ && !SkipChar.empty() && At(position_) == SkipChar[0]) {
      ++position_;
      ++pendingEOL;
      continue;
    }
    if (position_ < size_) {
      if (StartsWith(position_, CommentLine1) || StartsWith(position_, CommentLine2)) {
        while (position_ <= size_ && At(position_) != '\n') ++position_;
        continue;
      }
      auto block = SplitBlock(CommentBlock1);
      if (!StartsWith(position_, block.first)) block = SplitBlock(CommentBlock2);
      if (StartsWith(position_, block.first)) {
        // Shipped pairs have markers of equal length; we step over the end
        // marker's length first, as the languages always have.
        position_ += static_cast<int>(block.second.size());
        while (position_ <= size_ && !StartsWith(position_, block.second)) ++position_;
        position_ = std::min(position_ + static_cast<int>(block.second.size()), size_ + 1);
        continue;
      }
    }
    if (pendingEOL > 0) {
      --pendingEOL;
      while (position_ <= size_ && IsLineEnd(At(position_))) ++position_;
      continue;
    }
    break;
  }
  lastPosition_ = position_;
}

bool TfsParser::GetEOL() {
  SkipSpaces();
  // Where line ends matter, the end of the text ends the last line too, so a
  // file without a final line break parses like one with it.
  if (position_ > size_) return !SkipEOL;
  if (!IsLineEnd(At(position_))) return false;
  while (position_ <= size_ && IsLineEnd(At(position_))) ++position_;
  return true;
}

std::string TfsParser::GetWord() {
  SkipSpaces();
  char c = At(position_);
  if (position_ > size_ || !IsIdentChar(c) || IsDigit(c)) return {};
  while (position_ <= size_ && IsIdentChar(At(position_))) ++position_;
  return text_.substr(static_cast<std::size_t>(lastPosition_ - 1),
                      static_cast<std::size_t>(position_ - lastPosition_));
}

std::string TfsParser::GetIdent() {
  std::string word = GetWord();
  if (!word.empty() && IsKeyword(word)) return {};
  return word;
}

std::string TfsParser::GetChar() {
  if (position_ > size_) return {};
  auto c = static_cast<unsigned char>(At(position_));
  if ((c >= 33 && c <= 47) || (c >= 58 && c <= 64) || (c >= 91 && c <= 96) ||
      (c >= 123 && c <= 126)) {
    ++position_;
    return std::string(1, static_cast<char>(c));
  }
  return {};
}

bool TfsParser::ReadInteger() {
  int start = position_;
  bool hex = StartsWith(position_, HexSequence);
  if (hex) position_ += static_cast<int>(HexSequence.size());
  int digitsStart = position_;
  while (position_ <= size_ && (hex ? IsHexDigit(At(position_)) : IsDigit(At(position_))))
    ++position_;
  if (position_ == digitsStart) {
    position_ = start;
    return false;
  }
  return true;
}

std::string TfsParser::GetNumber() {
  SkipSpaces();
  int start = position_;
  if (!ReadInteger()) {
    position_ = start;
    return {};
  }
  // A "." must be followed by digits, so "1..5" reads as 1 and the range dots.
  if (At(position_) == '.' && IsDigit(At(position_ + 1))) {
    position_ += 1;
    while (position_ <= size_ && IsDigit(At(position_))) ++position_;
  }
  if (At(position_) == 'e' || At(position_) == 'E') {
    int p = position_ + 1;
    if (At(p) == '+' || At(p) == '-') ++p;
    if (IsDigit(At(p))) {
      while (p <= size_ && IsDigit(At(p))) ++p;
      position_ = p;
    }
  }
  std::string result = text_.substr(static_cast<std::size_t>(start - 1),
                                    static_cast<std::size_t>(position_ - start));
  if (HexSequence != "$" && !HexSequence.empty()) {
    std::string replaced;
    for (std::size_t i = 0; i < result.size();) {
      if (result.compare(i, HexSequence.size(), HexSequence) == 0) {
        replaced += '$';
        i += HexSequence.size();
      } else {
        replaced += result[i++];
      }
    }
    result = std::move(replaced);
  }
  return result;
}

bool TfsParser::ReadQuotedPart(std::string& out) {
  char quote = StringQuotes.empty() ? '\'' : StringQuotes[0];
  if (position_ > size_ || At(position_) != quote) return false;
  bool cStyle = quote == '"';
  int open = position_;
  std::string part;
  int p = position_ + 1;
  for (;;) {
    if (p > size_) break;
    char c = At(p);
    auto u = static_cast<unsigned char>(c);
    if (u < 32 && c != '\t') break;
    if (cStyle && c == '\\') {
      char n = At(p + 1);
      auto nu = static_cast<unsigned char>(n);
      if (p + 1 > size_ || (nu < 32 && n != '\t')) break;
      if (n == 'n' || n == 'N') {
        part += '\n';
        p += 2;
      } else if (n == 'r') {
        part += '\r';
        p += 2;
      } else if (n == 'x') {
        p += 2;
        unsigned code = 0;
        bool any = false;
        while (p <= size_ && IsHexDigit(At(p))) {
          code = (code * 16 + static_cast<unsigned>(HexValue(At(p)))) & 0xFFu;
          any = true;
          ++p;
        }
        if (any) part += static_cast<char>(code);
      } else {
        part += n;  // unknown escapes give the character itself: \t is "t"
        p += 2;
      }
      continue;
    }
    if (c == quote) {
      if (!cStyle && At(p + 1) == quote && p + 1 <= size_) {
        part += quote;
        p += 2;
        continue;
      }
      out += part;
      position_ = p + 1;
      return true;
    }
    part += c;
    ++p;
  }
  position_ = open;  // unterminated: no string here
  return false;
}

bool TfsParser::ReadCharCode(std::string& out) {
  if (position_ > size_ || At(position_) != '#') return false;
  int start = position_;
  ++position_;
  bool hex = StartsWith(position_, HexSequence);
  if (hex) position_ += static_cast<int>(HexSequence.size());
  unsigned code = 0;
  bool any = false;
  while (position_ <= size_ && (hex ? IsHexDigit(At(position_)) : IsDigit(At(position_)))) {
    // Only the low 8 bits of the code count; the arithmetic stays in range.
    code = (code * (hex ? 16u : 10u) + static_cast<unsigned>(HexValue(At(position_)))) & 0xFFu;
    any = true;
    ++position_;
  }
  if (!any) {
    position_ = start;
    return false;
  }
  out += static_cast<char>(code);
  return true;
}

std::string TfsParser::GetString() {
  SkipSpaces();
  std::string value;
  bool any = false;
  while (ReadQuotedPart(value) || ReadCharCode(value)) any = true;
  if (!any) return {};
  return "'" + value + "'";
}

std::string TfsParser::GetFRString() {
  int start = position_;
  int depth = 1;
  bool inDouble = false, inSingle = false;
  while (position_ <= size_ + 1) {
    char c = At(position_);
    if (c == '"' && !inSingle) {
      inDouble = !inDouble;
    } else if (c == '\'' && !inDouble) {
      inSingle = !inSingle;
    } else if (!inDouble && !inSingle) {
      if (c == '<' || c == '[') ++depth;
      if (c == '>' || c == ']') --depth;
      if (depth == 0) break;
    }
    ++position_;
  }
  position_ = std::min(position_, size_ + 1);
  return text_.substr(static_cast<std::size_t>(start - 1),
                      static_cast<std::size_t>(std::max(0, position_ - start)));
}

std::string TfsParser::XYPosition(int position) const {
  // Lines: entries below the position (a line feed belongs to the line it ends).
  position = std::max(position, 1);
  auto it = std::lower_bound(lines_.begin(), lines_.end(), position);
  int line = static_cast<int>(it - lines_.begin());
  int column = position - *(it - 1);
  return std::to_string(line) + ":" + std::to_string(column);
}

int TfsParser::GetPositionFromXY(int column, int line) const {
  if (line < 1 || line > static_cast<int>(lines_.size())) return -1;
  return lines_[static_cast<std::size_t>(line - 1)] + column;
}

}  // namespace zentavo
