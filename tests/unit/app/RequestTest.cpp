// Request decoding and field extraction: the texts the jobs print come from here.
#include "app/Explain.h"
#include "app/Request.h"

#include <gtest/gtest.h>

namespace zentavo {
namespace {

struct DecodeRow {
  std::string argument;
  std::string expected;
  const char* why;
};

TEST(Request, Decoding) {
  const DecodeRow rows[] = {
      {"", "", "no argument gives empty text"},
      {"a%7cb", "a|b", "%7c is a separator, any case"},
      {"a%7Cb", "a|b", "%7C is a separator"},
      {"a%257Cb", "a%7Cb", "separator replacement runs before URL decoding"},
      {"%2B", "+", "encoded plus stays a plus"},
      {"a+b", "a b", "plus is a blank"},
      {"a%00b", "ab", "%00 appends nothing and skips three characters"},
      {"a%zzb", "ab", "non-hex escape appends nothing and skips three characters"},
      {"a%", "a", "lone % at the end appends nothing"},
      {"x%4", "x\x04", "single hex digit at the end is that digit's value"},
      {"x%g", "x", "single non-hex character at the end vanishes"},
      {"%41%62", "Ab", "plain escapes"},
      {"%C5%9F", "\xFE", "s cedilla"},
      {"%C5%9E", "\xDE", "capital S cedilla"},
      {"%C4%B0", "\xDD", "capital I with dot"},
      {"%C4%B1", "\xFD", "dotless i"},
      {"%C3%B6%C3%96%C3%BC%C3%9C%C4%9F%C4%9E%C3%A7%C3%87", "\xF6\xD6\xFC\xDC\xF0\xD0\xE7\xC7",
       "the remaining Turkish letters"},
      {"%09", "_", "tab becomes underscore"},
      {"a^b", "a b", "caret is a blank"},
      {"%5E", " ", "encoded caret is a blank too (replaced last)"},
      {"K%C3%A2mil", "K\xE2mil", "a circumflex, a letter the code page has"},
      {"H%C3%A2le", "H\xE2le", "a circumflex again"},
      {"%C3%A9", "\xE9", "e acute, a letter the code page has"},
      {"%E2%82%AC", "\x80", "euro sign"},
      {"%E4%B8%AD", "\xE4\xB8\xAD", "a character the code page lacks stays raw"},
      {"%C3%B0", "\xC3\xB0", "eth: the code page has g breve there, stays raw"},
      {"%C3", "\xC3", "a lone lead byte stays raw"},
      {"%E4%B1", "\xFD", "E4 matches the lead byte C4 under code-page case folding"},
      {"%C4%B1%C4%B1", "\xFD\xFD", "replacement continues behind each match"},
  };
  for (const DecodeRow& r : rows) EXPECT_EQ(DecodeRequest(r.argument), r.expected) << r.why;
}

TEST(Request, DeCodeSTRTranslatesOnlyTheTwelveLetters) {
  EXPECT_EQ(DeCodeSTR("\xC3\xA9"), "\xC3\xA9") << "other UTF-8 stays as its bytes";
  EXPECT_EQ(DeCodeSTR("\xC5\x9F\t"), "\xFE_");
  EXPECT_EQ(DeCodeSTR("^"), "^") << "the caret is not part of the letter translation";
}

TEST(Request, GetStrIndex) {
  struct Row {
    std::string text, sep;
    int n, expected;
    const char* why;
  };
  const Row rows[] = {
      {"a|b|c", "|", 2, 4, "second separator"},
      {"a|b|c", "|", 1, 2, "first separator"},
      {"a|b|c", "|", 3, 0, "fewer than N"},
      {"a|b|c", "|", 0, 0, "N = 0"},
      {"a|b|c", "|", -1, 0, "negative N"},
      {"a|b|c", "", 1, 0, "empty separator"},
      {"", "|", 1, 0, "empty text"},
      {"aaaa", "aa", 2, 2, "longer separators may overlap"},
      {"aaaa", "aa", 3, 3, "third overlapping occurrence"},
  };
  for (const Row& r : rows) EXPECT_EQ(GetStrIndex(r.text, r.sep, r.n), r.expected) << r.why;
}

TEST(Request, GetFindStrAstm) {
  struct Row {
    std::string text;
    int start, end;
    std::string expected;
    const char* why;
  };
  const Row rows[] = {
      {"x|1|ab|", 1, 2, "1", "field 1"},
      {"x|1|ab|", 2, 3, "ab", "field 2"},
      {"x|1|ab|", 3, 4, "", "fourth separator missing"},
      {"x||", 1, 2, "", "empty field"},
      {"x|1|ab|", 2, 1, "", "end before start"},
      {"x|1|ab|", 2, 2, "", "same separator twice"},
      {"", 1, 2, "", "empty request"},
  };
  for (const Row& r : rows)
    EXPECT_EQ(GetFindStrAstm(r.text, "|", "|", r.start, r.end), r.expected) << r.why;
}

TEST(Request, FieldsAndTheirCount) {
  const std::string text = DecodeRequest("|1|LAB|FIRMA|AD|");
  EXPECT_EQ(RequestField(text, '|', 1), "1");
  EXPECT_EQ(RequestField(text, '|', 4), "AD");
  EXPECT_EQ(RequestField(text, '|', 5), "");
  EXPECT_EQ(RequestFieldCount(text, '|'), 4);
  EXPECT_EQ(RequestFieldCount(text, '$'), 0);
  EXPECT_EQ(RequestField("$x$y$/tmp/r.pdf$", '$', 3), "/tmp/r.pdf");
  EXPECT_EQ(RequestField("pre|a|b|", '|', 1), "a") << "text before the first separator is never read";
}

TEST(Request, AllFieldsAtOnceAreTheFieldsOneByOne) {
  struct Row {
    const char* text;
    char separator;
    const char* why;
  };
  const Row rows[] = {
      {"|1|LAB|FIRMA|AD|", '|', "an ordinary request"},
      {"||||", '|', "empty fields"},
      {"pre|a|b", '|', "text before the first and after the last separator is no field"},
      {"abc", '|', "no separator"},
      {"|", '|', "one separator: no field"},
      {"", '$', "empty request"},
      {"$x$$y$|z|$", '$', "the other separator inside a field"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    const std::vector<std::string> all = RequestFields(r.text, r.separator);
    ASSERT_EQ(static_cast<int>(all.size()), RequestFieldCount(r.text, r.separator));
    for (std::size_t k = 1; k <= all.size(); ++k) EXPECT_EQ(all[k - 1], RequestField(r.text, r.separator, static_cast<int>(k)));
  }
}

TEST(Request, ExplainingALargeRequestListsEveryField) {
  const int kFields = 20000;
  std::string request = "|0";
  std::string expected = "\"|\": [\"0\"";
  for (int i = 1; i < kFields; ++i) {
    request += "|F" + std::to_string(i);
    expected += ",\"F" + std::to_string(i) + "\"";
  }
  request += "|";
  expected += "],\n";
  const std::string json = ExplainRequest(request);
  EXPECT_NE(json.find(expected), std::string::npos) << "the \"|\" list holds every field in order";
  EXPECT_NE(json.find("\"$\": []"), std::string::npos);
}

}  // namespace
}  // namespace zentavo
