// Installing the renderer: the render state every report owns, and the
// painters of the view classes.
#include "render/Painters.h"

#include <mutex>

#include "render/Frames.h"
#include "render/RenderState.h"
#include "report/frxClassRegistry.h"
#include "report/frxComponent.h"
#include "report/frxServices.h"

namespace zentavo {

void InstallRendering() {
  static std::once_flag once;
  std::call_once(once, [] {
    ReportServices().createRenderContext = [] () -> std::unique_ptr<TfrxRenderContext> {
      return std::make_unique<RenderState>();
    };
    static const ViewPainter views;
    RegisterPainter(TfrxView::StaticClassInfo(), views);
    RegisterMemoPainter();
    RegisterLinePainter();
    RegisterShapePainter();
    RegisterPicturePainter();
  });
}

}  // namespace zentavo
