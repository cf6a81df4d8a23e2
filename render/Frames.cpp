// A view's fill, its frame in every style and its drop shadow, in device
// pixels with GDI's conventions (end points and right/bottom edges out).
#include "render/Frames.h"

#include <algorithm>
#include <cmath>

#include "platform/Color.h"
#include "report/frxComponent.h"

namespace zentavo {

std::optional<Rgb> PaintColor(TColor color) { return RgbFromColor(color); }

void ThickLine(Canvas& canvas, Point from, Point to, int width) {
  if (width <= 0) width = 1;
  // A frame never needs more than a page's worth of one-pixel lines; a forged
  // width must not keep the drawing busy for ever.
  width = std::min(width, 32768);
  const bool shiftVertically = std::abs(to.x - from.x) > std::abs(to.y - from.y);
  const int first = -(width / 2);
  const int last = width / 2 - (width % 2 == 0 ? 1 : 0);
  for (int k = first; k <= last; ++k) {
    if (shiftVertically) {
      canvas.Line({from.x, from.y + k}, {to.x, to.y + k});
    } else {
      canvas.Line({from.x + k, from.y}, {to.x + k, to.y});
    }
  }
}

PenStyle PenStyleOf(TfrxFrameStyle style) {
  switch (style) {
    case TfrxFrameStyle::fsDash: return PenStyle::Dash;
    case TfrxFrameStyle::fsDot: return PenStyle::Dot;
    case TfrxFrameStyle::fsDashDot: return PenStyle::DashDot;
    case TfrxFrameStyle::fsDashDotDot: return PenStyle::DashDotDot;
    case TfrxFrameStyle::fsSolid:
    case TfrxFrameStyle::fsDouble: break;
  }
  return PenStyle::Solid;
}

namespace {

bool Vertical(const FrameSide& s) { return s.from.x == s.to.x && s.from.y != s.to.y; }

// The side moved `across` pixels away from the rectangle (negative: into it)
// and lengthened by `stretch` at each end that meets a drawn side
// (negative: shortened).
FrameSide Parallel(const FrameSide& s, int across, int stretch, int width) {
  FrameSide p = s;
  const int shift = s.outward * across * width;
  if (Vertical(s)) {
    const int dir = s.to.y >= s.from.y ? 1 : -1;
    p.from = {s.from.x + shift, s.from.y - dir * (s.extendStart ? stretch * width : 0)};
    p.to = {s.to.x + shift, s.to.y + dir * (s.extendEnd ? stretch * width : 0)};
  } else {
    const int dir = s.to.x >= s.from.x ? 1 : -1;
    p.from = {s.from.x - dir * (s.extendStart ? stretch * width : 0), s.from.y + shift};
    p.to = {s.to.x + dir * (s.extendEnd ? stretch * width : 0), s.to.y + shift};
  }
  return p;
}

}  // namespace

void FrameLine(Canvas& canvas, const FrameSide& side, TfrxFrameStyle style, int frameWidthPx,
               std::optional<Rgb> middle) {
  const int f = std::max(frameWidthPx, 1);
  switch (style) {
    case TfrxFrameStyle::fsSolid: canvas.Line(side.from, side.to); return;
    case TfrxFrameStyle::fsDash:
    case TfrxFrameStyle::fsDot:
    case TfrxFrameStyle::fsDashDot:
    case TfrxFrameStyle::fsDashDotDot: ThickLine(canvas, side.from, side.to, frameWidthPx); return;
    case TfrxFrameStyle::fsDouble: break;
  }
  if (middle) {
    CanvasStateGuard guard(canvas);
    Pen pen = canvas.GetPen();
    pen.color = *middle;
    canvas.SetPen(pen);
    canvas.Line(side.from, side.to);
  }
  // Outside the rectangle the line grows into the corner, inside it shrinks,
  // so the corners of a full double frame close.
  const FrameSide outer = Parallel(side, 1, 1, f);
  const FrameSide inner = Parallel(side, -1, -1, f);
  canvas.Line(outer.from, outer.to);
  canvas.Line(inner.from, inner.to);
}

// ---------------------------------------------------------------- views

void ViewPainter::DrawBackground(TfrxView& v) const {
  if (v.DrawCanvas == nullptr) return;
  Canvas& canvas = *v.DrawCanvas;
  CanvasStateGuard guard(canvas);
  const DeviceRect& d = v.Device;
  if (const auto fill = PaintColor(v.Color)) {
    canvas.SetBrush(Brush{zentavo::BrushStyle::Solid, *fill});
    canvas.FillRect(zentavo::Rect{d.left, d.top, d.right, d.bottom});
  }
  // bsClear has no pattern: nothing but the colour above.
  if (v.BrushStyle != TBrushStyle::bsSolid && v.BrushStyle != TBrushStyle::bsClear) {
    if (const auto ink = PaintColor(v.Frame.Color)) {
      // The hatch lies over the fill; its own gaps stay transparent.
      canvas.SetBackground(std::nullopt);
      canvas.SetBrush(Brush{static_cast<zentavo::BrushStyle>(v.BrushStyle), *ink});
      canvas.FillRect(zentavo::Rect{d.left, d.top, d.right + 1, d.bottom + 1});
    }
  }
}

void ViewPainter::DrawFrame(TfrxView& v) const {
  if (v.DrawCanvas == nullptr) return;
  Canvas& canvas = *v.DrawCanvas;
  CanvasStateGuard guard(canvas);
  const TfrxFrame& frame = v.Frame;
  const int l = v.Device.left, t = v.Device.top, r = v.Device.right, b = v.Device.bottom;

  if (frame.DropShadow) {
    if (const auto shadow = PaintColor(frame.ShadowColor)) {
      canvas.SetPen(Pen{PenStyle::Solid, 1, *shadow});
      const int sx = RoundHalfEven(frame.ShadowWidth * v.ScaleX);
      const int sy = RoundHalfEven(frame.ShadowWidth * v.ScaleY);
      ThickLine(canvas, {r + sx / 2, t + sx}, {r + sx / 2, b}, sx);
      ThickLine(canvas, {l + sy, b + sy / 2}, {r + sy, b + sy / 2}, sy);
    }
  }

  const auto ink = PaintColor(frame.Color);
  if (frame.Typ == 0 || !ink || frame.Width == 0) return;
  const auto background = PaintColor(v.Color);
  const int f = v.FrameWidthPx;
  const bool dashed = frame.Style != TfrxFrameStyle::fsSolid && frame.Style != TfrxFrameStyle::fsDouble;
  canvas.SetPen(Pen{PenStyleOf(frame.Style), dashed ? 1 : f, *ink});
  // Dashed gaps show the view's colour, or nothing over clNone.
  canvas.SetBackground(background);

  const std::uint32_t typ = frame.Typ;
  const bool hasLeft = typ & ftLeft, hasRight = typ & ftRight, hasTop = typ & ftTop, hasBottom = typ & ftBottom;
  // A one-pixel bottom side reaches the right side's column, closing the corner.
  const int bottomEnd = f == 1 ? r + 1 : r;
  const FrameSide sides[] = {
      {{l, t}, {l, b}, -1, hasTop, hasBottom},
      {{r, t}, {r, b}, +1, hasTop, hasBottom},
      {{l, t}, {r, t}, -1, hasLeft, hasRight},
      {{l, b}, {bottomEnd, b}, +1, hasLeft, hasRight},
  };
  const bool drawn[] = {hasLeft, hasRight, hasTop, hasBottom};
  for (int i = 0; i < 4; ++i) {
    if (drawn[i])
      FrameLine(canvas, sides[i], frame.Style, f, frame.Style == TfrxFrameStyle::fsDouble ? background : std::nullopt);
  }
}

}  // namespace zentavo
