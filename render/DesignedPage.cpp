// Drawing a template's page without preparing it.
#include "render/DesignedPage.h"

#include "report/frxViews.h"

namespace zentavo {
namespace {

void DrawViews(TfrxComponent& parent, Canvas& canvas, double sx, double sy, double ox, double oy, int totalPages) {
  for (TfrxComponent* child : parent.Objects()) {
    if (!child->Visible()) continue;
    if (auto* view = dynamic_cast<TfrxView*>(child)) {
      if (!view->Printable) continue;
      if (auto* memo = dynamic_cast<TfrxCustomMemoView*>(view)) memo->TotalPages = totalPages;
      view->Draw(canvas, sx, sy, ox, oy);
    }
    // Bands hold views; views may hold views too.
    DrawViews(*child, canvas, sx, sy, ox, oy, totalPages);
  }
}

}  // namespace

void DrawDesignedPage(TfrxReportPage& page, Canvas& canvas, int totalPages) {
  page.AlignChildren();
  const double sx = canvas.DpiX() / 96.0, sy = canvas.DpiY() / 96.0;
  const double ox = page.LeftMargin / 25.4 * canvas.DpiX(), oy = page.TopMargin / 25.4 * canvas.DpiY();
  DrawViews(page, canvas, sx, sy, ox, oy, totalPages);
}

}  // namespace zentavo
