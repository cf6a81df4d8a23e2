// Display formats of memo values. The printf-style formats come from
// templates, so they are checked by our own reader before the script
// library's formatter sees them, and never reach the C library's printf.
#include "report/frxFormatData.h"

#include <stdexcept>
#include <vector>

#include "script/fs_iformat.h"

namespace zentavo {

namespace {

constexpr int kMaxWidth = 255;
constexpr int kMaxPrecision = 18;

// Reads up to three digits; more (or a larger number than `limit`) fails.
bool ReadBounded(std::string_view s, std::size_t& i, int limit) {
  int value = 0;
  std::size_t digits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
    if (++digits > 3) return false;
    value = value * 10 + (s[i] - '0');
    ++i;
  }
  return value <= limit;
}

std::string NumericText(const Variant& value, const TfrxFormat& format, const FormatSettings& fs) {
  double number = value.ToDouble();
  std::string text;
  if (!format.FormatStr.empty() && format.FormatStr[0] == '#') {
    text = FormatFloat(format.FormatStr, number, fs);
  } else {
    if (!IsNumberFormat(format.FormatStr)) throw std::invalid_argument("no number format");
    text = Format(format.FormatStr, std::vector<Variant>{Variant::Double(number)}, fs);
  }
  if (format.DecimalSeparator.size() == 1 && format.DecimalSeparator[0] != fs.decimalSeparator)
    for (char& c : text)
      if (c == fs.decimalSeparator) c = format.DecimalSeparator[0];
  return text;
}

double DateTimeOf(const Variant& value, const FormatSettings& fs) {
  if (value.IsString()) {
    if (auto d = TryStrToDateTime(value.RawString(), fs)) return *d;
    throw std::invalid_argument("no date");
  }
  return value.ToDouble();
}

std::string FormattedText(const Variant& value, const TfrxFormat& format, const FormatSettings& fs) {
  switch (format.Kind) {
    case TfrxFormatKind::fkNumeric: return NumericText(value, format, fs);
    case TfrxFormatKind::fkDateTime: return FormatDateTime(format.FormatStr, DateTimeOf(value, fs), fs);
    case TfrxFormatKind::fkBoolean: {
      const std::string& pair = format.FormatStr;
      std::size_t comma = pair.find(',');
      bool isTrue = false;
      try {
        isTrue = VarEquals(value, Variant::Boolean(true));
      } catch (const std::exception&) {
        // A value that does not compare with true is not true.
      }
      if (comma == std::string::npos) return isTrue ? pair : std::string();
      return isTrue ? pair.substr(0, comma) : pair.substr(comma + 1);
    }
    case TfrxFormatKind::fkText: break;
  }
  return VarToStr(value);
}

}  // namespace

bool IsNumberFormat(std::string_view s) {
  int conversions = 0;
  for (std::size_t i = 0; i < s.size();) {
    if (s[i++] != '%') continue;
    if (i < s.size() && s[i] == '%') {
      ++i;
      continue;
    }
    if (++conversions > 1) return false;
    if (i < s.size() && s[i] == '-') ++i;
    if (!ReadBounded(s, i, kMaxWidth)) return false;
    if (i < s.size() && s[i] == '.') {
      ++i;
      if (!ReadBounded(s, i, kMaxPrecision)) return false;
    }
    if (i >= s.size()) return false;
    char type = s[i++];
    if (type != 'e' && type != 'E' && type != 'f' && type != 'F' && type != 'g' && type != 'G') return false;
  }
  return conversions <= 1;
}

std::string FormatData(const Variant& value, const TfrxFormat* format) {
  if (value.IsEmptyOrNull()) return {};
  if (format == nullptr || format->Kind == TfrxFormatKind::fkText) return VarToStr(value);
  const FormatSettings& fs = CurrentFormatSettings();
  try {
    return FormattedText(value, *format, fs);
  } catch (const std::exception&) {
    // A value the format cannot take is shown as it is.
    return VarToStr(value);
  }
}

}  // namespace zentavo
