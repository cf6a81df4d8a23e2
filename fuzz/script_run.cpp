// Fuzz target: the first byte picks a language, the rest is compiled and,
// when it compiles, run with a step limit (Terminate after a number of
// lines). Every failure must be a ScriptError, never a crash or undefined
// behaviour; WriteLn output is kept small.
#include <cstdint>
#include <string>

#include "script/fs_iinterpreter.h"
#include "script/fs_ilibrary.h"
#include "script/fs_isysrtti.h"

using namespace zentavo;

namespace {
constexpr const char* kLanguages[] = {"VadoziDaruro", "R++Izozev", "DarozOzuziz", "JScript"};
constexpr int kMaxLines = 20000;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 4096) return 0;
  SetShowMessageHandler([](const std::string&) {});
  TfsScript script;
  script.Registrant = 1;
  RegisterLibrary(script);
  std::size_t printed = 0;
  script.AddMethod(
      "procedure WriteLn(Value: Variant)",
      [&printed](const Variant&, const HostClassInfo*, const std::string&, TfsMethodCall& c) {
        printed += VarToStr(c.Param(0)).size();
        return Variant::Null();
      },
      "", "");
  script.Registrant = 0;
  script.OnGetUnit = [](const std::string&, std::string& text) { text.clear(); };
  script.SyntaxType = kLanguages[data[0] % 4];
  script.Lines.assign(reinterpret_cast<const char*>(data + 1), size - 1);
  int lines = 0;
  script.OnRunLine = [&](TfsScope&, const std::string&, const std::string&) {
    if (++lines >= kMaxLines) script.Terminate();
  };
  try {
    if (script.Compile()) script.Execute();
  } catch (const ScriptError&) {
  } catch (const std::exception&) {
    // A unit the parser cannot include and the like: reported, not a crash.
  }
  return 0;
}
