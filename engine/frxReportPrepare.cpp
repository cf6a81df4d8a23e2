// The report's preparation: checks, snapshot, script step, engine run, and the
// template read back from the snapshot whatever happened.
#include <stdexcept>

#include "engine/frxEngine.h"
#include "engine/frxPreviewPages.h"
#include "engine/frxReportScript.h"
#include "report/frxClass.h"

namespace zentavo {

TfrxEngine& TfrxReport::Engine() {
  if (!engine_) engine_ = std::make_unique<TfrxEngine>(*this);
  return *engine_;
}

TfrxPreviewPages& TfrxReport::PreviewPages() {
  if (!previewPages_) previewPages_ = std::make_unique<TfrxPreviewPages>(*this);
  return *previewPages_;
}

TfrxReportScript& TfrxReport::Script() {
  if (!script_) script_ = std::make_unique<TfrxStatementlessScript>();
  return *script_;
}

void TfrxReport::SetScript(std::unique_ptr<TfrxReportScript> script) { script_ = std::move(script); }

namespace {

bool PrepareScript(TfrxReport& report) {
  for (TfrxComponent* c : report.AllObjects()) {
    c->IsDesigning = false;
    c->BeforeStartReport();
    if (auto* pic = dynamic_cast<TfrxPictureView*>(c)) pic->PictureChanged = false;
  }
  return report.Script().Prepare(report);
}

}  // namespace

bool TfrxReport::PrepareReport(bool clearLastReport) {
  if (Engine().Busy()) throw std::runtime_error("The report is already being prepared");
  if (clearLastReport) PreviewPages().Clear();
  ClearErrors();
  Terminated = false;
  bool result = false;
  for (const auto& item : DataSets)
    if (!IsLiveDataSet(item.DataSet)) AddError(FormatResource("clDSNotExist", item.DataSetName));
  if (Errors().empty()) {
    bool reload = EngineOptions.ReloadAfterPrepare;
    TMemoryStream snapshot;
    if (reload) SaveToStream(snapshot, true, false);
    try {
      if (OnBeginDoc) OnBeginDoc(*this);
      if (PrepareScript(*this)) {
        if (Script().HasMainStatements()) Script().RunMain();
        if (Engine().Execute()) {
          if (OnEndDoc) OnEndDoc(*this);
          result = true;
        }
      }
    } catch (const std::exception& e) {
      AddError(e.what());
    } catch (...) {
      AddError("Unknown error during preparation");
    }
    if (reload) {
      // The template is read back whatever the run changed or left behind.
      std::set<std::string> lines = errors_;
      snapshot.Seek(0);
      Reloading = true;
      try {
        LoadFromStream(snapshot);
      } catch (const std::exception& e) {
        lines.insert(e.what());
      }
      Reloading = false;
      errors_.insert(lines.begin(), lines.end());
    }
  }
  if (!errors_.empty()) {
    result = false;
    ReportErrors();
  }
  return result;
}

}  // namespace zentavo
