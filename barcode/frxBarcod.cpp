// TfrxBarcode: the table of symbologies, the start of every encoding (ratio
// clamps, module widths, numeric check) and the helpers the families share.
#include "barcode/frxBarcod.h"

#include <cmath>
#include <string_view>

#include "barcode/Symbologies.h"
#include "platform/Text.h"

namespace zentavo {
namespace {

using barcode::EncodeRequest;

// How a symbology limits the wide-to-narrow ratio.
enum class RatioClamp { None, From2To3, From225To3 };

struct SymbologyRow {
  const char* name;
  const char* title;
  RatioClamp clamp;
  bool numeric;  // digits only, trimmed of blanks and control characters first
  void (*encode)(const EncodeRequest&, BarcodeSymbol&);
};

constexpr SymbologyRow kSymbologies[kBarcodeTypeCount] = {
    {"bcCode_2_5_interleaved", "Interleaved 2 of 5", RatioClamp::From2To3, true, barcode::EncodeCode2of5},
    {"bcCode_2_5_industrial", "Industrial 2 of 5", RatioClamp::From2To3, true, barcode::EncodeCode2of5},
    {"bcCode_2_5_matrix", "Matrix 2 of 5", RatioClamp::From225To3, true, barcode::EncodeCode2of5},
    {"bcCode39", "Code 39", RatioClamp::From2To3, false, barcode::EncodeCode39},
    {"bcCode39Extended", "Code 39 Extended", RatioClamp::From2To3, false, barcode::EncodeCode39},
    {"bcCode128A", "Code 128 A", RatioClamp::None, false, barcode::EncodeCode128},
    {"bcCode128B", "Code 128 B", RatioClamp::None, false, barcode::EncodeCode128},
    {"bcCode128C", "Code 128 C", RatioClamp::None, false, barcode::EncodeCode128},
    {"bcCode93", "Code 93", RatioClamp::None, false, barcode::EncodeCode93},
    {"bcCode93Extended", "Code 93 Extended", RatioClamp::None, false, barcode::EncodeCode93},
    {"bcCodeMSI", "MSI", RatioClamp::None, true, barcode::EncodeMsi},
    {"bcCodePostNet", "PostNet", RatioClamp::None, true, barcode::EncodePostNet},
    {"bcCodeCodabar", "Codabar", RatioClamp::From2To3, false, barcode::EncodeCodabar},
    {"bcCodeEAN8", "EAN-8", RatioClamp::From2To3, true, barcode::EncodeEanUpc},
    {"bcCodeEAN13", "EAN-13", RatioClamp::From2To3, true, barcode::EncodeEanUpc},
    {"bcCodeUPC_A", "UPC-A", RatioClamp::From2To3, true, barcode::EncodeEanUpc},
    {"bcCodeUPC_E0", "UPC-E0", RatioClamp::From2To3, true, barcode::EncodeEanUpc},
    {"bcCodeUPC_E1", "UPC-E1", RatioClamp::From2To3, true, barcode::EncodeEanUpc},
    {"bcCodeUPC_Supp2", "UPC Supp2", RatioClamp::From2To3, true, barcode::EncodeEanUpc},
    {"bcCodeUPC_Supp5", "UPC Supp5", RatioClamp::From2To3, true, barcode::EncodeEanUpc},
    {"bcCodeEAN128A", "EAN-128 A", RatioClamp::None, false, barcode::EncodeCode128},
    {"bcCodeEAN128B", "EAN-128 B", RatioClamp::None, false, barcode::EncodeCode128},
    {"bcCodeEAN128C", "EAN-128 C", RatioClamp::None, true, barcode::EncodeCode128},
};

const SymbologyRow& Row(TfrxBarcodeType type) {
  int i = static_cast<int>(type);
  if (i < 0 || i >= kBarcodeTypeCount) throw BarcodeError("TfrxBarcode: wrong BarcodeType");
  return kSymbologies[i];
}

double ClampRatio(RatioClamp clamp, double ratio) {
  // A NaN or infinite ratio has no width to give; take the default.
  if (!std::isfinite(ratio)) ratio = 2.0;
  double low = 0, high = 0;
  switch (clamp) {
    case RatioClamp::None: return ratio;
    case RatioClamp::From2To3: low = 2.0, high = 3.0; break;
    case RatioClamp::From225To3: low = 2.25, high = 3.0; break;
  }
  return ratio < low ? low : ratio > high ? high : ratio;
}

// w0 is the low byte of Modul as a signed value; a zero or negative module
// would draw nothing (and divide by zero when stretched), so it counts as 1.
// The wide classes are w1 = Round(w0 x ratio), w2 = w1 x 3 div 2, w3 = w1 x 2,
// all signed bytes: a ratio that would make w3 overflow (or w1 vanish) is
// clamped to the nearest one that fits, and that is the ratio written back.
void ModuleWidths(int modul, double& ratio, std::array<int, 4>& widths) {
  int w0 = static_cast<std::int8_t>(static_cast<std::uint8_t>(modul & 0xFF));
  if (w0 < 1) w0 = 1;
  double w1 = std::nearbyint(w0 * ratio);
  if (w1 > 63) {
    ratio = 63.0 / w0;
    w1 = 63;
  } else if (w1 < 1) {
    ratio = 1.0 / w0;
    w1 = 1;
  }
  int n = static_cast<int>(w1);
  widths = {w0, n, n * 3 / 2, n * 2};
}

}  // namespace

const char* BarcodeTypeName(TfrxBarcodeType type) { return Row(type).name; }

bool BarcodeTypeFromName(std::string_view name, TfrxBarcodeType& type) {
  for (int i = 0; i < kBarcodeTypeCount; ++i)
    if (name == kSymbologies[i].name) {
      type = static_cast<TfrxBarcodeType>(i);
      return true;
    }
  return false;
}

int ModuleClass(char c) {
  if (c >= '0' && c <= '3') return c - '0';
  if (c >= '5' && c <= '8') return c - '5';
  if (c >= 'A' && c <= 'D') return c - 'A';
  return -1;
}
bool IsBarModule(char c) { return (c >= '5' && c <= '8') || (c >= 'A' && c <= 'D'); }
bool IsShortBarModule(char c) { return c >= 'A' && c <= 'D'; }

namespace barcode {

const char* SymbologyTitle(TfrxBarcodeType type) { return Row(type).title; }

namespace {

// A byte as a message shows it: itself when printable, else "#" and its code,
// so no control character of the data reaches a terminal or a log.
std::string ShownByte(unsigned char byte) {
  return byte < 32 || byte >= 127 ? "#" + std::to_string(byte) : std::string(1, static_cast<char>(byte));
}

}  // namespace

std::string ShownText(std::string_view text) {
  std::string shown;
  for (char c : text) shown += ShownByte(static_cast<unsigned char>(c));
  return shown;
}

void ThrowCannotEncode(TfrxBarcodeType type, char c) {
  auto byte = static_cast<unsigned char>(c);
  const std::string shown = byte < 32 || byte >= 127 ? ShownByte(byte) : "\"" + ShownByte(byte) + "\"";
  throw BarcodeError(std::string(SymbologyTitle(type)) + " cannot encode " + shown);
}

void AppendWidthPattern(std::string& modules, std::string_view widths, bool barFirst) {
  bool bar = barFirst;
  for (char w : widths) {
    modules += static_cast<char>((bar ? '5' : '0') + (w - '1'));
    bar = !bar;
  }
}

}  // namespace barcode

std::string PadLeftZeros(std::string_view text, std::size_t length) {
  std::string s;
  if (text.size() < length) s.assign(length - text.size(), '0');
  s += text;
  return s;
}

namespace {
int DigitForCheck(char c) {
  if (!barcode::IsDigit(c))
    throw BarcodeError(std::string("'") + c + "' is not a valid integer value");
  return c - '0';
}
}  // namespace

std::string AppendModulo10(std::string_view digits) {
  int sum = 0;
  int weight = 3;
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    sum += DigitForCheck(*it) * weight;
    weight = 4 - weight;
  }
  std::string s(digits);
  s += static_cast<char>('0' + (10 - sum % 10) % 10);
  return s;
}

std::string AddOnCheckDigit(std::string_view digits) {
  int sum = 0;
  int weight = 3;
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    sum += DigitForCheck(*it) * weight;
    weight = 12 - weight;
  }
  std::string s(digits);
  s += static_cast<char>('0' + sum % 10);
  return s;
}

BarcodeSymbol TfrxBarcode::Encode() const {
  const SymbologyRow& row = Row(Typ);
  BarcodeSymbol out;
  out.ratio = ClampRatio(row.clamp, Ratio);
  ModuleWidths(Modul, out.ratio, out.widths);
  if (Text.size() > kMaxBarcodeText)
    throw BarcodeError("Barcode text is longer than " + std::to_string(kMaxBarcodeText) +
                       " characters");
  std::string_view text = Text;
  if (row.numeric) {
    text = TrimBlanks(text);
    for (char c : text)
      if (!barcode::IsDigit(c)) throw BarcodeError("Barcode must be numeric");
  }
  row.encode({Typ, text, Checksum, CheckSumMethod}, out);
  int width = 0;
  for (char c : out.modules) {
    int k = ModuleClass(c);
    if (k < 0) throw BarcodeError("TfrxBarcode: internal Error");
    width += out.widths[k];
  }
  out.width = width;
  return out;
}

std::string TfrxBarcode::EncodeText() {
  BarcodeSymbol symbol = Encode();
  Ratio = symbol.ratio;
  return std::move(symbol.modules);
}

int TfrxBarcode::Width() const { return Encode().width; }

void TfrxBarcode::Assign(const TfrxBarcode& source) {
  Height = source.Height;
  Text = source.Text;
  OriginX = source.OriginX;
  OriginY = source.OriginY;
  Modul = source.Modul;
  Ratio = source.Ratio;
  Typ = source.Typ;
  Checksum = source.Checksum;
  Angle = source.Angle;
  Color = source.Color;
  ColorBar = source.ColorBar;
  CheckSumMethod = source.CheckSumMethod;
}

}  // namespace zentavo
