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

// A wrapped line as laid out: a stretch of one source line after its tags
// are taken out, and a hyphen when the line ends in a broken word. The
// characters and their formatting are read again from the source line when
// the line is drawn or measured, so a long text costs a few bytes per line,
// not its formatting records per character.
struct WrappedLine {
  std::uint32_t source = 0;  // index of the source line
  std::uint32_t begin = 0;   // characters of the tag-free source line
  std::uint32_t end = 0;
  std::uint8_t flags = 0;
  bool hyphen = false;
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
  // Lays the lines out. With a line limit, wrapping ends once that many
  // wrapped lines exist (a split needs only the lines that fit and the first
  // that does not); TextHeight and TextWidth then cover only those.
  void SetText(const std::vector<std::u16string>& lines, std::size_t lineLimit = kAllLines);
  static constexpr std::size_t kAllLines = static_cast<std::size_t>(-1);
  // Whether the last SetText laid the whole text out.
  bool LaidOutAll() const { return laidOutAll_; }
  // How many lines of LineHeight the layout bounds hold (the lines a split
  // keeps when there are more).
  std::size_t LinesInBounds() const;

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
  std::size_t LineCount() const { return lines_.size(); }
  std::u16string LineText(std::size_t i) const;
  int LineFlags(std::size_t i) const { return lines_[i].flags; }
  const std::u16string& WholeText() const { return wholeText_; }

 private:
  // A wrapped line with its characters and their formatting, made when it
  // is drawn or measured.
  struct LineGlyphs {
    std::u16string text;
    std::vector<TfrxHTMLTag> tags;  // one per character of text
    int flags = 0;
  };
  // Where each source line starts in the whole text, and the tag parser's
  // state there, so its tag-free text can be made again.
  struct SourceLine {
    std::size_t offset = 0;
    std::uint32_t length = 0;
    int position = 1;
    int size = 10;
    std::uint8_t style = 0;
    std::int32_t color = 0;
    int baselineShift = 0;
  };
  // The tag-free source line last asked for: lines are drawn in order, so
  // each source line is parsed once per drawing.
  struct ParsedCache {
    std::size_t source = static_cast<std::size_t>(-1);
    ParsedLine parsed;
  };
  ParsedLine ParseSource(std::size_t source) const;
  LineGlyphs Glyphs(const WrappedLine& line, ParsedCache& cache) const;
  void WrapLine(std::u16string_view line, int fullWidth, int spacing, int firstWidth, std::size_t lineLimit);
  std::vector<int> ReferenceAdvances(std::u16string_view text, const std::vector<TfrxHTMLTag>& tags) const;
  std::vector<int> DeviceAdvances(const LineGlyphs& line, bool printer, int dpiY) const;
  void RenderLine(Canvas& canvas, const LineGlyphs& line, double x, double y, int width, TextHAlign align);
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
  std::vector<SourceLine> sources_;
  bool laidOutAll_ = true;
  // Tag parser state carried from line to line.
  struct ParserState {
    int position = 1;
    int size = 10;
    std::uint8_t style = 0;
    std::int32_t color = 0;
    int baselineShift = 0;
  } parser_;
};


// The TColor of a colour name without its "cl" ("Red" -> clRed), any case.
std::optional<std::int32_t> ColorByName(std::u16string_view name);

}  // namespace zentavo
