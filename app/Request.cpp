// Request decoding and field extraction.
#include "app/Request.h"

#include "platform/Cp1254.h"

namespace zentavo {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Replaces every non-overlapping occurrence of `pattern`, matching both sides
// upper-cased by the code page, and continues behind each match.
std::string ReplaceIgnoringCase(std::string_view text, std::string_view pattern,
                                std::string_view replacement) {
  const std::string upperText = cp1254::UpperCase(text);
  const std::string upperPattern = cp1254::UpperCase(pattern);
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    if (upperText.compare(i, upperPattern.size(), upperPattern) == 0) {
      out += replacement;
      i += pattern.size();
    } else {
      out += text[i++];
    }
  }
  return out;
}

struct Translation {
  const char* from;
  const char* to;
};

// Order matters: it is the order the caller's decoder has always used.
constexpr Translation kTurkishLetters[] = {
    {"\xC4\xB1", "\xFD"},  // ı
    {"\xC4\xB0", "\xDD"},  // İ
    {"\xC3\xB6", "\xF6"},  // ö
    {"\xC3\x96", "\xD6"},  // Ö
    {"\xC3\xBC", "\xFC"},  // ü
    {"\xC3\x9C", "\xDC"},  // Ü
    {"\xC5\x9F", "\xFE"},  // ş
    {"\xC5\x9E", "\xDE"},  // Ş
    {"\xC4\x9F", "\xF0"},  // ğ
    {"\xC4\x9E", "\xD0"},  // Ğ
    {"\xC3\xA7", "\xE7"},  // ç
    {"\xC3\x87", "\xC7"},  // Ç
    {"\t", "_"},
};

std::string ReplaceAll(std::string_view text, char from, char to) {
  std::string out(text);
  for (char& c : out)
    if (c == from) c = to;
  return out;
}

}  // namespace

std::string PercentDecode(std::string_view input) {
  const std::string text = ReplaceAll(input, '+', ' ');
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '%') {
      out += text[i++];
      continue;
    }
    std::size_t digits = std::min<std::size_t>(2, text.size() - i - 1);
    int value = digits == 0 ? -1 : 0;
    for (std::size_t d = 1; d <= digits; ++d) {
      int h = HexValue(text[i + d]);
      if (h < 0) {
        value = -1;
        break;
      }
      value = value * 16 + h;
    }
    if (value >= 1 && value <= 255) out += static_cast<char>(value);
    i += 1 + digits;
  }
  return out;
}

std::string DeCodeSTR(std::string_view text) {
  std::string out(text);
  for (const Translation& t : kTurkishLetters) out = ReplaceIgnoringCase(out, t.from, t.to);
  return out;
}

std::string DecodeRemainingUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    auto ch = cp1254::DecodeUtf8(text);
    if (ch && ch->length > 1) {
      if (auto byte = cp1254::FromUnicode(ch->codePoint)) {
        out += static_cast<char>(*byte);
        text.remove_prefix(ch->length);
        continue;
      }
    }
    out += text.front();
    text.remove_prefix(1);
  }
  return out;
}

std::string DecodeRequest(std::string_view argument) {
  std::string text = ReplaceIgnoringCase(argument, "%7C", "|");
  text = PercentDecode(text);
  text = DeCodeSTR(text);
  text = DecodeRemainingUtf8(text);
  return ReplaceAll(text, '^', ' ');
}

int GetStrIndex(std::string_view text, std::string_view separator, int n) {
  if (n <= 0 || separator.empty()) return 0;
  // Each search resumes one character behind the previous match, so matches
  // of a longer separator may overlap, as the field layout has always allowed.
  std::size_t start = 0;
  for (int count = 0; count < n; ++count) {
    std::size_t found = text.find(separator, start);
    if (found == std::string_view::npos) return 0;
    start = found + 1;
  }
  return static_cast<int>(start);
}

std::string GetFindStrAstm(std::string_view text, std::string_view startSeparator,
                           std::string_view endSeparator, int startN, int endN) {
  const int i = GetStrIndex(text, startSeparator, startN);
  const int j = GetStrIndex(text, endSeparator, endN);
  if (i == 0 || j == 0 || j <= i) return {};
  return std::string(text.substr(static_cast<std::size_t>(i), static_cast<std::size_t>(j - i - 1)));
}

std::string RequestField(std::string_view text, char separator, int k) {
  const std::string_view sep(&separator, 1);
  return GetFindStrAstm(text, sep, sep, k, k + 1);
}

int RequestFieldCount(std::string_view text, char separator) {
  int separators = 0;
  for (char c : text)
    if (c == separator) ++separators;
  return separators > 0 ? separators - 1 : 0;
}

std::vector<std::string> RequestFields(std::string_view text, char separator) {
  // Field k lies between the k-th and the (k+1)-th separator: cutting at
  // every separator once gives them all, where asking for each in turn
  // searches the text from its start every time.
  std::vector<std::string> fields;
  std::size_t start = text.find(separator);
  while (start != std::string_view::npos) {
    const std::size_t end = text.find(separator, start + 1);
    if (end == std::string_view::npos) break;
    fields.emplace_back(text.substr(start + 1, end - start - 1));
    start = end;
  }
  return fields;
}

}  // namespace zentavo
