// zreport's subcommands, in the order the overview lists them.
#include "tools/zreport/Commands.h"

namespace zreport {

const std::vector<Subcommand>& Subcommands() {
  static const std::vector<Subcommand> kCommands = {
      {"barcode", "encode a barcode: module string or rendered symbol", kBarcodeUsage, RunBarcode},
  };
  return kCommands;
}

}  // namespace zreport
