// zreport prepare: a template prepared into pages, saved as a prepared report.
#include <cstdio>
#include <string>
#include <vector>

#include "engine/frxPreviewPages.h"
#include "tools/zreport/Arguments.h"
#include "tools/zreport/Commands.h"
#include "tools/zreport/PreparedInput.h"

namespace zreport {

const char* const kPrepareUsage =
    "usage: zreport prepare [--set Name=Text ...] [--password P] [--timeout S] TEMPLATE [-o OUT]\n"
    "  Prepares TEMPLATE (a file or a built-in name) and saves the prepared\n"
    "  report (root \"preparedreport\") to OUT (default NAME.prepared.xml).\n"
    "  The template's report script runs: its main block, then the objects'\n"
    "  events as the engine reaches them. Script and preparation errors are\n"
    "  printed, exit 1, nothing written.\n"
    "  Memo text expressions (\"[1+1]\", \"[Page#]\") are evaluated; an\n"
    "  expression that fails names its memo and stops preparation.\n"
    "  --set puts Text into the memo or barcode called Name first; the text is\n"
    "  data and is printed as given, brackets and all.\n"
    "  --timeout S stops a preparation that takes longer than S seconds\n"
    "  (an error, exit 1, nothing written).\n"
    "  Prints the number of prepared pages.\n";

int RunPrepare(const std::vector<std::string>& arguments) {
  std::vector<std::string> args = arguments;
  auto outOption = TakeOutput(args);
  Arguments a(args, {"set", "password", "timeout"}, {});
  const std::string& input = a.OnlyPositional("TEMPLATE");
  auto password = a.Value("password");
  Watchdog watchdog(ParseTimeout(a.Value("timeout")));
  auto report = LoadPrepared(input, a.Values("set"), password ? &*password : nullptr, &watchdog);
  std::string out = outOption.value_or(DefaultOutput(input, ".prepared.xml"));
  report->PreviewPages().SaveToFile(out);
  std::printf("%d\n", report->PreviewPages().PageCount());
  return 0;
}

}  // namespace zreport
