// zreport draw: a template's pages as designed (no preparation) into a PDF,
// PostScript or PNG file, with named memos and barcodes filled in.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/CairoCanvas.h"
#include "platform/Cp1254.h"
#include "platform/Escaping.h"
#include "platform/ScopeGuard.h"
#include "render/DesignedPage.h"
#include "barcode/frxBarcode.h"
#include "report/frxClass.h"
#include "templates/Templates.h"
#include "tools/zreport/Arguments.h"
#include "tools/zreport/Commands.h"
#include "tools/zreport/PreparedInput.h"

namespace zreport {

const char* const kDrawUsage =
    "usage: zreport draw [--password P] TEMPLATE [--set Name=Text ...]\n"
    "                    [--format pdf|png|ps] [--dpi N] [-o OUT]\n"
    "  TEMPLATE is a template file or a built-in name (LabBarkod3050, LabBarkod,\n"
    "  SonucBarkodu, frxReport1, RaporODYO). Draws every page as designed, without\n"
    "  preparing the report: each visible, printable object at its place, as the\n"
    "  printer would at N dots per inch.\n"
    "  --set Name=Text  puts Text (UTF-8) into the memo or barcode Name; the text is\n"
    "                   data and is printed as given (repeatable)\n"
    "  --format F       pdf, png or ps (default: from the extension of OUT, else pdf)\n"
    "  --dpi N          resolution (default 300)\n"
    "  -o, --output OUT the file to write (default: the template's name with the\n"
    "                   format's extension); a PNG holds one page, further pages go\n"
    "                   to OUT-2.png, OUT-3.png ...\n";

namespace {

using zentavo::CairoCanvas;

std::string Extension(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const auto dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string e = path.substr(dot + 1);
  for (char& c : e) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return e;
}

std::string BaseName(const std::string& path) {
  std::string b = path.substr(path.find_last_of('/') == std::string::npos ? 0 : path.find_last_of('/') + 1);
  if (auto dot = b.find_last_of('.'); dot != std::string::npos && dot > 0) b.erase(dot);
  return b;
}

zentavo::PaperSize PaperOf(const zentavo::TfrxReportPage& page) {
  return zentavo::PaperSize{page.PaperWidth(), page.PaperHeight()};
}

std::string PngPageName(const std::string& out, int page) {
  if (page == 1) return out;
  const std::string ext = Extension(out);
  const std::string stem = ext.empty() ? out : out.substr(0, out.size() - ext.size() - 1);
  return stem + "-" + std::to_string(page) + (ext.empty() ? "" : "." + ext);
}

}  // namespace

int RunDraw(const std::vector<std::string>& rawArgs) {
  std::vector<std::string> args;
  for (const std::string& a : rawArgs) args.push_back(a == "-o" ? "--output" : a);
  Arguments a(args, {"password", "set", "format", "dpi", "output"}, {});
  const std::string& input = a.OnlyPositional("TEMPLATE");
  const int dpi = a.IntValue("dpi", 300, 24, 2400);
  auto out = a.Value("output");
  std::string format;
  if (auto f = a.Value("format")) {
    format = *f;
  } else if (out && (Extension(*out) == "png" || Extension(*out) == "ps" || Extension(*out) == "pdf")) {
    format = Extension(*out);
  } else {
    format = "pdf";
  }
  if (format != "pdf" && format != "png" && format != "ps") {
    throw UsageError("--format wants pdf, png or ps, not \"" + format + "\"");
  }
  const std::string path = out ? *out : BaseName(input) + "." + format;
  auto password = a.Value("password");
  bool failed = false;
  auto report = zentavo::LoadTemplateArgument(input, password ? &*password : nullptr, [&](const std::string& text) {
    std::fprintf(stderr, "zreport draw: %s", zentavo::EscapeControlsByLine(text).c_str());
    failed = true;
  });
  for (const std::string& s : a.Values("set")) ApplySetting(*report, s);

  const std::vector<zentavo::TfrxReportPage*> pages = report->ReportPages();
  if (pages.empty()) throw std::runtime_error("the template has no report page");
  const int total = static_cast<int>(pages.size());
  if (format == "png") {
    // A drawing that fails part way leaves none of its pages.
    std::vector<std::string> written;
    zentavo::ScopeGuard removeWritten([&written] {
      for (const std::string& page : written) std::remove(page.c_str());
    });
    for (int i = 0; i < total; ++i) {
      zentavo::TfrxReportPage& page = *pages[static_cast<std::size_t>(i)];
      const int w = static_cast<int>(page.PaperWidth() / 25.4 * dpi + 0.5);
      const int h = static_cast<int>(page.PaperHeight() / 25.4 * dpi + 0.5);
      auto canvas = CairoCanvas::CreateImage(w, h, dpi, zentavo::CanvasKind::Printer);
      zentavo::DrawDesignedPage(page, *canvas, total);
      canvas->WritePng(PngPageName(path, i + 1));
      written.push_back(PngPageName(path, i + 1));
    }
    removeWritten.Dismiss();
    return failed ? 1 : 0;
  }
  const auto kind = format == "pdf" ? CairoCanvas::Format::Pdf : CairoCanvas::Format::PostScript;
  auto canvas = CairoCanvas::CreateDocument(kind, path, PaperOf(*pages.front()), dpi);
  for (int i = 0; i < total; ++i) {
    if (i > 0) canvas->NewPage(PaperOf(*pages[static_cast<std::size_t>(i)]));
    zentavo::DrawDesignedPage(*pages[static_cast<std::size_t>(i)], *canvas, total);
  }
  canvas->Finish();
  return failed ? 1 : 0;
}

}  // namespace zreport
