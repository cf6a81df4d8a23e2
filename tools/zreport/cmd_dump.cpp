// zreport dump: the object tree of a template after alignment, one object a line.
#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/Escaping.h"
#include "report/frxClass.h"
#include "templates/Templates.h"
#include "tools/zreport/Arguments.h"
#include "tools/zreport/Commands.h"

namespace zreport {

const char* const kDumpUsage =
    "usage: zreport dump [--password P] TEMPLATE\n"
    "  TEMPLATE is a template file or a built-in name (LabBarkod3050, LabBarkod,\n"
    "  SonucBarkodu, frxReport1, RaporODYO). Prints every object after the pages\n"
    "  have aligned their children: class, name, Left, Top, Width, Height,\n"
    "  indented by depth.\n";

namespace {
// Twelve significant digits: alignment arithmetic leaves −3.77952999999999
// where the designer wrote −3.77953.
std::string Number(double v) {
  char buf[32];
  auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 12);
  std::string s(buf, ec == std::errc() ? p : buf);
  return s == "-0" ? "0" : s;
}

void DumpTree(zentavo::TfrxComponent& c, int depth) {
  std::printf("%*s%s %s %s %s %s %s\n", depth * 2, "", c.ClassName().c_str(), c.Name().c_str(),
              Number(c.Left()).c_str(), Number(c.Top()).c_str(),
              Number(c.Width()).c_str(), Number(c.Height()).c_str());
  for (zentavo::TfrxComponent* child : c.Objects()) DumpTree(*child, depth + 1);
}
}  // namespace

int RunDump(const std::vector<std::string>& args) {
  Arguments a(args, {"password"}, {});
  const std::string& input = a.OnlyPositional("TEMPLATE");
  auto password = a.Value("password");
  bool failed = false;
  auto report = zentavo::LoadTemplateArgument(input, password ? &*password : nullptr, [&](const std::string& text) {
    std::fprintf(stderr, "zreport dump: %s", zentavo::EscapeControlsByLine(text).c_str());
    failed = true;
  });
  for (zentavo::TfrxComponent* c : report->Objects()) {
    c->AlignChildren();
    DumpTree(*c, 0);
  }
  return failed ? 1 : 0;
}

}  // namespace zreport
