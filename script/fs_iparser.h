// TfsParser: the lexer the grammar walk reads tokens with. Its settings
// (comments, quotes, hex prefix, keywords...) come from a grammar document.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace zentavo {

class TfsParser {
 public:
  TfsParser() { Reset(); }

  std::string CommentLine1, CommentLine2;
  std::string CommentBlock1, CommentBlock2;  // "begin,end"
  std::string HexSequence;
  std::string StringQuotes;
  std::string SkipChar;
  bool SkipEOL = true;
  bool CaseSensitive = false;

  void Reset();
  void SetText(std::string_view text);
  const std::string& Text() const { return text_; }  // with the 0 sentinel
  int Size() const { return size_; }

  int Position() const { return position_; }
  void SetPosition(int position) { position_ = lastPosition_ = position; }
  int LastPosition() const { return lastPosition_; }

  void SkipSpaces();
  bool GetEOL();
  std::string GetWord();
  std::string GetIdent();
  std::string GetChar();
  std::string GetNumber();
  std::string GetString();
  std::string GetFRString();

  void AddKeyword(std::string_view word);
  bool IsKeyword(std::string_view word) const;
  void SetIdentChars(std::string_view chars);
  void AddIdentChar(unsigned char c) { identChars_[c] = true; }

  // "line:col" of the current position, or of any position.
  std::string GetXYPosition() const { return XYPosition(position_); }
  std::string XYPosition(int position) const;
  // Character position of a column and line, or -1 for a line outside the text.
  int GetPositionFromXY(int column, int line) const;

 private:
  char At(int position) const {
    return position >= 1 && position <= size_ ? text_[static_cast<std::size_t>(position - 1)] : '\0';
  }
  bool StartsWith(int position, std::string_view marker) const;
  bool IsIdentChar(char c) const { return identChars_[static_cast<unsigned char>(c)]; }
  bool ReadInteger();
  bool ReadQuotedPart(std::string& out);
  bool ReadCharCode(std::string& out);

  std::string text_;
  int size_ = 0;
  int position_ = 1;
  int lastPosition_ = 1;
  std::vector<int> lines_;
  std::array<bool, 256> identChars_{};
  std::unordered_set<std::string> keywords_;       // as written, for exact look-up
  std::unordered_set<std::string> keywordsLower_;  // lowered, for look-up ignoring case
};

}  // namespace zentavo
