// Number and date texts against Free Pascal's SysUtils as an independent
// oracle: the same calls with the same Turkish format settings must print the
// same. Skipped when fpc is not installed. (One deliberate difference is
// tested elsewhere: a value that rounds to zero prints without a minus sign.)
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "script/fs_iformat.h"
#include "script/fs_ivariant.h"

namespace zentavo {
namespace {

struct Row {
  const char* pascal;                  // a Pascal expression printed with writeln
  std::function<std::string()> ours;   // the same through our library
  const char* why;
};

const FormatSettings& Fs() { return CurrentFormatSettings(); }
Variant I(std::int32_t i) { return Variant::Int(i); }
Variant D(double d) { return Variant::Double(d); }
Variant S(const char* s) { return Variant::String(s); }

std::vector<Row> Rows() {
  return {
      {"FloatToStr(0.1, fs)", [] { return FloatToStr(0.1, Fs()); }, "shortest digits"},
      {"FloatToStr(1/3, fs)", [] { return FloatToStr(1.0 / 3, Fs()); }, "15 significant digits"},
      {"FloatToStr(1e15, fs)", [] { return FloatToStr(1e15, Fs()); }, "scientific from exponent 15"},
      {"FloatToStr(1e14, fs)", [] { return FloatToStr(1e14, Fs()); }, "fixed below it"},
      {"FloatToStr(123456789012345678.0, fs)", [] { return FloatToStr(123456789012345678.0, Fs()); },
       "mantissa rounded to 15 digits"},
      {"FloatToStr(1.5e-5, fs)", [] { return FloatToStr(1.5e-5, Fs()); }, "fixed down to 1E-5"},
      {"FloatToStr(0.00001234, fs)", [] { return FloatToStr(0.00001234, Fs()); }, ""},
      {"FloatToStr(1.5e-7, fs)", [] { return FloatToStr(1.5e-7, Fs()); }, "negative exponent"},
      {"FloatToStr(-2.5, fs)", [] { return FloatToStr(-2.5, Fs()); }, "sign"},
      {"FloatToStr(2.675, fs)", [] { return FloatToStr(2.675, Fs()); }, ""},
      {"FormatFloat('#,##0.00', 1234567.891, fs)", [] { return FormatFloat("#,##0.00", 1234567.891, Fs()); },
       "grouping"},
      {"FormatFloat('0.##', 2.5, fs)", [] { return FormatFloat("0.##", 2.5, Fs()); }, "optional places"},
      {"FormatFloat('000', 7, fs)", [] { return FormatFloat("000", 7, Fs()); }, "padding"},
      {"FormatFloat('0.00;(0.00)', -3.14159, fs)", [] { return FormatFloat("0.00;(0.00)", -3.14159, Fs()); },
       "negative section"},
      {"FormatFloat('0.00E+00', 12345, fs)", [] { return FormatFloat("0.00E+00", 12345, Fs()); }, "scientific"},
      {"FormatFloat('0.000E-0', 0.000123, fs)", [] { return FormatFloat("0.000E-0", 0.000123, Fs()); },
       "E- shows only negative exponents"},
      {"FormatFloat('#.###', 0.5, fs)", [] { return FormatFloat("#.###", 0.5, Fs()); }, "no integer digit"},
      {"FormatFloat('#,##0', -1234567, fs)", [] { return FormatFloat("#,##0", -1234567, Fs()); }, ""},
      {"FormatFloat('0.00', 0.125, fs)", [] { return FormatFloat("0.00", 0.125, Fs()); }, "half up"},
      {"FormatFloat('0.00', 2.675, fs)", [] { return FormatFloat("0.00", 2.675, Fs()); },
       "rounded on the decimal digits, not the binary value"},
      {"FormatFloat('\"Toplam: \"0.0', 3.14, fs)", [] { return FormatFloat("\"Toplam: \"0.0", 3.14, Fs()); },
       "quoted literal"},
      {"FormatFloat('#.##0.00', 1234.5, fs)", [] { return FormatFloat("#.##0.00", 1234.5, Fs()); },
       "a second point is no separator and no literal"},
      {"FormatFloat('0;0;\"sifir\"', 0, fs)", [] { return FormatFloat("0;0;\"sifir\"", 0, Fs()); }, "zero section"},
      {"Format('%d|%5.2f|%g|%n|%x|%.3d|%-6s|', [42, 3.14159, 0.5, 1234567.891, 255, 7, 'ab'], fs)",
       [] {
         return Format("%d|%5.2f|%g|%n|%x|%.3d|%-6s|", {I(42), D(3.14159), D(0.5), D(1234567.891), I(255), I(7), S("ab")},
                       Fs());
       },
       "the common conversions"},
      {"Format('%m|%m|%u|%8.3e', [1234.5, -2.0, -1, 0.000123], fs)",
       [] { return Format("%m|%m|%u|%8.3e", {D(1234.5), D(-2.0), I(-1), D(0.000123)}, Fs()); },
       "currency, unsigned, exponent"},
      {"FormatDateTime('dd.mm.yyyy hh:nn:ss', EncodeDate(2023,3,17)+EncodeTime(8,5,9,0), fs)",
       [] { return FormatDateTime("dd.mm.yyyy hh:nn:ss", EncodeDate(2023, 3, 17) + EncodeTime(8, 5, 9, 0), Fs()); },
       ""},
      {"FormatDateTime('d mmm yy', EncodeDate(2023,3,17), fs)",
       [] { return FormatDateTime("d mmm yy", EncodeDate(2023, 3, 17), Fs()); }, "short month name"},
      {"FormatDateTime('dddd d mmmm yyyy', EncodeDate(2023,3,17), fs)",
       [] { return FormatDateTime("dddd d mmmm yyyy", EncodeDate(2023, 3, 17), Fs()); }, "long names"},
      {"FormatDateTime('hh:mm', EncodeTime(6,7,0,0), fs)",
       [] { return FormatDateTime("hh:mm", EncodeTime(6, 7, 0, 0), Fs()); }, "mm after hh is minutes"},
      {"FormatDateTime('yyyy-mm-dd\"T\"hh:nn:ss.zzz', EncodeDate(2024,2,29)+EncodeTime(23,59,58,123), fs)",
       [] {
         return FormatDateTime("yyyy-mm-dd\"T\"hh:nn:ss.zzz", EncodeDate(2024, 2, 29) + EncodeTime(23, 59, 58, 123),
                               Fs());
       },
       "milliseconds and quoted text"},
      {"FormatDateTime('h:n:s am/pm', EncodeTime(15,4,5,0), fs)",
       [] { return FormatDateTime("h:n:s am/pm", EncodeTime(15, 4, 5, 0), Fs()); }, "12-hour clock"},
      {"FormatDateTime('c', EncodeDate(2023,3,17), fs)",
       [] { return FormatDateTime("c", EncodeDate(2023, 3, 17), Fs()); }, "midnight: date only"},
      {"DateTimeToStr(45000.75, fs)", [] { return DateTimeToStr(45000.75, Fs()); }, ""},
      {"FloatToStr(EncodeDate(2024,2,29), fs)", [] { return FloatToStr(EncodeDate(2024, 2, 29), Fs()); },
       "day numbers"},
      {"FloatToStr(EncodeDate(1,1,1), fs)", [] { return FloatToStr(EncodeDate(1, 1, 1), Fs()); }, "first day"},
      {"DayOfWeek(EncodeDate(2023,3,19))", [] { return std::to_string(DayOfWeek(EncodeDate(2023, 3, 19))); },
       "Sunday is 1"},
      {"Round(2.5), ' ', Round(3.5), ' ', Round(-2.5), ' ', Round(-3.5)",
       [] {
         return std::to_string(RoundHalfEvenChecked(2.5)) + " " + std::to_string(RoundHalfEvenChecked(3.5)) + " " +
                std::to_string(RoundHalfEvenChecked(-2.5)) + " " + std::to_string(RoundHalfEvenChecked(-3.5));
       },
       "ties to even"},
      {"FormatFloat('#,##0.00;-#,##0.00', -1234.5, fs)", [] { return FormatFloat("#,##0.00;-#,##0.00", -1234.5, Fs()); }, "negative section with its own sign"},
      {"FormatFloat('0.0###', 3.14159265, fs)", [] { return FormatFloat("0.0###", 3.14159265, Fs()); }, "required and optional places"},
      {"FormatFloat('0.0###', 2, fs)", [] { return FormatFloat("0.0###", 2, Fs()); }, "trailing zeros down to the required place"},
      {"FormatFloat('#,##0.00 TL', 1234.5, fs)", [] { return FormatFloat("#,##0.00 TL", 1234.5, Fs()); }, "literal after the number"},
      {"FormatFloat('00.00', -1.5, fs)", [] { return FormatFloat("00.00", -1.5, Fs()); }, "sign with padding"},
      {"FormatFloat('#', 0, fs)", [] { return FormatFloat("#", 0, Fs()); }, "zero with optional digits only"},
      {"FormatFloat('0', 2.5, fs)", [] { return FormatFloat("0", 2.5, Fs()); }, "rounding to an integer"},
      {"FormatFloat('', 1234.5, fs)", [] { return FormatFloat("", 1234.5, Fs()); }, "empty picture"},
      {"FormatFloat('#,##0.###', 1e15, fs)", [] { return FormatFloat("#,##0.###", 1e15, Fs()); }, "large value"},
      {"FormatDateTime('ddddd', EncodeDate(2023,3,17), fs)", [] { return FormatDateTime("ddddd", EncodeDate(2023, 3, 17), Fs()); }, "short date"},
      {"FormatDateTime('t|tt', EncodeTime(9,8,7,0), fs)", [] { return FormatDateTime("t|tt", EncodeTime(9, 8, 7, 0), Fs()); }, "short and long time"},
      {"FormatDateTime('yy/m/d', EncodeDate(2009,3,7), fs)", [] { return FormatDateTime("yy/m/d", EncodeDate(2009, 3, 7), Fs()); }, "date separator and short fields"},
      {"FormatDateTime('ddd mmmm', EncodeDate(2023,3,17), fs)", [] { return FormatDateTime("ddd mmmm", EncodeDate(2023, 3, 17), Fs()); }, "short day name"},
      {"FormatDateTime('hh:nn:ss.z', EncodeTime(0,0,0,5), fs)", [] { return FormatDateTime("hh:nn:ss.z", EncodeTime(0, 0, 0, 5), Fs()); }, "one-digit milliseconds"},
      {"FormatDateTime('c', -1.25, fs)", [] { return FormatDateTime("c", -1.25, Fs()); }, "before the epoch: the time is the fraction's size"},
      {"Format('%s=%d', ['a', -2147483647-1], fs)", [] { return Format("%s=%d", {S("a"), I(-2147483647 - 1)}, Fs()); }, "the minimum"},
      {"Format('%.0f|%.1f|%10.4f', [2.5, 0.05, 3.14159], fs)", [] { return Format("%.0f|%.1f|%10.4f", {D(2.5), D(0.05), D(3.14159)}, Fs()); }, "fixed precisions"},
      {"Format('%g|%g|%g', [1e20, 0.0001, 123456.0], fs)", [] { return Format("%g|%g|%g", {D(1e20), D(0.0001), D(123456)}, Fs()); }, "general"},
      {"StrToInt('$FFFFFFFF')", [] { return std::to_string(StrToInt("$FFFFFFFF")); }, "a hexadecimal bit pattern"},
      {"FloatToStr(StrToFloat('  -1,5E3 ', fs), fs)", [] { return FloatToStr(StrToFloat("  -1,5E3 ", Fs()), Fs()); },
       "blanks, sign and exponent"},
      {"FloatToStr(StrToDateTime('01.03.2024 08:05', fs), fs)",
       [] { return FloatToStr(*TryStrToDateTime("01.03.2024 08:05", Fs()), Fs()); }, "date and time text"},
  };
}

std::string Program(const std::vector<Row>& rows) {
  std::string p =
      "program oracle;\n{$mode delphi}\nuses SysUtils;\nvar fs: TFormatSettings;\nbegin\n"
      "  fs := DefaultFormatSettings;\n"
      "  fs.DecimalSeparator := ','; fs.ThousandSeparator := '.'; fs.DateSeparator := '.';\n"
      "  fs.TimeSeparator := ':'; fs.ShortDateFormat := 'dd.mm.yyyy'; fs.LongTimeFormat := 'hh:nn:ss';\n"
      "  fs.ShortTimeFormat := 'hh:nn'; fs.CurrencyString := 'TL'; fs.CurrencyFormat := 3;\n"
      "  fs.NegCurrFormat := 8; fs.CurrencyDecimals := 2;\n"
      "  fs.LongMonthNames[3] := 'Mart'; fs.ShortMonthNames[3] := 'Mar';\n"
      "  fs.LongDayNames[6] := 'Cuma'; fs.ShortDayNames[6] := 'Cum';\n";
  for (const Row& r : rows) p += "  writeln(" + std::string(r.pascal) + ");\n";
  return p + "end.\n";
}

TEST(ScriptValuesAgainstFpc, SameTexts) {
  if (std::system("command -v fpc > /dev/null 2>&1") != 0) GTEST_SKIP() << "fpc is not installed";
  char dirTemplate[] = "/tmp/zentavo-fpc-XXXXXX";
  ASSERT_NE(mkdtemp(dirTemplate), nullptr);
  std::string dir = dirTemplate;
  std::vector<Row> rows = Rows();
  std::ofstream(dir + "/oracle.pas") << Program(rows);
  std::string compile = "cd " + dir + " && fpc -Mdelphi -O1 oracle.pas > build.log 2>&1";
  ASSERT_EQ(std::system(compile.c_str()), 0) << "fpc failed; see " << dir << "/build.log";
  std::string run = dir + "/oracle > " + dir + "/out.txt";
  ASSERT_EQ(std::system(run.c_str()), 0);
  std::ifstream out(dir + "/out.txt");
  std::vector<std::string> lines;
  for (std::string line; std::getline(out, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i].ours(), lines[i]) << rows[i].pascal << ": " << rows[i].why;
  std::system(("rm -rf " + dir).c_str());
}

}  // namespace
}  // namespace zentavo
