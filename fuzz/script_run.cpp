// Fuzz target: the first byte picks a language, the rest is compiled and,
// when it compiles, run with a step limit (Terminate after a number of
// lines). Every failure must be a ScriptError, never a crash or undefined
// behaviour; WriteLn output is kept small.
#include <cstdint>
#include <string>

#include "fuzz/ScriptFuzzing.h"

using namespace zentavo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 4096) return 0;
  TfsScript script;
  std::size_t printed = 0;
  fuzzing::RegisterFuzzHost(script, [&printed](const std::string& text) { printed += text.size(); });
  script.Registrant = 0;
  int lines = 0;
  fuzzing::LoadFuzzProgram(script, data, size, lines);
  try {
    if (script.Compile()) script.Execute();
  } catch (const ScriptError&) {
  } catch (const std::exception&) {
    // A unit the parser cannot include and the like: reported, not a crash.
  }
  return 0;
}
