// Printing a report: its prepared pages through the print job, installed
// into the model as what TfrxReport::Print runs.
#include <mutex>
#include <stdexcept>
#include <string>

#include "engine/frxEngine.h"
#include "report/frxCustomPreviewPages.h"
#include "print/frxPrintJob.h"
#include "print/frxPrinter.h"
#include "report/frxReport.h"
#include "report/frxServices.h"

namespace zentavo {
namespace {

class PreviewPagesToPrint final : public PrintablePages {
 public:
  explicit PreviewPagesToPrint(TfrxCustomPreviewPages& pages) : pages_(pages) {}
  int PageCount() override { return pages_.PageCount(); }
  TfrxReportPage& BuildPage(int index) override {
    TfrxReportPage* page = pages_.BuildPage(index);
    if (page == nullptr) throw std::runtime_error("Prepared page " + std::to_string(index + 1) + " is missing");
    return *page;
  }
  void PaintPage(int index, Canvas& canvas, double scaleX, double scaleY, double offsetX,
                 double offsetY) override {
    pages_.PaintPage(index, canvas, scaleX, scaleY, offsetX, offsetY);
  }
  void ClearPageCache() override { pages_.ClearCache(); }

 private:
  TfrxCustomPreviewPages& pages_;
};

bool PrintReport(TfrxReport& report) {
  PreviewPagesToPrint pages(report.PreviewPages());
  PrintNotifications notify;
  notify.onPrintReport = report.OnPrintReport;
  notify.onPrintPage = report.OnPrintPage;
  notify.onAfterPrintReport = report.OnAfterPrintReport;
  notify.processEvents = report.OnProcessEvents;
  if (report.OnProgressStart)
    notify.progressStart = [&report] { report.OnProgressStart(report, TfrxReport::ptPrinting, 0); };
  if (report.OnProgress)
    notify.progress = [&report](int page) { report.OnProgress(report, TfrxReport::ptPrinting, page); };
  if (report.OnProgressStop)
    notify.progressStop = [&report] { report.OnProgressStop(report, TfrxReport::ptPrinting, 0); };
  return PrintPreparedPages(report, pages, SharedPrinterList(), notify);
}

}  // namespace

void InstallPrinting() {
  static std::once_flag once;
  std::call_once(once, [] {
    InstallEngine();
    ReportServices().print = &PrintReport;
  });
}

}  // namespace zentavo
