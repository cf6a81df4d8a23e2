// Test helper: compiles and runs a script with WriteLn collecting lines.
// The result is the printed lines each ending in "\n", "message at line:col"
// for a compile error, or the printed lines and then "error: message" for a
// run-time error that reached the host.
#pragma once

#include <functional>
#include <string>

#include "script/fs_iinterpreter.h"
#include "script/fs_ilibrary.h"

namespace zentavo::testing {

struct Runner {
  TfsScript script;
  std::string out;

  Runner() {
    script.Registrant = 1;
    RegisterLibrary(script);
    script.AddMethod(
        "procedure WriteLn(Value: Variant)",
        [this](const Variant&, const HostClassInfo*, const std::string&, TfsMethodCall& call) {
          out += VarToStr(call.Param(0)) + "\n";
          return Variant::Null();
        },
        "ctOther", "");
    script.Registrant = 0;
  }

  bool Compile(const std::string& language, const std::string& text) {
    script.SyntaxType = language;
    script.Lines = text;
    if (script.Compile()) return true;
    out = script.ErrorMessage + " at " + script.ErrorPosition;
    return false;
  }

  std::string Run(const std::string& language, const std::string& text) {
    if (!Compile(language, text)) return out;
    try {
      script.Execute();
    } catch (const ScriptError& e) {
      out += std::string("error: ") + e.what();
    }
    return out;
  }
};

inline std::string RunScript(const std::string& language, const std::string& text) {
  Runner r;
  return r.Run(language, text);
}

}  // namespace zentavo::testing
