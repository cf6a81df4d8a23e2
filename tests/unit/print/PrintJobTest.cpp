// The print job against a recording printer: which pages print, in what
// order, with which copies, when the paper is written, and what an error or
// a cancel leaves behind.
#include "print/frxPrintJob.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/CairoCanvas.h"
#include "print/DocumentSinks.h"
#include "print/frxPrinter.h"
#include "report/frxReport.h"

namespace zentavo {
namespace {

QueueCapabilities Device() {
  QueueCapabilities c;
  c.dpiX = c.dpiY = 203;
  c.customSizes = true;
  c.acceptsPdf = true;
  c.duplex = true;
  return c;
}

// Pages made in code; painting records the page index and draws a mark.
class FakePages final : public PrintablePages {
 public:
  explicit FakePages(int count, double width = 50, double height = 30) {
    for (int i = 0; i < count; ++i) {
      auto page = std::make_unique<TfrxReportPage>();
      page->SetPaperWidth(width);
      page->SetPaperHeight(height);
      pages.push_back(std::move(page));
    }
  }
  int PageCount() override { return static_cast<int>(pages.size()); }
  TfrxReportPage& BuildPage(int index) override {
    ++built;
    return *pages[static_cast<std::size_t>(index)];
  }
  void PaintPage(int index, Canvas& canvas, double scaleX, double, double offsetX, double) override {
    if (failOnIndex == index) throw std::runtime_error("drawing failed");
    painted.push_back(index);
    lastScale = scaleX;
    lastOffset = offsetX;
    canvas.FillRect({0, 0, 4, 4});
  }
  void ClearPageCache() override { ++cleared; }

  std::vector<std::unique_ptr<TfrxReportPage>> pages;
  std::vector<int> painted;
  int built = 0, cleared = 0, failOnIndex = -1;
  double lastScale = 0, lastOffset = 1;
};

struct Fixture {
  Fixture() {
    auto p = std::make_unique<TfrxRecordingPrinter>("Pelmora_Korvane", Device());
    printer = p.get();
    printers = std::make_unique<TfrxPrinters>(std::move(p));
    report.PrintOptions.ShowDialog = false;
    report.PrintOptions.Printer = "Pelmora Korvane";
  }
  bool Print(FakePages& pages) { return PrintPreparedPages(report, pages, *printers, notify); }
  int Count(const std::string& call) const {
    return static_cast<int>(std::count(printer->calls.begin(), printer->calls.end(), call));
  }

  TfrxReport report;
  TfrxRecordingPrinter* printer;
  std::unique_ptr<TfrxPrinters> printers;
  PrintNotifications notify;
};

TEST(ExpandPageRanges, Table) {
  struct Row {
    const char* text;
    int count;
    std::vector<int> expected;
    const char* why;
  };
  const Row rows[] = {
      {"", 10, {}, "empty means every page"},
      {"1,3,5-12", 10, {1, 3, 5, 6, 7, 8, 9, 10}, "list and range, cut at the last page"},
      {"5-", 7, {5, 6, 7}, "open range runs to the last page"},
      {"2 - 4", 10, {2, 3, 4}, "spaces anywhere"},
      {"3-1", 10, {}, "range ending below its start"},
      {"0,11", 10, {}, "numbers outside the pages"},
      {"2,2", 10, {2, 2}, "a page named twice"},
      {"1-2000000000", 3, {1, 2, 3}, "a huge range walks only the pages there are"},
  };
  for (const Row& r : rows) EXPECT_EQ(ExpandPageRanges(r.text, r.count), r.expected) << r.why;

  struct Bad {
    const char* text;
    const char* message;
  };
  const Bad bad[] = {{"1,a", "'a' is not a valid integer value"},
                     {"1,,2", "'' is not a valid integer value"},
                     {"-3", "'' is not a valid integer value"},
                     {"99999999999", "'99999999999' is not a valid integer value"}};
  for (const Bad& b : bad) {
    try {
      ExpandPageRanges(b.text, 10);
      ADD_FAILURE() << b.text << " was accepted";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), b.message);
    }
  }
}

TEST(PrintJob, TheLabelPath) {
  Fixture f;
  f.report.FileName = "T1_123";
  std::vector<std::string> events;
  f.notify.onPrintReport = [&](TfrxReport&) { events.push_back("print report"); };
  f.notify.progressStart = [&] { events.push_back("progress start"); };
  f.notify.progress = [&](int n) { events.push_back("Printing page " + std::to_string(n)); };
  f.notify.progressStop = [&] { events.push_back("progress stop"); };
  f.notify.onAfterPrintReport = [&](TfrxReport&) { events.push_back("after print report"); };
  FakePages pages(1);
  EXPECT_TRUE(f.Print(pages));
  const std::vector<std::string> calls = {"SelectPrintPaper(256, 50, 30, false, 7, 1, 1)",
                                          "StartPrintDocument(T1_123)", "StartPrintPage", "EndPrintPage",
                                          "EndPrintDocument"};
  EXPECT_EQ(f.printer->calls, calls);
  EXPECT_EQ(events, (std::vector<std::string>{"print report", "progress start", "Printing page 1", "progress stop",
                                              "after print report"}));
  ASSERT_EQ(f.printer->pages.size(), 1u);
  EXPECT_EQ(f.printer->pages[0]->Width(), 400) << "50 mm at 203 dpi";
  EXPECT_DOUBLE_EQ(pages.lastScale, 203 / 96.0);
  EXPECT_EQ(pages.lastOffset, 0) << "our documents start at the sheet's corner";
  EXPECT_EQ(pages.cleared, 1) << "the page cache is emptied after the page";

  f.report.ReportOptions.Name = "Named";
  FakePages again(1);
  f.Print(again);
  EXPECT_EQ(f.printer->documents.back(), "Named") << "the report's name wins over its file name";
}

TEST(PrintJob, CopiesAndCollation) {
  struct Row {
    int copies;
    bool collate;
    std::vector<int> painted;
    std::vector<int> copyNumbers;
    int deviceCopies;
    const char* why;
  };
  const Row rows[] = {
      {3, true, {0, 1, 0, 1, 0, 1}, {1, 1, 2, 2, 3, 3}, 1, "collated copies repeat the pages"},
      {3, false, {0, 1}, {1, 1}, 3, "uncollated: the device makes the copies"},
      {0, true, {0, 1}, {1, 1}, 1, "no copies means one"},
      {-2, true, {0, 1}, {1, 1}, 1, "negative copies mean one"},
  };
  for (const Row& r : rows) {
    Fixture f;
    f.report.PrintOptions.Copies = r.copies;
    f.report.PrintOptions.Collate = r.collate;
    std::vector<int> copyNumbers;
    f.notify.onPrintPage = [&](TfrxReportPage&, int copyNo) { copyNumbers.push_back(copyNo); };
    FakePages pages(2);
    f.Print(pages);
    EXPECT_EQ(pages.painted, r.painted) << r.why;
    EXPECT_EQ(copyNumbers, r.copyNumbers) << r.why;
    EXPECT_EQ(f.printer->Settings().copies, r.deviceCopies) << r.why;
    EXPECT_EQ(f.Count("StartPrintDocument()"), 1) << r.why << ": one document holds every copy";
    EXPECT_EQ(f.Count("SelectPrintPaper(256, 50, 30, false, 7, 1, " + std::to_string(r.deviceCopies) + ")"), 1)
        << r.why << ": equal pages write their paper once";
  }
}

TEST(PrintJob, PageSelection) {
  struct Row {
    const char* numbers;
    TfrxPrintPages which;
    bool reverse;
    std::vector<int> painted;
    const char* why;
  };
  const Row rows[] = {
      {"", TfrxPrintPages::ppOdd, false, {0, 2, 4}, "odd pages"},
      {"", TfrxPrintPages::ppEven, false, {1, 3}, "even pages"},
      {"2-5", TfrxPrintPages::ppOdd, false, {2, 4}, "odd counts over all pages, not the selected ones"},
      {"", TfrxPrintPages::ppAll, true, {4, 3, 2, 1, 0}, "reverse"},
      {"4,2", TfrxPrintPages::ppAll, false, {1, 3}, "pages print in page order, whatever the text's order"},
  };
  for (const Row& r : rows) {
    Fixture f;
    f.report.PrintOptions.PageNumbers = r.numbers;
    f.report.PrintOptions.PrintPages = r.which;
    f.report.PrintOptions.Reverse = r.reverse;
    FakePages pages(5);
    f.Print(pages);
    EXPECT_EQ(pages.painted, r.painted) << r.why;
  }

  Fixture f;
  f.report.PrintOptions.PageNumbers = "0,11";
  FakePages pages(5);
  EXPECT_TRUE(f.Print(pages));
  EXPECT_TRUE(f.printer->calls.empty()) << "nothing selected: no document, settings untouched";
}

TEST(PrintJob, PaperSourceAndChanges) {
  Fixture f;
  f.report.PrintOptions.Reverse = true;
  FakePages pages(3);
  for (auto& p : pages.pages) {
    p->Bin = 258;
    p->BinOtherPages = 259;
  }
  pages.pages[1]->SetPaperWidth(50.3);  // the same whole millimetres
  f.Print(pages);
  EXPECT_EQ(f.Count("SelectPrintPaper(256, 50, 30, false, 259, 1, 1)"), 1) << "index 2 first, other-pages bin";
  EXPECT_EQ(f.Count("SelectPrintPaper(256, 50, 30, false, 258, 1, 1)"), 1) << "index 0 takes Bin";
  EXPECT_EQ(f.printer->calls.size(), 3u + 3u * 2u + 1u) << "50.3 mm wide page 2 needs no new paper";

  Fixture g;
  FakePages turned(2);
  turned.pages[1]->SetOrientation(TPrinterOrientation::poLandscape);
  g.Print(turned);
  ASSERT_GE(g.printer->calls.size(), 6u);
  EXPECT_EQ(g.printer->calls[4], "SelectPrintPaper(256, 30, 50, true, 7, 1, 1)")
      << "a change of orientation writes the paper between the pages, inside the document";
}

TEST(PrintJob, CollatedDuplexStartsEachCopyOnANewSheet) {
  struct Row {
    int pages;
    TfrxDuplexMode duplex;
    int pageStarts;
    const char* why;
  };
  const Row rows[] = {
      {3, TfrxDuplexMode::dmVertical, 8, "an empty page after each copy's third page"},
      {4, TfrxDuplexMode::dmVertical, 8, "even page counts need none"},
      {3, TfrxDuplexMode::dmSimplex, 6, "simplex needs none"},
      {3, TfrxDuplexMode::dmNone, 6, "no duplex needs none"},
  };
  for (const Row& r : rows) {
    Fixture f;
    f.report.PrintOptions.Copies = 2;
    FakePages pages(r.pages);
    for (auto& p : pages.pages) p->Duplex = r.duplex;
    f.Print(pages);
    EXPECT_EQ(f.Count("StartPrintPage"), r.pageStarts) << r.why;
  }
}

TEST(PrintJob, CancelStopsAndDropsTheDocument) {
  Fixture f;
  f.report.PrintOptions.Copies = 2;
  f.notify.onPrintPage = [&](TfrxReportPage&, int) { f.report.Terminated = true; };
  FakePages pages(3);
  EXPECT_TRUE(f.Print(pages));
  EXPECT_EQ(pages.painted, std::vector<int>{0}) << "the page being printed finishes, then the run stops";
  EXPECT_EQ(f.Count("AbortPrintDocument"), 1);
  EXPECT_TRUE(f.printer->pages.empty()) << "the queue dropped the document";
}

TEST(PrintJob, ErrorsAbortTheDocumentAndReachTheCaller) {
  Fixture f;
  int after = 0, stops = 0;
  f.notify.onAfterPrintReport = [&](TfrxReport&) { ++after; };
  f.notify.progressStop = [&] { ++stops; };
  FakePages pages(3);
  pages.failOnIndex = 1;
  EXPECT_THROW(f.Print(pages), std::runtime_error);
  EXPECT_EQ(after, 1) << "the after-print event runs all the same";
  EXPECT_EQ(stops, 1) << "the progress display is closed";
  EXPECT_EQ(f.Count("AbortPrintDocument"), 1);
  EXPECT_TRUE(f.printer->pages.empty()) << "no half document";

  Fixture g;
  g.report.PrintOptions.PageNumbers = "1,x";
  FakePages two(2);
  EXPECT_THROW(g.Print(two), std::runtime_error);
  EXPECT_TRUE(g.printer->calls.empty()) << "a bad range ends the run before any page";
}

TEST(PrintJob, VirtualPrinterCannotDraw) {
  TfrxReport report;
  auto list = std::make_unique<TfrxPrinters>(std::make_unique<TfrxVirtualPrinter>("Virtual"));
  FakePages pages(1);
  try {
    PrintPreparedPages(report, pages, *list);
    FAIL() << "the virtual printer printed";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Canvas does not allow drawing");
  }
}

}  // namespace
}  // namespace zentavo
