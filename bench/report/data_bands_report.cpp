// One side of bench/data_bands.sh: a grouped master/detail report of ROWS rows
// from user data sets, prepared and drawn into a PDF, as a report author's
// program would run it. Prints the preparation and drawing times, the pages
// and the peak memory.
// usage: data_bands_report ROWS OUT.pdf
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/frxPreviewPages.h"
#include "platform/CairoCanvas.h"
#include "report/frxClass.h"

namespace {

using namespace zentavo;

constexpr int kGroupRows = 20;  // as bench/floor/data_bands_floor.c

TfrxMemoView* Memo(TfrxComponent& band, const std::string& name, double left, double width, const std::string& text) {
  auto* memo = new TfrxMemoView(&band);
  memo->SetName(name);
  memo->SetBounds(left, 0, width, band.Height());
  memo->SetText(text);
  return memo;
}

template <class Band>
Band* AddBand(TfrxReportPage& page, const char* name, double top, double height) {
  auto* band = new Band(&page);
  band->SetName(name);
  band->SetTop(top);
  band->SetHeight(height);
  return band;
}

double Ms(std::chrono::steady_clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: data_bands_report ROWS OUT.pdf\n");
    return 2;
  }
  const int rows = std::atoi(argv[1]);
  TfrxReport report;
  report.EngineOptions.NewSilentMode = TfrxSilentMode::simSilent;
  // Pages leave memory for the temporary file past the store's limit.
  report.EngineOptions.UseFileCache = true;

  TfrxUserDataSet data(&report), notes(&report);
  data.SetUserName("D");
  for (const char* f : {"No", "Ad", "Tutar", "Grup"}) data.Fields.Add(f);
  data.RangeEnd = TfrxRangeEnd::reCount;
  data.RangeEndCount = rows;
  data.OnGetValue = [&data](const std::string& field, TfrxFieldValue& v) {
    const int i = data.RecNo;
    if (field == "No") v = static_cast<std::int64_t>(i + 1);
    else if (field == "Ad") v = "Hasta " + std::to_string(i + 1);
    else if (field == "Tutar") v = (i % 100) + 0.5;
    else if (field == "Grup") v = static_cast<std::int64_t>(i / kGroupRows + 1);
  };
  notes.SetUserName("E");
  notes.Fields.Add("Not");
  notes.RangeEnd = TfrxRangeEnd::reCount;
  notes.RangeEndCount = 1;  // one detail row for every master row
  notes.OnGetValue = [&data](const std::string&, TfrxFieldValue& v) { v = "Not " + std::to_string(data.RecNo + 1); };
  report.AddDataSet(&data);
  report.AddDataSet(&notes);

  auto* page = new TfrxReportPage(&report);
  page->SetName("Page1");
  page->SetPaperWidth(210);
  page->SetPaperHeight(297);
  page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 10;
  double top = 0;
  auto* group = AddBand<TfrxGroupHeader>(*page, "GroupHeader1", top += 0, 22);
  group->Condition = "D.\"Grup\"";
  Memo(*group, "GroupText", 0, 400, "Grup [D.\"Grup\"]");
  auto* master = AddBand<TfrxMasterData>(*page, "MasterData1", top += 30, 18);
  master->SetDataSet(&data);
  Memo(*master, "NoText", 0, 80, "[D.\"No\"]");
  Memo(*master, "AdText", 90, 300, "[D.\"Ad\"]");
  Memo(*master, "TutarText", 400, 200, "[D.\"Tutar\"]");
  auto* detail = AddBand<TfrxDetailData>(*page, "DetailData1", top += 30, 18);
  detail->SetDataSet(&notes);
  Memo(*detail, "NotText", 90, 300, "[E.\"Not\"]");
  auto* footer = AddBand<TfrxGroupFooter>(*page, "GroupFooter1", top += 30, 22);
  Memo(*footer, "GroupTotal", 0, 600, "Toplam [SUM(<D.\"Tutar\">,MasterData1)] / [COUNT(MasterData1)]");
  auto* summary = AddBand<TfrxReportSummary>(*page, "ReportSummary1", top += 30, 22);
  Memo(*summary, "ReportTotal", 0, 600, "Genel toplam [SUM(<D.\"Tutar\">,MasterData1)]");

  const auto t0 = std::chrono::steady_clock::now();
  if (!report.PrepareReport()) {
    for (const std::string& e : report.Errors()) std::fprintf(stderr, "%s\n", e.c_str());
    return 1;
  }
  const auto t1 = std::chrono::steady_clock::now();
  rusage prepared{};
  getrusage(RUSAGE_SELF, &prepared);
  TfrxCustomPreviewPages& pages = report.PreviewPages();
  const int dpi = 300;
  const double scale = dpi / 96.0;
  std::unique_ptr<CairoCanvas> document;
  for (int i = 0; i < pages.PageCount(); ++i) {
    TfrxReportPage* p = pages.BuildPage(i);
    const PaperSize paper{p->PaperWidth(), p->PaperHeight()};
    if (!document) document = CairoCanvas::CreateDocument(CairoCanvas::Format::Pdf, argv[2], paper, dpi);
    else document->NewPage(paper);
    pages.PaintPage(i, *document, scale, scale, 0, 0);
  }
  if (document) document->Finish();
  const auto t2 = std::chrono::steady_clock::now();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("prepare_ms %.1f render_ms %.1f pages %d prepared_peak_kb %ld peak_kb %ld\n", Ms(t1 - t0), Ms(t2 - t1),
              pages.PageCount(), prepared.ru_maxrss, usage.ru_maxrss);
  return 0;
}
