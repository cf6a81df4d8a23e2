// What a view does where no renderer is installed: the drawing contract's
// bookkeeping only.
#include "report/frxPainter.h"

#include "report/frxComponent.h"
#include "report/frxViews.h"

namespace zentavo {

void TfrxPainter::Draw(TfrxView& view, Canvas& canvas, double scaleX, double scaleY, double offsetX,
                       double offsetY) const {
  view.BeginDraw(canvas, scaleX, scaleY, offsetX, offsetY);
  view.DrawBackground();
  view.DrawFrame();
}

double TfrxPainter::CalcHeight(TfrxStretcheable& object) const { return object.Height(); }

double TfrxPainter::CalcWidth(TfrxCustomMemoView& memo) const { return memo.Width(); }

double TfrxPainter::DrawPart(TfrxStretcheable&) const { return 0; }

const TfrxPainter& PlainPainter() {
  static const TfrxPainter painter;
  return painter;
}

}  // namespace zentavo
