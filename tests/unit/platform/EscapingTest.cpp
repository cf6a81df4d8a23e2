// Text shown on terminals, written to logs and given to spoolers: control
// characters are shown, never sent.
#include <gtest/gtest.h>

#include <string>

#include "platform/Escaping.h"

namespace zentavo {
namespace {

TEST(Escaping, ControlCharactersAreShown) {
  struct Row {
    std::string text, escaped, byLine, title;
    const char* why;
  };
  const Row rows[] = {
      {"Ali Veli", "Ali Veli", "Ali Veli", "Ali Veli", "plain text passes"},
      {"Şükrü Işık", "Şükrü Işık", "Şükrü Işık", "Şükrü Işık", "UTF-8 letters pass"},
      {"\x1B]0;owned\x07", "\\x1B]0;owned\\x07", "\\x1B]0;owned\\x07", " ]0;owned ",
       "a terminal title sequence and its BEL"},
      {"\x1B[2J\x1B[H", "\\x1B[2J\\x1B[H", "\\x1B[2J\\x1B[H", " [2J [H", "clear screen"},
      {"a\nforged", "a\\x0Aforged", "a\nforged", "a forged", "a line break: escaped, kept by line, a space"},
      {"a\r\nb\tc", "a\\x0D\\x0Ab\\x09c", "a\\x0D\nb\\x09c", "a b c", "CR, LF and tab; a run is one space"},
      {"x\x7Fy", "x\\x7Fy", "x\\x7Fy", "x y", "DEL"},
      {"\xC2\x9B" "31m", "\\u009B31m", "\\u009B31m", " 31m", "the C1 control CSI in UTF-8"},
      {"\xC2\xA0\xC2\x80", "\xC2\xA0\\u0080", "\xC2\xA0\\u0080", "\xC2\xA0 ", "no-break space stays, U+0080 does not"},
      {std::string("a\0b", 3), "a\\x00b", "a\\x00b", "a b", "a zero byte"},
      {"\xDE\xFD", "\xDE\xFD", "\xDE\xFD", "\xDE\xFD", "single-byte Turkish letters pass as they are"},
      {"", "", "", "", "empty"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    EXPECT_EQ(EscapeControls(r.text), r.escaped);
    EXPECT_EQ(EscapeControlsByLine(r.text), r.byLine);
    EXPECT_EQ(SingleLineTitle(r.text), r.title);
  }
}

TEST(Escaping, CutsAtCharacters) {
  struct Row {
    std::string text;
    std::size_t bytes;
    std::string prefix, suffix;
    const char* why;
  };
  const Row rows[] = {
      {"abcdef", 3, "abc", "def", "ASCII cuts anywhere"},
      {"aŞb", 2, "a", "Şb", "a cut inside Ş moves before it"},
      {"aŞb", 3, "aŞ", "Şb", "a cut after Ş"},
      {"ab", 5, "ab", "ab", "short text whole"},
      {"€€", 4, "€", "€€", "three-byte characters"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    EXPECT_EQ(Utf8Prefix(r.text, r.bytes), r.prefix);
    EXPECT_EQ(Utf8Suffix(r.text, r.bytes), r.suffix);
  }
}

}  // namespace
}  // namespace zentavo
