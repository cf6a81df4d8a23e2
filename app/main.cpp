// zentavo: the label program. One request in, labels out, then exit.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/Explain.h"
#include "app/MainForm.h"
#include "platform/CupsQueues.h"
#include "platform/Escaping.h"
#include "platform/Ui.h"
#include "print/frxPrintJob.h"
#include "print/frxPrinter.h"

namespace {

using namespace zentavo;

int ListPrinters() {
  // "No printers" only when the print server said so, not when it could not
  // be asked.
  if (const TfrxPrinters& printers = SharedPrinterList(); !printers.HasSystemPrinters()) {
    if (!printers.NoPrintersReason().empty()) {
      std::fprintf(stderr, "zentavo: %s\n", EscapeControls(printers.NoPrintersReason()).c_str());
      return 1;
    }
    std::printf("no printers\n");
    return 0;
  }
  const auto queues = ListPrintQueues();
  for (const PrintQueue& q : queues)
    std::printf("%s\t%s%s\n", q.name.c_str(), q.description.c_str(), q.isDefault ? "\t(default)" : "");
  return 0;
}

int Run(const ProgramOptions& options) {
  if (options.help) {
    std::printf("%s", ProgramUsage());
    return 0;
  }
  if (options.version) {
    std::printf("zentavo %s\n", ZENTAVO_VERSION);
    return 0;
  }
  if (options.listPrinters) return ListPrinters();
  for (const std::string& extra : options.ignoredArguments)
    std::fprintf(stderr, "zentavo: ignoring the extra argument \"%s\" (the request is one argument)\n",
                 zentavo::EscapeControls(extra).c_str());

  std::unique_ptr<Ui> ui;
  // A button job asked for on the command line runs without the window.
  if (!options.explain && !options.job) ui = CreateGtkUi(TForm1::kApplicationTitle);
  const bool windowed = ui != nullptr;
  if (!windowed) ui = CreateHeadlessUi();

  TForm1 form(options, *ui);
  if (options.explain) {
    form.DecodeRequestOnce();
    std::printf("%s", ExplainRequest(form.RequestText(), options.job).c_str());
    return 0;
  }
  if (options.job) {
    form.RunJob(*options.job);
    return form.JobFailed() ? 1 : 0;
  }
  if (windowed) {
    const WindowDesign design = form.Design();
    ui->RunMainWindow(design);
    return form.JobFailed() ? 1 : 0;
  }
  form.FormShow();
  if (!form.JobStarted()) {
    std::fprintf(stderr,
                 "zentavo: the request starts no job by itself and there is no display for the "
                 "window; choose one with --job lab|result|lab3050|file\n");
    return 2;
  }
  return form.JobFailed() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  zentavo::InstallPrinting();
  try {
    const ProgramOptions options =
        zentavo::ParseProgramArguments(std::vector<std::string>(argv + 1, argv + argc));
    return Run(options);
  } catch (const zentavo::UsageError& e) {
    std::fprintf(stderr, "zentavo: %s\n%s", zentavo::EscapeControls(e.what()).c_str(), zentavo::ProgramUsage());
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zentavo: %s\n", zentavo::EscapeControls(e.what()).c_str());
    return 1;
  }
}
