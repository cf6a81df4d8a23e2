// Our module patterns against zint's (`zint --dump`), an independent encoder.
// zint writes each row of modules in hexadecimal; we expand our module string
// the same way (each element its width in modules, bars 1, spaces 0).
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "barcode/frxBarcod.h"

namespace zentavo {
namespace {

bool HaveZint() { return std::system("zint --version >/dev/null 2>&1") == 0; }

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// The rows of zint's dump, blanks taken out (or its message, on an error).
std::vector<std::string> ZintDumpRows(const std::string& options, const std::string& data) {
  std::string cmd = "zint " + options + " --dump -d " + Quote(data) + " 2>&1";
  std::vector<std::string> rows;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    std::array<char, 1024> buf{};
    while (fgets(buf.data(), buf.size(), p)) {
      std::string row;
      for (const char* c = buf.data(); *c && *c != '\n'; ++c)
        if (*c != ' ') row += *c;
      rows.push_back(row);
    }
    pclose(p);
  }
  return rows;
}

std::string ZintDump(const std::string& options, const std::string& data) {
  auto rows = ZintDumpRows(options, data);
  return rows.empty() ? std::string() : rows.front();
}

// Our symbol as zint prints it: bits in nibbles, the last one padded with 0.
// `shortBars` says whether short bars count as bars in this row.
std::string OurDump(const BarcodeSymbol& s, bool shortBars = true) {
  std::string bits;
  for (char c : s.modules) {
    bool bar = IsBarModule(c) && (shortBars || !IsShortBarModule(c));
    bits.append(s.widths[ModuleClass(c)], bar ? '1' : '0');
  }
  while (bits.size() % 4 != 0) bits += '0';
  std::string hex;
  for (std::size_t i = 0; i < bits.size(); i += 4)
    hex += "0123456789ABCDEF"[std::stoi(bits.substr(i, 4), nullptr, 2)];
  return hex;
}

struct Row {
  TfrxBarcodeType type;
  const char* text;
  bool checksum;
  double ratio;
  const char* zintOptions;
  const char* zintData;
  const char* why;
};

// zint's 2 of 5 types draw wide elements three modules wide, so they are
// compared at our Ratio 3; everything else at Ratio 2.
const Row kRows[] = {
    {bcCode39, "12345678901", false, 2, "-b 8", "12345678901", "lab label text, all digits"},
    {bcCode39, "CODE-39 $/+%.", false, 2, "-b 8", "CODE-39 $/+%.", "every punctuation row"},
    {bcCode39, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", false, 2, "-b 8", "ABCDEFGHIJKLMNOPQRSTUVWXYZ", "letters"},
    {bcCode39, "1500483197", true, 2, "-b 8 --vers=1", "1500483197", "modulo 43 check"},
    {bcCode39, "Z", true, 2, "-b 8 --vers=1", "Z", "check value 35"},
    {bcCode39, "%", true, 2, "-b 8 --vers=1", "%", "check value 42, last table row"},
    {bcCode39Extended, "abc xyz", false, 2, "-b 9", "abc xyz", "lower case as +A..+Z"},
    {bcCode39Extended, "Lab!#&", false, 2, "-b 9", "Lab!#&", "punctuation shifts /A../O"},
    {bcCode128B, "AbCdEf", false, 2, "-b 60", "AbCdEf", "set B letters"},
    {bcCode128A, "\tAB\x01", false, 2, "-b 20 --esc", "\\tAB\\x01", "set A with control characters"},
    {bcCode128A, "\tLAB-7 _", false, 2, "-b 20 --esc", "\\tLAB-7 _", "set A upper case"},
    {bcCode128B, " !\"#&'()*,:;<=>?@[\\]^_`{|}~", false, 2, "-b 60", " !\"#&'()*,:;<=>?@[\\]^_`{|}~",
     "set B punctuation"},
    {bcCode128C, "1500483197", false, 2, "-b 20", "1500483197", "10-digit lab number"},
    {bcCode128C, "00010203040506070809101112131415161718192021222324252627282930313233", false, 2,
     "-b 20", "00010203040506070809101112131415161718192021222324252627282930313233", "pairs 00..33"},
    {bcCode128C, "34353637383940414243444546474849505152535455565758596061626364656667", false, 2,
     "-b 20", "34353637383940414243444546474849505152535455565758596061626364656667", "pairs 34..67"},
    {bcCode128C, "68697071727374757677787980818283848586878889909192939495969798990000", false, 2,
     "-b 20", "68697071727374757677787980818283848586878889909192939495969798990000", "pairs 68..99"},
    {bcCode93, "CODE 93", false, 2, "-b 25", "CODE 93", "two check characters"},
    {bcCode93, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%", false, 2, "-b 25",
     "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%", "whole table, weights past 15 and 20"},
    {bcCode93Extended, "abc", false, 2, "-b 25", "abc", "lower case as (+) shifts"},
    {bcCodeCodabar, "1234567890", false, 2, "-b 18", "A1234567890B", "digits between A and B"},
    {bcCodeCodabar, "-$:/.+", false, 2, "-b 18", "A-$:/.+B", "punctuation"},
    {bcCodeCodabar, "C40156D", false, 2, "-b 18", "C40156D", "own start and stop"},
    {bcCodeEAN8, "1234567", true, 2, "-b 13", "1234567", "EAN-8 check over 7 digits"},
    {bcCodeEAN8, "9638507", true, 2, "-b 13", "9638507", "EAN-8 other parity"},
    {bcCodeEAN13, "400638133393", true, 2, "-b 13", "400638133393", "EAN-13 check over 12"},
    {bcCodeEAN13, "590123412345", true, 2, "-b 13", "590123412345", "first digit 5 parity"},
    {bcCodeEAN13, "8690504001003", false, 2, "-b 13", "8690504001003", "13 digits as given"},
    {bcCodeUPC_A, "03600029145", true, 2, "-b 34", "03600029145", "UPC-A check over 11"},
    {bcCodeUPC_A, "012345678905", false, 2, "-b 34", "012345678905", "12 digits as given"},
    {bcCodeUPC_E0, "123456", true, 2, "-b 37", "123456", "UPC-E0 check from the UPC-A form"},
    {bcCodeUPC_E0, "654321", true, 2, "-b 37", "654321", "UPC-E0 last digit 1"},
    {bcCodeUPC_E0, "123453", true, 2, "-b 37", "123453", "UPC-E0 last digit 3"},
    {bcCodeUPC_E0, "123454", true, 2, "-b 37", "123454", "UPC-E0 last digit 4"},
    {bcCodeUPC_E1, "123456", true, 2, "-b 37", "1123456", "UPC-E1 number system 1"},
    {bcCodeUPC_Supp2, "12", false, 2, "-b 13", "12", "2-digit add-on, parity 0"},
    {bcCodeUPC_Supp2, "99", false, 2, "-b 13", "99", "2-digit add-on, parity 3"},
    {bcCodeUPC_Supp5, "12345", false, 2, "-b 13", "12345", "5-digit add-on"},
    {bcCodeUPC_Supp5, "52495", false, 2, "-b 13", "52495", "5-digit add-on, other check"},
    {bcCode_2_5_interleaved, "1234567890", false, 3, "-b 3", "1234567890", "interleaved pairs"},
    {bcCode_2_5_industrial, "1234567890", false, 3, "-b 7", "1234567890", "industrial"},
    {bcCode_2_5_matrix, "1234567890", false, 3, "-b 2", "1234567890", "matrix"},
    {bcCodeMSI, "1234", false, 2, "-b 47 --vers=1", "1234", "MSI even length"},
    {bcCodeMSI, "12345", false, 2, "-b 47 --vers=1", "12345", "MSI odd length: Luhn from the right"},
    {bcCodeMSI, "80523", false, 2, "-b 47 --vers=1", "80523", "MSI doubled digits over 9"},
    {bcCodeEAN128C, "9012345678", false, 2, "-b 16", "[90]12345678", "FNC1 then set C"},
    {bcCodeEAN128C, "10123456", false, 2, "-b 16", "[10]123456", "batch number"},
};

TEST(ZintDump, ModulePatternsMatch) {
  if (!HaveZint()) GTEST_SKIP() << "zint is not installed";
  for (const Row& row : kRows) {
    TfrxBarcode b;
    b.Typ = row.type;
    b.Text = row.text;
    b.Checksum = row.checksum;
    b.Ratio = row.ratio;
    EXPECT_EQ(OurDump(b.Encode()), ZintDump(row.zintOptions, row.zintData))
        << BarcodeTypeName(row.type) << " \"" << row.text << "\": " << row.why;
  }
}

// PostNet: zint draws one-module bars and spaces (our Ratio 1) and dumps two
// rows, the tops of the full bars and then the baseline where every bar
// stands; so the rows also show the short bars standing on the baseline,
// and the correction digit.
TEST(ZintDump, PostNetRowsAndCorrectionDigit) {
  if (!HaveZint()) GTEST_SKIP() << "zint is not installed";
  for (const char* zip : {"12345", "123456789", "55555123400", "00000"}) {
    TfrxBarcode b;
    b.Typ = bcCodePostNet;
    b.Text = zip;
    b.Ratio = 1;
    BarcodeSymbol s = b.Encode();
    auto rows = ZintDumpRows("-b 40", zip);
    ASSERT_EQ(rows.size(), 2u) << zip;
    EXPECT_EQ(OurDump(s, false), rows[0]) << zip << ": full bars";
    EXPECT_EQ(OurDump(s, true), rows[1]) << zip << ": every bar at the baseline";
  }
}

// Every Code 128 value reachable from the data, through set C pairs and the
// check symbols of random texts, including 100..102.
TEST(ZintDump, Code128CheckSymbolsOfManyTexts) {
  if (!HaveZint()) GTEST_SKIP() << "zint is not installed";
  std::srand(12345);
  for (int i = 0; i < 40; ++i) {
    std::string text;
    for (int k = 0; k < 10; ++k) text += static_cast<char>('0' + std::rand() % 10);
    TfrxBarcode b;
    b.Typ = bcCode128C;
    b.Text = text;
    EXPECT_EQ(OurDump(b.Encode()), ZintDump("-b 20", text)) << text;
  }
}

}  // namespace
}  // namespace zentavo
