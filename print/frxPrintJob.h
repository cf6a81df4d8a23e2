// The print job: a report's prepared pages printed on the current printer as
// one document, with page ranges, odd/even, reverse order, copies and
// collation, and the paper written whenever a page's differs from the last.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zentavo {

class Canvas;
class TfrxPrinters;
class TfrxReport;
class TfrxReportPage;

// What the job needs of the prepared pages.
class PrintablePages {
 public:
  virtual ~PrintablePages() = default;
  virtual int PageCount() = 0;
  // The page with its objects, valid until the cache is emptied.
  virtual TfrxReportPage& BuildPage(int index) = 0;
  virtual void PaintPage(int index, Canvas& canvas, double scaleX, double scaleY, double offsetX,
                         double offsetY) = 0;
  virtual void ClearPageCache() = 0;
};

// The report's print events and progress notifications; all optional.
struct PrintNotifications {
  std::function<void(TfrxReport&)> onPrintReport;
  std::function<void(TfrxReportPage& page, int copyNo)> onPrintPage;
  std::function<void(TfrxReport&)> onAfterPrintReport;
  std::function<void()> progressStart;
  std::function<void(int pageNumber)> progress;  // "Printing page %d"
  std::function<void()> progressStop;
  // Lets the window run between pages, so a cancel button can set Terminated.
  std::function<void()> processEvents;
};

// The 1-based page numbers `text` names, limited to 1..count, in the order
// named ("1,3,5-12"; "5-" runs to the last page). Empty text: every page.
// A piece that is no integer throws "'%s' is not a valid integer value".
std::vector<int> ExpandPageRanges(std::string_view text, int count);

// Installs printing into the model (TfrxReport::Print), after the engine
// (once; later calls do nothing). What a program calls at start-up.
void InstallPrinting();

// Prints every selected page; false only when a print dialog was cancelled
// (this platform shows none: PrintOptions.ShowDialog counts as false).
bool PrintPreparedPages(TfrxReport& report, PrintablePages& pages, TfrxPrinters& printers,
                        const PrintNotifications& notify = {});

}  // namespace zentavo
