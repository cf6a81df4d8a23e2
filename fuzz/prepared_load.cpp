// Fuzzes loading prepared reports from outside: any bytes either load and
// every page rebuilds and paints, or loading fails with an error.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "report/frxCustomPreviewPages.h"
#include "platform/RecordingCanvas.h"
#include "report/frxClass.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zentavo::TfrxReport report;
  zentavo::TMemoryStream stream(std::string(reinterpret_cast<const char*>(data), size));
  zentavo::TfrxCustomPreviewPages& pages = report.PreviewPages();
  try {
    pages.LoadFromStream(stream);
  } catch (const std::exception&) {
    return 0;
  }
  zentavo::RecordingCanvas canvas(96, 200, 200);
  for (int i = 0; i < pages.PageCount() && i < 8; ++i) {
    try {
      pages.PaintPage(i, canvas, 1, 1, 0, 0);
      (void)pages.PageSize(i);
    } catch (const std::exception&) {
    }
  }
  zentavo::TMemoryStream saved;
  try {
    pages.SaveToStream(saved);
  } catch (const std::exception&) {
  }
  return 0;
}
