// The statement-free report script used until the interpreter is bound.
#include "report/frxReportScript.h"

#include <stdexcept>
#include <string_view>

#include "platform/Text.h"
#include "report/frxReport.h"
#include "report/frxRes.h"

namespace zentavo {

namespace {
// The empty main block of each language, written without blanks, lower case.
struct EmptyProgram {
  std::string_view language;
  std::string_view text;
};
constexpr EmptyProgram kEmptyPrograms[] = {
    {"vadozidaruro", "beginend."},
    {"darozozuziz", "beginend."},
    {"r++izozev", "{}"},
    {"jscript", "{}"},
};

std::string Squeezed(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (static_cast<unsigned char>(c) <= ' ') continue;
    out += LowerAscii(c);
  }
  return out;
}

}  // namespace

bool IsEmptyReportScript(const std::string& language, const std::string& text) {
  std::string squeezed = Squeezed(text);
  if (squeezed.empty()) return true;
  std::string lang = Squeezed(language);
  for (const auto& p : kEmptyPrograms)
    if (p.language == lang && p.text == squeezed) return true;
  return false;
}

bool TfrxStatementlessScript::Prepare(TfrxReport& report) {
  if (IsEmptyReportScript(report.ScriptLanguage, report.ScriptText.Text())) return true;
  report.AddError(FormatResource("clScrError", "1:1",
                                 "report scripts cannot run yet; only an empty main block is accepted"));
  return false;
}

void TfrxStatementlessScript::CallProcedure(const std::string& name, TfrxComponent*) {
  std::string n(TrimBlanks(name));
  if (n.empty()) return;
  throw std::runtime_error("Script procedure \"" + n + "\" cannot run: report scripts cannot run yet");
}

bool TfrxStatementlessScript::CallRunDialogs(const std::string& name) {
  CallProcedure(name, nullptr);
  return true;
}

}  // namespace zentavo
