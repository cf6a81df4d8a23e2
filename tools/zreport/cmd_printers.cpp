// zreport printers: the printers as the engine sees them.
#include <cstdio>
#include <stdexcept>

#include "print/frxPrinter.h"
#include "tools/zreport/Arguments.h"
#include "tools/zreport/Commands.h"

namespace zreport {

extern const char* const kPrintersUsage =
    "usage: zreport printers\n"
    "\n"
    "Lists the installed printers: queue name, description, whether it is the\n"
    "default, resolution, default sheet and its unprintable edges in millimetres.\n";

int RunPrinters(const std::vector<std::string>& args) {
  Arguments a(args, {}, {});
  if (!a.Positional().empty()) throw UsageError("no arguments expected");
  zentavo::TfrxPrinters& list = zentavo::SharedPrinterList();
  if (!list.HasSystemPrinters()) {
    // "No printers" only when the print server said so, not when it could
    // not be asked.
    if (!list.NoPrintersReason().empty()) throw std::runtime_error(list.NoPrintersReason());
    std::printf("no printers\n");
    return 0;
  }
  const int current = list.CurrentIndex();
  for (int i = 0; i < list.Count(); ++i) {
    zentavo::TfrxCustomPrinter& p = list.PrinterAt(i);
    try {
      p.LoadSettings();
    } catch (const std::exception& e) {
      std::printf("%s\t%s\terror: %s\n", p.PrinterName.c_str(), i == current ? "default" : "-", e.what());
      continue;
    }
    if (!p.SettingsLoaded) {
      std::printf("%s\t%s\tnot available\n", p.PrinterName.c_str(), i == current ? "default" : "-");
    } else if (p.Resolution.x == 0) {
      std::printf("%s\t%s\traw queue\n", p.PrinterName.c_str(), i == current ? "default" : "-");
    } else {
      std::printf("%s\t%s\t%dx%d dpi\tsheet %.2f x %.2f mm\tunprintable %.2f %.2f %.2f %.2f mm\n",
                  p.PrinterName.c_str(), i == current ? "default" : "-", p.Resolution.x, p.Resolution.y,
                  p.SheetWidth, p.SheetHeight, p.UnprintableLeft, p.UnprintableTop, p.UnprintableRight,
                  p.UnprintableBottom);
    }
  }
  return 0;
}

}  // namespace zreport
