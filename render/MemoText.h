// The memo's side of text drawing on plain inputs: its text rectangle and
// gaps, the order of the engine's calls for drawing, CalcHeight, CalcWidth
// and DrawPart, the ruled underlines and the page-count token. The memo
// view fills a MemoTextProps from its properties and calls these.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Canvas.h"
#include "render/frxGraphicUtils.h"

namespace zentavo {

// Frame sides, as the bits of TfrxFrame.Typ.
enum : std::uint8_t { kFrameLeft = 1, kFrameRight = 2, kFrameTop = 4, kFrameBottom = 8 };

struct MemoFrame {
  std::uint8_t typ = 0;
  double width = 1;
  std::int32_t color = 0;  // TColor
  bool dropShadow = false;
  double shadowWidth = 4;
};

// The memo properties the text needs. With Highlight active, the memo puts
// Highlight.Font into `font` (and draws its background in Highlight.Color).
struct MemoTextProps {
  std::vector<std::u16string> memo;
  DrawTextFont font;
  TextHAlign hAlign = TextHAlign::haLeft;
  TextVAlign vAlign = TextVAlign::vaTop;
  int rotation = 0;
  bool wordWrap = true;
  bool wordBreak = false;
  bool allowHTMLTags = false;
  bool rtlReading = false;
  bool clipped = true;
  bool underlines = false;
  bool autoWidth = false;
  double lineSpacing = 2;
  double gapX = 2;
  double gapY = 1;
  double paragraphGap = 0;
  double charSpacing = 0;
  MemoFrame frame;
};

// The memo's place: absolute position and size in report pixels.
struct MemoGeometry {
  double absLeft = 0;
  double absTop = 0;
  double width = 0;
  double height = 0;
};

// BeginDraw's device rectangle (rounded to even, shadow taken off).
Rect MemoDeviceRect(const MemoGeometry& g, const MemoFrame& frame, double scaleX, double scaleY, double offsetX,
                    double offsetY);
// The text rectangle inside a device rectangle: frame half-widths and gaps
// taken off, right and bottom one further.
Rect MemoTextRect(const Rect& device, const MemoTextProps& p, double scaleX, double scaleY);
// Report pixels, not rounded.
double HorizontalGaps(const MemoTextProps& p);
double VerticalGaps(const MemoTextProps& p);

// SetFont, SetOptions, SetGaps, SetDimensions and SetText in that order.
// For a split only the lines the bounds hold and the first one after them
// are laid out.
void PrepareText(TfrxDrawText& engine, const MemoTextProps& p, const LayoutBounds& bounds, const Rect& deviceTextRect,
                 double scaleX, double scaleY, bool forSplit = false);

// Round(TextHeight + VerticalGaps) laid out in the memo's text rectangle at
// scale 1 (10000 x 10000 with AutoWidth).
double MemoCalcHeight(TfrxDrawText& engine, const MemoTextProps& p, const MemoGeometry& g);
// Round(TextWidth + HorizontalGaps) laid out in 10000 x 10000.
double MemoCalcWidth(TfrxDrawText& engine, const MemoTextProps& p);
// The width AutoWidth gives the memo: TextWidth + HorizontalGaps, unrounded.
double MemoAutoWidth(TfrxDrawText& engine, const MemoTextProps& p);

// One DrawPart: lays `remembered` (a whole text) out in the memo's box at
// scale 1 and returns what fits, what remains and the height to report.
struct MemoPart {
  std::vector<std::u16string> fitting;  // the memo's new lines
  std::u16string remaining;             // the new remembered text
  double result = 0;                    // UnusedSpace, or Height when that is 0
};
MemoPart MemoDrawPart(TfrxDrawText& engine, const MemoTextProps& p, const MemoGeometry& g,
                      const std::u16string& remembered);

// The text part of the memo's Draw, after its background and frame: ruled
// underlines (rotation 0 only) and the lines. Takes the engine for its
// duration.
void MemoDrawText(Canvas& canvas, TfrxDrawText& engine, const MemoTextProps& p, const MemoGeometry& g, double scaleX,
                  double scaleY, double offsetX, double offsetY);

// Replaces the first "[TOTALPAGES#]" (any case) by the number; true when
// one was found.
bool ReplaceTotalPages(std::vector<std::u16string>& lines, int totalPages);

}  // namespace zentavo
