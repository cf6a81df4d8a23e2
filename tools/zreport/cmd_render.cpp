// zreport render: prepared pages drawn into PNG (one file per page), PDF or PS.
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/frxPreviewPages.h"
#include "platform/CairoCanvas.h"
#include "platform/CupsQueues.h"
#include "platform/ScopeGuard.h"
#include "print/frxPrinter.h"
#include "report/frxClass.h"
#include "tools/zreport/Arguments.h"
#include "tools/zreport/Commands.h"
#include "tools/zreport/PreparedInput.h"

namespace zreport {

const char* const kRenderUsage =
    "usage: zreport render [--set Name=Text ...] [--password P] [--timeout S] INPUT [--format pdf|png|ps] [--dpi N]\n"
    "                      [-o OUT]\n"
    "       zreport render [--set Name=Text ...] [--password P] [--timeout S] INPUT --print QUEUE\n"
    "  INPUT is a template (file or built-in name), prepared first (its report\n"
    "  script runs), or a saved prepared report. Draws every prepared page as a\n"
    "  printer would. PNG writes\n"
    "  one file per page: OUT for a single page, else OUT's name with -1, -2 ...\n"
    "  Defaults: --format from OUT's extension, else pdf; --dpi 300; OUT is\n"
    "  NAME.FORMAT in the current folder. Prints the files written.\n"
    "  --print sends the report to the print queue QUEUE instead (its name or\n"
    "  description, as a report names its printer), at the queue's resolution.\n"
    "  --set puts Text into the memo or barcode called Name before preparing; the\n"
    "  text is data and is printed as given, brackets and all.\n"
    "  --timeout S stops after S seconds of preparing and drawing (an error,\n"
    "  exit 1, nothing written).\n";

namespace {

std::string Extension(const std::string& path) {
  std::size_t dot = path.find_last_of('.');
  std::size_t slash = path.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string e = path.substr(dot + 1);
  for (char& c : e)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return e;
}

std::string PagePath(const std::string& out, int page, int count) {
  if (count == 1) return out;
  std::size_t dot = out.find_last_of('.');
  std::size_t slash = out.find_last_of('/');
  std::string suffix = "-" + std::to_string(page + 1);
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return out + suffix;
  return out.substr(0, dot) + suffix + out.substr(dot);
}

// Pages of a prepared file come from outside: a paper of no size or of more
// than five metres is refused rather than allocated.
int DevicePixels(double mm, int dpi, int page) {
  if (!(mm >= 1 && mm <= 5000)) throw std::runtime_error("page " + std::to_string(page + 1) + " has a paper size out of range");
  return static_cast<int>(zentavo::RoundHalfEven(mm * dpi / 25.4));
}

// The prepared report through the printer layer, as the label program prints.
int PrintOnQueue(zentavo::TfrxReport& report, const std::string& queue) {
  zentavo::TfrxPrinters& printers = zentavo::SharedPrinterList();
  // A report falls back to the current printer for a name it cannot find; a
  // queue asked for by name on the command line must exist.
  int index = printers.FindPrinter(queue);
  if (index < 0 || !printers.HasSystemPrinters())
    throw std::runtime_error("no print queue \"" + queue + "\"; installed: " + zentavo::DescribePrintQueues(
                                                                                   zentavo::ListPrintQueues()));
  report.PrintOptions.ShowDialog = false;
  report.PrintOptions.Printer = queue;
  if (!report.Print()) throw std::runtime_error("nothing was printed");
  std::printf("printed on %s\n", printers.PrinterNames()[static_cast<std::size_t>(index)].c_str());
  return 0;
}

}  // namespace

int RunRender(const std::vector<std::string>& arguments) {
  std::vector<std::string> args = arguments;
  auto outOption = TakeOutput(args);
  Arguments a(args, {"set", "password", "format", "dpi", "print", "timeout"}, {});
  const std::string& input = a.OnlyPositional("INPUT");
  auto password = a.Value("password");
  Watchdog watchdog(ParseTimeout(a.Value("timeout")));
  if (auto queue = a.Value("print")) {
    if (outOption || a.Has("format") || a.Has("dpi"))
      throw UsageError("--print goes to a queue: no -o, --format or --dpi with it");
    auto report = LoadPrepared(input, a.Values("set"), password ? &*password : nullptr, &watchdog);
    return PrintOnQueue(*report, *queue);
  }
  std::string format = a.Value("format").value_or(outOption ? Extension(*outOption) : std::string());
  if (format.empty()) format = "pdf";
  if (format != "pdf" && format != "png" && format != "ps") throw UsageError("--format must be pdf, png or ps");
  int dpi = a.IntValue("dpi", 300, 36, 2400);
  std::string out = outOption.value_or(DefaultOutput(input, "." + format));

  auto report = LoadPrepared(input, a.Values("set"), password ? &*password : nullptr, &watchdog);
  zentavo::TfrxCustomPreviewPages& pages = report->PreviewPages();
  int count = pages.PageCount();
  if (count == 0) throw std::runtime_error("the report has no prepared pages");
  double scale = dpi / 96.0;
  std::unique_ptr<zentavo::CairoCanvas> document;
  // A render that fails part way leaves none of its pages: earlier PNG files
  // go again, and the document file is only there once finished.
  std::vector<std::string> written;
  zentavo::ScopeGuard removeWritten([&written] {
    for (const std::string& path : written) std::remove(path.c_str());
  });
  for (int i = 0; i < count; ++i) {
    if (watchdog.Expired()) throw std::runtime_error("the render " + watchdog.Overrun() + "; nothing was written");
    zentavo::TfrxReportPage* page = pages.BuildPage(i);
    int w = DevicePixels(page->PaperWidth(), dpi, i), h = DevicePixels(page->PaperHeight(), dpi, i);
    const zentavo::PaperSize paper{page->PaperWidth(), page->PaperHeight()};
    if (format == "png") {
      auto canvas = zentavo::CairoCanvas::CreateImage(w, h, dpi, zentavo::CanvasKind::Printer);
      pages.PaintPage(i, *canvas, scale, scale, 0, 0);
      std::string path = PagePath(out, i, count);
      canvas->WritePng(path);
      written.push_back(path);
      continue;
    }
    if (!document) {
      auto kind = format == "pdf" ? zentavo::CairoCanvas::Format::Pdf : zentavo::CairoCanvas::Format::PostScript;
      document = zentavo::CairoCanvas::CreateDocument(kind, out, paper, dpi);
    } else {
      document->NewPage(paper);
    }
    pages.PaintPage(i, *document, scale, scale, 0, 0);
  }
  if (document) {
    document->Finish();
    written.push_back(out);
  }
  removeWritten.Dismiss();
  for (const std::string& path : written) std::printf("%s\n", path.c_str());
  return 0;
}

}  // namespace zreport
