// zreport's subcommands, in the order the overview lists them.
#include "tools/zreport/Commands.h"

namespace zreport {

const std::vector<Subcommand>& Subcommands() {
  static const std::vector<Subcommand> kCommands = {
      {"barcode", "encode a barcode: module string or rendered symbol", kBarcodeUsage, RunBarcode},
      {"dump", "the object tree of a template after alignment", kDumpUsage, RunDump},
      {"roundtrip", "load a template and print it saved again", kRoundtripUsage, RunRoundtrip},
      {"prepare", "a template prepared into pages, saved as a prepared report", kPrepareUsage, RunPrepare},
      {"render", "prepared pages drawn into PNG, PDF or PostScript", kRenderUsage, RunRender},
      {"draw", "a template's pages as designed, into PDF, PostScript or PNG", kDrawUsage, RunDraw},
      {"syntax", "a script's syntax tree as XML, or its first syntax error", kSyntaxUsage, RunSyntax},
      {"run", "compile and run a script; WriteLn prints a line", kRunUsage, RunRun},
      {"printers", "installed printers, default, resolution, sheet and unprintable edges", kPrintersUsage,
       RunPrinters},
  };
  return kCommands;
}

}  // namespace zreport
