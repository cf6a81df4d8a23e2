// zreport run: compiles a script file and runs it; the host adds WriteLn.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Cp1254.h"
#include "platform/Escaping.h"
#include "script/fs_iinterpreter.h"
#include "script/fs_ilanguages.h"
#include "script/fs_ilibrary.h"
#include "script/fs_isysrtti.h"
#include "tools/zreport/Arguments.h"
#include "tools/zreport/Commands.h"
#include "tools/zreport/ScriptFile.h"
#include "tools/zreport/Watchdog.h"

namespace zreport {

extern const char kRunUsage[] =
    "usage: zreport run [--language L] [--timeout S] FILE\n"
    "Compiles a script file (UTF-8) and runs it. The script may call\n"
    "WriteLn(Value), which prints one line (UTF-8) on standard output.\n"
    "A compile error prints \"message at line:col\" and exits 1; so does an\n"
    "error the running script does not catch.\n"
    "  --language L  VadoziDaruro (default), R++Izozev, DarozOzuziz or JScript;\n"
    "                a first line \"#language L\" in the file takes precedence.\n"
    "  --timeout S   stops the script after S seconds (an error, exit 1).\n";

int RunRun(const std::vector<std::string>& args) {
  Arguments a(args, {"language", "timeout"}, {});
  const std::string& file = a.OnlyPositional("FILE");
  std::string language = a.Value("language").value_or("VadoziDaruro");
  zentavo::GetLanguageGrammar(language);  // unknown language: fail before reading
  Watchdog watchdog(ParseTimeout(a.Value("timeout")));

  zentavo::TfsScript script;
  script.Registrant = 1;
  zentavo::RegisterLibrary(script);
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
