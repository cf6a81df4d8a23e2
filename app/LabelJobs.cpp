// The three label jobs of the main window: fill a template from the request,
// prepare it, print it silently, one print job per label.
#include <cstdio>
#include <stdexcept>

#include "app/LabelPlan.h"
#include "app/MainForm.h"
#include "barcode/frxBarcode.h"
#include "platform/Cp1254.h"
#include "print/DocumentFinisher.h"
#include "print/DocumentSinks.h"
#include "print/frxPrinter.h"
#include "report/frxRes.h"
#include "report/frxViews.h"

namespace zentavo {

void TForm1::BtnLabBarkod3050Click() {
  PrintLabels(ButtonJob::Lab3050);
  Close();
}

void TForm1::BtnLabBarkodClick() {
  PrintLabels(ButtonJob::Lab);
  Close();
}

void TForm1::BtnLabSonucPrintClick() {
  PrintLabels(ButtonJob::Result);
  Close();
}

namespace {

// How messages name a label: its document name, or for the "$" jobs, whose
// documents carry none, the template it is made from. `document` is
// Windows-1254, as the request carries it.
std::string LabelName(const std::string& document, const std::string& templateName) {
  return document.empty() ? templateName : cp1254::ToUtf8(document);
}

std::string NotPrinted(const std::string& label, const std::string& reason) {
  return "The label " + label + " was not printed: " + reason;
}

}  // namespace

TfrxReport& TForm1::Template(const std::string& name) {
  for (TfrxReport* r : {LabBarkod.get(), SonucBarkodu.get(), LabBarkod3050.get()})
    if (r != nullptr && r->Name() == name) return *r;
  throw std::runtime_error("No label template " + name);
}

void TForm1::PrintLabels(ButtonJob job) {
  const std::vector<LabelPlan> plans = PlanLabels(job, requestText_);
  // Nothing to print asks nothing of the print system.
  if (plans.empty()) return;
  if (options_.outputDir && !filePrinterInstalled_) {
    // --output: every label becomes a file; the printer names of the request
    // then match nothing and the file printer, the only one, prints.
    auto printer = CreateFilePrinter(*options_.outputDir, ParseFileFormat(options_.format), options_.dpi,
                                     [](const std::string& path) { std::printf("%s\n", path.c_str()); });
    SetSharedPrinterList(std::make_unique<TfrxPrinters>(std::move(printer)));
    filePrinterInstalled_ = true;
  }
  const bool terminalProgress = plans.size() > 1 && !ui_.WindowIsUp();
  // While one label's document is closed and handed over, the next is laid
  // out. Every label is accounted for before the job ends: a document that did
  // not reach its destination is reported like a label that failed here.
  DocumentFinisher finisher;
  struct Installed {
    TfrxPrinters& printers;
    ~Installed() { printers.SetDocumentFinisher(nullptr); }
  } installed{SharedPrinterList()};
  installed.printers.SetDocumentFinisher(&finisher);
  int failed = 0;
  auto reportFailure = [&](const std::string& document, const std::string& message) {
    // A label that did not print is the report engine's error, boxed as the
    // engine boxes its errors.
    ++failed;
    reporter_.Report(handlerName_, document, message, frxResources().Get("mbError"));
  };
  auto reportHandOvers = [&](std::vector<DocumentFinisher::Failure> failures) {
    // Every label of a run comes from the same template.
    for (const DocumentFinisher::Failure& f : failures)
      reportFailure(f.document, NotPrinted(LabelName(f.document, plans.front().templateName), f.message));
  };
  for (std::size_t i = 0; i < plans.size(); ++i) {
    if (terminalProgress)
      std::fprintf(stderr, "zentavo: label %zu of %zu\n", i + 1, plans.size());
    try {
      PrintLabel(plans[i]);
    } catch (const std::exception& e) {
      std::string message = e.what();
      // Without any print queue only the placeholder printer is there, and
      // its refusal alone would leave the user guessing.
      if (!options_.outputDir && !installed.printers.HasSystemPrinters() && message == kCanvasDoesNotAllowDrawing) {
        const std::string& why = installed.printers.NoPrintersReason();
        message = (why.empty() ? message + ": no printer is installed" : why) +
                  "; --output DIR prints the labels into files instead";
      }
      reportFailure(plans[i].documentName, NotPrinted(LabelName(plans[i].documentName, plans[i].templateName), message));
    }
    reportHandOvers(finisher.TakeFailures());
    if (ui_.ProgressCancelled()) {
      reporter_.Report(handlerName_, "", "Printing was cancelled; " + std::to_string(plans.size() - i - 1) +
                                             " label(s) not printed");
      jobFailed_ = true;
      break;
    }
  }
  reportHandOvers(finisher.Wait());
  if (failed > 0) jobFailed_ = true;
}

void TForm1::PrintLabel(const LabelPlan& plan) {
  TfrxReport& report = Template(plan.templateName);
  for (const LabelFill& fill : plan.fills) {
    TfrxComponent* object = report.FindObject(fill.object);
    if (fill.kind == LabelFill::Kind::Memo) {
      auto* memo = dynamic_cast<TfrxCustomMemoView*>(object);
      if (memo == nullptr) throw std::runtime_error("Template " + plan.templateName + " has no memo " + fill.object);
      memo->SetText(cp1254::ToUtf8(fill.value));
      // Request data is data: a bracket in a name is printed, not evaluated.
      memo->AllowExpressions = false;
    } else {
      auto* barcode = dynamic_cast<TfrxBarCodeView*>(object);
      if (barcode == nullptr)
        throw std::runtime_error("Template " + plan.templateName + " has no barcode " + fill.object);
      barcode->Text = fill.value;
      // A barcode that cannot carry the number would print as its error text:
      // such a label must not reach the printer.
      if (std::string error = barcode->EncodingError(); !error.empty()) throw std::runtime_error(error);
    }
  }

  // Preparation errors were shown by the report itself; the label is not
  // printed half-made.
  report.PrepareReport(true);
  if (!report.Errors().empty()) throw std::runtime_error("its preparation failed");

  report.PrintOptions.ShowDialog = false;
  if (!plan.documentName.empty()) report.FileName = plan.documentName;
  if (plan.printer) report.PrintOptions.Printer = *plan.printer;
  report.OnProgressStart = [this](TfrxReport&, int type, int) {
    if (type == TfrxReport::ptPrinting && ui_.WindowIsUp()) ui_.ShowProgress("Printing");
  };
  report.OnProgress = [this](TfrxReport&, int type, int page) {
    if (type == TfrxReport::ptPrinting) ui_.UpdateProgress("Printing page " + std::to_string(page));
  };
  report.OnProgressStop = [this](TfrxReport&, int type, int) {
    if (type == TfrxReport::ptPrinting) ui_.HideProgress();
  };
  report.OnProcessEvents = [this, &report] {
    ui_.ProcessEvents();
    if (ui_.ProgressCancelled()) report.Terminated = true;
  };
  report.Print();
  if (report.Terminated) throw std::runtime_error("it was cancelled");
}

}  // namespace zentavo
