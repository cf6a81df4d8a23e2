// The preparation engine: page counts, passes, headers and footers,
// page-level objects, stretching and shifting.
#include <gtest/gtest.h>

#include <functional>

#include "EngineFixture.h"
#include "templates/Templates.h"

namespace zentavo {
namespace {

using namespace zentavo::testing;

// ---------------------------------------------------------------- page counts

TEST(EngineTest, PageCounts) {
  struct Case {
    const char* why;
    std::function<void(TfrxReport&, std::vector<std::unique_ptr<TfrxDataSet>>&)> setup;
    int pages;
  };
  const Case cases[] = {
      {"one page of page-level objects gives one prepared page",
       [](TfrxReport& r, auto&) { AddMemo(*AddPage(r), "M", 0, 0, 50, 10); }, 1},
      {"a report data set repeats all pages once per record",
       [](TfrxReport& r, auto& keep) {
         AddMemo(*AddPage(r), "M", 0, 0, 50, 10);
         keep.push_back(Records(r, 3));
         r.SetDataSet(keep.back().get());
       },
       3},
      {"an empty report data set gives no page",
       [](TfrxReport& r, auto& keep) {
         AddPage(r);
         keep.push_back(Records(r, 0));
         r.SetDataSet(keep.back().get());
       },
       0},
      {"PrintIfEmpty off: a page without data bands produces nothing",
       [](TfrxReport& r, auto&) {
         AddMemo(*AddPage(r), "M", 0, 0, 50, 10);
         r.EngineOptions.PrintIfEmpty = false;
       },
       0},
      {"PrintIfEmpty off: a data band with rows still prints its page",
       [](TfrxReport& r, auto& keep) {
         TfrxReportPage* p = AddPage(r);
         keep.push_back(Records(r, 2, "Rows"));
         AddBand<TfrxMasterData>(*p, "Data", 0, 10)->SetDataSet(keep.back().get());
         r.EngineOptions.PrintIfEmpty = false;
       },
       1},
      {"each template page opens its own page",
       [](TfrxReport& r, auto&) {
         AddPage(r, "Page1");
         AddPage(r, "Page2");
       },
       2},
      {"PrintOnPreviousPage continues on the last page",
       [](TfrxReport& r, auto&) {
         AddPage(r, "Page1");
         AddPage(r, "Page2")->PrintOnPreviousPage = true;
       },
       1},
      {"an invisible template page is skipped",
       [](TfrxReport& r, auto&) {
         AddPage(r, "Page1");
         AddPage(r, "Page2")->SetVisible(false);
       },
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    TfrxReport report;
    std::vector<std::unique_ptr<TfrxDataSet>> keep;
    c.setup(report, keep);
    report.EngineOptions.NewSilentMode = TfrxSilentMode::simSilent;
    ASSERT_TRUE(report.PrepareReport()) << (report.Errors().empty() ? "" : *report.Errors().begin());
    EXPECT_EQ(report.PreviewPages().PageCount(), c.pages);
  }
}

TEST(EngineTest, SameDataSetConflictsAreErrorsAndNoRun) {
  TfrxReport report;
  TfrxReportPage* page = AddPage(report);
  auto ds = Records(report, 2);
  report.SetDataSet(ds.get());
  page->SetDataSet(ds.get());
  report.EngineOptions.NewSilentMode = TfrxSilentMode::simSilent;
  EXPECT_FALSE(report.PrepareReport());
  EXPECT_EQ(report.Errors().count("Cannot use the same dataset for Report.DataSet and Page.DataSet"), 1u);
  EXPECT_EQ(report.PreviewPages().PageCount(), 0);
}

// ---------------------------------------------------------------- passes

TEST(EngineTest, TotalPagesInSingleAndDoublePass) {
  struct Case {
    const char* why;
    bool doublePass;
    std::vector<std::pair<bool, int>> seen;  // (FinalPass, TotalPages) per page build
  };
  const Case cases[] = {
      {"a single pass knows no total", false, {{true, 0}}},
      {"the first of two passes has no total, the second the first's count", true, {{false, 0}, {true, 3}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    TfrxReport report;
    TfrxReportPage* page = AddPage(report);
    auto* band = AddBand<TfrxChild>(*page, "Band", 0, 10);
    AddMemo(*band, "M", 0, 0, 50, 10);
    report.EngineOptions.DoublePass = c.doublePass;
    std::vector<std::pair<bool, int>> seen;
    TfrxEngine& engine = EngineOf(report);
    engine.OnManualBuild = [&](TfrxPage&) {
      seen.emplace_back(engine.FinalPass, engine.TotalPages);
      engine.NewPage();
      engine.NewPage();
      engine.ShowBand(band);
    };
    ASSERT_TRUE(report.PrepareReport());
    EXPECT_EQ(seen, c.seen);
    EXPECT_EQ(report.PreviewPages().PageCount(), 3);
    // The first pass stored base differences only; the final pass replaced them.
    std::vector<Stored> last = StoredOn(report, 2);
    const Stored* memo = FindStored(last, "M");
    ASSERT_NE(memo, nullptr);
    EXPECT_NE(memo->item->Text.find("u=\"x\""), std::string::npos) << memo->item->Text;
  }
}

TEST(EngineTest, AnchorsOfTheFirstPassServeTheSecond) {
  TfrxReport report;
  AddPage(report);
  report.EngineOptions.DoublePass = true;
  TfrxEngine& engine = EngineOf(report);
  std::vector<int> seen;
  engine.OnManualBuild = [&](TfrxPage&) {
    if (!engine.FinalPass) {
      engine.NewPage();
      engine.AddAnchor("Results");
    }
    seen.push_back(engine.GetAnchorPage("Results"));
  };
  ASSERT_TRUE(report.PrepareReport());
  EXPECT_EQ(seen, (std::vector<int>{2, 2}));  // the second pass finds the page the first one saw
  EXPECT_EQ(report.PreviewPages().PageCount(), 1);
}

TEST(EngineTest, ClearLastReportDecidesWhetherPagesAccumulate) {
  struct Case {
    const char* why;
    bool clear;
    int pages;
  };
  const Case cases[] = {
      {"a new preparation replaces the pages", true, 1},
      {"without clearing the pages of both runs stay", false, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    TfrxReport report;
    AddMemo(*AddPage(report), "M", 0, 0, 10, 10);
    ASSERT_TRUE(report.PrepareReport());
    ASSERT_TRUE(report.PrepareReport(c.clear));
    EXPECT_EQ(report.PreviewPages().PageCount(), c.pages);
    for (int i = 0; i < c.pages; ++i) EXPECT_NE(report.PreviewPages().BuildPage(i)->FindObject("M"), nullptr);
  }
}

TEST(EngineTest, ProgressTellsEveryPageWithThePassText) {
  TfrxReport report;
  AddPage(report);
  report.EngineOptions.DoublePass = true;
  std::vector<std::string> texts;
  report.OnProgress = [&](TfrxReport& r, int type, int n) { texts.push_back(ProgressText(r, type, n)); };
  ASSERT_TRUE(report.PrepareReport());
  EXPECT_EQ(texts, (std::vector<std::string>{"First pass: page 1", "Preparing page 1"}));
}

TEST(EngineTest, TerminatedStopsBetweenRecords) {
  TfrxReport report;
  AddPage(report);
  auto ds = Records(report, 100);
  report.SetDataSet(ds.get());
  report.OnProgress = [](TfrxReport& r, int, int n) {
    if (n == 4) r.Terminated = true;
  };
  report.PrepareReport();
  EXPECT_EQ(report.PreviewPages().PageCount(), 4);
}

// ---------------------------------------------------------------- headers and footers

// Which of the named bands are on each prepared page.
std::vector<std::string> BandsOn(TfrxReport& report, int page) {
  std::vector<std::string> names;
  for (const Stored& s : StoredOn(report, page))
    if (s.source != nullptr && dynamic_cast<const TfrxBand*>(s.source) != nullptr) names.push_back(s.name);
  return names;
}

TEST(EngineTest, PageHeadersFootersTitleAndSummaryOnFirstAndLastPages) {
  struct Case {
    const char* why;
    bool footerOnFirst, footerOnLast, headerOnFirst;
    std::vector<std::vector<std::string>> pages;
  };
  const Case cases[] = {
      {"defaults: header and footer everywhere, title first, summary last", true, true, true,
       {{"Title", "Header", "Footer"}, {"Header", "Footer"}, {"Header", "Summary", "Footer"}}},
      {"footer not on the first page", false, true, true,
       {{"Title", "Header"}, {"Header", "Footer"}, {"Header", "Summary", "Footer"}}},
      {"footer not on the last page", true, false, true,
       {{"Title", "Header", "Footer"}, {"Header", "Footer"}, {"Header", "Summary"}}},
      {"header not on the first page", true, true, false,
       {{"Title", "Footer"}, {"Header", "Footer"}, {"Header", "Summary", "Footer"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    TfrxReport report;
    TfrxReportPage* page = AddPage(report);
    page->SetPaperHeight(100);
    AddBand<TfrxReportTitle>(*page, "Title", 0, 10);
    auto* header = AddBand<TfrxPageHeader>(*page, "Header", 20, 10);
    header->PrintOnFirstPage = c.headerOnFirst;
    auto* footer = AddBand<TfrxPageFooter>(*page, "Footer", 80, 10);
    footer->PrintOnFirstPage = c.footerOnFirst;
    footer->PrintOnLastPage = c.footerOnLast;
    AddBand<TfrxReportSummary>(*page, "Summary", 60, 10);
    TfrxEngine& engine = EngineOf(report);
    engine.OnManualBuild = [&](TfrxPage&) {
      engine.NewPage();
      engine.NewPage();
    };
    ASSERT_TRUE(report.PrepareReport());
    ASSERT_EQ(report.PreviewPages().PageCount(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(BandsOn(report, i), c.pages[static_cast<std::size_t>(i)]) << "page " << i + 1;
  }
}

TEST(EngineTest, PlacesBandsDownThePageAndFooterAtTheBottom) {
  TfrxReport report;
  TfrxReportPage* page = AddPage(report);  // 30 mm: 113.39 px high
  AddBand<TfrxReportTitle>(*page, "Title", 0, 15);
  AddBand<TfrxPageHeader>(*page, "Header", 0, 12);
  AddBand<TfrxPageFooter>(*page, "Footer", 0, 20);
  AddMemo(*page, "OnPage", 5, 7, 40, 10);
  ASSERT_TRUE(report.PrepareReport());
  std::vector<Stored> stored = StoredOn(report, 0);
  ASSERT_NE(FindStored(stored, "Title"), nullptr);
  EXPECT_DOUBLE_EQ(FindStored(stored, "Title")->Top(), 0);
  EXPECT_DOUBLE_EQ(FindStored(stored, "Header")->Top(), 15);
  EXPECT_NEAR(FindStored(stored, "Footer")->Top(), 30 * 3.77953 - 20, 1e-6);
  // Page-level objects keep their own place whatever was shown before them.
  const Stored* onPage = FindStored(stored, "OnPage");
  ASSERT_NE(onPage, nullptr);
  EXPECT_DOUBLE_EQ(onPage->Top(), 7);
  EXPECT_EQ(onPage->item->Parent()->Name, "TfrxNullBand");
}

TEST(EngineTest, SummaryThatDoesNotFitMovesToANewPageWithTheFooter) {
  TfrxReport report;
  TfrxReportPage* page = AddPage(report);
  AddBand<TfrxPageFooter>(*page, "Footer", 0, 20);
  auto* tall = AddBand<TfrxChild>(*page, "Tall", 0, 80);
  AddBand<TfrxReportSummary>(*page, "Summary", 0, 30);
  TfrxEngine& engine = EngineOf(report);
  engine.OnManualBuild = [&](TfrxPage&) { engine.ShowBand(tall); };
  ASSERT_TRUE(report.PrepareReport());
  ASSERT_EQ(report.PreviewPages().PageCount(), 2);
  EXPECT_EQ(BandsOn(report, 0), (std::vector<std::string>{"Tall", "Footer"}));
  EXPECT_EQ(BandsOn(report, 1), (std::vector<std::string>{"Summary", "Footer"}));
}

TEST(EngineTest, PrintOnPreviousPageContinuesBelowTheLowestBand) {
  TfrxReport report;
  TfrxReportPage* first = AddPage(report, "Page1");
  AddBand<TfrxReportTitle>(*first, "Title1", 0, 20);
  AddBand<TfrxPageFooter>(*first, "Footer1", 0, 30);  // footers do not count as the lowest band
  TfrxReportPage* second = AddPage(report, "Page2");
  second->PrintOnPreviousPage = true;
  AddBand<TfrxReportTitle>(*second, "Title2", 0, 10);
  ASSERT_TRUE(report.PrepareReport());
  ASSERT_EQ(report.PreviewPages().PageCount(), 1);
  std::vector<Stored> stored = StoredOn(report, 0);
  ASSERT_NE(FindStored(stored, "Title2"), nullptr);
  EXPECT_DOUBLE_EQ(FindStored(stored, "Title2")->Top(), 20);
}

TEST(EngineTest, OverlaysBelowAndOnTop) {
  struct Case {
    const char* why;
    bool onTop;
    std::vector<std::string> order;
  };
  const Case cases[] = {
      {"an overlay below everything is stored first", false, {"Overlay", "Header", "Footer"}},
      {"an overlay on top is stored last", true, {"Header", "Footer", "Overlay"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    TfrxReport report;
    TfrxReportPage* page = AddPage(report);
    AddBand<TfrxPageHeader>(*page, "Header", 0, 10);
    AddBand<TfrxPageFooter>(*page, "Footer", 0, 10);
    AddBand<TfrxOverlay>(*page, "Overlay", 0, 50)->PrintOnTop = c.onTop;
    ASSERT_TRUE(report.PrepareReport());
    std::vector<std::string> names;
    for (const Stored& s : StoredOn(report, 0))
      if (s.source != nullptr) names.push_back(s.name);
    EXPECT_EQ(names, c.order);
    EXPECT_DOUBLE_EQ(FindStored(StoredOn(report, 0), "Overlay")->Top(), 0);
    EXPECT_DOUBLE_EQ(FindStored(StoredOn(report, 0), "Header")->Top(), 0);
  }
}

TEST(EngineTest, KeepChildHoldsNothingBeforeTheFirstDataRowOfAPage) {
  // A keep opens only after a page's first data row; bands shown before it,
  // as here, never move to a following page together: the band stays and
  // only its child goes on.
  auto report = LoadReport(R"(<?xml version="1.0" encoding="utf-8"?>
<TfrxReport>
  <TfrxReportPage Name="Page1" PaperWidth="50" PaperHeight="30" PaperSize="256">
    <TfrxPageHeader Name="Header" Top="0" Height="10"/>
    <TfrxChild Name="Filler" Top="20" Height="50"/>
    <TfrxChild Name="Kept" Top="80" Height="40" KeepChild="True" Child="Child"/>
    <TfrxChild Name="Child" Top="130" Height="40"/>
  </TfrxReportPage>
</TfrxReport>)");
  auto* filler = dynamic_cast<TfrxBand*>(report->FindObject("Filler"));
  auto* kept = dynamic_cast<TfrxBand*>(report->FindObject("Kept"));
  ASSERT_NE(kept, nullptr);
  ASSERT_EQ(kept->Child(), report->FindObject("Child")) << "the link read from the template";
  EngineOf(*report).OnManualBuild = [&](TfrxPage&) {
    EngineOf(*report).ShowBand(filler);
    EngineOf(*report).ShowBand(kept);
  };
  ASSERT_TRUE(report->PrepareReport());
  ASSERT_EQ(report->PreviewPages().PageCount(), 2);
  EXPECT_EQ(BandsOn(*report, 0), (std::vector<std::string>{"Header", "Filler", "Kept"}));
  EXPECT_EQ(BandsOn(*report, 1), (std::vector<std::string>{"Header", "Child"}));
  EXPECT_DOUBLE_EQ(FindStored(StoredOn(*report, 0), "Kept")->Top(), 60);
  EXPECT_DOUBLE_EQ(FindStored(StoredOn(*report, 1), "Child")->Top(), 10);
}

TEST(EngineTest, ABandTallerThanThePageIsPlacedWholeAfterOneBreak) {
  TfrxReport report;
  TfrxReportPage* page = AddPage(report);  // 113.39 px high
  auto* filler = AddBand<TfrxChild>(*page, "Filler", 0, 30);
  auto* tall = AddBand<TfrxChild>(*page, "Tall", 0, 300);
  TfrxEngine& engine = EngineOf(report);
  engine.OnManualBuild = [&](TfrxPage&) {
    engine.ShowBand(filler);
    engine.ShowBand(tall);
  };
  ASSERT_TRUE(report.PrepareReport());
  ASSERT_EQ(report.PreviewPages().PageCount(), 2);
  std::vector<Stored> second = StoredOn(report, 1);
  ASSERT_NE(FindStored(second, "Tall"), nullptr);
  EXPECT_DOUBLE_EQ(FindStored(second, "Tall")->Top(), 0);
  EXPECT_DOUBLE_EQ(FindStored(second, "Tall")->Height(), 300);
}

TEST(EngineTest, BandsThatEveryNewPageShowsAgainMustFitOnAPage) {
  // A page 30 mm high: 113.39 px.
  struct Row {
    const char* bands;
    const char* error;  // empty: prepares
    int pages;
    const char* why;
  };
  const Row rows[] = {
      {R"(<TfrxPageHeader Name="PageHeader1" Height="200"/>)", "PageHeader1: the band does not fit on a page", 0,
       "a page header taller than the page would open page after page"},
      {R"(<TfrxPageHeader Name="Head" Height="60"/><TfrxPageFooter Name="Foot" Height="60"/>)",
       "Head: the band does not fit on a page", 0, "with the footer's room taken, the header cannot fit either"},
      {R"(<TfrxReportTitle Name="Title1" Height="300"/>)", "", 2,
       "a title shows once: after one break it is placed whole"},
      {R"(<TfrxPageHeader Name="Head" Height="50"/><TfrxPageFooter Name="Foot" Height="60"/>)", "", 1,
       "header and footer that fit together"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    auto report = LoadReport(std::string(R"(<?xml version="1.0" encoding="utf-8"?>
<TfrxReport><TfrxReportPage Name="Page1" PaperWidth="50" PaperHeight="30" PaperSize="256">)") +
                             r.bands + "</TfrxReportPage></TfrxReport>");
    report->EngineOptions.NewSilentMode = TfrxSilentMode::simSilent;
    bool prepared = report->PrepareReport();
    EXPECT_EQ(prepared, *r.error == '\0');
    if (*r.error != '\0') {
      EXPECT_EQ(report->Errors(), (std::set<std::string>{r.error}));
    } else {
      EXPECT_EQ(report->PreviewPages().PageCount(), r.pages);
    }
  }
}

TEST(EngineTest, FreeSpaceLeavesRoomForTheFooters) {
  TfrxReport report;
  TfrxReportPage* page = AddPage(report);
  AddBand<TfrxPageFooter>(*page, "Footer", 0, 20);
  AddBand<TfrxColumnFooter>(*page, "ColFooter", 0, 5);
  auto* band = AddBand<TfrxChild>(*page, "Band", 0, 30);
  double before = -1, after = -1;
  TfrxEngine& engine = EngineOf(report);
  engine.OnManualBuild = [&](TfrxPage&) {
    before = engine.FreeSpace();
    engine.ShowBand(band);
    after = engine.FreeSpace();
  };
  ASSERT_TRUE(report.PrepareReport());
  EXPECT_NEAR(before, 30 * 3.77953 - 25, 1e-9);
  EXPECT_NEAR(after, 30 * 3.77953 - 55, 1e-9);
}

// ---------------------------------------------------------------- stretching and shifting

TEST(EngineTest, StretchingAndShifting) {
  struct Case {
    const char* why;
    double extra1, extra2;  // growth of the two growing views (side by side at the top)
    TfrxShiftMode mode;     // of the memo below both
    double belowTop;        // where the memo below lands (design top 30)
    double chainedTop;      // the smAlways memo under it (design top 50)
  };
  const Case cases[] = {
      {"smAlways moves by the growth, and so does what lies under it", 5, 0, TfrxShiftMode::smAlways, 35, 55},
      {"smDontShift stays but passes the growth on", 5, 0, TfrxShiftMode::smDontShift, 30, 55},
      {"smWhenOverlapped stays while the grown view ends above it", 5, 0, TfrxShiftMode::smWhenOverlapped, 30, 50},
      {"smWhenOverlapped goes to the grown view's bottom once it reaches in", 25, 0,
       TfrxShiftMode::smWhenOverlapped, 45, 65},
      {"two growing neighbours: the larger growth, once", 10, 25, TfrxShiftMode::smAlways, 55, 75},
      {"two growing neighbours, the other order", 25, 10, TfrxShiftMode::smAlways, 55, 75},
      {"nothing grows, nothing moves", 0, 0, TfrxShiftMode::smAlways, 30, 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    TfrxReport report;
    report.EngineOptions.ReloadAfterPrepare = false;  // GrowView is not a template class
    TfrxReportPage* page = AddPage(report);
    auto* grow1 = new GrowView(page);
    grow1->SetName("Grow1");
    grow1->SetBounds(0, 0, 50, 20);
    grow1->StretchMode = TfrxStretchMode::smActualHeight;
    grow1->Extra = c.extra1;
    auto* grow2 = new GrowView(page);
    grow2->SetName("Grow2");
    grow2->SetBounds(60, 0, 50, 20);
    grow2->StretchMode = TfrxStretchMode::smActualHeight;
    grow2->Extra = c.extra2;
    TfrxMemoView* below = AddMemo(*page, "Below", 0, 30, 120, 10);
    below->ShiftMode = c.mode;
    TfrxMemoView* chained = AddMemo(*page, "Chained", 0, 50, 120, 10);
    TfrxMemoView* aside = AddMemo(*page, "Aside", 150, 30, 20, 10);  // nothing above it grows
    ASSERT_TRUE(report.PrepareReport());
    std::vector<Stored> stored = StoredOn(report, 0);
    ASSERT_NE(FindStored(stored, "Below"), nullptr);
    EXPECT_DOUBLE_EQ(FindStored(stored, "Below")->Top(), c.belowTop);
    EXPECT_DOUBLE_EQ(FindStored(stored, "Chained")->Top(), c.chainedTop);
    EXPECT_DOUBLE_EQ(FindStored(stored, "Aside")->Top(), 30);
    // Growth never shrinks and the template is put back after the output.
    EXPECT_DOUBLE_EQ(grow1->Height(), 20);
    EXPECT_DOUBLE_EQ(below->Top(), 30);
    EXPECT_DOUBLE_EQ(chained->Top(), 50);
    EXPECT_DOUBLE_EQ(aside->Top(), 30);
  }
}

TEST(EngineTest, StretchedBandTakesItsContentsHeightAndMaxHeightFills) {
  TfrxReport report;
  report.EngineOptions.ReloadAfterPrepare = false;
  TfrxReportPage* page = AddPage(report);
  auto* band = AddBand<TfrxChild>(*page, "Band", 0, 40);
  band->Stretched = true;
  auto* grow = new GrowView(band);
  grow->SetName("Grow");
  grow->SetBounds(0, 0, 50, 10);
  grow->StretchMode = TfrxStretchMode::smActualHeight;
  grow->Extra = 15;
  TfrxMemoView* fill = AddMemo(*band, "Fill", 60, 5, 20, 5);
  fill->StretchMode = TfrxStretchMode::smMaxHeight;
  TfrxEngine& engine = EngineOf(report);
  double curY = 0;
  engine.OnManualBuild = [&](TfrxPage&) {
    engine.ShowBand(band);
    curY = engine.CurY;
  };
  ASSERT_TRUE(report.PrepareReport());
  std::vector<Stored> stored = StoredOn(report, 0);
  EXPECT_DOUBLE_EQ(FindStored(stored, "Band")->Height(), 25);  // shrinks to the content, 10 + 15
  EXPECT_DOUBLE_EQ(FindStored(stored, "Fill")->Height(), 20);  // down to the lowest bottom
  EXPECT_DOUBLE_EQ(curY, 25);
  EXPECT_DOUBLE_EQ(band->Height(), 40);
}

// ---------------------------------------------------------------- the template after preparation

TEST(EngineTest, TemplateIsExactlyAsBeforeAfterEveryPreparation) {
  struct Case {
    const char* why;
    std::function<void(TfrxReport&)> change;
    bool succeeds;
  };
  const Case cases[] = {
      {"a plain preparation", [](TfrxReport&) {}, true},
      {"a script with statements is an error", [](TfrxReport& r) { r.ScriptText.Lines = {"begin", "  X := 1;", "end."}; },
       false},
      {"an event procedure fails in the middle of the page-level objects",
       [](TfrxReport& r) {
         auto* memo = dynamic_cast<TfrxView*>(r.FindObject("MmHastaAdi"));
         ASSERT_NE(memo, nullptr);
         memo->OnBeforePrint = "MmHastaAdiOnBeforePrint";
       },
       false},
      {"a double pass", [](TfrxReport& r) { r.EngineOptions.DoublePass = true; }, true},
  };
  for (const std::string& name : BuiltInTemplateNames())
    for (const Case& c : cases) {
      SCOPED_TRACE(name + ": " + c.why);
      auto report = LoadBuiltInTemplate(name);
      if (report->FindObject("MmHastaAdi") == nullptr && std::string(c.why).find("event") != std::string::npos)
        continue;
      c.change(*report);
      report->EngineOptions.NewSilentMode = TfrxSilentMode::simSilent;
      std::string before = Bytes(*report);
      std::size_t objects = report->AllObjects().size();
      EXPECT_EQ(report->PrepareReport(), c.succeeds);
      EXPECT_EQ(Bytes(*report), before);
      EXPECT_EQ(report->AllObjects().size(), objects);
      // A second preparation of the restored template gives the same pages.
      if (c.succeeds) {
        TMemoryStream first;
        report->PreviewPages().SaveToStream(first);
        ASSERT_TRUE(report->PrepareReport());
        TMemoryStream second;
        report->PreviewPages().SaveToStream(second);
        EXPECT_EQ(first.Data(), second.Data());
      }
    }
}

TEST(EngineTest, BorrowedPageObjectsStayWithThePageOnErrors) {
  // Without the snapshot the template objects themselves must survive the
  // failing null band: released, never freed, and put back in place.
  TfrxReport report;
  report.EngineOptions.ReloadAfterPrepare = false;
  report.EngineOptions.NewSilentMode = TfrxSilentMode::simSilent;
  TfrxReportPage* page = AddPage(report);
  TfrxMemoView* a = AddMemo(*page, "A", 1, 2, 30, 10, "first");
  TfrxMemoView* b = AddMemo(*page, "B", 1, 20, 30, 10, "second");
  b->OnAfterData = "Fails";
  EXPECT_FALSE(report.PrepareReport());
  ASSERT_EQ(page->Objects().size(), 2u);
  EXPECT_EQ(page->Objects()[0], a);
  EXPECT_EQ(page->Objects()[1], b);
  EXPECT_EQ(a->Parent(), page);
  EXPECT_EQ(a->Text(), "first");
  EXPECT_DOUBLE_EQ(b->Top(), 20);
  EXPECT_EQ(report.Errors().size(), 1u);
  EXPECT_NE(report.Errors().begin()->find("Fails"), std::string::npos);
  EXPECT_FALSE(report.Engine().Busy());
  // And the engine runs again afterwards.
  b->OnAfterData.clear();
  EXPECT_TRUE(report.PrepareReport());
}

// ---------------------------------------------------------------- the script step

TEST(EngineTest, ScriptStep) {
  struct Case {
    const char* why;
    const char* language;
    std::vector<std::string> lines;
    const char* error;  // the start of the one error line; null when preparing succeeds
  };
  const Case cases[] = {
      {"the templates' empty main block", "VadoziDaruro", {"begin", "", "end."}, nullptr},
      {"blank lines and case do not matter", "VadoziDaruro", {"  BEGIN", "", "   End.  ", ""}, nullptr},
      {"an empty text is an empty program", "JScript", {}, nullptr},
      {"a declaration compiles and runs", "VadoziDaruro", {"var i: Integer;", "begin", "  i := 2;", "end."}, nullptr},
      // The name's leaf stands just after the name; the report's text has no blank after the colon.
      {"an undeclared name is a compile error at its place", "VadoziDaruro", {"begin", "  i := 2;", "end."},
       "Script error at 2:4: Undeclared identifier:'i'"},
      {"an unknown language is refused by the compiler", "Klingon", {"begin", "end."},
       "Language 'Klingon' not found"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    TfrxReport report;
    AddPage(report);
    report.ScriptLanguage = c.language;
    report.ScriptText.Lines = c.lines;
    report.EngineOptions.NewSilentMode = TfrxSilentMode::simSilent;
    EXPECT_EQ(report.PrepareReport(), c.error == nullptr);
    EXPECT_EQ(report.PreviewPages().PageCount(), c.error == nullptr ? 1 : 0);
    if (c.error != nullptr) {
      ASSERT_EQ(report.Errors().size(), 1u);
      EXPECT_EQ(*report.Errors().begin(), c.error);
    }
  }
}

TEST(EngineTest, ErrorsAreReportedByTheSilentMode) {
  struct Case {
    const char* why;
    TfrxSilentMode mode;
    int messages;
    bool throws;
  };
  const Case cases[] = {
      {"message boxes show one message with all lines", TfrxSilentMode::simMessageBoxes, 1, false},
      {"silent shows nothing", TfrxSilentMode::simSilent, 0, false},
      {"rethrow hands the text to the caller", TfrxSilentMode::simReThrow, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    TfrxReport report;
    AddPage(report);
    report.AddDataSet(nullptr, "Gone");
    report.AddDataSet(nullptr, "Missing");
    report.EngineOptions.NewSilentMode = c.mode;
    std::vector<std::string> shown;
    report.OnShowMessage = [&](const std::string&, const std::string& text) { shown.push_back(text); };
    std::string thrown;
    bool result = true;
    try {
      result = report.PrepareReport();
    } catch (const std::exception& e) {
      thrown = e.what();
    }
    EXPECT_EQ(static_cast<int>(shown.size()), c.messages);
    const std::string expected =
        "The following error(s) have occured:\r\nDataset \"Gone\" does not exist\r\n"
        "Dataset \"Missing\" does not exist\r\n";
    if (c.messages == 1) {
      EXPECT_EQ(shown[0], expected);
    }
    if (c.throws) {
      EXPECT_EQ(thrown, expected);
    } else {
      EXPECT_FALSE(result);
    }
  }
}

}  // namespace
}  // namespace zentavo
