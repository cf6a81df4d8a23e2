// TForm1: the window's design, request decoding at first show, dispatch.
#include "app/MainForm.h"

#include <exception>

#include "app/ReportFileJob.h"
#include "app/Request.h"
#include "templates/Templates.h"

namespace zentavo {
namespace {

struct ButtonRow {
  const char* name;
  const char* caption;
  int left, top, width, height;
  ButtonJob job;
};

// In tab order.
constexpr ButtonRow kButtons[] = {
    {"BtnLabBarkod", "Lab Barkod Yazdır 3060", 8, 8, 134, 25, ButtonJob::Lab},
    {"BtnSFTyazdir", "SFT Yazdır", 10, 38, 131, 25, ButtonJob::File},
    {"BtnLabSonucPrint", "Lab Sonuç Barkod Yazdır", 9, 65, 131, 25, ButtonJob::Result},
    {"BtnLabBarkod3050", "Lab Barkod Yazdır 3050", 8, 104, 129, 25, ButtonJob::Lab3050},
};

struct JobRow {
  ButtonJob job;
  const char* handlerName;
  void (TForm1::*handler)();
};

constexpr JobRow kJobs[] = {
    {ButtonJob::Lab, "BtnLabBarkodClick", &TForm1::BtnLabBarkodClick},
    {ButtonJob::File, "BtnSFTyazdirClick", &TForm1::BtnSFTyazdirClick},
    {ButtonJob::Result, "BtnLabSonucPrintClick", &TForm1::BtnLabSonucPrintClick},
    {ButtonJob::Lab3050, "BtnLabBarkod3050Click", &TForm1::BtnLabBarkod3050Click},
};

const JobRow& FindJob(ButtonJob job) {
  for (const JobRow& row : kJobs)
    if (row.job == job) return row;
  return kJobs[0];
}

}  // namespace

Dispatch DispatchFor(std::string_view requestText) {
  return RequestField(requestText, '|', 1) == "1" ? Dispatch::Automatic : Dispatch::Window;
}

TForm1::TForm1(const ProgramOptions& options, Ui& ui)
    : LabBarkod(LoadTemplate("LabBarkod", ui)),
      SonucBarkodu(LoadTemplate("SonucBarkodu", ui)),
      LabBarkod3050(LoadTemplate("LabBarkod3050", ui)),
      RaporODYO(LoadTemplate("RaporODYO", ui)),
      frxReport1(LoadTemplate("frxReport1", ui)),
      options_(options),
      ui_(ui),
      reporter_(ui, ErrorReporter::DefaultLogPath()) {}

std::unique_ptr<TfrxReport> TForm1::LoadTemplate(std::string_view name, Ui& ui) {
  std::unique_ptr<TfrxReport> report = LoadBuiltInTemplate(name);
  // The report's own boxes (preparation errors, passwords) go through the
  // window when one is up, else to stderr.
  report->OnShowMessage = [&ui](const std::string& caption, const std::string& text) {
    ui.ShowMessage(text, caption, MessageKind::Error);
  };
  report->OnAskPassword = [&ui](TfrxReport&) { return ui.AskPassword("Password"); };
  return report;
}

WindowDesign TForm1::Design() {
  WindowDesign d{kCaption, 553, 380, 1088, 257, "MS Sans Serif", -11, {}, [this] { FormShow(); }};
  for (const ButtonRow& b : kButtons)
    d.buttons.push_back({b.name, b.caption, b.left, b.top, b.width, b.height,
                         [this, job = b.job] { RunJob(job); }});
  return d;
}

void TForm1::DecodeRequestOnce() {
  if (decoded_) return;
  requestText_ = DecodeRequest(options_.request);
  decoded_ = true;
}

void TForm1::FormShow() {
  DecodeRequestOnce();
  if (DispatchFor(requestText_) == Dispatch::Automatic) RunJob(ButtonJob::Lab3050);
}

void TForm1::RunJob(ButtonJob job) {
  const JobRow& row = FindJob(job);
  DecodeRequestOnce();
  jobStarted_ = true;
  handlerName_ = row.handlerName;
  try {
    (this->*row.handler)();
  } catch (const std::exception& e) {
    jobFailed_ = true;
    reporter_.Report(row.handlerName, "", e.what());
  } catch (...) {
    jobFailed_ = true;
    reporter_.Report(row.handlerName, "", "Unexpected error");
  }
}

void TForm1::BtnSFTyazdirClick() {
  PrintReportFile(RequestField(requestText_, '$', 3), options_);
  Close();
}

void TForm1::Close() { ui_.CloseMainWindow(); }

}  // namespace zentavo
