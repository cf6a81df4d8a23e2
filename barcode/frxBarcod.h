// The barcode symbol encoder: 23 linear symbologies turned into module strings,
// their widths, and the geometry of the symbol in a device rectangle.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Canvas.h"

namespace zentavo {

// Ordinals 0..22 are stored in templates; keep the order.
enum TfrxBarcodeType : int {
  bcCode_2_5_interleaved,
  bcCode_2_5_industrial,
  bcCode_2_5_matrix,
  bcCode39,
  bcCode39Extended,
  bcCode128A,
  bcCode128B,
  bcCode128C,
  bcCode93,
  bcCode93Extended,
  bcCodeMSI,
  bcCodePostNet,
  bcCodeCodabar,
  bcCodeEAN8,
  bcCodeEAN13,
  bcCodeUPC_A,
  bcCodeUPC_E0,
  bcCodeUPC_E1,
  bcCodeUPC_Supp2,
  bcCodeUPC_Supp5,
  bcCodeEAN128A,
  bcCodeEAN128B,
  bcCodeEAN128C,
};
inline constexpr int kBarcodeTypeCount = 23;

enum TfrxCheckSumMethod : int { csmNone, csmModulo10 };

// The name a template uses for a type ("bcCode128C"), and back; false when unknown.
const char* BarcodeTypeName(TfrxBarcodeType type);
bool BarcodeTypeFromName(std::string_view name, TfrxBarcodeType& type);

// A text the symbology cannot encode; the message is shown in place of the bars.
struct BarcodeError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The longest text we encode; longer ones are refused before any work.
inline constexpr std::size_t kMaxBarcodeText = 1024;

// One encoding, complete: nothing of the encoder is changed by making it.
struct BarcodeSymbol {
  // One character per element: "0".."3" spaces, "5".."8" bars, "A".."D"
  // short bars, of width class 0..3.
  std::string modules;
  // What the symbol carries and the human-readable line shows: the text
  // after trimming, padding and any check digit it was asked to append.
  std::string text;
  double ratio = 2.0;             // after the symbology's clamps
  std::array<int, 4> widths{};    // w0..w3 in drawing units
  int width = 0;                  // sum of the element widths
};

// Width of one module-string character, or -1 outside the alphabet.
int ModuleClass(char c);
bool IsBarModule(char c);
bool IsShortBarModule(char c);

struct BarcodeFill {
  Rect rect;
  std::int32_t color = 0;  // TColor 0x00BBGGRR
};

// One group of human-readable characters.
struct BarcodeLabel {
  std::string text;
  int x = 0;           // top-left corner of the text cell, in the text's
  int y = 0;           //   own (rotated) orientation
  int angle = 0;       // 0, 90, 180 or 270, counter-clockwise
  int fontHeight = 0;  // em of the Arial text in device pixels
};

// Where the symbol sits along its length when whole device dots per module
// make it shorter than the rectangle: at the left/top edge, centred, or at
// the right/bottom edge.
enum class BarcodeAlign { Near, Center, Far };

// The symbol as plain geometry: fills in painting order (background of the
// symbol, bars, the blanking under each text group) and the text groups.
struct BarcodeDrawing {
  std::vector<BarcodeFill> fills;
  std::vector<BarcodeLabel> labels;
  int moduleDots = 0;     // device pixels per drawing unit along the symbol
  int drawingLength = 0;  // W: drawing units along the symbol
  int drawingCross = 0;   // drawing units across (PH at 0/180, PW at 90/270)
  int barHeight = 0;      // Height: drawing units of the full bars
  int angle = 0;          // the quadrant drawn
  Rect symbol;            // device rectangle covered by bars and spaces
};

// Width of a text in device pixels in Arial with the given em; lets the
// geometry centre the text without knowing the font machinery.
using BarcodeTextWidth = std::function<int(std::string_view text, int fontHeight)>;

class TfrxBarcode {
 public:
  std::string Text;
  int Modul = 1;  // only its low byte counts, as a signed value
  double Ratio = 2.0;
  TfrxBarcodeType Typ = bcCodeEAN13;
  bool Checksum = false;
  TfrxCheckSumMethod CheckSumMethod = csmModulo10;
  double Angle = 0;
  int Height = 0;
  std::int32_t Color = 0xFFFFFF;
  std::int32_t ColorBar = 0;
  int OriginX = 0;
  int OriginY = 0;

  // The whole encoding; throws BarcodeError. Never changes the encoder.
  BarcodeSymbol Encode() const;
  // The module string; the clamped ratio is written back to Ratio (so a
  // Code 39 Ratio of 1.5 reads 2.0 afterwards). Text is never changed.
  std::string EncodeText();
  // Total width in drawing units.
  int Width() const;

  // The symbol laid out in `rect` (device pixels), rotated by Angle (taken
  // to the nearest quadrant). Along the symbol each drawing unit is a whole
  // number of dots (`align` places the symbol when that leaves it shorter
  // than the rectangle); across, it fills the rectangle's height. Digits
  // outside the bars (EAN-13, UPC) fall outside `rect`. Sets Height, OriginX
  // and OriginY as a drawing does; throws BarcodeError for a bad text.
  BarcodeDrawing Layout(const Rect& rect, bool showText, BarcodeAlign align,
                        const BarcodeTextWidth& textWidth);

  // Lays the symbol out and paints it on the canvas without smoothing, so
  // every edge falls on a whole device pixel. Returns what was drawn.
  BarcodeDrawing DrawSymbol(Canvas& canvas, const Rect& rect, bool showText,
                            BarcodeAlign align = BarcodeAlign::Near);

  void Assign(const TfrxBarcode& source);
};

// Check-digit helpers shared by the EAN/UPC family and EAN 128.
std::string PadLeftZeros(std::string_view text, std::size_t length);
// Weights 3, 1, 3, ... from the rightmost digit; appends (10 - sum mod 10) mod 10.
std::string AppendModulo10(std::string_view digits);
// Weights 3, 9, 3, ... from the rightmost digit; appends sum mod 10.
std::string AddOnCheckDigit(std::string_view digits);

}  // namespace zentavo
