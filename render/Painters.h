// The renderer's side of the model: a painter for every view class it draws,
// the per-report render state, installed into the model at start-up.
#pragma once

#include "platform/Canvas.h"
#include "render/Frames.h"
#include "report/frxClassRegistry.h"

namespace zentavo {

// The painter of a view class that draws itself with one function between
// (or around) the fill and frame every view has.
template <class V, void (*DrawFn)(V&, Canvas&, double, double, double, double)>
class DrawingPainter final : public ViewPainter {
 public:
  void Draw(TfrxView& view, Canvas& canvas, double scaleX, double scaleY, double offsetX,
            double offsetY) const override {
    DrawFn(static_cast<V&>(view), canvas, scaleX, scaleY, offsetX, offsetY);
  }
};

template <class V, void (*DrawFn)(V&, Canvas&, double, double, double, double)>
void RegisterDrawing() {
  static const DrawingPainter<V, DrawFn> painter;
  RegisterPainter(V::StaticClassInfo(), painter);
}

// Installs the painters and the render state (once; later calls do nothing).
void InstallRendering();

// The painters, one per drawing file.
void RegisterMemoPainter();
void RegisterLinePainter();
void RegisterShapePainter();
void RegisterPicturePainter();

}  // namespace zentavo
