// zreport roundtrip: load a template and save it again; prints the saved XML.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/Escaping.h"
#include "report/frxClass.h"
#include "templates/Templates.h"
#include "tools/zreport/Arguments.h"
#include "tools/zreport/Commands.h"

namespace zreport {

const char* const kRoundtripUsage =
    "usage: zreport roundtrip [--password P] TEMPLATE\n"
    "  Loads TEMPLATE (a file or a built-in name) and prints it as saved again.\n"
    "  Error lines of the load go to stderr and make the exit status 1.\n";

int RunRoundtrip(const std::vector<std::string>& args) {
  Arguments a(args, {"password"}, {});
  const std::string& input = a.OnlyPositional("TEMPLATE");
  auto password = a.Value("password");
  bool failed = false;
  auto report = zentavo::LoadTemplateArgument(input, password ? &*password : nullptr, [&](const std::string& text) {
    std::fprintf(stderr, "zreport roundtrip: %s", zentavo::EscapeControlsByLine(text).c_str());
    failed = true;
  });
  zentavo::TMemoryStream out;
  report->SaveToStream(out);
  std::fwrite(out.Data().data(), 1, out.Data().size(), stdout);
  return failed ? 1 : 0;
}

}  // namespace zreport
