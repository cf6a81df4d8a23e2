// Line objects: a line that is not diagonal is one edge of its own frame; a
// diagonal runs corner to corner as a thick line.
#include "render/Frames.h"
#include "report/frxViews.h"

namespace zentavo {

void TfrxCustomLineView::Draw(Canvas& canvas, double scaleX, double scaleY, double offsetX, double offsetY) {
  if (!Diagonal) {
    // The object keeps the change, as the designer shows it afterwards.
    if (Width() <= Height()) {
      SetWidth(0);
      Frame.Typ = ftLeft;
    } else {
      SetHeight(0);
      Frame.Typ = ftTop;
    }
  }
  BeginDraw(canvas, scaleX, scaleY, offsetX, offsetY);
  if (!Diagonal) {
    DrawFrame();
    return;
  }
  const auto ink = PaintColor(Frame.Color);
  if (!ink || Frame.Width == 0) return;
  CanvasStateGuard guard(canvas);
  // The gaps of a dashed line show the object's colour.
  canvas.SetBackground(PaintColor(Color));
  canvas.SetPen(Pen{PenStyleOf(Frame.Style), 1, *ink});
  ThickLine(canvas, {Device.left, Device.top}, {Device.right, Device.bottom}, FrameWidthPx);
}

}  // namespace zentavo
