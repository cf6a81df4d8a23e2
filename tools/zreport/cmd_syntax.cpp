// zreport syntax: a script file's syntax tree as XML, or its first syntax error.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Cp1254.h"
#include "script/fs_iilparser.h"
#include "script/fs_ilanguages.h"
#include "tools/zreport/Arguments.h"
#include "tools/zreport/Commands.h"
#include "tools/zreport/ScriptFile.h"

namespace zreport {

extern const char kSyntaxUsage[] =
    "usage: zreport syntax [--language L] FILE\n"
    "Parses a script file (UTF-8) and prints its syntax tree as XML, or the first\n"
    "syntax error as \"message at line:col\" (exit 1).\n"
    "  --language L  VadoziDaruro (default), R++Izozev, DarozOzuziz or JScript;\n"
    "                a first line \"#language L\" in the file takes precedence.\n"
    "Units named in uses clauses are read as UTF-8 files relative to the\n"
    "current directory.\n";

int RunSyntax(const std::vector<std::string>& args) {
  Arguments a(args, {"language"}, {});
  const std::string& file = a.OnlyPositional("FILE");
  std::string language = a.Value("language").value_or("VadoziDaruro");
  zentavo::GetLanguageGrammar(language);  // unknown language: fail before reading

  zentavo::TfsParseTarget program;
  program.OnGetUnit = [](const std::string& unit, std::string& text) { text = ReadScriptFile(unit); };
  zentavo::TfsILParser parser(program);
  parser.LoadLanguage(language);
  if (!parser.BuildSyntaxTree(ReadScriptFile(file))) {
    std::string where = program.ErrorUnit.empty() ? "" : " in unit " + program.ErrorUnit;
    std::fprintf(stderr, "%s at %s%s\n", zentavo::cp1254::ToUtf8(program.ErrorMsg).c_str(),
                 program.ErrorPos.c_str(), zentavo::cp1254::ToUtf8(where).c_str());
    return 1;
  }
  parser.SyntaxTree().AutoIndent = true;
  std::string xml = parser.SyntaxTree().SaveToString();
  // Values carry no raw line ends (they are escaped), so the document's CR LF
  // line ends can become this platform's LF.
  std::string out;
  for (std::size_t i = 0; i < xml.size(); ++i)
    if (!(xml[i] == '\r' && i + 1 < xml.size() && xml[i + 1] == '\n')) out += xml[i];
  std::fputs(zentavo::cp1254::ToUtf8(out).c_str(), stdout);
  return 0;
}

}  // namespace zreport
