// Expressions in report text without a report: finding the delimited parts,
// the display format after " #", and display formatting with the Turkish
// settings, hostile formats included.
#include <gtest/gtest.h>

#include <string>

#include "report/frxExpressions.h"
#include "report/frxFormatData.h"
#include "report/frxTypes.h"
#include "script/fs_iformat.h"

namespace zentavo::testing {
namespace {

// Marks each expression it is given, so the result shows what was taken.
std::string Marked(const std::string& expression) { return "{" + expression + "}"; }

TEST(ExpressionText, ExpansionFindsEachDelimitedPart) {
  struct Case {
    const char* text;
    const char* delimiters;
    const char* expected;
    const char* why;
  };
  // Memo texts come with a line break after every line, as the memo gives them.
  const Case cases[] = {
      {"abc] d\r\n", "[,]", "abc] d\r\n", "no opening delimiter: unchanged, a closing one too"},
      {"Tetkik [1+1]\r\n", "[,]", "Tetkik {1+1}\r\n", "one expression"},
      {"[a] ve [b]\r\n", "[,]", "{a} ve {b}\r\n", "every expression, text between kept"},
      {"[\"a]b\"]\r\n", "[,]", "{\"a]b\"}\r\n", "a closing bracket inside double quotes"},
      {"[ 'a]b' ]\r\n", "[,]", "{ 'a]b' }\r\n", "a closing bracket inside single quotes"},
      {"[\"it's\"]\r\n", "[,]", "{\"it's\"}\r\n", "a single quote inside double quotes is a letter"},
      {"[a[1]+b]\r\n", "[,]", "{a[1]+b}\r\n", "nested brackets belong to the expression"},
      {"'[1]'\r\n", "[,]", "'{1}'\r\n", "quotes outside an expression do not hide it"},
      {"Ali [Veli\r\n", "[,]", "Ali {Veli\r}", "never closed: the rest but the last character"},
      {"<%2*3%> [1]\r\n", "<%,%>", "{2*3} [1]\r\n", "other delimiters; brackets are then text"},
      {"a [x]\r\nb [y]\r\n", "[,]", "a {x}\r\nb {y}\r\n", "expressions on two lines"},
      {"a[", "[,]", "a[", "the last character never opens an expression"},
      {"[]\r\n", "[,]", "{}\r\n", "an empty expression is still one"},
      {"a [b\r\n", "[", "a {b\r}\n", "no closing delimiter: the part ends one before the text"},
      {"a [", "[", "a [", "no closing delimiter, opening one last: the scan ends"},
      {"a <%", "<%,%>", "a {}", "a two-character delimiter at the end still opens"},
  };
  for (const Case& c : cases) {
    std::u16string got =
        ExpandExpressions(SingleByteToUtf16(c.text), SplitDelimiters(c.delimiters), Marked);
    EXPECT_EQ(Utf16ToSingleByte(got), c.expected) << c.why;
  }
}

TEST(ExpressionText, ValuesAreNotScannedAgain) {
  int calls = 0;
  auto bracketed = [&](const std::string& e) {
    ++calls;
    return "[" + e + "]";
  };
  std::u16string got = ExpandExpressions(u"[x] [y]\r\n", SplitDelimiters("[,]"), bracketed);
  EXPECT_EQ(got, u"[x] [y]\r\n");
  EXPECT_EQ(calls, 2) << "a value that holds brackets is text, not a new expression";
}

TEST(ExpressionText, CharactersOutsideTheCodePageSurviveAroundExpressions) {
  std::u16string got = ExpandExpressions(u"\u4E2D [1] \u00C7\r\n", SplitDelimiters("[,]"), Marked);
  EXPECT_EQ(got, u"\u4E2D {1} \u00C7\r\n");
}

TEST(ExpressionText, DisplayFormatAfterBlankHash) {
  struct Case {
    const char* bracket;
    const char* expression;
    bool hasFormat;
    TfrxFormatKind kind;
    const char* formatStr;
    const char* separator;
    const char* why;
  };
  using K = TfrxFormatKind;
  const Case cases[] = {
      {"1+1", "1+1", false, K::fkText, "", "", "no format"},
      {"a#b", "a#b", false, K::fkText, "", "", "a hash without the blank before it"},
      {"3.5 #n%2.2f", "3.5", true, K::fkNumeric, "%2.2f", "", "numeric, the platform's separator"},
      {"3.5 #N%2,2f", "3.5", true, K::fkNumeric, "%2.2f", ",", "a comma names the separator and reads as a point"},
      {"3.5 #n%2-2f", "3.5", true, K::fkNumeric, "%2.2f", "-", "so does a minus"},
      {"x #n#,##0.00", "x", true, K::fkNumeric, "#.##0.00", ",", "in a bracket a comma is no thousands mark"},
      {"Date #ddd.mm.yyyy", "Date", true, K::fkDateTime, "dd.mm.yyyy", "", "the first letter only sets the kind"},
      {"Time #thh:nn", "Time", true, K::fkDateTime, "hh:nn", "", "T is a date-time too"},
      {"x #bEvet,Hay\xFDr", "x", true, K::fkBoolean, "Evet,Hay\xFDr", "", "Boolean pair, comma kept"},
      {"x #Xabc", "x", true, K::fkText, "abc", "", "another letter leaves text"},
      {"F(x #1)", "F(x #1)", false, K::fkText, "", "", "a parenthesis after the hash: all expression"},
      {"a #n1 #n2", "a", true, K::fkNumeric, "1 #n2", "", "the first blank-hash splits"},
  };
  for (const Case& c : cases) {
    BracketText b = SplitDisplayFormat(c.bracket);
    EXPECT_EQ(b.expression, c.expression) << c.why;
    ASSERT_EQ(b.format.has_value(), c.hasFormat) << c.why;
    if (!c.hasFormat) continue;
    EXPECT_EQ(b.format->Kind, c.kind) << c.why;
    EXPECT_EQ(b.format->FormatStr, c.formatStr) << c.why;
    EXPECT_EQ(b.format->DecimalSeparator, c.separator) << c.why;
  }
}

TfrxFormat Fmt(TfrxFormatKind kind, const char* formatStr, const char* separator = "") {
  TfrxFormat f;
  f.Kind = kind;
  f.FormatStr = formatStr;
  f.DecimalSeparator = separator;
  return f;
}

TEST(ExpressionText, FormatDataWithTurkishSettings) {
  ASSERT_EQ(CurrentFormatSettings().decimalSeparator, ',');
  using K = TfrxFormatKind;
  struct Case {
    Variant value;
    std::optional<TfrxFormat> format;
    const char* expected;
    const char* why;
  };
  const Case cases[] = {
      {Variant::Null(), std::nullopt, "", "null is empty"},
      {Variant::Null(), Fmt(K::fkNumeric, "%2.2f"), "", "null is empty in any format"},
      {Variant::Int(5), std::nullopt, "5", "the usual text"},
      {Variant::Double(3.5), std::nullopt, "3,5", "the usual text has the Turkish separator"},
      {Variant::Double(3.5), Fmt(K::fkText, "%2.2f"), "3,5", "a text format leaves the usual text"},
      {Variant::Double(3.5), Fmt(K::fkNumeric, "%2.2f"), "3,50", "printf-style, platform separator"},
      {Variant::Double(3.5), Fmt(K::fkNumeric, "%2.2f", ","), "3,50", "a separator equal to the platform's"},
      {Variant::Double(3.5), Fmt(K::fkNumeric, "%2.2f", "-"), "3-50", "a separator of its own"},
      {Variant::Double(3.5), Fmt(K::fkNumeric, "%2.2f", ".,"), "3,50", "a separator of two characters is ignored"},
      {Variant::Double(3.5), Fmt(K::fkNumeric, "[%-6.1f]"), "[3,5   ]", "width, left alignment, literals"},
      {Variant::Double(3.5), Fmt(K::fkNumeric, "%.1f%%"), "3,5%", "a percent sign"},
      {Variant::Double(3.5), Fmt(K::fkNumeric, "0.00"), "0.00", "no conversion: the format's own text"},
      {Variant::Double(3.5), Fmt(K::fkNumeric, "100%%"), "100%", "no conversion, a percent sign"},
      {Variant::Double(1234.5), Fmt(K::fkNumeric, "#,##0.00"), "1.234,50", "a picture with thousands"},
      {Variant::Double(1234.5), Fmt(K::fkNumeric, "#,##0.00", "."), "1.234.50",
       "every platform separator takes the one shown"},
      {Variant::Int(7), Fmt(K::fkNumeric, "#000"), "007", "integers take pictures"},
      {Variant::Int(7), Fmt(K::fkNumeric, "000"), "000", "only a format that starts with # is a picture"},
      {Variant::String("12,5"), Fmt(K::fkNumeric, "%.2f"), "12,50", "number text in Turkish form"},
      {Variant::String("abc"), Fmt(K::fkNumeric, "%.2f"), "abc", "no number: the usual text"},
      {Variant::Date(EncodeDate(2026, 3, 5)), Fmt(K::fkDateTime, "dd.mm.yyyy"), "05.03.2026", "a date picture"},
      {Variant::Date(EncodeTime(14, 7, 0, 0)), Fmt(K::fkDateTime, "hh:nn"), "14:07", "a time picture"},
      {Variant::String("05.03.2026"), Fmt(K::fkDateTime, "yyyy-mm-dd"), "2026-03-05", "a date text is read"},
      {Variant::String("sonra"), Fmt(K::fkDateTime, "yyyy"), "sonra", "no date: the usual text"},
      {Variant::Boolean(true), Fmt(K::fkBoolean, "Evet,Hay\xFDr"), "Evet", "true takes the first text"},
      {Variant::Boolean(false), Fmt(K::fkBoolean, "Evet,Hay\xFDr"), "Hay\xFDr", "false the second"},
      {Variant::String("x"), Fmt(K::fkBoolean, "Evet,Hay\xFDr"), "Hay\xFDr", "anything but true the second"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FormatData(c.value, c.format ? &*c.format : nullptr), c.expected) << c.why;
}

TEST(ExpressionText, HostileNumberFormatsGiveTheUsualText) {
  struct Case {
    const char* format;
    const char* why;
  };
  const Case cases[] = {
      {"%n", "would write through a pointer in C"},
      {"%s", "would read a string through the number"},
      {"%p", "a pointer"},
      {"%d", "an integer conversion of a real number"},
      {"%x", "hexadecimal of a real number"},
      {"%1000000000f", "a width of 10^9 would take a gigabyte"},
      {"%256f", "a width just above the bound"},
      {"%.1000f", "a precision beyond any number's digits"},
      {"%.19f", "a precision just above the bound"},
      {"%f%f%f%f%f%f%f%f%f%f", "ten conversions for one value"},
      {"%f%f", "two conversions"},
      {"%0:f", "an argument index"},
      {"%*f", "a width from the arguments"},
      {"%.*f", "a precision from the arguments"},
      {"%", "a lone percent sign"},
      {"%-", "a flag and nothing"},
      {"%5", "a width and nothing"},
      {"%-0000000000000000000000001f", "a width of many digits"},
  };
  const TfrxFormat wide = Fmt(TfrxFormatKind::fkNumeric, "%255.18f");
  EXPECT_EQ(FormatData(Variant::Double(3.5), &wide).size(), 255u) << "the widest format we take is applied";
  for (const Case& c : cases) {
    const TfrxFormat f = Fmt(TfrxFormatKind::fkNumeric, c.format);
    EXPECT_FALSE(IsNumberFormat(c.format)) << c.why;
    EXPECT_EQ(FormatData(Variant::Double(3.5), &f), "3,5") << c.why;
  }
}

}  // namespace
}  // namespace zentavo::testing
