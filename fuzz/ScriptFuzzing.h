// What the script fuzz targets share: the first byte picks the language, the
// rest is the program; the library and a WriteLn are registered; units are
// empty; a step limit stops runaway programs by Terminate.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "script/fs_iinterpreter.h"
#include "script/fs_ilibrary.h"
#include "script/fs_isysrtti.h"

namespace zentavo::fuzzing {

inline constexpr const char* kLanguages[] = {"VadoziDaruro", "R++Izozev", "DarozOzuziz", "JScript"};
inline constexpr int kMaxLines = 20000;

// The library and a WriteLn that hands each value's text to `write`, as
// host registrations (Registrant 1, left set for the caller's own).
inline void RegisterFuzzHost(TfsScript& script, std::function<void(const std::string&)> write) {
  script.OnShowMessage = [](const std::string&) {};
  script.Registrant = 1;
  RegisterLibrary(script);
  script.AddMethod(
      "procedure WriteLn(Value: Variant)",
      [write = std::move(write)](const Variant&, const HostClassInfo*, const std::string&, TfsMethodCall& c) {
        write(VarToStr(c.Param(0)));
        return Variant::Null();
      },
      "", "");
}

// The program of the input (at least one byte) and the step limit; `lines`
// must outlive the run.
inline void LoadFuzzProgram(TfsScript& script, const std::uint8_t* data, std::size_t size, int& lines) {
  script.OnGetUnit = [](const std::string&, std::string& text) { text.clear(); };
  script.SyntaxType = kLanguages[data[0] % 4];
  script.Lines.assign(reinterpret_cast<const char*>(data + 1), size - 1);
  lines = 0;
  script.OnRunLine = [&script, &lines](TfsScope&, const std::string&, const std::string&) {
    if (++lines >= kMaxLines) script.Terminate();
  };
}

}  // namespace zentavo::fuzzing
