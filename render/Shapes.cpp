// Shapes: rectangle, rounded rectangle, ellipse, triangle, diamond and the
// two diagonals; the outline is the frame.
#include <algorithm>
#include <array>

#include "render/Frames.h"
#include "render/Painters.h"
#include "report/frxViews.h"

namespace zentavo {
namespace {

void DrawShape(Canvas& canvas, const TfrxShapeView& s) {
  const int l = s.Device.left, t = s.Device.top, r = s.Device.right, b = s.Device.bottom;
  const int w = r - l, h = b - t;
  switch (s.Shape) {
    case TfrxShapeKind::skRectangle: canvas.Rectangle(Rect{l, t, r + 1, b + 1}); break;
    case TfrxShapeKind::skRoundRectangle: {
      const int radius = s.Curve != 0 ? RoundHalfEven(s.Curve * s.ScaleX * 10) : std::min(w, h) / 4;
      canvas.RoundRect(Rect{l, t, r + 1, b + 1}, radius, radius);
      break;
    }
    case TfrxShapeKind::skEllipse: canvas.Ellipse(Rect{l, t, r + 1, b + 1}); break;
    case TfrxShapeKind::skTriangle: {
      const std::array<Point, 4> p = {Point{r, b}, Point{l, b}, Point{l + w / 2, t}, Point{r, b}};
      canvas.Polygon(p);
      break;
    }
    case TfrxShapeKind::skDiamond: {
      const std::array<Point, 4> p = {Point{l + w / 2, t}, Point{r, t + h / 2}, Point{l + w / 2, b},
                                      Point{l, t + h / 2}};
      canvas.Polygon(p);
      break;
    }
    case TfrxShapeKind::skDiagonal1:
    case TfrxShapeKind::skDiagonal2: {
      // A thick line of one-pixel lines in the outline's dash style.
      CanvasStateGuard guard(canvas);
      Pen pen = canvas.GetPen();
      if (pen.style == PenStyle::Clear) break;
      pen.width = 1;
      canvas.SetPen(pen);
      if (s.Shape == TfrxShapeKind::skDiagonal1) {
        ThickLine(canvas, {l, b}, {r, t}, s.FrameWidthPx);
      } else {
        ThickLine(canvas, {l, t}, {r, b}, s.FrameWidthPx);
      }
      break;
    }
  }
}

void DrawShapeView(TfrxShapeView& s, Canvas& canvas, double scaleX, double scaleY, double offsetX,
                   double offsetY) {
  s.BeginDraw(canvas, scaleX, scaleY, offsetX, offsetY);
  CanvasStateGuard guard(canvas);
  const auto outline = PaintColor(s.Frame.Color);
  const auto fill = PaintColor(s.Color);
  // fsDouble draws no outline.
  const bool noOutline = !outline || s.Frame.Style == TfrxFrameStyle::fsDouble;
  canvas.SetPen(noOutline ? Pen{PenStyle::Clear, 0, {}} : Pen{PenStyleOf(s.Frame.Style), s.FrameWidthPx, *outline});
  // The gaps of a dashed outline show the fill, or nothing with no fill.
  canvas.SetBackground(fill);
  if (s.BrushStyle != TBrushStyle::bsSolid) {
    if (fill) {
      canvas.SetBrush(Brush{zentavo::BrushStyle::Solid, *fill});
      DrawShape(canvas, s);
    }
    // The hatch (or nothing, for bsClear) over it, without a background of its own.
    canvas.SetBackground(std::nullopt);
    canvas.SetBrush(outline && s.BrushStyle != TBrushStyle::bsClear
                        ? Brush{static_cast<zentavo::BrushStyle>(s.BrushStyle), *outline}
                        : Brush{zentavo::BrushStyle::Clear, {}});
    DrawShape(canvas, s);
    return;
  }
  canvas.SetBrush(fill ? Brush{zentavo::BrushStyle::Solid, *fill} : Brush{zentavo::BrushStyle::Clear, {}});
  DrawShape(canvas, s);
}

}  // namespace

void RegisterShapePainter() { RegisterDrawing<TfrxShapeView, &DrawShapeView>(); }

}  // namespace zentavo
