// zreport run: compiles a script file and runs it; the host adds WriteLn.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Cp1254.h"
#include "platform/Escaping.h"
#include "report/frxReport.h"
#include "report/frxReportScript.h"
#include "script/fs_iinterpreter.h"
#include "templates/Templates.h"
#include "script/fs_ilanguages.h"
#include "script/fs_ilibrary.h"
#include "script/fs_isysrtti.h"
#include "tools/zreport/Arguments.h"
#include "tools/zreport/Commands.h"
#include "tools/zreport/ScriptFile.h"
#include "tools/zreport/Watchdog.h"

namespace zreport {

extern const char kRunUsage[] =
    "usage: zreport run [--language L] [--report T.xml] [--timeout S] FILE\n"
    "Compiles a script file (UTF-8) and runs it. The script may call\n"
    "WriteLn(Value), which prints one line (UTF-8) on standard output.\n"
    "A compile error prints \"message at line:col\" and exits 1; so does an\n"
    "error the running script does not catch.\n"
    "  --language L  VadoziDaruro (default), R++Izozev, DarozOzuziz or JScript;\n"
    "                a first line \"#language L\" in the file takes precedence.\n"
    "  --report T    runs the script as a piece of that report's script: the\n"
    "                report's objects, Report, Engine, Outline and the report\n"
    "                library are known (T is a template file or a built-in\n"
    "                name). The report is not prepared: Engine's page\n"
    "                operations fail.\n"
    "  --timeout S   stops the script after S seconds (an error, exit 1).\n";

namespace {

// The script of a report, bound to its objects but not compiled.
std::unique_ptr<zentavo::TfrxReport> BoundReport(const std::string& input) {
  std::string loadErrors;
  auto report = zentavo::LoadTemplateArgument(input, nullptr, [&](const std::string& text) { loadErrors += text; });
  report->OnShowMessage = nullptr;
  if (!loadErrors.empty()) throw std::runtime_error(loadErrors);
  report->Script().Bind();
  return report;
}

}  // namespace

int RunRun(const std::vector<std::string>& args) {
  Arguments a(args, {"language", "report", "timeout"}, {});
  const std::string& file = a.OnlyPositional("FILE");
  std::string language = a.Value("language").value_or("VadoziDaruro");
  zentavo::GetLanguageGrammar(language);  // unknown language: fail before reading
  Watchdog watchdog(ParseTimeout(a.Value("timeout")));

  std::unique_ptr<zentavo::TfrxReport> report;
  zentavo::TfsScript own;
  if (auto t = a.Value("report")) report = BoundReport(*t);
  zentavo::TfsScript& script = report ? report->Script().Program() : own;
  if (!report) script.AddLibrary();
  // WriteLn is the host's: it goes with the report's own items, or stays with the library.
  script.Registrant = report ? zentavo::TfrxReportScript::kReportRegistrant : 1;
  script.OnShowMessage = [](const std::string& text) {
    std::fprintf(stdout, "%s\n", zentavo::cp1254::ToUtf8(text).c_str());
  };
  script.AddMethod(
      "procedure WriteLn(Value: Variant)",
      [](const zentavo::Variant&, const zentavo::HostClassInfo*, const std::string&,
         zentavo::TfsMethodCall& call) {
        std::string line = zentavo::cp1254::ToUtf8(zentavo::VarToStr(call.Param(0))) + "\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
        return zentavo::Variant::Null();
      },
      "ctOther", "prints one line");
  script.Registrant = 0;
  script.OnGetUnit = [](const std::string& unit, std::string& text) { text = ReadScriptFile(unit); };
  script.SyntaxType = language;
  script.Lines = ReadScriptFile(file);
  if (!script.Compile()) {
    std::string where = script.ErrorUnitName.empty() ? "" : " in unit " + script.ErrorUnitName;
    std::fflush(stdout);
    std::fprintf(stderr, "%s at %s%s\n", zentavo::cp1254::ToUtf8(script.ErrorMessage).c_str(),
                 script.ErrorPosition.c_str(), zentavo::cp1254::ToUtf8(where).c_str());
    return 1;
  }
  script.SetStopFlag(&watchdog.Flag());
  try {
    script.Execute();
  } catch (const zentavo::ScriptError& e) {
    std::fflush(stdout);
    std::string message = zentavo::cp1254::ToUtf8(e.what());
    if (dynamic_cast<const zentavo::ScriptStopped*>(&e) != nullptr) message += ": it " + watchdog.Overrun();
    std::fprintf(stderr, "%s\n", zentavo::EscapeControlsByLine(message).c_str());
    return 1;
  }
  std::fflush(stdout);
  return 0;
}

}  // namespace zreport
