// zreport's subcommands, in the order the overview lists them.
#include "tools/zreport/Commands.h"

namespace zreport {

const std::vector<Subcommand>& Subcommands() {
  static const std::vector<Subcommand> kCommands = {
      {"syntax", "a script's syntax tree as XML, or its first syntax error", kSyntaxUsage, RunSyntax},
  };
  return kCommands;
}

}  // namespace zreport
