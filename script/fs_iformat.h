// Locale texts of numbers and dates for scripts: one FormatSettings record
// with Turkish defaults (decimal ",", date "dd.mm.yyyy"), never the process
// locale. Conversions between values and text, and the picture formats of
// Format, FormatFloat, FormatDateTime and FormatMaskText.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentavo {

class Variant;

// All texts are Windows-1254 bytes.
struct FormatSettings {
  char decimalSeparator = ',';
  char thousandSeparator = '.';
  char dateSeparator = '.';
  char timeSeparator = ':';
  std::string shortDateFormat = "dd.mm.yyyy";
  std::string longDateFormat = "dd mmmm yyyy dddd";
  std::string shortTimeFormat = "hh:nn";
  std::string longTimeFormat = "hh:nn:ss";
  std::string timeAmString;  // cp1254 "ÖÖ"
  std::string timePmString;  // cp1254 "ÖS"
  std::string currencyString = "TL";
  int currencyFormat = 3;      // "1 TL"
  int negCurrFormat = 8;       // "-1 TL"
  int currencyDecimals = 2;
  int twoDigitYearCenturyWindow = 50;
  std::string shortMonthNames[12];
  std::string longMonthNames[12];
  std::string shortDayNames[7];  // Sunday first
  std::string longDayNames[7];

  // The Turkish defaults.
  static FormatSettings Turkish();
};

// The record the value library and the system functions use.
const FormatSettings& CurrentFormatSettings();
void SetCurrentFormatSettings(const FormatSettings& settings);

// --- numbers ---------------------------------------------------------------
// Decimal, or hexadecimal after "$" (also "0x"); leading blanks and a sign allowed.
std::optional<std::int64_t> TryStrToInt64(std::string_view text);
std::optional<std::int32_t> TryStrToInt(std::string_view text);
// A real number written with the locale's decimal separator, optional
// exponent; leading and trailing blanks allowed.
std::optional<double> TryStrToFloat(std::string_view text, const FormatSettings& fs);
std::int32_t StrToInt(std::string_view text);      // "'x' is not a valid integer value"
std::int64_t StrToInt64(std::string_view text);
double StrToFloat(std::string_view text, const FormatSettings& fs);  // "... floating point value"

// The general text of a real number: shortest form of at most 15 significant
// digits, scientific when the exponent is 15 or more or the value is below 1E-5.
std::string FloatToStr(double value, const FormatSettings& fs);
// The same with `precision` significant digits (1..18).
std::string FloatToStrGeneral(double value, int precision, const FormatSettings& fs);
// Currency in ten-thousandths: up to four decimals, no trailing zeros.
std::string CurrToStr(std::int64_t scaled, const FormatSettings& fs);

// --- dates -----------------------------------------------------------------
// Days since 30 December 1899 with the time as fraction.
bool TryEncodeDate(int year, int month, int day, double& result);
bool TryEncodeTime(int hour, int min, int sec, int msec, double& result);
double EncodeDate(int year, int month, int day);  // "Invalid argument to date encode"
double EncodeTime(int hour, int min, int sec, int msec);
void DecodeDate(double date, int& year, int& month, int& day);
void DecodeTime(double date, int& hour, int& min, int& sec, int& msec);
int DayOfWeek(double date);  // 1 Sunday .. 7 Saturday
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);  // 0 for a month outside 1..12

std::string DateToStr(double date, const FormatSettings& fs);
std::string TimeToStr(double date, const FormatSettings& fs);
std::string DateTimeToStr(double date, const FormatSettings& fs);
std::optional<double> TryStrToDate(std::string_view text, const FormatSettings& fs);
std::optional<double> TryStrToTime(std::string_view text, const FormatSettings& fs);
std::optional<double> TryStrToDateTime(std::string_view text, const FormatSettings& fs);

// --- pictures --------------------------------------------------------------
// "#,##0.00;-#,##0.00;zero" style number pictures.
std::string FormatFloat(std::string_view picture, double value, const FormatSettings& fs);
// "dd.mm.yyyy hh:nn" style date pictures.
std::string FormatDateTime(std::string_view picture, double date, const FormatSettings& fs);
// The format function: "%d %s %5.2f %x %e %g %n %m %u %p", with index, width
// and precision, "*" taking them from the arguments.
std::string Format(std::string_view pattern, const std::vector<Variant>& args, const FormatSettings& fs);
// Edit masks: "!", ">", "<", "\", "L l A a C c 0 9 #", and the ";" fields.
std::string FormatMaskText(std::string_view mask, std::string_view value);

}  // namespace zentavo
