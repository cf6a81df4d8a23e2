// The main window TForm1: the request text, dispatch and the four jobs.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "app/CommandLine.h"
#include "app/ErrorReporter.h"
#include "platform/Ui.h"
#include "report/frxReport.h"

namespace zentavo {

enum class Dispatch { Automatic, Window };

// Field 1 of "|" equal to "1", exactly, asks for the automatic label job.
Dispatch DispatchFor(std::string_view requestText);

class TForm1 {
 public:
  static constexpr const char* kApplicationTitle = "Pelmora Korvane";
  static constexpr const char* kCaption = "Zentavo";

  TForm1(const ProgramOptions& options, Ui& ui);

  // The window as designed: caption, size, position, font, and the four
  // buttons in tab order wired to their handlers; onShow runs FormShow.
  WindowDesign Design();

  // Decodes the request (once) and dispatches.
  void FormShow();
  // Decodes the request without dispatching (for --job and --explain).
  void DecodeRequestOnce();

  void BtnLabBarkodClick();
  void BtnSFTyazdirClick();
  void BtnLabSonucPrintClick();
  void BtnLabBarkod3050Click();

  // Runs a handler the way a button press does: an error that escapes it is
  // reported and ends the job, the window stays open.
  void RunJob(ButtonJob job);

  // The label templates, loaded when the window is created; the last two
  // belong to the window but no job uses them.
  std::unique_ptr<TfrxReport> LabBarkod, SonucBarkodu, LabBarkod3050, RaporODYO, frxReport1;

  const std::string& RequestText() const { return requestText_; }
  bool JobStarted() const { return jobStarted_; }
  bool JobFailed() const { return jobFailed_; }

 private:
  void Close();
  // The labels of one job, each prepared and printed on its own; a label
  // that fails is reported and not printed, the others still print.
  void PrintLabels(ButtonJob job);
  void PrintLabel(const struct LabelPlan& plan);
  TfrxReport& Template(const std::string& name);
  // Takes the Ui explicitly: the templates are made before the members.
  static std::unique_ptr<TfrxReport> LoadTemplate(std::string_view name, Ui& ui);

  const ProgramOptions& options_;
  Ui& ui_;
  ErrorReporter reporter_;
  std::string requestText_;
  bool decoded_ = false;
  bool filePrinterInstalled_ = false;
  std::string handlerName_;  // of the job running, for its error reports
  bool jobStarted_ = false;
  bool jobFailed_ = false;
};

}  // namespace zentavo
