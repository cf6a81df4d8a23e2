// The preparation engine: walks the template's pages, opens output pages,
// places page-level objects, shows bands (headers, footers, titles, summaries,
// overlays, column headers and footers), stretches and shifts their objects
// and hands everything to the prepared-page store. Data-driven bands hook in
// through RunPageBands.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/frxAggregates.h"
#include "report/frxCustomEngine.h"
#include "script/fs_ivariant.h"

namespace zentavo {

class TfrxBand;
class TfrxDataBand;
class TfrxDataSet;
class TfrxComponent;
class TfrxPage;
class TfrxPreviewPages;
class TfrxReport;
class TfrxReportPage;
class TfrxView;
class ClassInfo;

struct TfrxHeaderListItem {
  TfrxBand* HeaderBand = nullptr;
  double XPos = 0;
  bool InKeep = false;
};

// "Preparing page %d", or "First pass: page %d" in the first of two passes;
// "Printing page %d" and "Exporting page %d" for the other progress types.
std::string ProgressText(const TfrxReport& report, int type, int page);

// Installs the engine and the store of prepared pages into the model, after
// the barcodes and the renderer (once; later calls do nothing).
void InstallEngine();

class TfrxEngine;
// The report's engine, which InstallEngine put there.
TfrxEngine& EngineOf(TfrxReport& report);

class TfrxEngine : public TfrxCustomEngine {
 public:
  // A bound on the records one data set may yield in a run: a data set
  // that never reaches its end is an error, not an endless report.
  static constexpr long kMaxRecords = 10'000'000;

  explicit TfrxEngine(TfrxReport& report);
  ~TfrxEngine() override;
  TfrxEngine(const TfrxEngine&) = delete;
  TfrxEngine& operator=(const TfrxEngine&) = delete;

  bool DoublePass() const override;
  bool Busy() const override { return busy_; }
  int CurPageIndex() override;
  int RunFirstPageIndex() override;
  int Line() const override { return RowNumber; }
  int LineThrough() const override { return RowNumberThrough; }

  bool Execute() override;
  void ShowBand(TfrxBand* band) override;
  // The first band of that class among the current template page's objects.
  void ShowBand(const ClassInfo& bandClass);
  void NewPage() override;
  void NewColumn() override;
  double FreeSpace() override;
  void StopReport() override;
  void AddAnchor(const std::string& text) override;
  int GetAnchorPage(const std::string& text) override;
  Variant AggregateValue(const std::string& function, const std::string& expression, const std::string& band,
                         int flags) override;
  TfrxAggregateList& Aggregates() { return aggregates_; }

  // The host's manual-build handler: called with the page instead of running
  // its data bands; it produces the content with ShowBand, NewPage...
  std::function<void(TfrxPage&)> OnManualBuild;

  // ---- internal state, visible to tests and to the data-band driver
  int RowNumber = 0, RowNumberThrough = 0;
  TfrxReportPage* TemplatePage = nullptr;
  double ColumnTop = 0, AreaLeft = 0;
  bool PageIsFirst = false, PageIsFinal = false, FirstRunPage = false;
  bool ReprintingHeaders = false;
  TfrxBand* NewPageBand = nullptr;
  bool SkipHeaderReprint = false, SummaryShown = false;
  bool KeepActive = false, KeptFooterShowing = false, NoKeep = false;
  TfrxBand* KeptBand = nullptr;
  int KeptFromObject = 0;
  TfrxBand* CollectInto = nullptr;
  TfrxBand* CurBand = nullptr;
  std::vector<TfrxHeaderListItem> HeaderList;

  // How much a view grew in the last stretch (0 for views never stretched).
  double GrowAmount(const TfrxComponent* view) const;

 protected:
  // The page's data bands (data bands, groups, subreports arrive here).
  virtual void RunPageBands(TfrxReportPage& page);
  // Whether a page yields rows with the accept flag.
  virtual bool PageYieldsRows(TfrxReportPage& page, bool accept);
  virtual void FinishPage();
  void OutputFooter(TfrxBand* band);
  void OpenKeep(TfrxBand* band, int position);
  void CloseKeep(TfrxBand* band);

 private:
  bool StartRun();
  void EndRun();
  void RunAllPages();
  void RunPageSet();
  void ProcessPage();
  void ProcessPageRecord();
  void BeginPage();
  void OpenPage();
  void OutputPageObjects();
  void OutputBand(TfrxBand* band);
  void StretchBand(TfrxBand* band);
  void RestoreBand(TfrxBand* band);
  void BuildShiftLists(TfrxBand* band);
  void ShiftObjects(TfrxBand* band);
  void AddPageOutline();
  // ---- data bands (frxDataBands.cpp)
  void ProcessMasterBands(const std::vector<TfrxBand*>& bands);
  // Whether a band (with `accept` false) has rows below it to show.
  bool BandYieldsRows(TfrxBand& band, bool accept);
  bool AnyBandYieldsRows(const std::vector<TfrxBand*>& bands);
  void OutputGroupHeaders(TfrxBand& group, std::size_t from, bool reset);
  void OutputGroupFooters(TfrxBand& group, std::size_t stop, TfrxDataBand& data);
  void CheckGroupChange(TfrxDataBand& data, TfrxDataSet& ds);
  Variant GroupCondition(TfrxBand& header);
  void AddBandOutline(TfrxBand& band);
  void RemoveFromHeaderList(const TfrxBand* band);
  // The page's top-level data bands, linked when the run starts.
  std::unordered_map<const TfrxReportPage*, std::vector<TfrxBand*>> pageBands_;
  TfrxAggregateList aggregates_;
  void CallEvent(const std::string& name, TfrxComponent* object);
  TfrxBand* FindBand(const ClassInfo& bandClass) const;
  // The objects a band shows: its children, or the borrowed page-level
  // objects of the temporary null band.
  const std::vector<TfrxComponent*>& BandObjects(TfrxBand* band) const;
  TfrxPreviewPages& Store();

  struct ShiftState {
    double grow = 0;
    std::vector<TfrxComponent*> children;
    std::vector<TfrxComponent*> parents;  // null stands for the band's top edge
  };
  // One band being output: the objects prepared with BeforePrint, so that
  // exactly those are restored, whatever fails in between.
  struct BandRun {
    TfrxBand* band = nullptr;
    bool bandPrepared = false;
    std::vector<TfrxComponent*> prepared;
  };

  TfrxReport& report_;
  // The report's store, found once: the run asks for it at every band.
  TfrxPreviewPages* store_ = nullptr;
  bool busy_ = false;
  // Runtime state of template objects: cleared at the end of every run, so
  // no pointer into the template outlives a preparation.
  std::unordered_map<const TfrxComponent*, ShiftState> shift_;
  std::unordered_map<const TfrxBand*, std::vector<TfrxComponent*>> bandShiftOrder_;
  std::vector<BandRun> running_;
  // Bands whose height started the page breaks now under way.
  std::vector<const TfrxBand*> breaking_;
  // Bands whose events run now (stretching or restoring them).
  std::vector<const TfrxBand*> inEvents_;
  // Refuses a band whose events run already; the caller leaves with pop_back.
  void EnterBandEvents(TfrxBand* band);
  TfrxBand* nullBand_ = nullptr;
  std::vector<TfrxComponent*> borrowed_;
};

}  // namespace zentavo
