// The drawing steps every view shares: thick lines made of one-pixel lines,
// the pens and brushes a frame draws with, the frame's sides, and the
// painter of fills and frames.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/Canvas.h"
#include "platform/Rounding.h"
#include "report/frxComponent.h"
#include "report/frxPainter.h"
#include "report/frxTypes.h"

namespace zentavo {

// The colour a TColor paints with; nothing for clNone.
std::optional<Rgb> PaintColor(TColor color);

// A line `width` pixels wide drawn as that many one-pixel lines with the
// canvas's current pen, side by side across the line's major direction at
// offsets -(w div 2) .. (w div 2) - (1 if w is even). Width 0 counts as 1.
// The end points are not drawn.
void ThickLine(Canvas& canvas, Point from, Point to, int width);

// The pen style of a frame style; fsDouble draws solid.
PenStyle PenStyleOf(TfrxFrameStyle style);

// One side of a frame from `from` to `to`, F = frameWidthPx. For fsDouble
// `outward` points away from the rectangle (-1 or +1 across the side) and
// `extendStart`/`extendEnd` tell whether the perpendicular side that meets
// there is drawn; `middle` is the colour between the two lines (none: left
// as it is). The canvas holds the frame's pen.
struct FrameSide {
  Point from;
  Point to;
  int outward = -1;
  bool extendStart = false;
  bool extendEnd = false;
};
void FrameLine(Canvas& canvas, const FrameSide& side, TfrxFrameStyle style, int frameWidthPx,
               std::optional<Rgb> middle);

// Fill and frame with its shadow: how every view draws its background and
// border. The painters of the other view classes build on it.
class ViewPainter : public TfrxPainter {
 public:
  void DrawBackground(TfrxView& view) const override;
  void DrawFrame(TfrxView& view) const override;
};

}  // namespace zentavo
