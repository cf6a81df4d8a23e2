// Windows-1254 tables: the bytes the request and the labels depend on.
#include "platform/Cp1254.h"

#include <gtest/gtest.h>

namespace zentavo::cp1254 {
namespace {

TEST(Cp1254, TurkishLettersMapBothWays) {
  struct Row {
    unsigned char byte;
    char32_t cp;
    const char* why;
  };
  const Row rows[] = {
      {0xFD, 0x0131, "dotless small i"},   {0xDD, 0x0130, "capital I with dot"},
      {0xFE, 0x015F, "s cedilla"},         {0xDE, 0x015E, "capital S cedilla"},
      {0xF0, 0x011F, "g breve"},           {0xD0, 0x011E, "capital G breve"},
      {0xE7, 0x00E7, "c cedilla (Latin-1)"}, {0xF6, 0x00F6, "o umlaut (Latin-1)"},
      {0xE2, 0x00E2, "a circumflex of Kâmil"}, {0x80, 0x20AC, "euro sign"},
      {0x9F, 0x0178, "Y diaeresis"},       {0x41, 0x0041, "ASCII"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(ToUnicode(r.byte), r.cp) << r.why;
    ASSERT_TRUE(FromUnicode(r.cp).has_value()) << r.why;
    EXPECT_EQ(*FromUnicode(r.cp), r.byte) << r.why;
  }
}

TEST(Cp1254, CharactersOutsideTheCodePageAreNotFound) {
  EXPECT_FALSE(FromUnicode(0x00F0).has_value()) << "eth: 1254 put g breve there";
  EXPECT_FALSE(FromUnicode(0x00DD).has_value()) << "Y acute: 1254 put I with dot there";
  EXPECT_FALSE(FromUnicode(0x0081).has_value()) << "C1 control of an undefined byte";
  EXPECT_FALSE(FromUnicode(0x4E2D).has_value()) << "CJK";
  EXPECT_EQ(ToUnicode(0x81), char32_t{0x81}) << "undefined bytes keep their number";
}

TEST(Cp1254, CaseFolding) {
  struct Row {
    unsigned char lower, upper;
    const char* why;
  };
  const Row pairs[] = {
      {'a', 'A', "ASCII"},           {0xFE, 0xDE, "s cedilla"},
      {0xF0, 0xD0, "g breve"},       {0xE4, 0xC4, "a umlaut: the lead byte C4 matches E4"},
      {0x9A, 0x8A, "s caron"},       {0xFF, 0x9F, "y diaeresis"},
  };
  for (const Row& p : pairs) {
    EXPECT_EQ(ToUpper(p.lower), p.upper) << p.why;
    EXPECT_EQ(ToLower(p.upper), p.lower) << p.why;
  }
  EXPECT_EQ(ToUpper('i'), 'I') << "ASCII i folds as ASCII";
  EXPECT_EQ(ToLower('I'), 'i') << "ASCII I folds as ASCII";
  EXPECT_EQ(ToUpper(0xFD), 'I') << "dotless i";
  EXPECT_EQ(ToLower(0xDD), 'i') << "I with dot";
  EXPECT_EQ(ToUpper(0xF7), 0xF7) << "division sign has no case";
  EXPECT_EQ(ToUpper(0xDF), 0xDF) << "sharp s has no single-byte capital";
  EXPECT_EQ(ToUpper(0xB1), 0xB1) << "plus-minus has no case";
}

TEST(Cp1254, Utf8RoundTrip) {
  const std::string bytes = "AY\xDE" "E \xD6ZT\xDCRK \xE7\xFD\xF0";
  const std::string utf8 = ToUtf8(bytes);
  EXPECT_EQ(utf8, "AYŞE ÖZTÜRK çığ");
  EXPECT_EQ(FromUtf8(utf8), bytes);
  EXPECT_EQ(FromUtf8("a\xFF" "b中"), "a?b?") << "malformed byte and missing character";
}

TEST(Cp1254, Utf8DecoderRejectsMalformedSequences) {
  struct Row {
    std::string text;
    bool ok;
    const char* why;
  };
  const Row rows[] = {
      {"\xC3\xA9", true, "two bytes"},          {"\xE2\x82\xAC", true, "three bytes"},
      {"\xF0\x9F\x98\x80", true, "four bytes"}, {"\xC0\x80", false, "overlong NUL"},
      {"\xC3", false, "truncated"},             {"\xC3\x41", false, "bad continuation"},
      {"\xED\xA0\x80", false, "surrogate"},     {"\xF4\x90\x80\x80", false, "beyond U+10FFFF"},
      {"\x80", false, "lone continuation"},
  };
  for (const Row& r : rows) EXPECT_EQ(DecodeUtf8(r.text).has_value(), r.ok) << r.why;
}

}  // namespace
}  // namespace zentavo::cp1254
