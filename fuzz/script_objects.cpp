// Fuzz target: scripts that create, use and free host objects. The first
// byte picks a language, the rest is compiled and run with a step limit
// against the test classes (a point, a string list and its sorted
// descendant, a host-owned object with an event). Every failure must be a
// ScriptError: stale handles, objects of the wrong class and numbers used as
// objects are errors, never memory; nothing outlives the script.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/ScriptFuzzing.h"
#include "tests/unit/scriptrun/HostClasses.h"

using namespace zentavo;
using namespace zentavo::testing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 4096) return 0;
  Thing thing;
  {
    TfsScript script;
    fuzzing::RegisterFuzzHost(script, [](const std::string&) {});
    AddTestClasses(script, thing);
    int lines = 0;
    fuzzing::LoadFuzzProgram(script, data, size, lines);
    try {
      if (script.Compile()) {
        script.Execute();
        // The host raises the event the script may have plugged in.
        if (thing.onChange) {
          std::vector<Variant> args{Variant::Object(script.Objects().Register(&thing, &kThingClass)),
                                    Variant::Int(1)};
          thing.onChange(args);
        }
      }
    } catch (const ScriptError&) {
    } catch (const std::exception&) {
    }
    script.Objects().Unregister(&thing);
  }
  if (Point::live != 0 || StrList::live != 0) std::abort();  // the script's objects went with it
  return 0;
}
