// The text engine of memos: lays lines of Unicode text out once at a
// reference resolution of 600 per inch against a box in report pixels
// (96 per inch), then draws the same wrapped lines on any canvas so every
// line keeps its reference width and the block its reference height.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Canvas.h"
#include "platform/Font.h"

namespace zentavo {

// Same order as the memo's TfrxHAlign and TfrxVAlign, so they convert with
// a static_cast.
enum class TextHAlign { haLeft, haRight, haCenter, haBlock };
enum class TextVAlign { vaTop, vaBottom, vaCenter };

// The font of a memo as the report holds it.
struct DrawTextFont {
  std::string name = "Arial";
  int height = -13;          // report pixels at 96 per inch; negative: em
  std::uint8_t style = 0;    // FontStyleBits
  std::int32_t color = 0;    // TColor
  int charset = 1;
};

// Floating-point rectangle in report pixels.
struct LayoutBounds {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;
};

// Formatting of one character (TfrxHTMLTag).
struct TfrxHTMLTag {
  int textPos = 0;         // 1-based position in the whole text, tags included
  int fontSize = 0;        // points
  int baselineShift = 0;   // 1: subscript
  std::uint8_t fontStyle = 0;
  std::int32_t fontColor = 0;
  bool sameAsPrevious = true;
  bool reduced = false;    // size differs from the default size
};

// Line flags of wrapped lines.
enum : int { kFirstLine = 1, kLastLine = 2 };

struct WrappedLine {
  std::u16string text;
  std::vector<TfrxHTMLTag> tags;  // one per character of text
  int flags = 0;
};

// Font size in whole points of a height in pixels at 96 per inch, rounded
// half away from zero (-13 -> 10, -11 -> 8, -5 -> 4).
int FontSizeOfHeight(int height);

// Spreads `count` increments of `sign` over values[first..last] the way the
// engine spreads rounding differences: halves recursively, the odd one to the
// middle. Never writes outside the range; count is capped at its size.
void Distribute(std::vector<int>& values, int first, int last, int count, int sign);

// Splits text into lines at CR, LF, CR LF and U+2028 with no trailing empty
// line (TWideStrings), and joins lines each followed by CR LF.
std::vector<std::u16string> SplitWideText(std::u16string_view text);
std::u16string JoinWideText(const std::vector<std::u16string>& lines);

class TfrxDrawText {
 public:
  TfrxDrawText();

  // The engine is shared by all memos of a report; a drawing or measurement
  // holds it for its duration.
  std::unique_lock<std::mutex> Acquire() { return std::unique_lock<std::mutex>(busy_); }

  void SetFont(const DrawTextFont& font);
  void SetOptions(bool wordWrap, bool htmlTags, int rotation, bool clipped, bool wordBreak, bool rtlReading);
  void SetGaps(double lineSpacing, double charSpacing, double paragraphGap);
  // Layout bounds in report pixels; the device text rectangle and scales
  // for drawing.
  void SetDimensions(const LayoutBounds& bounds, const Rect& deviceRect, double scaleX, double scaleY);
  void SetText(const std::vector<std::u16string>& lines);

  void RenderLines(Canvas& canvas, TextHAlign hAlign, TextVAlign vAlign);

  // Report pixels.
  double LineHeight() const;
  double TextHeight() const;
  double TextWidth() const;

  // Splitting: the part of the text that fits the bounds' height and the
  // rest, as whole texts (lines followed by CR LF); the height left below
  // the fitting lines. RemainingText drops the lines that do not fit.
  std::u16string RemainingText();
  std::u16string FittingText() const { return fittingText_; }
  double UnusedSpace() const;

  int FontSize() const { return fontSize_; }
  int ReferenceHeight() const { return refHeight_; }  // reference font height, 600 per inch
  const std::vector<WrappedLine>& Lines() const { return lines_; }
  const std::u16string& WholeText() const { return wholeText_; }

 private:
  struct Measure;
  void WrapLine(std::u16string_view line, int fullWidth, int spacing, int firstWidth);
  std::vector<int> ReferenceAdvances(const WrappedLine& line) const;
  std::vector<int> DeviceAdvances(const WrappedLine& line, bool printer, int dpiY) const;
  void RenderLine(Canvas& canvas, const WrappedLine& line, double x, double y, int width, TextHAlign align);
  FontSpec ReferenceFont(std::uint8_t style) const;
  int DeviceFontHeight(int size, bool printer, int dpiY) const;

  std::mutex busy_;
  DrawTextFont font_;
  int fontSize_ = 10;
  int refHeight_ = 83;
  bool wordWrap_ = true;
  bool htmlTags_ = false;
  int rotation_ = 0;
  bool clipped_ = true;
  bool wordBreak_ = false;
  bool rtl_ = false;
  double lineSpacing_ = 2;
  double charSpacing_ = 0;
  double paragraphGap_ = 0;
  LayoutBounds bounds_;
  Rect deviceRect_;
  double scaleX_ = 1;
  double scaleY_ = 1;
  std::u16string wholeText_;
  std::u16string fittingText_;
  std::vector<WrappedLine> lines_;
  // Tag parser state carried from line to line.
  struct ParserState {
    int position = 1;
    int size = 10;
    std::uint8_t style = 0;
    std::int32_t color = 0;
    int baselineShift = 0;
  } parser_;
};

// Parses the formatting tags of one line: the characters that remain and
// one record each. Unknown or malformed tags stay as text. Exposed for tests.
struct ParsedLine {
  std::u16string text;
  std::vector<TfrxHTMLTag> tags;
};
struct TagDefaults {
  int size = 10;
  std::uint8_t style = 0;
  std::int32_t color = 0;
};
struct TagState {
  int position = 1;  // of the line's first character in the whole text
  int size = 10;
  std::uint8_t style = 0;
  std::int32_t color = 0;
  int baselineShift = 0;
};
ParsedLine ParseTags(std::u16string_view line, bool tagsAllowed, const TagDefaults& defaults, TagState& state);

// The TColor of a colour name without its "cl" ("Red" -> clRed), any case.
std::optional<std::int32_t> ColorByName(std::u16string_view name);

}  // namespace zentavo
