// The print run over the prepared pages.
#include "print/frxPrintJob.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>
#include <stdexcept>

#include "print/frxPrinter.h"
#include "report/frxReport.h"

namespace zentavo {
namespace {

int ParseInteger(std::string_view piece) {
  std::string_view digits = piece;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  int value = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size())
    throw std::runtime_error("'" + std::string(piece) + "' is not a valid integer value");
  return value;
}

struct PageSettings {
  int paperSize = 0;
  int width = 0, height = 0;  // whole millimetres
  int source = 0;
  TPrinterOrientation orientation = TPrinterOrientation::poPortrait;
  TfrxDuplexMode duplex = TfrxDuplexMode::dmNone;
  friend bool operator==(const PageSettings&, const PageSettings&) = default;
};

class PrintRun {
 public:
  PrintRun(TfrxReport& report, PrintablePages& pages, TfrxPrinters& printers, const PrintNotifications& notify)
      : report_(report), pages_(pages), printers_(printers), notify_(notify) {
    const TfrxPrintOptions& o = report.PrintOptions;
    copies_ = o.Copies;
    collate_ = o.Collate;
    pageNumbers_ = o.PageNumbers;
    printPages_ = o.PrintPages;
    reverse_ = o.Reverse;
  }

  void PrintAllCopies() {
    printer_ = &printers_.CurrentPrinter();
    report_.Terminated = false;
    if (notify_.progressStart) notify_.progressStart();
    printer_->DocumentName = !report_.ReportOptions.Name.empty() ? report_.ReportOptions.Name : report_.FileName;
    if (copies_ <= 0) copies_ = 1;
    try {
      if (collate_) {
        for (copyNo_ = 1; copyNo_ <= copies_; ++copyNo_) {
          PrintSequence();
          // Duplex copies each start on a sheet of their own.
          if ((previous_.duplex == TfrxDuplexMode::dmVertical || previous_.duplex == TfrxDuplexMode::dmHorizontal) &&
              pagesPrinted_ % 2 == 1) {
            printer_->StartPrintPage();
            printer_->EndPrintPage();
          }
          if (report_.Terminated) break;
        }
      } else {
        copyNo_ = 1;
        PrintSequence();
      }
      if (documentStarted_) printer_->EndPrintDocument();
    } catch (...) {
      // A document cut short by an error never reaches the queue half-printed,
      // and the progress display does not stay up.
      if (documentStarted_ || printer_->InDocument) {
        try {
          printer_->AbortPrintDocument();
        } catch (...) {
        }
      }
      if (notify_.progressStop) notify_.progressStop();
      throw;
    }
    if (notify_.progressStop) notify_.progressStop();
  }

  void SelectPages() {
    for (int n : ExpandPageRanges(pageNumbers_, pages_.PageCount())) selected_.insert(n);
    // A page text that names only pages the report lacks selects nothing;
    // an empty selection must not fall back to "every page".
    rangeGiven_ = pageNumbers_.find_first_not_of(' ') != std::string::npos;
  }

 private:
  void PrintSequence() {
    pagesPrinted_ = 0;
    const int count = pages_.PageCount();
    for (int i = 0; i < count; ++i)
      if (!PrintOnePage(reverse_ ? count - 1 - i : i)) break;
  }

  bool PrintOnePage(int index) {
    if (index >= pages_.PageCount()) return true;
    const int number = index + 1;
    if (rangeGiven_ && selected_.count(number) == 0) return true;
    if (printPages_ == TfrxPrintPages::ppOdd && number % 2 == 0) return true;
    if (printPages_ == TfrxPrintPages::ppEven && number % 2 == 1) return true;
    if (report_.Terminated) {
      printer_->AbortPrintDocument();
      return false;
    }

    TfrxReportPage& page = pages_.BuildPage(index);
    const int deviceCopies = collate_ ? 1 : copies_;
    const int copyNo = collate_ ? copyNo_ : 1;
    if (notify_.onPrintPage) notify_.onPrintPage(page, copyNo);

    PageSettings settings;
    settings.paperSize = page.PaperSize();
    settings.width = static_cast<int>(std::nearbyint(page.PaperWidth()));
    settings.height = static_cast<int>(std::nearbyint(page.PaperHeight()));
    settings.source = index == 0 ? page.Bin : page.BinOtherPages;
    settings.orientation = page.Orientation();
    settings.duplex = page.Duplex;
    if (!documentStarted_ || !(settings == previous_))
      printer_->SelectPrintPaper(page.PaperSize(), page.PaperWidth(), page.PaperHeight(),
                                 page.Orientation() == TPrinterOrientation::poLandscape, settings.source,
                                 static_cast<int>(page.Duplex) + 1, deviceCopies);
    if (!documentStarted_) printer_->StartPrintDocument();
    documentStarted_ = true;
    printer_->StartPrintPage();

    const double scaleX = printer_->Resolution.x / 96.0;
    const double scaleY = printer_->Resolution.y / 96.0;
    pages_.PaintPage(index, printer_->PrintCanvas(), scaleX, scaleY, -printer_->PhysicalOffsetX(),
                     -printer_->PhysicalOffsetY());
    if (notify_.progress) notify_.progress(number);
    printer_->EndPrintPage();
    if (notify_.processEvents) notify_.processEvents();

    ++pagesPrinted_;
    previous_ = settings;
    pages_.ClearPageCache();
    return true;
  }

  TfrxReport& report_;
  PrintablePages& pages_;
  TfrxPrinters& printers_;
  const PrintNotifications& notify_;
  TfrxCustomPrinter* printer_ = nullptr;
  int copies_ = 1;
  bool collate_ = true;
  std::string pageNumbers_;
  TfrxPrintPages printPages_ = TfrxPrintPages::ppAll;
  bool reverse_ = false;
  std::set<int> selected_;
  bool rangeGiven_ = false;
  int copyNo_ = 1;
  bool documentStarted_ = false;
  int pagesPrinted_ = 0;
  PageSettings previous_;
};

}  // namespace

std::vector<int> ExpandPageRanges(std::string_view input, int count) {
  std::vector<int> list;
  std::string text;
  for (char c : input)
    if (c != ' ') text += c;
  if (text.empty()) return list;
  if (text.back() == '-') text += std::to_string(count);
  text += ',';
  std::size_t start = 0;
  bool range = false;
  int rangeStart = 1;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '-') {
      rangeStart = ParseInteger(std::string_view(text).substr(start, i - start));
      range = true;
      start = i + 1;
    } else if (text[i] == ',') {
      const int n = ParseInteger(std::string_view(text).substr(start, i - start));
      if (range) {
        // Only the part of the range inside 1..count is walked, whatever it says.
        for (int k = std::max(rangeStart, 1); k <= std::min(n, count); ++k) list.push_back(k);
      } else if (n >= 1 && n <= count) {
        list.push_back(n);
      }
      range = false;
      start = i + 1;
    }
  }
  return list;
}

bool PrintPreparedPages(TfrxReport& report, PrintablePages& pages, TfrxPrinters& printers,
                        const PrintNotifications& notify) {
  const int n = printers.FindPrinter(report.PrintOptions.Printer);
  if (n != -1) printers.SelectPrinterAt(n);
  // No print dialog on this platform: ShowDialog counts as false.
  if (notify.onPrintReport) notify.onPrintReport(report);
  PrintRun run(report, pages, printers, notify);
  try {
    run.SelectPages();
    run.PrintAllCopies();
  } catch (...) {
    if (notify.onAfterPrintReport) notify.onAfterPrintReport(report);
    throw;
  }
  if (notify.onAfterPrintReport) notify.onAfterPrintReport(report);
  return true;
}

}  // namespace zentavo
