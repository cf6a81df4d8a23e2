// Number and date texts by the FormatSettings record, and the picture
// formatters. Digits come from std::to_chars/from_chars only, so the
// process locale never leaks in.
#include "script/fs_iformat.h"

#include <algorithm>
#include <charconv>
#include <ctime>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/Cp1254.h"
#include "script/fs_ierror.h"
#include "script/fs_ivariant.h"

namespace zentavo {

namespace {

[[noreturn]] void FailText(const char* pattern, std::string_view text) {
  throw ScriptError(FormatMessage(pattern, std::string(text)));
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }


constexpr const char* kLongMonths[12] = {"Ocak", "Şubat", "Mart", "Nisan", "Mayıs", "Haziran",
                                         "Temmuz", "Ağustos", "Eylül", "Ekim", "Kasım", "Aralık"};
constexpr const char* kShortMonths[12] = {"Oca", "Şub", "Mar", "Nis", "May", "Haz",
                                          "Tem", "Ağu", "Eyl", "Eki", "Kas", "Ara"};
constexpr const char* kLongDays[7] = {"Pazar", "Pazartesi", "Salı", "Çarşamba",
                                      "Perşembe", "Cuma", "Cumartesi"};
constexpr const char* kShortDays[7] = {"Paz", "Pzt", "Sal", "Çar", "Per", "Cum", "Cmt"};

FormatSettings& Current() {
  static FormatSettings settings = FormatSettings::Turkish();
  return settings;
}

}  // namespace

FormatSettings FormatSettings::Turkish() {
  FormatSettings fs;
  for (int i = 0; i < 12; ++i) {
    fs.longMonthNames[i] = cp1254::FromUtf8(kLongMonths[i]);
    fs.shortMonthNames[i] = cp1254::FromUtf8(kShortMonths[i]);
  }
  for (int i = 0; i < 7; ++i) {
    fs.longDayNames[i] = cp1254::FromUtf8(kLongDays[i]);
    fs.shortDayNames[i] = cp1254::FromUtf8(kShortDays[i]);
  }
  fs.timeAmString = cp1254::FromUtf8("ÖÖ");
  fs.timePmString = cp1254::FromUtf8("ÖS");
  return fs;
}

const FormatSettings& CurrentFormatSettings() { return Current(); }
void SetCurrentFormatSettings(const FormatSettings& settings) { Current() = settings; }

// ---- numbers ------------------------------------------------------------------

std::optional<std::int64_t> TryStrToInt64(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  bool hex = false;
  if (i < text.size() && text[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= text.size()) return std::nullopt;
  std::uint64_t value = 0;
  if (hex) {
    std::size_t digits = 0;
    for (; i < text.size(); ++i, ++digits) {
      char c = text[i];
      int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
              : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
      if (d < 0) return std::nullopt;
      if (value >> 60) return std::nullopt;  // more than 16 significant hex digits
      value = value << 4 | static_cast<unsigned>(d);
    }
    // Hexadecimal texts name bit patterns: $FFFFFFFFFFFFFFFF is -1.
    auto v = static_cast<std::int64_t>(value);
    return negative ? static_cast<std::int64_t>(0 - value) : v;
  }
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    if (value > (std::uint64_t{1} << 63) / 10) return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - '0');
    if (value > (std::uint64_t{1} << 63)) return std::nullopt;
  }
  if (!negative && value > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
    return std::nullopt;
  return negative ? static_cast<std::int64_t>(0 - value) : static_cast<std::int64_t>(value);
}

std::optional<std::int32_t> TryStrToInt(std::string_view text) {
  auto v = TryStrToInt64(text);
  if (!v) return std::nullopt;
  std::string_view t = text;
  while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
  if (!t.empty() && (t.front() == '-' || t.front() == '+')) t.remove_prefix(1);
  bool hex = !t.empty() && (t.front() == '$' || (t.size() > 1 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')));
  // A 32-bit hexadecimal pattern such as $FFFFFFFF is -1, as for 64 bits.
  if (hex && *v >= 0 && *v <= 0xFFFFFFFFLL) return static_cast<std::int32_t>(static_cast<std::uint32_t>(*v));
  if (hex && *v < 0 && *v >= -0xFFFFFFFFLL)
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(*v)));
  if (*v < std::numeric_limits<std::int32_t>::min() || *v > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(*v);
}

std::optional<double> TryStrToFloat(std::string_view text, const FormatSettings& fs) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  std::string buf;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') buf += '-';
    ++i;
  }
  std::size_t digits = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) buf += text[i];
  if (i < text.size() && text[i] == fs.decimalSeparator) {
    buf += '.';
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) buf += text[i];
  }
  if (digits == 0) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    buf += 'e';
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) buf += text[i++];
    std::size_t expDigits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++expDigits) buf += text[i];
    if (expDigits == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  double value = 0;
  auto [ptr, ec] = std::from_chars(buf.data(), buf.data() + buf.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Underflow reads as zero; overflow is no valid number.
    if (std::fabs(value) < 1) return buf[0] == '-' ? -0.0 : 0.0;
    return std::nullopt;
  }
  if (ec != std::errc() || ptr != buf.data() + buf.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::int32_t StrToInt(std::string_view text) {
  if (auto v = TryStrToInt(text)) return *v;
  FailText(msg::kInvalidInteger, text);
}

std::int64_t StrToInt64(std::string_view text) {
  if (auto v = TryStrToInt64(text)) return *v;
  FailText(msg::kInvalidInteger, text);
}

double StrToFloat(std::string_view text, const FormatSettings& fs) {
  if (auto v = TryStrToFloat(text, fs)) return *v;
  FailText(msg::kInvalidFloat, text);
}

namespace {

// The decimal digits of |value| rounded to `precision` significant digits,
// without trailing zeros, and the decimal exponent of the first digit.
struct Digits {
  std::string digits;  // at least "0"
  int exponent = 0;
  bool negative = false;
};

Digits SignificantDigits(double value, int precision) {
  Digits d;
  d.negative = std::signbit(value) && value != 0;
  double a = std::fabs(value);
  if (a == 0) {
    d.digits = "0";
    return d;
  }
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, precision - 1);
  std::string_view s(buf, static_cast<std::size_t>(res.ptr - buf));
  std::size_t e = s.find('e');
  for (std::size_t i = 0; i < e; ++i)
    if (s[i] != '.') d.digits += s[i];
  int exp = 0;
  std::from_chars(s.data() + e + (s[e + 1] == '+' ? 2 : 1), s.data() + s.size(), exp);
  d.exponent = exp;
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

// The digits of |value| rounded to `decimals` places, half away from zero:
// integer part and fraction part (fraction exactly `decimals` long).
void FixedDigits(double value, int decimals, std::string& intPart, std::string& fracPart) {
  double a = std::fabs(value);
  char buf[800];
  // to_chars gives the exact shortest-round-trip text; rounding is done on
  // the decimal digits so that 0.125 with two places gives 0.13 as the
  // platform's formatter does.
  auto res = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::fixed);
  std::string s(buf, static_cast<std::size_t>(res.ptr - buf));
  std::size_t dot = s.find('.');
  std::string ip = dot == std::string::npos ? s : s.substr(0, dot);
  std::string fp = dot == std::string::npos ? std::string() : s.substr(dot + 1);
  if (static_cast<int>(fp.size()) > decimals) {
    bool up = fp[static_cast<std::size_t>(decimals)] >= '5';
    fp.resize(static_cast<std::size_t>(decimals));
    if (up) {
      std::string all = ip + fp;
      int k = static_cast<int>(all.size()) - 1;
      while (k >= 0 && all[static_cast<std::size_t>(k)] == '9') all[static_cast<std::size_t>(k--)] = '0';
      if (k < 0) all.insert(all.begin(), '1');
      else ++all[static_cast<std::size_t>(k)];
      ip = all.substr(0, all.size() - fp.size());
      fp = all.substr(all.size() - fp.size());
    }
  }
  while (static_cast<int>(fp.size()) < decimals) fp += '0';
  std::size_t nz = ip.find_first_not_of('0');
  ip = nz == std::string::npos ? std::string() : ip.substr(nz);
  intPart = ip;
  fracPart = fp;
}

std::string GroupThousands(const std::string& digits, char separator) {
  if (separator == 0) return digits;
  std::string out;
  int n = static_cast<int>(digits.size());
  for (int i = 0; i < n; ++i) {
    out += digits[static_cast<std::size_t>(i)];
    int left = n - 1 - i;
    if (left > 0 && left % 3 == 0) out += separator;
  }
  return out;
}

}  // namespace

std::string FloatToStrGeneral(double value, int precision, const FormatSettings& fs) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (precision < 1) precision = 1;
  if (precision > 18) precision = 18;
  Digits d = SignificantDigits(value, precision);
  if (d.digits == "0") return "0";
  std::string out = d.negative ? "-" : "";
  int n = static_cast<int>(d.digits.size());
  if (d.exponent >= -5 && d.exponent < precision) {
    if (d.exponent < 0) {
      out += '0';
      out += fs.decimalSeparator;
      out.append(static_cast<std::size_t>(-d.exponent - 1), '0');
      out += d.digits;
    } else if (n <= d.exponent + 1) {
      out += d.digits;
      out.append(static_cast<std::size_t>(d.exponent + 1 - n), '0');
    } else {
      out += d.digits.substr(0, static_cast<std::size_t>(d.exponent + 1));
      out += fs.decimalSeparator;
      out += d.digits.substr(static_cast<std::size_t>(d.exponent + 1));
    }
    return out;
  }
  out += d.digits[0];
  if (n > 1) {
    out += fs.decimalSeparator;
    out += d.digits.substr(1);
  }
  out += 'E';
  out += std::to_string(d.exponent);
  return out;
}

std::string FloatToStr(double value, const FormatSettings& fs) { return FloatToStrGeneral(value, 15, fs); }

std::string CurrToStr(std::int64_t scaled, const FormatSettings& fs) {
  bool negative = scaled < 0;
  std::uint64_t a = negative ? 0 - static_cast<std::uint64_t>(scaled) : static_cast<std::uint64_t>(scaled);
  std::string out = negative ? "-" : "";
  out += std::to_string(a / 10000);
  std::uint64_t frac = a % 10000;
  if (frac) {
    std::string f = std::to_string(frac);
    f.insert(0, 4 - f.size(), '0');
    while (f.back() == '0') f.pop_back();
    out += fs.decimalSeparator;
    out += f;
  }
  return out;
}

// ---- dates ------------------------------------------------------------------------

namespace {

constexpr std::int64_t kDateDelta = 693594;  // days from 0001-01-01 (day 1) to 1899-12-30
constexpr std::int64_t kMaxDay = 3652059;    // 9999-12-31
constexpr int kMonthDays[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                   {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

// Day number (0001-01-01 = 1) and milliseconds of the day; false when the
// date is outside the years 1 to 9999.
bool SplitDate(double date, std::int64_t& day, std::int64_t& msec) {
  if (!std::isfinite(date) || date < -700000 || date > 3000000) return false;
  double whole = std::trunc(date);
  day = static_cast<std::int64_t>(whole) + kDateDelta;
  msec = static_cast<std::int64_t>(std::llround(std::fabs(date - whole) * 86400000.0));
  if (msec >= 86400000) {
    msec -= 86400000;
    day += date < 0 ? -1 : 1;
  }
  return day >= 1 && day <= kMaxDay;
}

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  if (month < 1 || month > 12) return 0;
  return kMonthDays[IsLeapYear(year) ? 1 : 0][month - 1];
}

bool TryEncodeDate(int year, int month, int day, double& result) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
    return false;
  std::int64_t days = day;
  for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
  std::int64_t y = year - 1;
  days += y * 365 + y / 4 - y / 100 + y / 400;
  result = static_cast<double>(days - kDateDelta);
  return true;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, double& result) {
  if (hour < 0 || hour >= 24 || min < 0 || min >= 60 || sec < 0 || sec >= 60 || msec < 0 || msec >= 1000)
    return false;
  result = (hour * 3600000.0 + min * 60000.0 + sec * 1000.0 + msec) / 86400000.0;
  return true;
}

double EncodeDate(int year, int month, int day) {
  double r;
  if (!TryEncodeDate(year, month, day, r)) throw ScriptError(msg::kDateEncode);
  return r;
}

double EncodeTime(int hour, int min, int sec, int msec) {
  double r;
  if (!TryEncodeTime(hour, min, sec, msec, r)) throw ScriptError(msg::kTimeEncode);
  return r;
}

void DecodeDate(double date, int& year, int& month, int& day) {
  std::int64_t t, msec;
  year = month = day = 0;
  if (!SplitDate(date, t, msec)) return;
  constexpr std::int64_t D1 = 365, D4 = D1 * 4 + 1, D100 = D4 * 25 - 1, D400 = D100 * 4 + 1;
  std::int64_t n = t - 1;
  std::int64_t y = 1 + n / D400 * 400;
  n %= D400;
  std::int64_t i = n / D100, d = n % D100;
  if (i == 4) {
    --i;
    d += D100;
  }
  y += i * 100;
  y += d / D4 * 4;
  d %= D4;
  i = d / D1;
  d %= D1;
  if (i == 4) {
    --i;
    d += D1;
  }
  y += i;
  year = static_cast<int>(y);
  int m = 1;
  while (d >= DaysInMonth(year, m)) d -= DaysInMonth(year, m++);
  month = m;
  day = static_cast<int>(d) + 1;
}

void DecodeTime(double date, int& hour, int& min, int& sec, int& msec) {
  std::int64_t t, ms;
  hour = min = sec = msec = 0;
  if (!SplitDate(date, t, ms)) return;
  hour = static_cast<int>(ms / 3600000);
  min = static_cast<int>(ms / 60000 % 60);
  sec = static_cast<int>(ms / 1000 % 60);
  msec = static_cast<int>(ms % 1000);
}

int DayOfWeek(double date) {
  std::int64_t t, ms;
  if (!SplitDate(date, t, ms)) return 0;
  return static_cast<int>(t % 7) + 1;
}

std::string DateToStr(double date, const FormatSettings& fs) { return FormatDateTime(fs.shortDateFormat, date, fs); }
std::string TimeToStr(double date, const FormatSettings& fs) { return FormatDateTime(fs.longTimeFormat, date, fs); }
std::string DateTimeToStr(double date, const FormatSettings& fs) { return FormatDateTime("c", date, fs); }

namespace {

struct Scanner {
  std::string_view text;
  std::size_t pos = 0;
  void SkipBlanks() {
    while (pos < text.size() && text[pos] == ' ') ++pos;
  }
  bool Number(int& value, int& digits) {
    SkipBlanks();
    value = 0;
    digits = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < 9) {
      value = value * 10 + (text[pos++] - '0');
      ++digits;
    }
    return digits > 0;
  }
  bool Char(char c) {
    SkipBlanks();
    if (pos < text.size() && text[pos] == c) {
      ++pos;
      return true;
    }
    return false;
  }
  bool AtEnd() {
    SkipBlanks();
    return pos == text.size();
  }
  bool Word(std::string_view w) {
    SkipBlanks();
    if (w.empty() || text.size() - pos < w.size()) return false;
    for (std::size_t i = 0; i < w.size(); ++i)
      if (cp1254::ToUpper(static_cast<unsigned char>(text[pos + i])) !=
          cp1254::ToUpper(static_cast<unsigned char>(w[i])))
        return false;
    pos += w.size();
    return true;
  }
};

// The order of day, month and year in the short date format: "DMY", "MDY" or "YMD".
std::string DateOrder(const FormatSettings& fs) {
  std::string order;
  for (char c : fs.shortDateFormat) {
    char u = UpperAscii(c);
    if ((u == 'D' || u == 'M' || u == 'Y') && order.find(u) == std::string::npos) order += u;
  }
  return order.size() == 3 ? order : "DMY";
}

bool ScanDate(Scanner& s, const FormatSettings& fs, double& result) {
  int n[3], digits[3];
  int count = 0;
  if (!s.Number(n[0], digits[0])) return false;
  count = 1;
  while (count < 3 && s.Char(fs.dateSeparator)) {
    if (!s.Number(n[count], digits[count])) return false;
    ++count;
  }
  if (count < 2) return false;
  std::string order = DateOrder(fs);
  int year, month, day, yearDigits;
  if (count == 2) {
    // Day and month of the current year.
    std::string dm;
    for (char c : order)
      if (c != 'Y') dm += c;
    day = dm[0] == 'D' ? n[0] : n[1];
    month = dm[0] == 'D' ? n[1] : n[0];
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    year = tm.tm_year + 1900;
    yearDigits = 4;
  } else {
    int y = static_cast<int>(order.find('Y')), m = static_cast<int>(order.find('M')),
        d = static_cast<int>(order.find('D'));
    year = n[y];
    yearDigits = digits[y];
    month = n[m];
    day = n[d];
  }
  if (yearDigits <= 2) {
    // Two-digit years fall into the window around the current year.
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    int current = tm.tm_year + 1900;
    int century = current - fs.twoDigitYearCenturyWindow;
    year += century / 100 * 100;
    if (fs.twoDigitYearCenturyWindow > 0 && year < century) year += 100;
  }
  return TryEncodeDate(year, month, day, result);
}

bool ScanTime(Scanner& s, const FormatSettings& fs, double& result) {
  int hour, min = 0, sec = 0, msec = 0, digits;
  if (!s.Number(hour, digits)) return false;
  if (s.Char(fs.timeSeparator)) {
    if (!s.Number(min, digits)) return false;
    if (s.Char(fs.timeSeparator)) {
      if (!s.Number(sec, digits)) return false;
      if (s.Char('.') || s.Char(fs.decimalSeparator)) {
        if (!s.Number(msec, digits)) return false;
      }
    }
  } else if (s.AtEnd()) {
    return false;  // a lone number is no time
  }
  bool pm = false, ampm = false;
  if (!fs.timeAmString.empty() && s.Word(fs.timeAmString)) ampm = true;
  else if (!fs.timePmString.empty() && s.Word(fs.timePmString)) ampm = pm = true;
  else if (s.Word("AM")) ampm = true;
  else if (s.Word("PM")) ampm = pm = true;
  if (ampm) {
    if (hour < 1 || hour > 12) return false;
    if (hour == 12) hour = 0;
    if (pm) hour += 12;
  }
  return TryEncodeTime(hour, min, sec, msec, result);
}

}  // namespace

std::optional<double> TryStrToDate(std::string_view text, const FormatSettings& fs) {
  Scanner s{text};
  double r;
  if (!ScanDate(s, fs, r) || !s.AtEnd()) return std::nullopt;
  return r;
}

std::optional<double> TryStrToTime(std::string_view text, const FormatSettings& fs) {
  Scanner s{text};
  double r;
  if (!ScanTime(s, fs, r) || !s.AtEnd()) return std::nullopt;
  return r;
}

std::optional<double> TryStrToDateTime(std::string_view text, const FormatSettings& fs) {
  Scanner s{text};
  double date;
  if (ScanDate(s, fs, date)) {
    if (s.AtEnd()) return date;
    double time;
    if (!ScanTime(s, fs, time) || !s.AtEnd()) return std::nullopt;
    return date < 0 ? date - time : date + time;
  }
  return TryStrToTime(text, fs);
}

// ---- FormatDateTime -------------------------------------------------------------

namespace {

void AppendNumber(std::string& out, int value, int width) {
  std::string s = std::to_string(value);
  if (static_cast<int>(s.size()) < width) out.append(static_cast<std::size_t>(width) - s.size(), '0');
  out += s;
}

bool StartsWithIgnoringCase(std::string_view text, std::size_t pos, std::string_view word) {
  if (text.size() - pos < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i)
    if (UpperAscii(text[pos + i]) != UpperAscii(word[i])) return false;
  return true;
}

void FormatDatePart(std::string& out, std::string_view picture, double date, const FormatSettings& fs,
                    int depth) {
  if (depth > 2) return;  // "c" inside the short date format cannot recurse forever
  int year, month, day, hour, min, sec, msec;
  DecodeDate(date, year, month, day);
  DecodeTime(date, hour, min, sec, msec);
  int dow = DayOfWeek(date);
  // A clock of 12 hours when the picture holds an am/pm marker.
  bool twelve = false;
  {
    bool quoted = false;
    char q = 0;
    for (std::size_t i = 0; i < picture.size(); ++i) {
      char c = picture[i];
      if (quoted) {
        if (c == q) quoted = false;
        continue;
      }
      if (c == '\'' || c == '"') {
        quoted = true;
        q = c;
        continue;
      }
      if (StartsWithIgnoringCase(picture, i, "am/pm") || StartsWithIgnoringCase(picture, i, "a/p") ||
          StartsWithIgnoringCase(picture, i, "ampm"))
        twelve = true;
    }
  }
  bool lastWasHour = false;
  std::size_t i = 0;
  while (i < picture.size()) {
    char c = picture[i];
    char u = UpperAscii(c);
    std::size_t run = 1;
    while (i + run < picture.size() && UpperAscii(picture[i + run]) == u) ++run;
    // Only letters move the "after an hour" state, so the ":" of "hh:mm" keeps it.
    bool wasHour = lastWasHour;
    if (u >= 'A' && u <= 'Z') lastWasHour = false;
    switch (u) {
      case '\'':
      case '"': {
        std::size_t end = picture.find(c, i + 1);
        if (end == std::string_view::npos) end = picture.size();
        out.append(picture.substr(i + 1, end - i - 1));
        i = end + 1;
        continue;
      }
      case 'Y':
        if (run <= 2) AppendNumber(out, year % 100, 2);
        else AppendNumber(out, year, 4);
        break;
      case 'M':
        if (wasHour && run <= 2) {
          AppendNumber(out, min, run == 2 ? 2 : 1);
        } else if (run == 1 || run == 2) {
          AppendNumber(out, month, static_cast<int>(run));
        } else if (month >= 1) {
          out += run == 3 ? fs.shortMonthNames[month - 1] : fs.longMonthNames[month - 1];
        }
        if (run > 4) run = 4;
        break;
      case 'D':
        if (run <= 2) AppendNumber(out, day, static_cast<int>(run));
        else if (run == 3 && dow >= 1) out += fs.shortDayNames[dow - 1];
        else if (run == 4 && dow >= 1) out += fs.longDayNames[dow - 1];
        else if (run == 5) FormatDatePart(out, fs.shortDateFormat, date, fs, depth + 1);
        else if (run >= 6) {
          FormatDatePart(out, fs.longDateFormat, date, fs, depth + 1);
          run = 6;
        }
        break;
      case 'H': {
        int h = hour;
        if (twelve) {
          h %= 12;
          if (h == 0) h = 12;
        }
        AppendNumber(out, h, run >= 2 ? 2 : 1);
        if (run > 2) run = 2;
        lastWasHour = true;
        break;
      }
      case 'N':
        AppendNumber(out, min, run >= 2 ? 2 : 1);
        if (run > 2) run = 2;
        break;
      case 'S':
        AppendNumber(out, sec, run >= 2 ? 2 : 1);
        if (run > 2) run = 2;
        break;
      case 'Z':
        AppendNumber(out, msec, run >= 3 ? 3 : 1);
        if (run > 3) run = 3;
        break;
      case 'T':
        FormatDatePart(out, run >= 2 ? fs.longTimeFormat : fs.shortTimeFormat, date, fs, depth + 1);
        if (run > 2) run = 2;
        break;
      case 'C':
        FormatDatePart(out, fs.shortDateFormat, date, fs, depth + 1);
        if (hour || min || sec) {
          out += ' ';
          FormatDatePart(out, fs.longTimeFormat, date, fs, depth + 1);
        }
        run = 1;
        break;
      case 'A':
        if (StartsWithIgnoringCase(picture, i, "am/pm")) {
          out += hour >= 12 ? "pm" : "am";
          if (picture[i] == 'A') out.replace(out.size() - 2, 2, hour >= 12 ? "PM" : "AM");
          run = 5;
        } else if (StartsWithIgnoringCase(picture, i, "a/p")) {
          char ch = hour >= 12 ? 'p' : 'a';
          out += picture[i] == 'A' ? UpperAscii(ch) : ch;
          run = 3;
        } else if (StartsWithIgnoringCase(picture, i, "ampm")) {
          out += hour >= 12 ? fs.timePmString : fs.timeAmString;
          run = 4;
        } else {
          out += c;
          run = 1;
        }
        break;
      case '/':
        out += fs.dateSeparator;
        run = 1;
        break;
      case ':':
        out += fs.timeSeparator;
        run = 1;
        break;
      default:
        out += c;
        run = 1;
        break;
    }
    i += run;
  }
}

}  // namespace

std::string FormatDateTime(std::string_view picture, double date, const FormatSettings& fs) {
  std::string out;
  FormatDatePart(out, picture.empty() ? std::string_view("c") : picture, date, fs, 0);
  return out;
}

// ---- FormatFloat ---------------------------------------------------------------

namespace {

std::vector<std::string_view> SplitSections(std::string_view picture) {
  std::vector<std::string_view> sections;
  std::size_t start = 0;
  char quote = 0;
  for (std::size_t i = 0; i < picture.size(); ++i) {
    char c = picture[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == ';') {
      sections.push_back(picture.substr(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(picture.substr(start));
  return sections;
}

struct PictureShape {
  int intPlaces = 0;     // '0' and '#' before the point
  int minInt = 0;        // places from the first '0' before the point
  int minFrac = 0;       // places up to the last '0' after the point
  int maxFrac = 0;       // all places after the point
  bool thousands = false;
  bool scientific = false;
  bool expPlus = false;
  int expDigits = 0;
};

PictureShape ShapeOf(std::string_view s) {
  PictureShape p;
  bool afterPoint = false, seenZero = false;
  char quote = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (quote) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '\'' || c == '"') {
      quote = c;
      continue;
    }
    if (p.scientific) continue;
    if ((c == 'E' || c == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-')) {
      p.scientific = true;
      p.expPlus = s[i + 1] == '+';
      std::size_t k = i + 2;
      while (k < s.size() && s[k] == '0') ++k, ++p.expDigits;
      continue;
    }
    if (c == '.' && !afterPoint) {
      afterPoint = true;
    } else if (c == ',') {
      if (!afterPoint) p.thousands = true;
    } else if (c == '0' || c == '#') {
      if (afterPoint) {
        ++p.maxFrac;
        if (c == '0') p.minFrac = p.maxFrac;
      } else {
        ++p.intPlaces;
        if (c == '0') seenZero = true;
        if (seenZero) ++p.minInt;
      }
    }
  }
  return p;
}

// Writes the section with the number's texts in place of its placeholders:
// the whole integer part at the first integer place, the fraction at the
// first fraction place, literals where they stand.
std::string FillSection(std::string_view s, const std::string& intText, const std::string& fracText,
                        const std::string& expText, const FormatSettings& fs, bool sign) {
  std::string out = sign ? "-" : "";
  bool afterPoint = false, intDone = false, fracDone = false, inExp = false;
  char quote = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (quote) {
      if (c == quote) quote = 0;
      else out += c;
      continue;
    }
    if (inExp) {
      if (c == '0') continue;
      inExp = false;
    }
    switch (c) {
      case '\'':
      case '"':
        quote = c;
        break;
      case '0':
      case '#':
        if (!afterPoint && !intDone) {
          out += intText;
          intDone = true;
        } else if (afterPoint && !fracDone) {
          out += fracText;
          fracDone = true;
        }
        break;
      case '.':
        if (!afterPoint) {
          afterPoint = true;
          if (!intDone) {
            out += intText;
            intDone = true;
          }
          if (!fracText.empty()) out += fs.decimalSeparator;
        }
        // Only the first point places the separator; later ones are ignored.
        break;
      case ',':
        break;
      case 'E':
      case 'e':
        if (i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-')) {
          out += c;
          out += expText;
          ++i;
          inExp = true;
          break;
        }
        out += c;
        break;
      default:
        out += c;
        break;
    }
  }
  return out;
}

}  // namespace

std::string FormatFloat(std::string_view picture, double value, const FormatSettings& fs) {
  if (!std::isfinite(value)) return FloatToStr(value, fs);
  std::vector<std::string_view> sections = SplitSections(picture);
  if (picture.empty() || (sections.size() >= 1 && sections[0].empty() && sections.size() == 1))
    return FloatToStr(value, fs);
  std::string_view section = sections[0];
  bool sign = value < 0;
  if (value < 0 && sections.size() >= 2 && !sections[1].empty()) {
    section = sections[1];
    sign = false;  // the negative section writes its own sign
  }
  PictureShape shape = ShapeOf(section);
  std::string intText, fracText, expText;
  if (shape.scientific) {
    int places = std::max(1, shape.intPlaces) + shape.maxFrac;
    Digits d = SignificantDigits(value, std::min(places, 18));
    std::string digits = d.digits;
    int lead = std::max(1, shape.intPlaces);
    int exponent = value == 0 ? 0 : d.exponent - (lead - 1);
    while (static_cast<int>(digits.size()) < places) digits += '0';
    intText = digits.substr(0, static_cast<std::size_t>(lead));
    fracText = digits.substr(static_cast<std::size_t>(lead));
    while (static_cast<int>(fracText.size()) > shape.minFrac && !fracText.empty() && fracText.back() == '0')
      fracText.pop_back();
    std::string e = std::to_string(std::abs(exponent));
    while (static_cast<int>(e.size()) < shape.expDigits) e.insert(e.begin(), '0');
    expText = (exponent < 0 ? "-" : shape.expPlus ? "+" : "") + e;
  } else {
    FixedDigits(value, shape.maxFrac, intText, fracText);
    while (static_cast<int>(fracText.size()) > shape.minFrac && fracText.back() == '0') fracText.pop_back();
    while (static_cast<int>(intText.size()) < shape.minInt) intText.insert(intText.begin(), '0');
    if (shape.thousands) intText = GroupThousands(intText, fs.thousandSeparator);
  }
  bool zero = intText.find_first_not_of("0.,") == std::string::npos &&
              fracText.find_first_not_of('0') == std::string::npos;
  if (zero) sign = false;
  if (zero && sections.size() >= 3 && !sections[2].empty() && !shape.scientific) {
    std::string_view z = sections[2];
    PictureShape zs = ShapeOf(z);
    std::string zi, zf;
    FixedDigits(0, zs.maxFrac, zi, zf);
    while (static_cast<int>(zf.size()) > zs.minFrac && zf.back() == '0') zf.pop_back();
    while (static_cast<int>(zi.size()) < zs.minInt) zi.insert(zi.begin(), '0');
    return FillSection(z, zi, zf, std::string(), fs, false);
  }
  return FillSection(section, intText, fracText, expText, fs, sign);
}

// ---- Format ------------------------------------------------------------------------

namespace {

[[noreturn]] void FailFormat(std::string_view pattern) { FailText(msg::kInvalidFormat, pattern); }

std::string FixedText(double value, int decimals, const FormatSettings& fs, bool thousands) {
  std::string ip, fp;
  FixedDigits(value, decimals, ip, fp);
  if (ip.empty()) ip = "0";
  if (thousands) ip = GroupThousands(ip, fs.thousandSeparator);
  bool zero = ip.find_first_not_of("0.") == std::string::npos && fp.find_first_not_of('0') == std::string::npos;
  std::string out = value < 0 && !zero ? "-" : "";
  out += ip;
  if (!fp.empty()) {
    out += fs.decimalSeparator;
    out += fp;
  }
  return out;
}

std::string ExponentText(double value, int precision, const FormatSettings& fs) {
  if (precision < 1) precision = 1;
  if (precision > 18) precision = 18;
  Digits d = SignificantDigits(value, precision);
  std::string digits = d.digits;
  while (static_cast<int>(digits.size()) < precision) digits += '0';
  std::string out = d.negative ? "-" : "";
  out += digits[0];
  if (precision > 1) {
    out += fs.decimalSeparator;
    out += digits.substr(1);
  }
  int e = value == 0 ? 0 : d.exponent;
  std::string es = std::to_string(std::abs(e));
  while (es.size() < 3) es.insert(es.begin(), '0');
  out += 'E';
  out += e < 0 ? '-' : '+';
  out += es;
  return out;
}

std::string CurrencyText(double value, int decimals, const FormatSettings& fs) {
  std::string number = FixedText(std::fabs(value), decimals, fs, true);
  const std::string& cur = fs.currencyString;
  if (value >= 0 || number.find_first_not_of("0.,") == std::string::npos) {
    switch (fs.currencyFormat) {
      case 0: return cur + number;
      case 1: return number + cur;
      case 2: return cur + " " + number;
      default: return number + " " + cur;
    }
  }
  switch (fs.negCurrFormat) {
    case 0: return "(" + cur + number + ")";
    case 1: return "-" + cur + number;
    case 5: return "-" + number + cur;
    case 9: return "-" + cur + " " + number;
    default: return "-" + number + " " + cur;
  }
}

bool IsIntegerArg(const Variant& v) {
  switch (v.Type()) {
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord: case varLongWord:
    case varInt64:
      return true;
    default:
      return false;
  }
}

bool IsRealArg(const Variant& v) {
  switch (v.Type()) {
    case varSingle: case varDouble: case varCurrency: case varDate: return true;
    default: return false;
  }
}

}  // namespace

std::string Format(std::string_view pattern, const std::vector<Variant>& args, const FormatSettings& fs) {
  std::string out;
  std::size_t argIndex = 0;
  std::size_t i = 0;
  // Null and Empty arguments count as the integer 0.
  auto argAt = [&](std::size_t k) -> Variant {
    if (k >= args.size()) FailText(msg::kArgumentMissing, pattern);
    const Variant& v = args[k];
    if (v.IsEmptyOrNull()) return Variant::Int(0);
    return v;
  };
  auto readNumber = [&](int& value) -> bool {
    if (i < pattern.size() && pattern[i] == '*') {
      Variant v = argAt(argIndex++);
      if (!IsIntegerArg(v)) FailFormat(pattern);
      std::int64_t n = v.ToInt64();
      value = static_cast<int>(std::clamp<std::int64_t>(n, -1000000, 1000000));
      ++i;
      return true;
    }
    bool any = false;
    value = 0;
    while (i < pattern.size() && pattern[i] >= '0' && pattern[i] <= '9') {
      if (value < 1000000) value = value * 10 + (pattern[i] - '0');
      ++i;
      any = true;
    }
    return any;
  };
  while (i < pattern.size()) {
    char c = pattern[i++];
    if (c != '%') {
      out += c;
      continue;
    }
    if (i < pattern.size() && pattern[i] == '%') {
      out += '%';
      ++i;
      continue;
    }
    int number = 0;
    bool left = false;
    int width = -1, precision = -1;
    if (i < pattern.size() && pattern[i] == '-') {
      left = true;
      ++i;
    }
    std::size_t mark = i;
    bool hasNumber = readNumber(number);
    if (hasNumber && i < pattern.size() && pattern[i] == ':' && pattern[mark] != '*') {
      argIndex = static_cast<std::size_t>(number);
      ++i;
      if (i < pattern.size() && pattern[i] == '-') {
        left = true;
        ++i;
      }
      hasNumber = readNumber(number);
    }
    if (hasNumber) width = number;
    if (width < 0 && hasNumber) {
      left = true;
      width = -width;
    }
    if (i < pattern.size() && pattern[i] == '.') {
      ++i;
      if (!readNumber(precision)) precision = 0;
    }
    if (i >= pattern.size()) FailFormat(pattern);
    char type = UpperAscii(pattern[i++]);
    std::string text;
    Variant arg = argAt(argIndex++);
    switch (type) {
      case 'D':
      case 'U':
      case 'X': {
        if (!IsIntegerArg(arg)) FailFormat(pattern);
        std::int64_t v = arg.ToInt64();
        bool wide = arg.Type() == varInt64;
        bool negative = false;
        if (type == 'D') {
          negative = v < 0;
          std::uint64_t a = negative ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
          text = std::to_string(a);
        } else {
          std::uint64_t u = wide ? static_cast<std::uint64_t>(v)
                                 : static_cast<std::uint32_t>(static_cast<std::int32_t>(v));
          if (type == 'U') {
            text = std::to_string(u);
          } else {
            char buf[24];
            auto r = std::to_chars(buf, buf + sizeof buf, u, 16);
            text.assign(buf, r.ptr);
            for (char& ch : text) ch = UpperAscii(ch);
          }
        }
        if (precision > 0 && static_cast<int>(text.size()) < precision)
          text.insert(0, static_cast<std::size_t>(precision) - text.size(), '0');
        if (negative) text.insert(text.begin(), '-');
        break;
      }
      case 'E':
      case 'F':
      case 'G':
      case 'N':
      case 'M': {
        if (!IsRealArg(arg) && !IsIntegerArg(arg)) FailFormat(pattern);
        if (IsIntegerArg(arg)) FailFormat(pattern);  // integers are no reals for these types
        double v = arg.ToDouble();
        if (!std::isfinite(v)) {
          text = FloatToStr(v, fs);
          break;
        }
        if (type == 'E') text = ExponentText(v, precision < 0 ? 15 : precision, fs);
        else if (type == 'F') text = FixedText(v, precision < 0 ? 2 : std::min(precision, 18), fs, false);
        else if (type == 'N') text = FixedText(v, precision < 0 ? 2 : std::min(precision, 18), fs, true);
        else if (type == 'M') text = CurrencyText(v, precision < 0 ? fs.currencyDecimals : std::min(precision, 18), fs);
        else text = FloatToStrGeneral(v, precision < 0 ? 15 : std::clamp(precision, 1, 18), fs);
        break;
      }
      case 'S': {
        if (!arg.IsString()) FailFormat(pattern);
        text = arg.RawString();
        if (precision >= 0 && static_cast<int>(text.size()) > precision)
          text.resize(static_cast<std::size_t>(precision));
        break;
      }
      case 'P': {
        if (!IsIntegerArg(arg)) FailFormat(pattern);
        char buf[24];
        auto u = static_cast<std::uint32_t>(arg.ToInt64());
        auto r = std::to_chars(buf, buf + sizeof buf, u, 16);
        text.assign(buf, r.ptr);
        for (char& ch : text) ch = UpperAscii(ch);
        text.insert(0, 8 - text.size(), '0');
        break;
      }
      default:
        FailFormat(pattern);
    }
    if (width > 0 && static_cast<int>(text.size()) < width) {
      std::size_t pad = static_cast<std::size_t>(width) - text.size();
      if (left) text.append(pad, ' ');
      else text.insert(0, pad, ' ');
    }
    out += text;
    if (out.size() > (std::size_t{1} << 26)) throw ScriptError(msg::kOutOfMemory);
  }
  return out;
}

// ---- FormatMaskText ----------------------------------------------------------

std::string FormatMaskText(std::string_view mask, std::string_view value) {
  // The mask field, then whether literals are part of the value, then the blank.
  std::string_view field = mask;
  bool saveLiterals = true;
  char blank = '_';
  std::size_t semi = std::string_view::npos;
  for (std::size_t k = 0; k < mask.size(); ++k) {
    if (mask[k] == '\\') {
      ++k;
      continue;
    }
    if (mask[k] == ';') {
      semi = k;
      break;
    }
  }
  if (semi != std::string_view::npos) {
    field = mask.substr(0, semi);
    std::string_view rest = mask.substr(semi + 1);
    if (!rest.empty()) saveLiterals = rest[0] != '0';
    std::size_t semi2 = rest.find(';');
    if (semi2 != std::string_view::npos && semi2 + 1 < rest.size()) blank = rest[semi2 + 1];
  }
  std::string out;
  std::size_t v = 0;
  int caseMode = 0;  // 1 upper, -1 lower
  for (std::size_t k = 0; k < field.size(); ++k) {
    char c = field[k];
    if (c == '!') continue;
    if (c == '>') {
      caseMode = 1;
      continue;
    }
    if (c == '<') {
      if (k + 1 < field.size() && field[k + 1] == '>') {
        caseMode = 0;
        ++k;
      } else {
        caseMode = -1;
      }
      continue;
    }
    bool literal = true;
    char lit = c;
    if (c == '\\' && k + 1 < field.size()) {
      lit = field[++k];
    } else if (std::strchr("LlAaCc09#", c)) {
      literal = false;
    } else if (c == ':' ) {
      lit = CurrentFormatSettings().timeSeparator;
    } else if (c == '/') {
      lit = CurrentFormatSettings().dateSeparator;
    }
    if (literal) {
      out += lit;
      if (saveLiterals && v < value.size() && value[v] == lit) ++v;
      continue;
    }
    char ch = v < value.size() ? value[v++] : blank;
    auto b = static_cast<unsigned char>(ch);
    if (caseMode > 0) ch = static_cast<char>(cp1254::ToUpper(b));
    else if (caseMode < 0) ch = static_cast<char>(cp1254::ToLower(b));
    out += ch;
  }
  return out;
}

}  // namespace zentavo
