// The prepared page store: stored shape, keys, rebuilding, save and load,
// the temporary-file cache, anchors, detaching, and untrusted files.
#include <gtest/gtest.h>

#include <set>

#include "EngineFixture.h"
#include "platform/RecordingCanvas.h"
#include "platform/Text.h"
#include "templates/Templates.h"

namespace zentavo {
namespace {

using namespace zentavo::testing;

// The objects of a rebuilt page, one text each (class, name, attributes).
std::vector<std::string> PageObjects(TfrxPreviewPages& pages, int index) {
  std::vector<std::string> out;
  TfrxReportPage* page = pages.BuildPage(index);
  for (TfrxComponent* c : page->AllObjects()) out.push_back(ObjectToText(*c));
  return out;
}

TEST(PreviewPagesTest, LabelTemplatesGiveOnePageWithOneNullBandOfKeyedObjects) {
  // "m" or "b" and a number: a dictionary key of a memo or a barcode.
  auto isKey = [](const std::string& n) {
    return n.size() >= 2 && (n[0] == 'm' || n[0] == 'b') &&
           n.find_first_not_of("0123456789", 1) == std::string::npos;
  };
  for (const std::string& name : BuiltInTemplateNames()) {
    SCOPED_TRACE(name);
    auto report = LoadBuiltInTemplate(name);
    bool bands = false;
    for (TfrxComponent* c : report->AllObjects()) bands = bands || dynamic_cast<TfrxBand*>(c) != nullptr;
    if (bands) continue;  // only the page-level label templates
    ASSERT_TRUE(report->PrepareReport());
    TfrxXMLItem& pages = PreviewPagesOf(*report).Section("previewpages");
    ASSERT_EQ(pages.Count(), 1);
    const TfrxXMLItem& page = *pages.Items(0);
    EXPECT_EQ(page.Name, "page0");
    ASSERT_EQ(page.Count(), 1);
    const TfrxXMLItem& band = *page.Items(0);
    EXPECT_EQ(band.Name, "TfrxNullBand");
    EXPECT_GT(band.Count(), 0);
    for (int i = 0; i < band.Count(); ++i) EXPECT_TRUE(isKey(band.Items(i)->Name)) << band.Items(i)->Name;
    // The rebuilt page holds the template's page-level objects at their design places.
    TfrxReportPage* built = report->PreviewPages().BuildPage(0);
    ASSERT_NE(built, nullptr);
    report->ReportPages()[0]->AlignChildren();
    for (TfrxComponent* original : report->ReportPages()[0]->Objects()) {
      TfrxComponent* copy = built->FindObject(original->Name());
      ASSERT_NE(copy, nullptr) << original->Name();
      EXPECT_EQ(copy->ClassName(), original->ClassName());
      EXPECT_NEAR(copy->Left(), original->Left(), 1e-4) << original->Name();
      EXPECT_NEAR(copy->Top(), original->Top(), 1e-4) << original->Name();
      EXPECT_EQ(copy->Parent()->ClassName(), "TfrxNullBand");
    }
  }
}

TEST(PreviewPagesTest, KeysCountUpFromTheHalvingProbe) {
  struct Case {
    std::vector<std::string> taken;
    std::string prefix;
    std::string next;
    const char* why;
  };
  const Case cases[] = {
      {{}, "m", "m1", "an empty dictionary starts at 1"},
      {{"m1", "m2", "m3"}, "m", "m4", "registration order runs m1, m2, m3 ..."},
      {{"m1", "m2", "b1"}, "m", "m3", "prefixes count separately"},
      {{"m1", "m2", "m3", "m5"}, "m", "m4", "below the probe the first free number after 1"},
      {{"m1", "m2", "m3", "m4", "m5"}, "m", "m6", "from a taken power of two up to the first free"},
      {{"m5000", "m5001"}, "m", "m5002", "a taken 5000 starts the count there"},
      {{"m3", "m1", "m2"}, "m", "m4", "keys added out of order join into one run"},
      {{"m4999", "m5000", "m5002", "m5001"}, "m", "m5003", "a gap filled later joins the runs on both sides"},
      {{"m1", "m2", "m4", "m5"}, "m", "m6", "a taken probe starts the count past a gap below it"},
      {{"m1", "m2", "m5", "m6"}, "m", "m3", "with no probe taken the count from 1 stops at the gap"},
      {{"m12"}, "m1", "m13", "m12 is also the longer prefix m1 with the number 2"},
      {{"m02"}, "m", "m1", "a number is never written with a leading zero"},
      {{"m02"}, "m0", "m03", "but the prefix may end in a zero"},
      {{"m10000", "m10001"}, "m", "m10002", "the first probe is 10000"},
      {{"m2147483647"}, "m", "m1", "the largest number does not disturb the count"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    TfrxDictionary d;
    for (const auto& k : c.taken) d.Add(k, {});
    EXPECT_EQ(d.NewKey(c.prefix), c.next);
  }
}

// The key rule as written: probe prefix + 10000, 5000, 2500 ... 2 for the
// first taken key, then count up from it (or from 1) to the first free one.
std::string KeyByTheRule(const std::set<std::string>& keys, const std::string& prefix) {
  auto taken = [&](int n) { return keys.count(prefix + std::to_string(n)) != 0; };
  int n = 1;
  for (int probe = 10000; probe >= 2; probe /= 2)
    if (taken(probe)) {
      n = probe;
      break;
    }
  while (taken(n)) ++n;
  return prefix + std::to_string(n);
}

TEST(PreviewPagesTest, ManyKeysFollowTheRuleAtEveryStep) {
  // Ten thousand keys of one prefix, with keys of another prefix and
  // holes made by keys loaded from a file in between.
  TfrxDictionary d;
  std::set<std::string> keys;
  auto add = [&](const std::string& key) {
    d.Add(key, {});
    keys.insert(key);
  };
  for (const char* k : {"m7", "m9", "m4990", "m5003", "m10000", "m10002", "b2", "x1"}) add(k);
  // The rule counts through the keys and is slow: every step near the
  // probes and at 10000 is checked, the others now and then.
  for (int i = 0; i < 12000; ++i) {
    const std::string prefix = i % 7 == 0 ? "b" : "m";
    const std::string key = d.NewKey(prefix);
    const bool check = i % 29 == 0 || (i > 9950 && i < 10050) || (i > 4950 && i < 5050);
    if (check) {
      ASSERT_EQ(key, KeyByTheRule(keys, prefix)) << "step " << i;
    }
    add(key);
  }
  EXPECT_EQ(d.Count(), static_cast<int>(keys.size()));
}

TEST(PreviewPagesTest, SavedAndLoadedReportsGiveTheSamePages) {
  for (const std::string& name : BuiltInTemplateNames()) {
    SCOPED_TRACE(name);
    auto report = LoadBuiltInTemplate(name);
    report->EngineOptions.DoublePass = true;
    ASSERT_TRUE(report->PrepareReport());
    TMemoryStream saved;
    report->PreviewPages().SaveToStream(saved);

    TfrxReport other;
    saved.Seek(0);
    other.PreviewPages().LoadFromStream(saved);
    ASSERT_EQ(other.PreviewPages().PageCount(), report->PreviewPages().PageCount());
    for (int i = 0; i < other.PreviewPages().PageCount(); ++i)
      EXPECT_EQ(PageObjects(PreviewPagesOf(other), i), PageObjects(PreviewPagesOf(*report), i)) << "page " << i;
    EXPECT_EQ(other.PreviewPages().PageSize(0), report->PreviewPages().PageSize(0));
    // Saving the loaded report again writes the same bytes.
    TMemoryStream again;
    other.PreviewPages().SaveToStream(again);
    EXPECT_EQ(again.Data(), saved.Data());
  }
}

TEST(PreviewPagesTest, ReplacedAndAppendedPagesAreCompletePages) {
  auto labels = LoadBuiltInTemplate("LabBarkod3050");
  ASSERT_TRUE(labels->PrepareReport());
  std::vector<std::string> label = PageObjects(PreviewPagesOf(*labels), 0);
  TfrxReport report;
  AddMemo(*AddPage(report), "Own", 0, 0, 10, 10);
  ASSERT_TRUE(report.PrepareReport());
  TfrxPreviewPages& pages = PreviewPagesOf(report);
  pages.AppendReportPages(*labels);
  ASSERT_EQ(pages.PageCount(), 2);
  EXPECT_EQ(pages.Section("previewpages").Items(1)->Name, "TfrxReportPage");
  EXPECT_EQ(PageObjects(pages, 1), label);
  pages.ReplacePage(0, *labels->PreviewPages().BuildPage(0));
  EXPECT_EQ(PageObjects(pages, 0), label);
  EXPECT_EQ(pages.PageSize(0), (std::pair<int, int>{189, 113}));
  // Complete pages survive saving and loading.
  TMemoryStream saved;
  pages.SaveToStream(saved);
  TfrxReport other;
  saved.Seek(0);
  other.PreviewPages().LoadFromStream(saved);
  EXPECT_EQ(PageObjects(PreviewPagesOf(other), 0), label);
}

TEST(PreviewPagesTest, PageSizeIsThePaperInWholePixels) {
  auto report = LoadBuiltInTemplate("LabBarkod3050");
  ASSERT_TRUE(report->PrepareReport());
  EXPECT_EQ(report->PreviewPages().PageSize(0), (std::pair<int, int>{189, 113}));
  EXPECT_EQ(report->PreviewPages().PageSize(1), (std::pair<int, int>{0, 0}));
  EXPECT_EQ(report->PreviewPages().PageSize(-1), (std::pair<int, int>{0, 0}));
  EXPECT_THROW(report->PreviewPages().BuildPage(1), std::runtime_error);
}

TEST(PreviewPagesTest, FileCacheUnloadsFinishedPagesAndKeepsThemWhole) {
  TfrxReport report;
  TfrxReportPage* page = AddPage(report);
  AddMemo(*page, "M", 0, 0, 50, 10, "text on every page");
  auto ds = Records(report, 12);
  report.SetDataSet(ds.get());
  report.EngineOptions.UseFileCache = true;
  report.EngineOptions.MaxMemSize = 0;  // unload at every page
  ASSERT_TRUE(report.PrepareReport());
  TfrxPreviewPages& pages = PreviewPagesOf(report);
  ASSERT_EQ(pages.PageCount(), 12);
  TfrxXMLItem& items = pages.Section("previewpages");
  EXPECT_TRUE(items.Items(0)->Loaded);
  EXPECT_TRUE(items.Items(1)->Loaded);
  for (int i = 2; i < 10; ++i) EXPECT_FALSE(items.Items(i)->Loaded) << "page " << i;
  // The page being filled when the next one opens is the last one then.
  EXPECT_TRUE(items.Items(10)->Loaded);
  EXPECT_TRUE(items.Items(11)->Loaded);
  EXPECT_FALSE(pages.Document().TempFile().empty());
  for (int i : {5, 2, 10}) {
    TfrxComponent* memo = pages.BuildPage(i)->FindObject("M");
    ASSERT_NE(memo, nullptr) << "page " << i;
    EXPECT_EQ(dynamic_cast<TfrxMemoView*>(memo)->Text(), "text on every page");
  }
  TMemoryStream saved;
  pages.SaveToStream(saved);
  TfrxReport other;
  saved.Seek(0);
  other.PreviewPages().LoadFromStream(saved);
  ASSERT_EQ(other.PreviewPages().PageCount(), 12);
  for (int i = 0; i < 12; ++i) EXPECT_NE(other.PreviewPages().BuildPage(i)->FindObject("M"), nullptr) << i;
}

TEST(PreviewPagesTest, PageCacheKeepsAtMostFiftyPages) {
  TfrxReport report;
  AddMemo(*AddPage(report), "M", 0, 0, 50, 10);
  auto ds = Records(report, 60);
  report.SetDataSet(ds.get());
  ASSERT_TRUE(report.PrepareReport());
  TfrxPreviewPages& pages = PreviewPagesOf(report);
  TfrxReportPage* first = pages.BuildPage(0);
  EXPECT_EQ(pages.BuildPage(0), first);  // a hit returns the cached page
  for (int i = 1; i <= 50; ++i) pages.BuildPage(i);
  // Page 0 fell out of the cache and is rebuilt whole.
  TfrxReportPage* again = pages.BuildPage(0);
  ASSERT_NE(again, nullptr);
  EXPECT_NE(again->FindObject("M"), nullptr);
}

TEST(PreviewPagesTest, Anchors) {
  TfrxReport report;
  TfrxPreviewPages& pages = PreviewPagesOf(report);
  EXPECT_EQ(pages.GetAnchorPage("never"), 1);
  pages.CurrentPage = 0;
  pages.AddAnchor("Part", 10.6);
  pages.CurrentPage = 3;
  pages.AddAnchor("part", 20);
  EXPECT_EQ(pages.GetAnchorPage("PART"), 4);  // the later one, case ignored
  EXPECT_EQ(pages.FindAnchor("Part")->Prop("top"), "20");
  pages.CurrentPage = 0;
  pages.AddAnchor("a<b&\"c\"", 10.5);
  EXPECT_EQ(pages.GetAnchorPage("a<b&\"c\""), 1);
  EXPECT_EQ(pages.FindAnchor("a<b&\"c\"")->Prop("top"), "10");  // halves to even
}

TEST(PreviewPagesTest, ReattachedObjectsMoveTogether) {
  TfrxReport report;
  TfrxReportPage* page = AddPage(report);
  auto* b1 = AddBand<TfrxChild>(*page, "B1", 0, 10);
  auto* b2 = AddBand<TfrxChild>(*page, "B2", 0, 10);
  auto* b3 = AddBand<TfrxChild>(*page, "B3", 0, 10);
  TfrxEngine& engine = EngineOf(report);
  engine.OnManualBuild = [&](TfrxPage&) {
    engine.ShowBand(b1);  // top 0
    engine.ShowBand(b2);  // top 10
    engine.ShowBand(b3);  // top 20
    TfrxPreviewPages& pages = PreviewPagesOf(report);
    int firstBand = pages.ObjectCount() - 2;
    pages.DetachObjects(firstBand);
    EXPECT_EQ(pages.ObjectCount(), firstBand);
    pages.ReattachObjects(7, 50);
  };
  ASSERT_TRUE(report.PrepareReport());
  std::vector<Stored> stored = StoredOn(report, 0);
  EXPECT_DOUBLE_EQ(FindStored(stored, "B1")->Top(), 0);
  EXPECT_DOUBLE_EQ(FindStored(stored, "B2")->Top(), 50);
  EXPECT_DOUBLE_EQ(FindStored(stored, "B3")->Top(), 60);
  EXPECT_EQ(FindStored(stored, "B3")->item->Prop("l"), "7");
  EXPECT_EQ(PreviewPagesOf(report).Document().Root().Find("cutted"), -1);
}

TEST(PreviewPagesTest, OutlineEntriesOfPages) {
  TfrxReport report;
  // The outline text is an expression.
  AddPage(report)->OutlineText = "'Etiket ' + IntToStr(<Page#>)";
  auto ds = Records(report, 2);
  report.SetDataSet(ds.get());
  ASSERT_TRUE(report.PrepareReport());
  TfrxOutline& outline = PreviewPagesOf(report).Outline();
  outline.LevelRoot();
  ASSERT_EQ(outline.Count(), 2);
  EXPECT_EQ(outline.GetItem(0).text, "Etiket 1");
  EXPECT_EQ(outline.GetItem(1).text, "Etiket 2");
  EXPECT_EQ(outline.GetItem(1).page, 1);
}

TEST(PreviewPagesTest, PaintPageDrawsThePageInsideItsPaper) {
  TfrxReport report;
  TfrxReportPage* page = AddPage(report);
  page->Color = clRed;
  ASSERT_TRUE(report.PrepareReport());
  RecordingCanvas canvas(300, 1000, 1000);
  report.PreviewPages().PaintPage(0, canvas, 300 / 96.0, 300 / 96.0, 10, 20);
  ASSERT_GE(canvas.Calls().size(), 2u);
  // 50 x 30 mm at 300 dpi from (10, 20): 591 x 354 device pixels, clipped
  // there on any canvas but a printer's.
  EXPECT_EQ(canvas.Calls()[0], "Clip 10 20 601 374");
  EXPECT_EQ(canvas.Calls()[1].rfind("FillRect 10 20 601 374 brush=Solid #FF0000", 0), 0u) << canvas.Calls()[1];
}

TEST(PreviewPagesTest, PaintPageTellsTextObjectsThePageCount) {
  TfrxReport report;
  TfrxReportPage* page = AddPage(report);
  auto ds = Records(report, 3);
  page->SetDataSet(ds.get());
  AddMemo(*page, "Total", 0, 0, 100, 20, "of [TOTALPAGES#]");
  TfrxMemoView* data = AddMemo(*page, "Data", 0, 40, 180, 20, "[TOTALPAGES#] x");
  data->AllowExpressions = false;  // e.g. text copied from a request
  ASSERT_TRUE(report.PrepareReport());
  ASSERT_EQ(report.PreviewPages().PageCount(), 3);
  RecordingCanvas canvas(96, 400, 400);
  report.PreviewPages().PaintPage(1, canvas, 1, 1, 0, 0);
  std::string texts;
  for (const std::string& call : canvas.Calls())
    if (call.rfind("Text ", 0) == 0) texts += call + "\n";
  EXPECT_NE(texts.find("\"of 3\""), std::string::npos) << texts;
  EXPECT_NE(texts.find("\"[TOTALPAGES#] x\""), std::string::npos) << "data is never substituted\n" << texts;
}

// ---------------------------------------------------------------- untrusted files

TEST(PreviewPagesTest, DamagedPreparedReportsAreErrorsNotCrashes) {
  const std::string good = [] {
    auto report = LoadBuiltInTemplate("LabBarkod3050");
    report->PrepareReport();
    TMemoryStream s;
    report->PreviewPages().SaveToStream(s);
    return s.Data();
  }();
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string s = good;
    std::size_t p = s.find(from);
    EXPECT_NE(p, std::string::npos) << from;
    if (p != std::string::npos) s.replace(p, from.size(), to);
    return s;
  };
  auto replacedAll = [&](const std::string& from, const std::string& to) {
    std::string s = good;
    for (std::size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + to.size())) s.replace(p, from.size(), to);
    return s;
  };
  struct Case {
    const char* why;
    std::string text;
  };
  const Case cases[] = {
      {"not XML at all", "garbage"},
      {"a template, not a prepared report", std::string(BuiltInTemplateXml("LabBarkod3050"))},
      {"a page without its source page", replacedAll("page0>", "page7>")},
      {"a page name with junk after the number", replacedAll("page0>", "page0x>")},
      {"a dictionary entry without name", replaced("<m1 name=\"Page0.MmHastaAdi\"/>", "<m1/>")},
      {"a dictionary entry with a short attribute text", replaced("<m1 name=\"Page0.MmHastaAdi\"/>", "<m1 n/>")},
      {"a source page of an unknown class", replaced("<TfrxReportPage Name=\"Page1\"", "<TfrxNoSuchPage Name=\"Page1\"")},
      {"an unknown object class in a source page", replaced("<TfrxMemoView Name=\"MmHastaAdi\"", "<TfrxBogus Name=\"MmHastaAdi\"")},
      {"a key whose source page index is out of range", replaced("Page0.MmHastaAdi", "Page99.MmHastaAdi")},
      {"a key whose object does not exist", replaced("Page0.MmHastaAdi", "Page0.Nobody")},
      {"an unknown element on a page", replaced("<m1 ", "<zz1 ")},
      {"a band placed inside a memo", replaced("<m2 u=\"01.01.2013 13:00:00\"/>", "<m2><TfrxNullBand/></m2>")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    TfrxReport report;
    TMemoryStream stream(c.text);
    try {
      report.PreviewPages().LoadFromStream(stream);
      for (int i = 0; i < report.PreviewPages().PageCount(); ++i) report.PreviewPages().BuildPage(i);
      ADD_FAILURE() << "accepted";
    } catch (const std::runtime_error& e) {
      EXPECT_STRNE(e.what(), "");
    }
  }
  // Objects nested beyond the limit.
  std::string deep = good;
  std::string open, close;
  for (int i = 0; i < 100; ++i) {
    open += "<m1>";
    close += "</m1>";
  }
  deep.replace(deep.find("<m1 "), 0, open + "<m1/>" + close);
  TfrxReport report;
  TMemoryStream stream(deep);
  EXPECT_THROW(
      {
        report.PreviewPages().LoadFromStream(stream);
        report.PreviewPages().BuildPage(0);
      },
      std::runtime_error);
}

}  // namespace
}  // namespace zentavo

namespace zentavo {
namespace {

using namespace zentavo::testing;

// Bytes of attribute and element text held in memory by the page elements.
std::size_t LoadedPageBytes(TfrxXMLItem& item) {
  std::size_t n = item.Name.size() + item.Text.size();
  for (int i = 0; i < item.Count(); ++i) n += LoadedPageBytes(*item.Items(i));
  return n;
}

TEST(PreviewPagesTest, TenThousandRecordsStayWithinTheMemoryLimit) {
  auto report = LoadBuiltInTemplate("LabBarkod3050");
  auto ds = Records(*report, 10000);
  report->SetDataSet(ds.get());
  report->EngineOptions.UseFileCache = true;
  report->EngineOptions.MaxMemSize = 1;
  ASSERT_TRUE(report->PrepareReport());
  TfrxPreviewPages& pages = PreviewPagesOf(*report);
  ASSERT_EQ(pages.PageCount(), 10000);
  TfrxXMLItem& items = pages.Section("previewpages");
  std::size_t onePage = LoadedPageBytes(*items.Items(0));
  EXPECT_LE(LoadedPageBytes(items), 1048576u + 3 * onePage);
  for (int i : {0, 1, 2, 4999, 9998, 9999}) {
    TfrxComponent* memo = pages.BuildPage(i)->FindObject("MmHastaAdi");
    ASSERT_NE(memo, nullptr) << i;
    EXPECT_EQ(dynamic_cast<TfrxMemoView*>(memo)->Text(), "AYŞE YILMAZ");
  }
  TMemoryStream saved;
  pages.SaveToStream(saved);
  TfrxReport other;
  saved.Seek(0);
  other.PreviewPages().LoadFromStream(saved);
  EXPECT_EQ(other.PreviewPages().PageCount(), 10000);
  EXPECT_NE(other.PreviewPages().BuildPage(9999)->FindObject("MmHastaAdi"), nullptr);
}

TEST(PreviewPagesTest, AThousandObjectsOfAPageFindTheirSourcesAfterLoading) {
  TfrxReport report;
  const int kMemos = 1000;
  {
    // Built from template text: setting names one by one is not what is
    // measured here.
    std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?><TfrxReport><TfrxReportPage Name=\"Page1\" PaperWidth=\"210\" PaperHeight=\"297\">";
    for (int i = 1; i <= kMemos; ++i)
      xml += "<TfrxMemoView Name=\"Memo" + std::to_string(i) + "\" Left=\"" + std::to_string((i % 10) * 70) +
             "\" Top=\"" + std::to_string((i / 10) * 16) + "\" Width=\"60\" Height=\"14\" Text=\"V" +
             std::to_string(i) + "\"/>";
    xml += "</TfrxReportPage></TfrxReport>";
    TMemoryStream s(xml);
    report.LoadFromStream(s);
  }
  ASSERT_TRUE(report.PrepareReport());
  TMemoryStream saved;
  report.PreviewPages().SaveToStream(saved);
  // A dictionary written by another program may spell a name in another case.
  std::string text = saved.Data();
  const std::string from = "name=\"Page0.Memo17\"", to = "name=\"Page0.mEMO17\"";
  ASSERT_NE(text.find(from), std::string::npos);
  text.replace(text.find(from), from.size(), to);
  TMemoryStream edited(text);
  TfrxReport other;
  other.PreviewPages().LoadFromStream(edited);
  TfrxPreviewPages& pages = PreviewPagesOf(other);
  ASSERT_EQ(pages.Dictionary().Count(), kMemos);
  int resolved = 0;
  for (const auto& [key, entry] : pages.Dictionary().Entries()) {
    ASSERT_NE(entry.source, nullptr) << key << " " << entry.sourceName;
    EXPECT_TRUE(SameTextAscii("Page0." + entry.source->Name(), entry.sourceName)) << key;
    ++resolved;
  }
  EXPECT_EQ(resolved, kMemos);
  // Every memo is rebuilt with its own text.
  TfrxReportPage* built = pages.BuildPage(0);
  for (int i : {1, 17, 500, kMemos}) {
    auto* memo = dynamic_cast<TfrxMemoView*>(built->FindObject("Memo" + std::to_string(i)));
    ASSERT_NE(memo, nullptr) << i;
    EXPECT_EQ(memo->Text(), "V" + std::to_string(i));
  }
}

}  // namespace
}  // namespace zentavo
