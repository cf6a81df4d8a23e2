// Line objects: a line that is not diagonal is one edge of its own frame; a
// diagonal runs corner to corner as a thick line.
#include "render/Painters.h"

#include "render/Frames.h"
#include "report/frxViews.h"

namespace zentavo {
namespace {

void DrawLine(TfrxCustomLineView& line, Canvas& canvas, double scaleX, double scaleY, double offsetX,
              double offsetY) {
  if (!line.Diagonal) {
    // The object keeps the change, as the designer shows it afterwards.
    if (line.Width() <= line.Height()) {
      line.SetWidth(0);
      line.Frame.Typ = ftLeft;
    } else {
      line.SetHeight(0);
      line.Frame.Typ = ftTop;
    }
  }
  line.BeginDraw(canvas, scaleX, scaleY, offsetX, offsetY);
  if (!line.Diagonal) {
    line.DrawFrame();
    return;
  }
  const auto ink = PaintColor(line.Frame.Color);
  if (!ink || line.Frame.Width == 0) return;
  CanvasStateGuard guard(canvas);
  // The gaps of a dashed line show the object's colour.
  canvas.SetBackground(PaintColor(line.Color));
  canvas.SetPen(Pen{PenStyleOf(line.Frame.Style), 1, *ink});
  ThickLine(canvas, {line.Device.left, line.Device.top}, {line.Device.right, line.Device.bottom},
            line.FrameWidthPx);
}

}  // namespace

void RegisterLinePainter() { RegisterDrawing<TfrxCustomLineView, &DrawLine>(); }

}  // namespace zentavo
