// Fuzz target: scripts that create, use and free host objects. The first
// byte picks a language, the rest is compiled and run with a step limit
// against the test classes (a point, a string list and its sorted
// descendant, a host-owned object with an event). Every failure must be a
// ScriptError: stale handles, objects of the wrong class and numbers used as
// objects are errors, never memory; nothing outlives the script.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "script/fs_iinterpreter.h"
#include "script/fs_isysrtti.h"
#include "tests/unit/scriptrun/HostClasses.h"

using namespace zentavo;
using namespace zentavo::testing;

namespace {
constexpr const char* kLanguages[] = {"VadoziDaruro", "R++Izozev", "DarozOzuziz", "JScript"};
constexpr int kMaxLines = 20000;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 4096) return 0;
  SetShowMessageHandler([](const std::string&) {});
  Thing thing;
  {
    TfsScript script;
    script.Registrant = 1;
    RegisterLibrary(script);
    script.AddMethod(
        "procedure WriteLn(Value: Variant)",
        [](const Variant&, const HostClassInfo*, const std::string&, TfsMethodCall& c) {
          VarToStr(c.Param(0));
          return Variant::Null();
        },
        "", "");
    AddTestClasses(script, thing);
    script.OnGetUnit = [](const std::string&, std::string& text) { text.clear(); };
    script.SyntaxType = kLanguages[data[0] % 4];
    script.Lines.assign(reinterpret_cast<const char*>(data + 1), size - 1);
    int lines = 0;
    script.OnRunLine = [&](TfsScope&, const std::string&, const std::string&) {
      if (++lines >= kMaxLines) script.Terminate();
    };
    try {
      if (script.Compile()) {
        script.Execute();
        // The host raises the event the script may have plugged in.
        if (thing.onChange) {
          std::vector<Variant> args{Variant::Object(ObjectTable::Register(&thing, &kThingClass)), Variant::Int(1)};
          thing.onChange(args);
        }
      }
    } catch (const ScriptError&) {
    } catch (const std::exception&) {
    }
  }
  ObjectTable::Unregister(&thing);
  if (Point::live != 0 || StrList::live != 0) std::abort();  // the script's objects went with it
  return 0;
}
