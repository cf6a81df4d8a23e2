// The preparation engine: the run, pages, page-level objects and bands.
#include "engine/frxEngine.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <stdexcept>

#include "barcode/frxBarcode.h"
#include "engine/frxBandLinks.h"
#include "engine/frxObjectTree.h"
#include "engine/frxPreviewPages.h"
#include "engine/frxShiftLists.h"
#include "platform/Clock.h"
#include "platform/ScopeGuard.h"
#include "platform/Text.h"
#include "report/frxClass.h"
#include "report/frxReportScript.h"
#include "report/frxServices.h"

namespace zentavo {

namespace {

template <class T>
bool Is(const TfrxComponent* c) {
  return dynamic_cast<const T*>(c) != nullptr;
}

// Walks a data source from its first record; `body` runs per record.
template <class F>
void ForEachRecord(TfrxDataSet& ds, TfrxReport& report, F body) {
  ds.First();
  long n = 0;
  while (!ds.Eof() && !report.Terminated) {
    if (++n > TfrxEngine::kMaxRecords) throw std::runtime_error("Data set \"" + ds.UserName() + "\" has too many records");
    body();
    ds.Next();
  }
}

}  // namespace

std::string ProgressText(const TfrxReport& report, int type, int page) {
  std::string n = std::to_string(page);
  switch (type) {
    case TfrxReport::ptExporting: return FormatResource("prExporting", n);
    case TfrxReport::ptPrinting: return FormatResource("prPrinting", n);
    default: break;
  }
  auto& r = const_cast<TfrxReport&>(report);
  bool firstPass = r.EngineOptions.DoublePass && !r.Engine().FinalPass;
  return FormatResource(firstPass ? "prRunningFirst" : "prRunning", n);
}

TfrxEngine::TfrxEngine(TfrxReport& report) : report_(report) {}
TfrxEngine::~TfrxEngine() = default;

bool TfrxEngine::DoublePass() const { return report_.EngineOptions.DoublePass; }

TfrxPreviewPages& TfrxEngine::Store() {
  if (store_ == nullptr) store_ = &PreviewPagesOf(report_);
  return *store_;
}

int TfrxEngine::CurPageIndex() { return std::max(Store().CurrentPage, 0); }

int TfrxEngine::RunFirstPageIndex() { return Store().RunFirstPage; }

TfrxEngine& EngineOf(TfrxReport& report) {
  auto* engine = dynamic_cast<TfrxEngine*>(&report.Engine());
  if (engine == nullptr) throw std::runtime_error("The report's engine is not the engine's own");
  return *engine;
}

void InstallEngine() {
  static std::once_flag once;
  std::call_once(once, [] {
    InstallBarcodes();
    ReportServices().createEngine = [](TfrxReport& report) -> std::unique_ptr<TfrxCustomEngine> {
      return std::make_unique<TfrxEngine>(report);
    };
    ReportServices().createPreviewPages = [](TfrxReport& report) -> std::unique_ptr<TfrxCustomPreviewPages> {
      return std::make_unique<TfrxPreviewPages>(report);
    };
  });
}

double TfrxEngine::GrowAmount(const TfrxComponent* view) const {
  auto it = shift_.find(view);
  return it == shift_.end() ? 0 : it->second.grow;
}

void TfrxEngine::CallEvent(const std::string& name, TfrxComponent* object) {
  if (!busy_ || TrimBlanks(name).empty()) return;
  report_.Script().CallProcedure(name, object);
}

TfrxBand* TfrxEngine::FindBand(const ClassInfo& bandClass) const {
  if (TemplatePage == nullptr) return nullptr;
  for (TfrxComponent* c : TemplatePage->Objects())
    if (auto* b = dynamic_cast<TfrxBand*>(c); b != nullptr && &b->GetClassInfo() == &bandClass) return b;
  return nullptr;
}

const std::vector<TfrxComponent*>& TfrxEngine::BandObjects(TfrxBand* band) const {
  return band == nullBand_ ? borrowed_ : band->Objects();
}

// ---------------------------------------------------------------- the run

bool TfrxEngine::Execute() {
  if (busy_) throw std::runtime_error("The report is already being prepared");
  bool started = false;
  try {
    started = StartRun();
  } catch (...) {
    EndRun();
    throw;
  }
  if (!started) {
    EndRun();
    return false;
  }
  auto stop = [this] { CallEvent(report_.OnStopReport, &report_); };
  try {
    for (const auto& item : report_.DataSets)
      if (TfrxDataSet* ds = item.DataSet.Get()) ds->Initialize();
    CallEvent(report_.OnStartReport, &report_);
    // Dialog pages are not shown on this platform; a report that decides in
    // OnRunDialogs still gets its say.
    if (!TrimBlanks(report_.OnRunDialogs).empty() && !report_.Script().CallRunDialogs(report_.OnRunDialogs)) {
      stop();
      EndRun();
      return false;
    }
    for (TfrxReportPage* page : report_.ReportPages()) Store().RegisterSourcePage(*page);

    FinalPass = !DoublePass();
    TotalPages = 0;
    Store().FirstPassDiff = !FinalPass;
    Store().MarkPass();
    RunAllPages();
    if (DoublePass()) {
      TotalPages = Store().PageCount();
      Store().DropPass();
      aggregates_.ClearValues();
      FinalPass = true;
      Store().FirstPassDiff = false;
      RunAllPages();
    }
    stop();
  } catch (...) {
    try {
      stop();
    } catch (...) {
      // The first failure is the one reported.
    }
    EndRun();
    throw;
  }
  EndRun();
  return true;
}

bool TfrxEngine::StartRun() {
  Store().StartPreparation();
  double now = NowAsDateTime();
  StartDate = std::floor(now);
  StartTime = now - StartDate;
  busy_ = true;
  KeepActive = false;
  KeptBand = nullptr;
  CurVColumn = 0;
  CollectInto = nullptr;
  shift_.clear();
  bandShiftOrder_.clear();
  running_.clear();
  std::vector<TfrxReportPage*> pages = report_.ReportPages();
  pageBands_.clear();
  aggregates_.Clear();
  for (TfrxReportPage* page : pages) {
    page->AlignChildren();
    std::vector<std::string> errors;
    std::vector<TfrxDataBand*> top = LinkBands(*page, false, errors);
    pageBands_[page].assign(top.begin(), top.end());
    LinkBands(*page, true, errors);
    aggregates_.Collect(report_, *page, pageBands_[page]);
    for (const std::string& e : errors) report_.AddError(e);
  }
  TfrxDataSet* reportDs = report_.DataSet();
  for (TfrxReportPage* page : pages) {
    TfrxDataSet* pageDs = page->DataSet();
    if (reportDs != nullptr && reportDs == pageDs) {
      report_.AddError("Cannot use the same dataset for Report.DataSet and Page.DataSet");
      break;
    }
    for (TfrxComponent* c : page->Objects()) {
      auto* data = dynamic_cast<TfrxMasterData*>(c);
      if (data == nullptr || data->DataSet() == nullptr) continue;
      if (data->DataSet() == reportDs) {
        report_.AddError("Cannot use the same dataset for Report.DataSet and Band.DataSet");
        break;
      }
      if (data->DataSet() == pageDs) {
        report_.AddError("Cannot use the same dataset for Page.DataSet and Band.DataSet");
        break;
      }
    }
  }
  return report_.Errors().empty();
}

void TfrxEngine::EndRun() {
  for (const auto& item : report_.DataSets)
    if (TfrxDataSet* ds = item.DataSet.Get()) {
      try {
        ds->Finalize();
      } catch (...) {
      }
    }
  Store().FinishPreparation();
  // Nothing of the template is remembered past the run.
  shift_.clear();
  bandShiftOrder_.clear();
  running_.clear();
  breaking_.clear();
  HeaderList.clear();
  borrowed_.clear();
  pageBands_.clear();
  nullBand_ = nullptr;
  TemplatePage = nullptr;
  NewPageBand = KeptBand = CollectInto = CurBand = nullptr;
  busy_ = false;
}

void TfrxEngine::RunAllPages() {
  FirstRunPage = true;
  if (TfrxDataSet* ds = report_.DataSet())
    ForEachRecord(*ds, report_, [this] { RunPageSet(); });
  else
    RunPageSet();
}

void TfrxEngine::RunPageSet() {
  std::vector<TfrxReportPage*> subPages;
  for (TfrxComponent* c : report_.AllObjects())
    if (auto* s = dynamic_cast<TfrxSubreport*>(c); s != nullptr && s->SubPage() != nullptr)
      subPages.push_back(s->SubPage());
  for (TfrxReportPage* page : report_.ReportPages()) {
    TemplatePage = page;
    if (std::find(subPages.begin(), subPages.end(), page) == subPages.end() && page->Visible()) ProcessPage();
    if (report_.Terminated) break;
    FirstRunPage = false;
  }
}

void TfrxEngine::ProcessPage() {
  NoKeep = true;
  TfrxReportPage& page = *TemplatePage;
  CallEvent(page.OnBeforePrint, &page);
  if (TfrxDataSet* ds = page.DataSet())
    ForEachRecord(*ds, report_, [this] { ProcessPageRecord(); });
  else
    ProcessPageRecord();
  CallEvent(page.OnAfterPrint, &page);
}

void TfrxEngine::ProcessPageRecord() {
  TfrxReportPage& page = *TemplatePage;
  if (!PageYieldsRows(page, report_.EngineOptions.PrintIfEmpty)) return;
  BeginPage();
  OutputPageObjects();
  if (OnManualBuild)
    OnManualBuild(page);
  else if (!TrimBlanks(page.OnManualBuild).empty())
    CallEvent(page.OnManualBuild, &page);
  else
    RunPageBands(page);
  PageIsFinal = true;
  FinishPage();
  PageIsFinal = false;
}

void TfrxEngine::RunPageBands(TfrxReportPage& page) { ProcessMasterBands(pageBands_[&page]); }

bool TfrxEngine::PageYieldsRows(TfrxReportPage& page, bool accept) {
  if (accept) return true;
  const std::vector<TfrxBand*>& bands = pageBands_[&page];
  return !bands.empty() && AnyBandYieldsRows(bands);
}

// ---------------------------------------------------------------- pages

void TfrxEngine::BeginPage() {
  TfrxReportPage& page = *TemplatePage;
  TfrxBand* title = FindBand(TfrxReportTitle::StaticClassInfo());
  TfrxBand* header = FindBand(TfrxPageHeader::StaticClassInfo());
  HeaderList.clear();
  if (page.TitleBeforeHeader) {
    HeaderList.push_back({title, 0, false});
    HeaderList.push_back({header, 0, false});
  } else {
    HeaderList.push_back({header, 0, false});
    HeaderList.push_back({title, 0, false});
  }
  PageHeight = (page.PaperHeight() - page.TopMargin - page.BottomMargin) * fr01cm;
  PageWidth = (page.PaperWidth() - page.LeftMargin - page.RightMargin) * fr01cm;
  CurX = 0;
  CurY = 0;
  CurColumn = 1;
  AreaLeft = 0;
  PageIsFirst = true;
  PageIsFinal = false;
  auto removeTitle = [this, title] {
    HeaderList.erase(std::remove_if(HeaderList.begin(), HeaderList.end(),
                                    [&](const TfrxHeaderListItem& e) { return e.HeaderBand == title; }),
                     HeaderList.end());
  };
  if (Store().PageCount() > 0 && page.PrintOnPreviousPage) {
    Store().CurrentPage = Store().PageCount() - 1;
    CurY = Store().LowestBandBottom();
    if (title != nullptr) removeTitle();
    ShowBand(title);
  } else {
    OpenPage();
  }
  if (FirstRunPage) Store().RunFirstPage = Store().CurrentPage;
  ColumnTop = CurY;
  TfrxBand* columnHeader = FindBand(TfrxColumnHeader::StaticClassInfo());
  ShowBand(columnHeader);
  HeaderList.push_back({columnHeader, AreaLeft, KeepActive});
  if (title != nullptr) removeTitle();
  AddPageOutline();
}

void TfrxEngine::AddPageOutline() {
  TfrxOutline& outline = Store().Outline();
  outline.LevelRoot();
  if (TemplatePage == nullptr || TemplatePage->OutlineText.empty()) return;
  // The outline text is an expression.
  ScopedValue current(report_.CurObject, TemplatePage->Name());
  outline.AddItem(VarToStr(report_.Calc(TemplatePage->OutlineText)), 0);
}

void TfrxEngine::OpenPage() {
  Store().AppendPage(*TemplatePage);
  CurY = 0;
  TfrxBand* overlay = FindBand(TfrxOverlay::StaticClassInfo());
  if (overlay != nullptr && !overlay->PrintOnTop) {
    ShowBand(overlay);
    CurY = 0;
  }
  ColumnTop = 0;
  double savedX = CurX;
  for (std::size_t i = 0; i < HeaderList.size(); ++i) {
    TfrxHeaderListItem entry = HeaderList[i];
    TfrxBand* band = entry.HeaderBand;
    if (band == nullptr || band == NewPageBand) continue;
    bool isPageHeader = Is<TfrxPageHeader>(band);
    if (isPageHeader && !band->PrintOnFirstPage && PageIsFirst) continue;
    if (entry.InKeep && KeepActive) continue;
    if (SkipHeaderReprint && Is<TfrxHeader>(band)) continue;
    CurX = entry.XPos;
    // A title is placed once: its entry is emptied before it shows.
    if (Is<TfrxReportTitle>(band)) HeaderList[i].HeaderBand = nullptr;
    {
      // A reprinted data band shows its own row numbers meanwhile.
      auto* data = dynamic_cast<TfrxDataBand*>(band);
      ScopedValue row(RowNumber, data != nullptr ? data->RowNo : RowNumber);
      ScopedValue rowThrough(RowNumberThrough, data != nullptr ? data->RowNoThrough : RowNumberThrough);
      ScopedValue reprinting(ReprintingHeaders, true);
      ShowBand(band);
    }
    if (isPageHeader) ColumnTop = CurY;
  }
  CurX = savedX;
}

void TfrxEngine::OutputPageObjects() {
  TfrxNullBand band;
  band.SetWidth(PageWidth);
  band.SetHeight(PageHeight);
  // The page-level objects are borrowed: they stay the page's children and
  // the temporary band never owns them. The page already laid them out
  // relative to the printable area when the run started.
  borrowed_.clear();
  for (TfrxComponent* c : TemplatePage->Objects())
    if (!Is<TfrxBand>(c) && Is<TfrxReportComponent>(c)) borrowed_.push_back(c);
  nullBand_ = &band;
  ScopeGuard release([this, &band, savedY = CurY] {
    CurY = savedY;
    bandShiftOrder_.erase(&band);
    nullBand_ = nullptr;
    borrowed_.clear();
  });
  ShowBand(&band);
}

void TfrxEngine::FinishPage() {
  TfrxReportPage& page = *TemplatePage;
  if (page.Columns() > 1 && !PageIsFinal) {
    CurX = AreaLeft;
    CurColumn = 1;
  }
  OutputFooter(FindBand(TfrxColumnFooter::StaticClassInfo()));
  if (PageIsFinal && !SummaryShown) {
    ScopedValue shown(SummaryShown, true);
    ShowBand(FindBand(TfrxReportSummary::StaticClassInfo()));
  }
  if (TfrxBand* footer = FindBand(TfrxPageFooter::StaticClassInfo())) {
    CurY = PageHeight - footer->Height();
    OutputFooter(footer);
  }
  TfrxBand* overlay = FindBand(TfrxOverlay::StaticClassInfo());
  if (overlay != nullptr && overlay->PrintOnTop) {
    CurY = 0;
    OutputFooter(overlay);
  }
  PageIsFirst = false;
}

void TfrxEngine::OutputFooter(TfrxBand* band) {
  if (band == nullptr) return;
  bool shown = false;
  try {
    StretchBand(band);
    if (band->Visible()) {
      band->SetLeft(0);
      band->SetTop(CurY);
      bool skip = Is<TfrxPageFooter>(band) &&
                  ((PageIsFirst && !band->PrintOnFirstPage) || (PageIsFinal && !band->PrintOnLastPage));
      if (!skip) {
        if (!Store().BandOnPage(*band)) Store().StoreObject(*band, &BandObjects(band));
        CurY += band->Height();
      }
      shown = !skip;
    }
  } catch (...) {
    try {
      RestoreBand(band);
    } catch (...) {
    }
    throw;
  }
  RestoreBand(band);
  // A page footer left out keeps its totals for the page that shows it.
  if (shown || !Is<TfrxPageFooter>(band)) aggregates_.Reset(*band);
}

void TfrxEngine::NewPage() {
  bool keeping = KeepActive;
  TfrxBand* kept = KeptBand;
  if (keeping) {
    // The row that moves with a kept footer leaves this page's totals.
    if (KeptFooterShowing && kept != nullptr) aggregates_.TakeBack(*kept);
    Store().DetachObjects(KeptFromObject);
  }
  FinishPage();
  OpenPage();
  if (keeping) {
    Store().ReattachObjects(0, CurY);
    CurY = Store().LowestBandBottom();
    aggregates_.EndKeep();
    if (KeptFooterShowing && kept != nullptr) aggregates_.AddValues(report_, *kept);
  }
  KeepActive = false;
  KeptBand = nullptr;
  AddPageOutline();
}

void TfrxEngine::NewColumn() {
  TfrxReportPage& page = *TemplatePage;
  if (CurColumn >= page.Columns()) {
    NewPage();
    return;
  }
  OutputFooter(FindBand(TfrxColumnFooter::StaticClassInfo()));
  ++CurColumn;
  double position = 0;
  if (CurColumn - 1 < page.ColumnPositions.Count())
    position = ParseStoredFloat(page.ColumnPositions[CurColumn - 1], 0) * fr01cm;
  CurX = AreaLeft + position;
  CurY = ColumnTop;
}

double TfrxEngine::FreeSpace() {
  double footerSpace = 0;
  if (TfrxBand* b = FindBand(TfrxColumnFooter::StaticClassInfo())) footerSpace += b->Height();
  if (TfrxBand* b = FindBand(TfrxPageFooter::StaticClassInfo())) footerSpace += b->Height();
  return PageHeight - footerSpace - CurY;
}

void TfrxEngine::StopReport() { report_.Terminated = true; }

void TfrxEngine::AddAnchor(const std::string& text) { Store().AddAnchor(text, CurY); }

int TfrxEngine::GetAnchorPage(const std::string& text) { return Store().GetAnchorPage(text); }

void TfrxEngine::OpenKeep(TfrxBand* band, int position) {
  if (KeepActive || NoKeep) return;
  KeepActive = true;
  KeptBand = band;
  KeptFromObject = position != 0 ? position : Store().ObjectCount();
  aggregates_.BeginKeep();
}

void TfrxEngine::CloseKeep(TfrxBand* band) {
  if (!KeepActive || band != KeptBand) return;
  KeepActive = false;
  KeptBand = nullptr;
  aggregates_.EndKeep();
}

// ---------------------------------------------------------------- bands

void TfrxEngine::ShowBand(const ClassInfo& bandClass) { ShowBand(FindBand(bandClass)); }

void TfrxEngine::ShowBand(TfrxBand* band) {
  if (band == nullptr) return;
  if (band->KeepChild) OpenKeep(band, 0);
  OutputBand(band);
  if (TfrxChild* child = band->Child(); child != nullptr && (band->Visible() || band->PrintChildIfInvisible))
    ShowBand(child);
  if (band->KeepChild) CloseKeep(band);
  if (Is<TfrxDataBand>(band)) aggregates_.AddValues(report_, *band);
}

Variant TfrxEngine::AggregateValue(const std::string& function, const std::string& expression,
                                   const std::string& band, int flags) {
  TfrxAggregateKind kind;
  if (!AggregateKindOf(function, kind)) return Variant::Null();
  return aggregates_.Value(CurBand, kind, expression, band, flags);
}

void TfrxEngine::OutputBand(TfrxBand* band) {
  auto* data = dynamic_cast<TfrxDataBand*>(band);
  bool isNull = band == nullBand_ || Is<TfrxNullBand>(band);
  if (!ReprintingHeaders && band->Visible() && band->StartNewPage && CollectInto == nullptr) {
    bool firstRow = (data != nullptr || Is<TfrxGroupHeader>(band)) && band->RowNoThrough == 1;
    if (!firstRow) {
      ScopedValue<TfrxBand*> breaking(NewPageBand, band);
      NewPage();
    }
  }
  try {
    StretchBand(band);
    if (band->Visible()) {
      bool multiColumn = data != nullptr && data->Columns > 1;
      if (!multiColumn && !Is<TfrxOverlay>(band) && !isNull && FreeSpace() < band->Height() &&
          CollectInto == nullptr) {
        // A band taller than a page is placed after one break anyway; but a
        // band the new page shows again itself (a page header, a title, a
        // reprinted header) would break that page too, and the next, for ever.
        if (std::find(breaking_.begin(), breaking_.end(), band) != breaking_.end())
          throw std::runtime_error(band->Name() + ": the band does not fit on a page");
        breaking_.push_back(band);
        ScopeGuard done([this] { breaking_.pop_back(); });
        NewColumn();
      }
      if (!isNull) {
        band->SetLeft(CurX);
        band->SetTop(CurY);
      }
      if (ReprintingHeaders) {
        if (!Store().BandOnPage(*band)) Store().StoreObject(*band, &BandObjects(band));
      } else {
        Store().StoreObject(*band, &BandObjects(band));
      }
      CurY += band->Height();
    }
  } catch (...) {
    try {
      RestoreBand(band);
    } catch (...) {
    }
    throw;
  }
  RestoreBand(band);
  aggregates_.Reset(*band);
}

void TfrxEngine::StretchBand(TfrxBand* band) {
  EnterBandEvents(band);
  ScopeGuard eventsDone([this] { inEvents_.pop_back(); });
  CurBand = band;
  BuildShiftLists(band);
  // By index: events may show other bands and grow the list meanwhile.
  running_.push_back({band, false, {}});
  const std::size_t frame = running_.size() - 1;
  band->BeforePrint();
  running_[frame].bandPrepared = true;
  CallEvent(band->OnBeforePrint, band);
  const std::vector<TfrxComponent*>& objects = BandObjects(band);
  std::vector<TfrxComponent*> all;
  for (TfrxComponent* c : objects) {
    all.push_back(c);
    for (TfrxComponent* d : c->AllObjects()) all.push_back(d);
  }
  for (TfrxComponent* c : all) {
    auto* rc = dynamic_cast<TfrxReportComponent*>(c);
    if (rc == nullptr) continue;
    rc->BeforePrint();
    running_[frame].prepared.push_back(c);
    if (!band->Visible()) continue;
    auto* view = dynamic_cast<TfrxView*>(c);
    if (view != nullptr) CallEvent(view->OnBeforePrint, view);
    if (c->Visible()) {
      // Expressions that fail name the object they belong to.
      ScopedValue current(report_.CurObject, c->Name());
      rc->GetData();
      if (view != nullptr) CallEvent(view->OnAfterData, view);
    }
  }
  bool grown = false;
  if (band->Visible())
    for (TfrxComponent* c : objects) {
      auto* s = dynamic_cast<TfrxStretcheable*>(c);
      if (s == nullptr || !s->Visible() || s->StretchMode == TfrxStretchMode::smDontStretch) continue;
      double needed = s->CalcHeight();
      ShiftState& st = shift_[s];
      if (needed > s->Height()) {
        st.grow = needed - s->Height();
        s->SetHeight(needed);
        grown = true;
      } else {
        st.grow = 0;
      }
    }
  if (!band->Visible()) return;
  if (grown) ShiftObjects(band);
  double lowest = 0;
  for (TfrxComponent* c : objects) lowest = std::max(lowest, c->Top() + c->Height());
  if (band->Stretched) band->SetHeight(lowest);
  CallEvent(band->OnAfterCalcHeight, band);
  for (TfrxComponent* c : objects)
    if (auto* s = dynamic_cast<TfrxStretcheable*>(c); s != nullptr && s->StretchMode == TfrxStretchMode::smMaxHeight)
      s->SetHeight(lowest - s->Top());
}

void TfrxEngine::BuildShiftLists(TfrxBand* band) {
  if (auto it = bandShiftOrder_.find(band); it != bandShiftOrder_.end() && !it->second.empty()) return;
  std::vector<TfrxComponent*> order = BandObjects(band);
  // Sorted by top, to two decimals (a plain number sort: text sorting put
  // negative tops after positive ones).
  std::stable_sort(order.begin(), order.end(), [](TfrxComponent* a, TfrxComponent* b) {
    return std::round(a->Top() * 100) < std::round(b->Top() * 100);
  });
  for (TfrxComponent* c : order) {
    shift_[c].children.clear();
    shift_[c].parents.clear();
  }
  std::vector<ShiftBox> boxes;
  boxes.reserve(order.size() + 1);
  boxes.push_back({0, -2, band->Width(), 1});  // the band's top edge
  for (TfrxComponent* c : order) boxes.push_back({c->Left(), c->Top(), c->Width(), c->Height()});
  for (const auto& [a, b] : ShiftPairs(boxes)) {
    TfrxComponent* child = order[b - 1];
    TfrxComponent* parent = a == 0 ? nullptr : order[a - 1];
    if (parent != nullptr) shift_[parent].children.push_back(child);
    shift_[child].parents.push_back(parent);
  }
  // Objects are shifted in top order, parents before children.
  order.erase(std::remove_if(order.begin(), order.end(), [&](TfrxComponent* c) { return shift_[c].parents.empty(); }),
              order.end());
  bandShiftOrder_[band] = order;
}

// Moves the objects below grown ones. An object under several growing
// neighbours takes the largest move once, not the sum.
void TfrxEngine::ShiftObjects(TfrxBand* band) {
  auto it = bandShiftOrder_.find(band);
  if (it == bandShiftOrder_.end()) return;
  std::unordered_map<const TfrxComponent*, double> passOn;  // offset each object gives its children
  for (TfrxComponent* c : it->second) {
    ShiftState& st = shift_[c];
    double oldTop = c->Top();
    double newTop = oldTop, childOffset = 0;
    bool first = true;
    auto* view = dynamic_cast<TfrxView*>(c);
    TfrxShiftMode mode = view != nullptr ? view->ShiftMode : TfrxShiftMode::smAlways;
    for (TfrxComponent* p : st.parents) {
      double offset = p == nullptr ? 0 : passOn[p];
      double top = oldTop, off = 0;
      switch (mode) {
        case TfrxShiftMode::smAlways:
          top = oldTop + offset;
          off = offset + st.grow;
          break;
        case TfrxShiftMode::smDontShift: off = offset + st.grow; break;
        case TfrxShiftMode::smWhenOverlapped:
          if (p == nullptr) {
            off = st.grow;
          } else {
            double bottom = p->Top() + p->Height();
            if (oldTop >= bottom) {
              off = st.grow;
            } else {
              top = bottom;
              off = bottom - oldTop + st.grow;
            }
          }
          break;
      }
      if (first || top > newTop) newTop = top;
      if (first || off > childOffset) childOffset = off;
      first = false;
    }
    if (newTop != oldTop) c->SetTop(newTop);
    passOn[c] = childOffset;
  }
  for (TfrxComponent* c : it->second) shift_[c].grow = 0;
}

// A script that shows a band from that band's own events (or breaks the
// page from a page header's) would otherwise nest without end.
void TfrxEngine::EnterBandEvents(TfrxBand* band) {
  if (std::find(inEvents_.begin(), inEvents_.end(), band) != inEvents_.end())
    throw std::runtime_error(band->Name() + " is being shown already: a band cannot be shown inside its own output");
  inEvents_.push_back(band);
}

void TfrxEngine::RestoreBand(TfrxBand* band) {
  auto it = std::find_if(running_.rbegin(), running_.rend(), [&](const BandRun& r) { return r.band == band; });
  if (it == running_.rend()) return;
  BandRun run = std::move(*it);
  running_.erase(std::next(it).base());
  EnterBandEvents(band);
  ScopeGuard eventsDone([this] { inEvents_.pop_back(); });
  std::exception_ptr failure;
  auto guarded = [&](auto f) {
    try {
      f();
    } catch (...) {
      if (!failure) failure = std::current_exception();
    }
  };
  if (band->Visible())
    for (TfrxComponent* c : run.prepared)
      if (auto* view = dynamic_cast<TfrxView*>(c)) guarded([&] { CallEvent(view->OnAfterPrint, view); });
  for (TfrxComponent* c : run.prepared) static_cast<TfrxReportComponent*>(c)->AfterPrint();
  guarded([&] { CallEvent(band->OnAfterPrint, band); });
  if (run.bandPrepared) band->AfterPrint();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace zentavo
