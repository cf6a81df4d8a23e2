// The table of zreport's subcommands. Each subcommand lives in a file of its
// own (cmd_NAME.cpp) and is listed once in Commands.cpp.
#pragma once

#include <string>
#include <vector>

namespace zreport {

struct Subcommand {
  const char* name;
  const char* summary;  // one line for the overview
  const char* usage;    // full --help text
  // Arguments after the subcommand's name; returns the exit status (0 or 1).
  // Throws UsageError for bad usage (exit 2); any other exception is a failure.
  int (*run)(const std::vector<std::string>& args);
};

const std::vector<Subcommand>& Subcommands();

int RunDump(const std::vector<std::string>& args);
extern const char* const kDumpUsage;
int RunRoundtrip(const std::vector<std::string>& args);
extern const char* const kRoundtripUsage;
extern const char kSyntaxUsage[];
int RunSyntax(const std::vector<std::string>& args);
extern const char kRunUsage[];
int RunRun(const std::vector<std::string>& args);
int RunBarcode(const std::vector<std::string>& args);
extern const char* const kBarcodeUsage;
int RunPrepare(const std::vector<std::string>& args);
extern const char* const kPrepareUsage;
int RunRender(const std::vector<std::string>& args);
extern const char* const kRenderUsage;
int RunDraw(const std::vector<std::string>& args);
extern const char* const kDrawUsage;
int RunPrinters(const std::vector<std::string>& args);
extern const char* const kPrintersUsage;

}  // namespace zreport
