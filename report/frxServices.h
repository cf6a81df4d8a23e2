// What the layers above the report model install into it at start-up: the
// preparation engine and the store of prepared pages (engine/), printing
// (print/) and the drawing state of a report (render/). The model calls
// through these and never names the layers themselves; a program that
// installs none of them still loads, saves and diffs templates.
#pragma once

#include <memory>

namespace zentavo {

class TfrxCustomEngine;
class TfrxCustomPreviewPages;
class TfrxReport;

// Per-report drawing state of the renderer: its text layout engine and the
// pictures it has decoded. Opaque to the model, which only owns it.
class TfrxRenderContext {
 public:
  virtual ~TfrxRenderContext() = default;
};

struct TfrxReportServices {
  std::unique_ptr<TfrxCustomEngine> (*createEngine)(TfrxReport& report) = nullptr;
  std::unique_ptr<TfrxCustomPreviewPages> (*createPreviewPages)(TfrxReport& report) = nullptr;
  // Prints the report's prepared pages; false only when a dialog was cancelled.
  bool (*print)(TfrxReport& report) = nullptr;
  std::unique_ptr<TfrxRenderContext> (*createRenderContext)() = nullptr;
};

// Filled by the installing layers before the first report exists, only read
// afterwards.
TfrxReportServices& ReportServices();

// A fresh render context, or an empty one when no renderer is installed.
std::unique_ptr<TfrxRenderContext> NewRenderContext();

}  // namespace zentavo
