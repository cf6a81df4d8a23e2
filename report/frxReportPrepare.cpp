// The report's preparation: checks, snapshot, script step, engine run, and the
// template read back from the snapshot whatever happened; the engine, the
// store and printing as the layers above installed them.
#include <stdexcept>

#include "report/frxClass.h"
#include "report/frxCustomEngine.h"
#include "report/frxCustomPreviewPages.h"
#include "report/frxReportScript.h"
#include "report/frxServices.h"
#include "platform/Cp1254.h"

namespace zentavo {

TfrxCustomEngine& TfrxReport::Engine() {
  if (!engine_) {
    if (ReportServices().createEngine == nullptr) throw std::runtime_error("The report engine is not installed");
    engine_ = ReportServices().createEngine(*this);
  }
  return *engine_;
}

TfrxCustomPreviewPages& TfrxReport::PreviewPages() {
  if (!previewPages_) {
    if (ReportServices().createPreviewPages == nullptr)
      throw std::runtime_error("The report engine is not installed");
    previewPages_ = ReportServices().createPreviewPages(*this);
  }
  return *previewPages_;
}

bool TfrxReport::Print() {
  if (ReportServices().print == nullptr) throw std::runtime_error("Printing is not installed");
  return ReportServices().print(*this);
}

TfrxReportScript& TfrxReport::Script() {
  // Made on first use: a template loaded and never prepared costs no library.
  if (!script_) script_ = std::make_unique<TfrxReportScript>(*this);
  return *script_;
}

TfrxVariable* TfrxReport::FindVariable(std::string_view name) {
  for (TfrxVariable& v : Variables)
    if (cp1254::SameText(v.Name, name)) return &v;
  return nullptr;
}

void TfrxReport::SetVariable(const std::string& name, const Variant& value) {
  if (TfrxVariable* v = FindVariable(name)) {
    v->Value = value;
    return;
  }
  TfrxVariable v;
  v.Name = name;
  v.Value = value;
  Variables.push_back(std::move(v));
}

Variant TfrxReport::Calc(const std::string& expression) { return Script().Calc(expression); }

namespace {

bool PrepareScript(TfrxReport& report) {
  for (TfrxComponent* c : report.AllObjects()) {
    c->IsDesigning = false;
    c->BeforeStartReport();
    if (auto* pic = dynamic_cast<TfrxPictureView*>(c)) pic->PictureChanged = false;
  }
  return report.Script().Prepare();
}

}  // namespace

bool TfrxReport::PrepareReport(bool clearLastReport) {
  if (Engine().Busy()) throw std::runtime_error("The report is already being prepared");
  if (clearLastReport) PreviewPages().Clear();
  ClearErrors();
  Terminated = false;
  Interrupt = false;
  bool result = false;
  for (const auto& item : DataSets)
    if (item.DataSet.Get() == nullptr) AddError(FormatResource("clDSNotExist", item.DataSetName));
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
