// A report page drawn as designed: no preparation, every printable view at
// its place in the printable area.
#pragma once

#include "platform/Canvas.h"
#include "report/frxReport.h"

namespace zentavo {

// Aligns the page's children, then draws its views and the views of its
// bands in tree order at the canvas's resolution (scale dpi / 96), shifted
// by the left and top margins. Invisible and non-printable objects are left
// out. Memos replace "[TOTALPAGES#]" with `totalPages`.
void DrawDesignedPage(TfrxReportPage& page, Canvas& canvas, int totalPages);

}  // namespace zentavo
