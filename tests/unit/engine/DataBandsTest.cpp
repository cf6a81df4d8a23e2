// Data bands: linking the bands of a page and its errors, rows with headers
// and footers, virtual rows, groups with their change test and footers,
// master and detail, and headers repeated on new pages.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "tests/unit/engine/EngineFixture.h"

namespace zentavo::testing {
namespace {

struct BandReport {
  TfrxReport report;
  TfrxReportPage* page;
  double top = 0;

  BandReport() {
    InstallEngine();
    page = AddPage(report);
    page->SetPaperHeight(200);
    report.EngineOptions.ReloadAfterPrepare = false;
    report.EngineOptions.NewSilentMode = TfrxSilentMode::simSilent;
  }
  // A band of class B with one memo showing `text`, placed below the last.
  template <class B>
  B* Band(const char* name, const char* text, double height = 20) {
    B* band = AddBand<B>(*page, name, top, height);
    top += height + 5;
    AddMemo(*band, (std::string(name) + "Text").c_str(), 0, 0, 150, height, text);
    return band;
  }
  // The texts of every memo on every prepared page, in output order.
  std::vector<std::string> Printed() {
    std::vector<std::string> out;
    for (int i = 0; i < report.PreviewPages().PageCount(); ++i)
      for (TfrxComponent* c : report.PreviewPages().BuildPage(i)->AllObjects())
        if (auto* m = dynamic_cast<TfrxMemoView*>(c)) out.push_back(m->Text());
    return out;
  }
  // The same, one list a page.
  std::vector<std::vector<std::string>> PrintedPages() {
    std::vector<std::vector<std::string>> out;
    for (int i = 0; i < report.PreviewPages().PageCount(); ++i) {
      out.emplace_back();
      for (TfrxComponent* c : report.PreviewPages().BuildPage(i)->AllObjects())
        if (auto* m = dynamic_cast<TfrxMemoView*>(c)) out.back().push_back(m->Text());
    }
    return out;
  }
  std::string Errors() const {
    std::string all;
    for (const std::string& e : report.Errors()) all += e + "\n";
    return all;
  }
};

using Texts = std::vector<std::string>;

// A data set of rows given as field values; past its end it stays on the
// last row, as a database cursor does.
struct Rows {
  std::vector<std::vector<std::string>> rows;
  TfrxUserDataSet ds;
  Rows(TfrxReport& report, const char* name, std::vector<std::string> fields, std::vector<std::vector<std::string>> r)
      : rows(std::move(r)), ds(&report) {
    ds.SetUserName(name);
    for (const auto& f : fields) ds.Fields.Add(f);
    ds.RangeEnd = TfrxRangeEnd::reCount;
    ds.RangeEndCount = static_cast<int>(rows.size());
    ds.OnGetValue = [this, fields](const std::string& field, TfrxFieldValue& v) {
      if (rows.empty()) return;
      std::size_t row = std::min<std::size_t>(static_cast<std::size_t>(std::max(ds.RecNo, 0)), rows.size() - 1);
      for (std::size_t i = 0; i < fields.size(); ++i)
        if (fields[i] == field) {
          // Numbers come as numbers, as a database gives them.
          const std::string& t = rows[row][i];
          if (!t.empty() && t.find_first_not_of("0123456789") == std::string::npos)
            v = static_cast<std::int64_t>(std::stoll(t));
          else
            v = t;
        }
    };
    report.AddDataSet(&ds);
  }
};

TEST(DataBands, LinkingErrorsStopTheRunBeforeItStarts) {
  struct Case {
    const char* why;
    std::function<void(BandReport&)> build;
    const char* error;
  };
  const Case cases[] = {
      {"a header with no data band below it",
       [](BandReport& r) {
         r.Band<TfrxHeader>("Header1", "h");
         r.Band<TfrxPageFooter>("PageFooter1", "p");
       },
       "Unconnected header/footer Header1"},
      {"a footer that does not follow its data band",
       [](BandReport& r) {
         r.Band<TfrxFooter>("Footer1", "f");
         r.Band<TfrxMasterData>("MasterData1", "m")->SetRowCount(1);
       },
       "Unconnected header/footer Footer1"},
      {"a group header with no data band below",
       [](BandReport& r) {
         r.Band<TfrxMasterData>("MasterData1", "m")->SetRowCount(1);
         r.Band<TfrxGroupHeader>("GroupHeader1", "g");
       },
       "No data band for the group GroupHeader1"},
      {"a group footer with no header above",
       [](BandReport& r) {
         r.Band<TfrxMasterData>("MasterData1", "m")->SetRowCount(1);
         r.Band<TfrxGroupFooter>("GroupFooter1", "g");
       },
       "No group header for GroupFooter1"},
      {"a detail band without a master above it",
       [](BandReport& r) { r.Band<TfrxDetailData>("DetailData1", "d")->SetRowCount(1); },
       "Incorrect band position: DetailData1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    BandReport r;
    c.build(r);
    EXPECT_FALSE(r.report.PrepareReport());
    EXPECT_NE(r.Errors().find(c.error), std::string::npos) << r.Errors();
    EXPECT_EQ(r.report.PreviewPages().PageCount(), 0) << "the run did not start";
  }
}

TEST(DataBands, RowsWithHeaderAndFooter) {
  struct Case {
    const char* why;
    bool footerAfterEach;
    bool withDataSet;
    Texts expected;
  };
  const Case cases[] = {
      {"header, three rows, footer", false, true, {"H", "1/Ali", "2/Veli", "3/Can", "F"}},
      {"the footer after every row", true, true, {"H", "1/Ali", "F", "2/Veli", "F", "3/Can", "F"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    BandReport r;
    Rows rows(r.report, "D", {"Ad"}, {{"Ali"}, {"Veli"}, {"Can"}});
    r.Band<TfrxHeader>("Header1", "H");
    auto* master = r.Band<TfrxMasterData>("MasterData1", "[Line]/[D.\"Ad\"]");
    master->SetDataSet(&rows.ds);
    master->FooterAfterEach = c.footerAfterEach;
    r.Band<TfrxFooter>("Footer1", "F");
    ASSERT_TRUE(r.report.PrepareReport()) << r.Errors();
    EXPECT_EQ(r.Printed(), c.expected);
  }
}

TEST(DataBands, RowCountWithoutADataSetPrintsThatManyRows) {
  BandReport r;
  r.Band<TfrxMasterData>("MasterData1", "[Line#]")->SetRowCount(4);
  ASSERT_TRUE(r.report.PrepareReport()) << r.Errors();
  EXPECT_EQ(r.Printed(), (Texts{"1", "2", "3", "4"}));
}

TEST(DataBands, NestedGroupsRestartLineAndFootersSeeTheLastRowOfTheirGroup) {
  BandReport r;
  Rows rows(r.report, "D", {"A", "B"}, {{"x", "1"}, {"x", "1"}, {"x", "2"}, {"y", "2"}});
  auto* outer = r.Band<TfrxGroupHeader>("G1", "G1:[D.\"A\"]");
  outer->Condition = "D.\"A\"";
  auto* inner = r.Band<TfrxGroupHeader>("G2", "G2:[D.\"B\"]");
  inner->Condition = "D.\"B\"";
  r.Band<TfrxMasterData>("MasterData1", "[Line]/[Line#]")->SetDataSet(&rows.ds);
  r.Band<TfrxGroupFooter>("F2", "f2:[D.\"B\"]");
  r.Band<TfrxGroupFooter>("F1", "f1:[D.\"A\"]");
  ASSERT_TRUE(r.report.PrepareReport()) << r.Errors();
  EXPECT_EQ(r.Printed(), (Texts{"G1:x", "G2:1", "1/1", "2/2", "f2:1", "G2:2", "1/3", "f2:2", "f1:x", "G1:y", "G2:2",
                                "1/4", "f2:2", "f1:y"}));
}

TEST(DataBands, HideIfSingleDataRecordHidesTheFooterOfAOneRowGroup) {
  BandReport r;
  Rows rows(r.report, "D", {"A"}, {{"x"}, {"y"}, {"y"}});
  r.Band<TfrxGroupHeader>("G1", "G:[D.\"A\"]")->Condition = "D.\"A\"";
  r.Band<TfrxMasterData>("MasterData1", "r")->SetDataSet(&rows.ds);
  r.Band<TfrxGroupFooter>("F1", "f:[D.\"A\"]")->HideIfSingleDataRecord = true;
  ASSERT_TRUE(r.report.PrepareReport()) << r.Errors();
  EXPECT_EQ(r.Printed(), (Texts{"G:x", "r", "G:y", "r", "r", "f:y"}));
}

TEST(DataBands, StartNewPageBreaksBeforeEveryGroupOrRowButTheFirst) {
  using Pages = std::vector<Texts>;
  struct Case {
    bool onGroup;  // StartNewPage on the group header, else on the data band
    Pages expected;
    const char* why;
  } cases[] = {
      {true, {{"G:x", "r1", "r2"}, {"G:y", "r3"}, {"G:z", "r4"}}, "a page for each group, the first group on the first"},
      // The break comes before the row itself: its group header, shown
      // before it, stays on the page before.
      {false, {{"G:x", "r1"}, {"r2", "G:y"}, {"r3", "G:z"}, {"r4"}}, "a page for each row but the first"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    BandReport r;
    Rows rows(r.report, "D", {"A"}, {{"x"}, {"x"}, {"y"}, {"z"}});
    auto* group = r.Band<TfrxGroupHeader>("G1", "G:[D.\"A\"]");
    group->Condition = "D.\"A\"";
    auto* master = r.Band<TfrxMasterData>("MasterData1", "r[Line#]");
    master->SetDataSet(&rows.ds);
    (c.onGroup ? static_cast<TfrxBand*>(group) : master)->StartNewPage = true;
    ASSERT_TRUE(r.report.PrepareReport()) << r.Errors();
    EXPECT_EQ(r.PrintedPages(), c.expected);
  }
}

TEST(DataBands, MasterDetailAndSubdetail) {
  BandReport r;
  Rows masters(r.report, "M", {"Ad"}, {{"a"}, {"b"}});
  Rows details(r.report, "Dt", {"No"}, {{"1"}, {"2"}, {"3"}});
  Rows subs(r.report, "S", {"No"}, {{"s"}});
  // Master a has one detail row, master b three; every detail row one sub-detail.
  details.ds.OnFirst = [&](TfrxDataSet& ds) {
    static_cast<TfrxUserDataSet&>(ds).RangeEndCount = masters.ds.RecNo == 0 ? 1 : 3;
  };
  r.Band<TfrxMasterData>("MasterData1", "[M.\"Ad\"]")->SetDataSet(&masters.ds);
  r.Band<TfrxDetailData>("DetailData1", "[M.\"Ad\"][Dt.\"No\"]")->SetDataSet(&details.ds);
  r.Band<TfrxSubdetailData>("SubdetailData1", "[S.\"No\"]")->SetDataSet(&subs.ds);
  ASSERT_TRUE(r.report.PrepareReport()) << r.Errors();
  EXPECT_EQ(r.Printed(), (Texts{"a", "a1", "s", "b", "b1", "s", "b2", "s", "b3", "s"}));
}

TEST(DataBands, AMasterWhoseDetailsAreEmptyIsLeftOutUnlessPrintIfDetailEmpty) {
  for (bool printIfEmpty : {false, true}) {
    SCOPED_TRACE(printIfEmpty);
    BandReport r;
    Rows masters(r.report, "M", {"Ad"}, {{"a"}, {"b"}});
    Rows details(r.report, "Dt", {"No"}, {{"1"}});
    details.ds.OnFirst = [&](TfrxDataSet& ds) {
      static_cast<TfrxUserDataSet&>(ds).RangeEndCount = masters.ds.RecNo == 0 ? 0 : 1;
    };
    auto* master = r.Band<TfrxMasterData>("MasterData1", "[M.\"Ad\"]");
    master->SetDataSet(&masters.ds);
    master->PrintIfDetailEmpty = printIfEmpty;
    r.Band<TfrxDetailData>("DetailData1", "d")->SetDataSet(&details.ds);
    ASSERT_TRUE(r.report.PrepareReport()) << r.Errors();
    EXPECT_EQ(r.Printed(), printIfEmpty ? (Texts{"a", "b", "d"}) : (Texts{"b", "d"}));
  }
}

TEST(DataBands, AReprintedHeaderStartsEveryPageOfItsRowsAndNotAfterItsFooter) {
  BandReport r;
  r.page->SetPaperHeight(60);  // room for a few rows a page
  auto* header = r.Band<TfrxHeader>("Header1", "H");
  header->ReprintOnNewPage = true;
  r.Band<TfrxMasterData>("MasterData1", "[Line]")->SetRowCount(12);
  r.Band<TfrxFooter>("Footer1", "F");
  r.Band<TfrxMasterData>("MasterData2", "b")->SetRowCount(12);
  ASSERT_TRUE(r.report.PrepareReport()) << r.Errors();
  const int pages = r.report.PreviewPages().PageCount();
  ASSERT_GE(pages, 3);
  bool footerSeen = false;
  int pagesAfterFooter = 0;
  for (int i = 0; i < pages; ++i) {
    std::vector<std::string> texts;
    for (TfrxComponent* c : r.report.PreviewPages().BuildPage(i)->AllObjects())
      if (auto* m = dynamic_cast<TfrxMemoView*>(c)) texts.push_back(m->Text());
    ASSERT_FALSE(texts.empty());
    if (!footerSeen) {
      EXPECT_EQ(texts.front(), "H") << "page " << i + 1;
    } else {
      EXPECT_EQ(std::count(texts.begin(), texts.end(), "H"), 0) << "page " << i + 1;
    }
    if (footerSeen) ++pagesAfterFooter;
    footerSeen = footerSeen || std::count(texts.begin(), texts.end(), "F") > 0;
  }
  EXPECT_GT(pagesAfterFooter, 0) << "the second band spills onto a page of its own";
}

// Amounts 5, 3, 10, 2 in groups x (5, 3) and y (10, 2).
struct Amounts {
  BandReport r;
  Rows rows{r.report, "D", {"G", "N"}, {{"x", "5"}, {"x", "3"}, {"y", "10"}, {"y", "2"}}};
  TfrxMasterData* master = nullptr;
  Amounts(const char* groupFooter, const char* footer) {
    r.Band<TfrxGroupHeader>("G1", "G:[D.\"G\"]")->Condition = "D.\"G\"";
    master = r.Band<TfrxMasterData>("MasterData1", "[D.\"N\"]");
    master->SetDataSet(&rows.ds);
    r.Band<TfrxGroupFooter>("GF1", groupFooter);
    r.Band<TfrxReportSummary>("Summary1", footer);
  }
};

TEST(DataBands, AggregatesOfGroupsAndTheReport) {
  struct Case {
    const char* groupFooter;
    const char* summary;
    Texts expected;
    const char* why;
  };
  const Case cases[] = {
      {"[SUM(<D.\"N\">)]", "[SUM(<D.\"N\">)]", {"G:x", "5", "3", "8", "G:y", "10", "2", "12", "20"},
       "group totals start again after their footer; the summary has them all"},
      {"[COUNT()]/[AVG(<D.\"N\">)]", "[COUNT()]", {"G:x", "5", "3", "2/4", "G:y", "10", "2", "2/6", "4"},
       "count and average"},
      {"[MIN(<D.\"N\">)]-[MAX(<D.\"N\">)]", "[max(<D.\"N\">, MasterData1)]",
       {"G:x", "5", "3", "3-5", "G:y", "10", "2", "2-10", "10"}, "smallest and largest, a band named, any case"},
      {"[SUM(<D.\"N\">, MasterData1, 2)]", "-",
       {"G:x", "5", "3", "8", "G:y", "10", "2", "20", "-"}, "a running total is not reset by its footer"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    Amounts a(c.groupFooter, c.summary);
    ASSERT_TRUE(a.r.report.PrepareReport()) << a.r.Errors();
    EXPECT_EQ(a.r.Printed(), c.expected);
  }
}

TEST(DataBands, InvisibleRowsCountOnlyWithFlagBitZero) {
  for (int flags : {0, 1}) {
    SCOPED_TRACE(flags);
    std::string summary = "[SUM(<D.\"N\">, MasterData1, " + std::to_string(flags) + ")]";
    Amounts a("g", summary.c_str());
    // The rows of group y are hidden by the band's handler.
    a.master->OnBeforePrint = "Gizle";
    a.r.report.ScriptText.SetText(
        "procedure Gizle(Sender: TfrxComponent); begin MasterData1.Visible := <D.\"G\"> = 'x' end;\nbegin end.");
    ASSERT_TRUE(a.r.report.PrepareReport()) << a.r.Errors();
    Texts printed = a.r.Printed();
    ASSERT_FALSE(printed.empty());
    EXPECT_EQ(printed.back(), flags == 1 ? "20" : "8");
  }
}

TEST(DataBands, PageFooterTotalsArePerPage) {
  BandReport r;
  r.page->SetPaperHeight(60);
  r.Band<TfrxPageFooter>("PageFooter1", "p[SUM(1)]");
  r.Band<TfrxMasterData>("MasterData1", "r")->SetRowCount(25);
  ASSERT_TRUE(r.report.PrepareReport()) << r.Errors();
  ASSERT_GE(r.report.PreviewPages().PageCount(), 2);
  int rows = 0, total = 0;
  for (const std::string& t : r.Printed()) {
    if (t == "r") ++rows;
    if (t.rfind("p", 0) == 0) {
      EXPECT_EQ(t, "p" + std::to_string(rows)) << "the rows of this page only";
      total += rows;
      rows = 0;
    }
  }
  EXPECT_EQ(total, 25);
}

// Each master row keeps its six detail rows on one page: the second block
// does not fit below the first and moves whole, and the page footer counts
// only the detail rows that stand on its page.
TEST(DataBands, AKeptBlockMovesWithItsTotals) {
  BandReport r;
  r.page->SetPaperHeight(70);
  r.Band<TfrxPageFooter>("PageFooter1", "p[COUNT(DetailData1)]");
  auto* master = r.Band<TfrxMasterData>("MasterData1", "m[Line]");
  master->SetRowCount(3);
  master->KeepTogether = true;
  r.Band<TfrxDetailData>("DetailData1", "d")->SetRowCount(6);
  ASSERT_TRUE(r.report.PrepareReport()) << r.Errors();
  ASSERT_GE(r.report.PreviewPages().PageCount(), 2);
  int details = 0, total = 0;
  for (int i = 0; i < r.report.PreviewPages().PageCount(); ++i) {
    std::vector<std::string> texts;
    for (TfrxComponent* c : r.report.PreviewPages().BuildPage(i)->AllObjects())
      if (auto* m = dynamic_cast<TfrxMemoView*>(c)) texts.push_back(m->Text());
    details = static_cast<int>(std::count(texts.begin(), texts.end(), "d"));
    EXPECT_EQ(details % 6, 0) << "page " << i + 1 << ": a block was split";
    EXPECT_NE(std::find(texts.begin(), texts.end(), "p" + std::to_string(details)), texts.end())
        << "page " << i + 1 << " counts its own " << details << " detail rows";
    total += details;
  }
  EXPECT_EQ(total, 18);
}

TEST(DataBands, AnAggregateNoBandCollectedIsEmpty) {
  BandReport r;
  r.Band<TfrxMasterData>("MasterData1", "[SUM(1)]x")->SetRowCount(1);
  ASSERT_TRUE(r.report.PrepareReport()) << r.Errors();
  EXPECT_EQ(r.Printed(), (Texts{"x"})) << "a data band shows no totals of its own";
}

}  // namespace
}  // namespace zentavo::testing
