// The encoder's numbers: widths of the label symbols, ratio clamps, module
// widths, check digits, texts as encoded, and the errors of bad texts.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "barcode/frxBarcod.h"

namespace zentavo {
namespace {

TfrxBarcode Make(TfrxBarcodeType type, std::string text, bool checksum = false, double ratio = 2.0) {
  TfrxBarcode b;
  b.Typ = type;
  b.Text = std::move(text);
  b.Checksum = checksum;
  b.Ratio = ratio;
  return b;
}

TEST(Encoder, WidthsOfTheLabelSymbols) {
  struct Row {
    TfrxBarcodeType type;
    const char* text;
    double ratio;
    int width;
    const char* why;
  } rows[] = {
      {bcCode39, "12345678", 3, 159, "16 + 8 x 16 + 15 at ratio 3"},
      {bcCode39, "12345678901", 2, 168, "13 + 11 x 13 + 12 at ratio 2 (label 3050)"},
      {bcCode128C, "1500483197", 2, 90, "start, five pairs, check, stop"},
      {bcCode128C, "150048319", 2, 90, "odd length padded to the same width"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(Make(r.type, r.text, false, r.ratio).Width(), r.width) << r.why;
  }
}

TEST(Encoder, RatioClampsAndModuleWidths) {
  struct Row {
    TfrxBarcodeType type;
    int modul;
    double ratio;
    double ratioAfter;
    std::array<int, 4> widths;
    const char* why;
  } rows[] = {
      {bcCode39, 1, 1.5, 2.0, {1, 2, 3, 4}, "Code 39 below 2 becomes 2"},
      {bcCode39, 1, 3.0, 3.0, {1, 3, 4, 6}, "ratio 3: w2 = 9 div 2"},
      {bcCode39, 1, 3.5, 3.0, {1, 3, 4, 6}, "Code 39 above 3 becomes 3"},
      {bcCode_2_5_matrix, 1, 2.0, 2.25, {1, 2, 3, 4}, "matrix below 2.25; Round(2.25) is 2"},
      {bcCode_2_5_matrix, 2, 2.0, 2.25, {2, 4, 6, 8}, "Round(4.5) ties to even"},
      {bcCodeEAN13, 1, 9.0, 3.0, {1, 3, 4, 6}, "EAN clamped to 3"},
      {bcCode128B, 1, 5.0, 5.0, {1, 5, 7, 10}, "Code 128 is not clamped"},
      {bcCodeMSI, 1, 1.0, 1.0, {1, 1, 1, 2}, "MSI is not clamped"},
      {bcCode128B, 1, 100.0, 63.0, {1, 63, 94, 126}, "w3 would overflow its byte"},
      {bcCode93, 2, 40.0, 31.5, {2, 63, 94, 126}, "overflow clamp follows Modul"},
      {bcCode128B, 1, 0.2, 1.0, {1, 1, 1, 2}, "a zero-width element would vanish"},
      {bcCode128B, 1, -3.0, 1.0, {1, 1, 1, 2}, "negative ratio"},
      {bcCode128B, 1, std::numeric_limits<double>::quiet_NaN(), 2.0, {1, 2, 3, 4}, "NaN ratio"},
      {bcCode39, 3, 2.0, 2.0, {3, 6, 9, 12}, "Modul 3"},
      {bcCode39, 257, 2.0, 2.0, {1, 2, 3, 4}, "only the low byte of Modul counts"},
      {bcCode39, 0, 2.0, 2.0, {1, 2, 3, 4}, "Modul 0 draws as 1"},
      {bcCode39, 200, 2.0, 2.0, {1, 2, 3, 4}, "negative low byte draws as 1"},
  };
  for (const auto& r : rows) {
    TfrxBarcode b = Make(r.type, "12", false, r.ratio);
    b.Modul = r.modul;
    BarcodeSymbol s = b.Encode();
    EXPECT_EQ(s.widths, r.widths) << r.why;
    EXPECT_DOUBLE_EQ(s.ratio, r.ratioAfter) << r.why;
    b.EncodeText();
    EXPECT_DOUBLE_EQ(b.Ratio, r.ratioAfter) << r.why << " (written back)";
    EXPECT_EQ(b.Text, "12") << r.why;
  }
}

TEST(Encoder, TextsAsEncodedAndShown) {
  struct Row {
    TfrxBarcodeType type;
    const char* text;
    bool checksum;
    const char* shown;
    const char* why;
  } rows[] = {
      {bcCode128C, "12345", false, "012345", "documented left 0"},
      {bcCode128C, "", false, "", "empty text: start, check, stop"},
      {bcCodeEAN128C, "123", true, "1236", "Modulo 10 digit, then even: no pad"},
      {bcCodeEAN128C, "12", true, "0123", "Modulo 10 digit 3, then odd: padded"},
      {bcCodeEAN128C, " 42\t", false, "42", "digits-only types are trimmed"},
      {bcCodeEAN13, "400638133393", true, "4006381333931", "check over 12 digits"},
      {bcCodeEAN13, "4006381333931", true, "4006381333931", "13 digits used as given"},
      {bcCodeEAN13, "12345", true, "0000000123457", "padded to 12, then the check"},
      {bcCodeEAN13, "  400638133393 ", true, "4006381333931", "blanks trimmed"},
      {bcCodeEAN8, "1234567", true, "12345670", "EAN-8 check over 7"},
      {bcCodeEAN8, "55123457", false, "55123457", "8 digits as given"},
      {bcCodeEAN8, "123", true, "00001236", "padded to 7, then the check"},
      {bcCodeUPC_A, "03600029145", true, "036000291452", "UPC-A check over 11 digits"},
      {bcCodeUPC_A, "1", false, "000000000001", "padded to 12"},
      {bcCodeUPC_E0, "123456", true, "1234565", "UPC-E check from the UPC-A form 01234500006"},
      {bcCodeUPC_E0, "1234565", false, "1234565", "7 digits as given"},
      {bcCodeUPC_Supp5, "12345", true, "123451", "add-on check 3x9 + 9x6 = 81 shown"},
      {bcCodeUPC_Supp5, "12345", false, "12345", "no check shown"},
      {bcCodeUPC_Supp2, "12", true, "125", "add-on check 3x2 + 9x1 = 15"},
      {bcCodeUPC_Supp2, "7", false, "07", "padded to 2"},
      {bcCode39Extended, "a-b", false, "a-b", "text itself never rewritten"},
      {bcCodeMSI, "1234", false, "1234", "MSI check is in the bars only"},
  };
  for (const auto& r : rows) {
    TfrxBarcode b = Make(r.type, r.text, r.checksum);
    EXPECT_EQ(b.Encode().text, r.shown) << r.why;
    EXPECT_EQ(b.Encode().text, r.shown) << r.why << " (second encoding the same)";
    EXPECT_EQ(b.Text, r.text) << r.why << " (Text untouched)";
  }
}

TEST(Encoder, ModuleStrings) {
  struct Row {
    TfrxBarcodeType type;
    const char* text;
    bool checksum;
    const char* modules;
    const char* why;
  } rows[] = {
      // start, 1 = 0001, check 4 (Luhn of 1234) = 0100, stop
      {bcCodeMSI, "1234", false, "60" "51515160" "51516051" "51516060" "51605151" "51605151" "515",
       "MSI 1234 carries check digit 4"},
      {bcCodeMSI, "1", false, "60" "51515160" "60515151" "515", "odd length: 1 doubled, check 8"},
      {bcCodePostNet, "1", false, "51" "A1A1A15151" "51A151A1A1" "5", "correction digit 9"},
      {bcCodePostNet, "55", false, "51" "A151A151A1" "A151A151A1" "5151A1A1A1" "5",
       "digit sum 10: correction 0"},
      {bcCode_2_5_interleaved, "12", false, "5050" "6051505061" "605", "bars from 1, spaces from 2"},
      {bcCode_2_5_industrial, "1", false, "606050" "6050505060" "605060", "industrial digit 1"},
      {bcCode_2_5_matrix, "1", false, "705050" "605060" "70505", "matrix digit 1"},
      {bcCode_2_5_interleaved, "", false, "5050605", "empty text passes"},
      {bcCodeCodabar, "1", false, "50615150" "50506150" "5151506", "A 1 B"},
      {bcCodeUPC_Supp2, "12", false, "506" "1615" "05" "1516", "12 mod 4 = 0: both odd"},
  };
  for (const auto& r : rows) {
    TfrxBarcode b = Make(r.type, r.text, r.checksum);
    EXPECT_EQ(b.EncodeText(), r.modules) << r.why;
  }
}

TEST(Encoder, FullAsciiFormsAreThePlainSymbolOfTheirPairs) {
  struct Row {
    TfrxBarcodeType extended;
    const char* text;
    TfrxBarcodeType plain;
    const char* pairs;
    const char* why;
  } rows[] = {
      {bcCode39Extended, "-", bcCode39, "/M", "dash sent as /M, as existing labels have it"},
      {bcCode39Extended, "a~", bcCode39, "+A%S", "lower case and tilde"},
      {bcCode39Extended, "@`", bcCode39, "%V%W", "64 and 96"},
      {bcCode39Extended, "AZ09 ", bcCode39, "AZ09 ", "unchanged characters"},
  };
  for (const auto& r : rows) {
    TfrxBarcode ext = Make(r.extended, r.text, true);
    TfrxBarcode plain = Make(r.plain, r.pairs, true);
    EXPECT_EQ(ext.EncodeText(), plain.EncodeText()) << r.why;
  }
  // NUL cannot sit in a C string row.
  TfrxBarcode nul = Make(bcCode39Extended, std::string(1, '\0'));
  EXPECT_EQ(nul.EncodeText(), Make(bcCode39, "%U").EncodeText());
}

TEST(Encoder, Code93ExtendedShiftsTheSpecialCharactersToo) {
  // "$" (36) goes as ({) D; both decode to "$" in full-ASCII scanners.
  TfrxBarcode ext = Make(bcCode93Extended, "$");
  TfrxBarcode plain = Make(bcCode93, "$");
  EXPECT_NE(ext.EncodeText(), plain.EncodeText());
  EXPECT_EQ(ext.Width(), 9 * 2 + 9 * 2 + 9 + 10);  // start, 2 data, C, K, stop+bar = 9 modules each
}

TEST(Encoder, Code39CheckCharacter) {
  // "A" is 10, "B" 11, "+" 41: (10 + 11 + 41) mod 43 = 19 = "J".
  TfrxBarcode with = Make(bcCode39, "AB+", true);
  TfrxBarcode same = Make(bcCode39, "AB+J", false);
  EXPECT_EQ(with.EncodeText(), same.EncodeText());
  // Remainder 0 gives "0", never the start/stop pattern.
  TfrxBarcode zero = Make(bcCode39, "0", true);
  EXPECT_EQ(zero.EncodeText(), Make(bcCode39, "00").EncodeText());
}

TEST(Encoder, Errors) {
  struct Row {
    TfrxBarcodeType type;
    std::string text;
    bool checksum;
    const char* message;
    const char* why;
  } rows[] = {
      {bcCode39, "lab12", false, "Code 39 cannot encode \"l\"", "lower case no longer vanishes"},
      {bcCode39, "A*B", false, "Code 39 cannot encode \"*\"", "star would end the symbol"},
      {bcCode39Extended, "\xE7", false, "Code 39 Extended cannot encode #231", "no full ASCII for 231"},
      {bcCode128C, "1A23", false, "Code 128 C cannot encode \"A\"", "pair 1A is not 00"},
      {bcCode128C, "12 ", false, "Code 128 C cannot encode \" \"", "not trimmed, not a digit"},
      {bcCode128B, "\xE9", false, "Code 128 B cannot encode #233", "beyond ASCII"},
      {bcCode128B, "a\tb", false, "Code 128 B cannot encode #9", "control in set B"},
      {bcCode128A, "a", false, "Code 128 A cannot encode \"a\"", "lower case outside set A"},
      {bcCodeEAN128A, "a", false, "EAN-128 A cannot encode \"a\"", "lower case outside set A"},
      {bcCodeEAN128B, "AB", true, "'B' is not a valid integer value", "Modulo 10 of letters, from the right"},
      {bcCode93, "abc", false, "TfrxBarcode:Code93 bad Data <abc>", "lower case in Code 93"},
      {bcCode93, "[A", false, "TfrxBarcode:Code93 bad Data <[A>", "shift characters are ours"},
      {bcCode93, "A\xC7\x1B]2;x\x07", false, "TfrxBarcode:Code93 bad Data <A#199#27]2;x#7>",
       "the text is shown with unprintable bytes as codes, so no ESC reaches a terminal"},
      {bcCodeCodabar, "12A3", false, "Codabar cannot encode \"A\"", "stop character inside"},
      {bcCodeCodabar, "12x", false, "Codabar cannot encode \"x\"", "outside the table"},
      {bcCodeEAN13, "ABC", false, "Barcode must be numeric", "letters"},
      {bcCodeEAN13, "12345678901234", false, "Invalid Text len (EAN13)", "fourteen digits"},
      {bcCodeEAN8, "123456789", false, "Invalid Text len (EAN8)", "nine digits"},
      {bcCodeEAN8, "12345678", true, "Invalid Text len (EAN8)", "eight digits and a check"},
      {bcCodeUPC_A, "0123456789012", false, "Invalid Text len (UPC-A)", "13 digits cut no more"},
      {bcCodeUPC_A, "036000291452", true, "Invalid Text len (UPC-A)", "check over 12 would drop one"},
      {bcCodeUPC_E0, "1234567", true, "Invalid Text len (UPC-E)", "7 digits and a check"},
      {bcCodeUPC_E1, "12345678", false, "Invalid Text len (UPC-E)", "8 digits"},
      {bcCodeUPC_Supp5, "123456", false, "Invalid Text len (UPC Supp5)", "6 digits"},
      {bcCodeUPC_Supp2, "123", false, "Invalid Text len (UPC Supp2)", "3 digits"},
      {bcCode_2_5_interleaved, "12345", false, "Interleaved 2 of 5 needs an even number of digits",
       "odd digit count no longer drops the last"},
      {bcCodeMSI, "12-3", false, "Barcode must be numeric", "MSI digits only"},
      {bcCodePostNet, "1 2", false, "Barcode must be numeric", "inner blank not trimmed"},
      {bcCode39, std::string(1025, 'A'), false, "Barcode text is longer than 1024 characters",
       "bounded work"},
  };
  for (auto& r : rows) {
    TfrxBarcode b = Make(r.type, r.text, r.checksum);
    try {
      b.EncodeText();
      ADD_FAILURE() << r.why << ": no error";
    } catch (const BarcodeError& e) {
      EXPECT_EQ(std::string(e.what()), r.message) << r.why;
    }
    EXPECT_EQ(b.Text, r.text) << r.why << " (Text untouched)";
    EXPECT_THROW(b.Width(), BarcodeError) << r.why;
  }
  TfrxBarcode wrong = Make(static_cast<TfrxBarcodeType>(23), "1");
  EXPECT_THROW(wrong.EncodeText(), BarcodeError);
}

TEST(Encoder, CheckDigitHelpers) {
  EXPECT_EQ(AppendModulo10("400638133393"), "4006381333931");
  EXPECT_EQ(AppendModulo10(""), "0");
  EXPECT_EQ(AddOnCheckDigit("52495"), "524951");  // 3x(5+4+5) + 9x(2+9) = 141
  EXPECT_EQ(PadLeftZeros("12", 5), "00012");
  EXPECT_EQ(PadLeftZeros("123456", 5), "123456");
  EXPECT_THROW(AppendModulo10("1x"), BarcodeError);
}

TEST(Encoder, TypeNamesRoundTrip) {
  for (int i = 0; i < kBarcodeTypeCount; ++i) {
    auto type = static_cast<TfrxBarcodeType>(i);
    TfrxBarcodeType back{};
    ASSERT_TRUE(BarcodeTypeFromName(BarcodeTypeName(type), back)) << i;
    EXPECT_EQ(back, type);
  }
  TfrxBarcodeType t{};
  EXPECT_FALSE(BarcodeTypeFromName("bcCode39x", t));
  EXPECT_STREQ(BarcodeTypeName(bcCodeEAN128C), "bcCodeEAN128C");
}

TEST(Encoder, AssignCopiesEverySetting) {
  TfrxBarcode a = Make(bcCode93, "X1", true, 2.5);
  a.Modul = 3;
  a.Angle = 90;
  a.Color = 0x00FF00;
  a.ColorBar = 0x0000FF;
  a.CheckSumMethod = csmNone;
  a.Height = 40;
  a.OriginX = 8;
  a.OriginY = 16;
  TfrxBarcode b;
  b.Assign(a);
  EXPECT_EQ(b.Text, "X1");
  EXPECT_EQ(b.Typ, bcCode93);
  EXPECT_TRUE(b.Checksum);
  EXPECT_EQ(b.Ratio, 2.5);
  EXPECT_EQ(b.Modul, 3);
  EXPECT_EQ(b.Angle, 90);
  EXPECT_EQ(b.Color, 0x00FF00);
  EXPECT_EQ(b.ColorBar, 0x0000FF);
  EXPECT_EQ(b.CheckSumMethod, csmNone);
  EXPECT_EQ(b.Height, 40);
  EXPECT_EQ(b.OriginX, 8);
  EXPECT_EQ(b.OriginY, 16);
}

}  // namespace
}  // namespace zentavo
