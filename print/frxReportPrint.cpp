// TfrxReport::Print: the report's prepared pages through the print job.
#include <stdexcept>
#include <string>

#include "engine/frxPreviewPages.h"
#include "print/frxPrintJob.h"
#include "print/frxPrinter.h"
#include "report/frxReport.h"

namespace zentavo {
namespace {

class PreviewPagesToPrint final : public PrintablePages {
 public:
  explicit PreviewPagesToPrint(TfrxPreviewPages& pages) : pages_(pages) {}
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
  TfrxPreviewPages& pages_;
};

}  // namespace

bool TfrxReport::Print() {
  PreviewPagesToPrint pages(PreviewPages());
  PrintNotifications notify;
  notify.onPrintReport = OnPrintReport;
  notify.onPrintPage = OnPrintPage;
  notify.onAfterPrintReport = OnAfterPrintReport;
  notify.processEvents = OnProcessEvents;
  if (OnProgressStart) notify.progressStart = [this] { OnProgressStart(*this, ptPrinting, 0); };
  if (OnProgress) notify.progress = [this](int page) { OnProgress(*this, ptPrinting, page); };
  if (OnProgressStop) notify.progressStop = [this] { OnProgressStop(*this, ptPrinting, 0); };
  return PrintPreparedPages(*this, pages, SharedPrinterList(), notify);
}

}  // namespace zentavo
