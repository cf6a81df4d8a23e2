// zreport: the report engine's command line, for template and script authors.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "platform/Escaping.h"
#include "print/frxPrintJob.h"
#include "tools/zreport/Arguments.h"
#include "tools/zreport/Commands.h"

namespace {

void PrintOverview(std::FILE* out) {
  std::fprintf(out,
               "usage: zreport SUBCOMMAND [OPTIONS] [ARGS]\n"
               "       zreport SUBCOMMAND --help\n\n"
               "The report engine's own command line: check templates, barcodes and scripts.\n\n");
  const auto& commands = zreport::Subcommands();
  if (commands.empty()) {
    std::fprintf(out, "No subcommands are available in this build yet.\n");
    return;
  }
  std::fprintf(out, "Subcommands:\n");
  for (const auto& c : commands) std::fprintf(out, "  %-10s %s\n", c.name, c.summary);
}

}  // namespace

int main(int argc, char** argv) {
  zentavo::InstallPrinting();
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    PrintOverview(stderr);
    return 2;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintOverview(stdout);
    return 0;
  }
  if (args[0] == "--version") {
    std::printf("zreport %s\n", ZENTAVO_VERSION);
    return 0;
  }
  for (const auto& c : zreport::Subcommands()) {
    if (args[0] != c.name) continue;
    std::vector<std::string> rest(args.begin() + 1, args.end());
    for (const auto& a : rest)
      if (a == "--help" || a == "-h") {
        std::printf("%s", c.usage);
        return 0;
      }
    try {
      return c.run(rest);
    } catch (const zreport::UsageError& e) {
      std::fprintf(stderr, "zreport %s: %s\n%s", c.name, zentavo::EscapeControls(e.what()).c_str(), c.usage);
      return 2;
    } catch (const std::exception& e) {
      std::fprintf(stderr, "zreport %s: %s\n", c.name, zentavo::EscapeControlsByLine(e.what()).c_str());
      return 1;
    }
  }
  std::fprintf(stderr, "zreport: unknown subcommand \"%s\" (see zreport --help)\n", args[0].c_str());
  return 2;
}
