// Fuzz target: the parser over any text in any of the four languages (the
// first byte picks it). Syntax errors and refused input are fine; crashes,
// leaks and undefined behaviour are not.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "script/fs_iilparser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const char* const kLanguages[] = {"VadoziDaruro", "R++Izozev", "DarozOzuziz", "JScript"};
  if (size == 0) return 0;
  std::string language = kLanguages[data[0] % 4];
  std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  zentavo::TfsParseTarget program;
  program.ExtendedIdentChars = (data[0] & 4) != 0;
  // Units come from the text itself, so uses clauses get exercised without files.
  program.OnGetUnit = [&text](const std::string& name, std::string& unitText) {
    if (name.size() % 2 == 0) unitText = text.substr(0, 64);
  };
  try {
    zentavo::TfsILParser parser(program);
    parser.LoadLanguage(language);
    if (parser.BuildSyntaxTree(text)) {
      std::string xml = parser.SyntaxTree().SaveToString();
      zentavo::TfsXMLDocument again;
      again.LoadFromString(xml);  // the tree we write must read back
    } else if (program.ErrorMsg.empty() || program.ErrorPos.empty()) {
      __builtin_trap();  // a failed build always names its error and place
    }
  } catch (const std::exception&) {
    // Unknown language after #language, units nested too deeply: refused input.
  }
  return 0;
}
