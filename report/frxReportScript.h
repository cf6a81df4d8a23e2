// The report's script program: preparing it (the report's objects, "Report",
// "Engine", "Outline", the variable "Value" and the host functions, then the
// report's ScriptText compiled in its ScriptLanguage), running its main
// block, calling the procedures that objects' events name, and evaluating
// expressions with the report's names in sight.
#pragma once

#include <map>
#include <string>

#include "script/fs_iinterpreter.h"
#include "script/fs_ivariant.h"

namespace zentavo {

class TfrxComponent;
class TfrxReport;

// Whether a script text is a program without statements or declarations
// (blank, or the language's empty main block) in a language the engine has.
bool IsEmptyProgram(const std::string& language, const std::string& text);

class TfrxReportScript {
 public:
  // The tag of every item the report adds to its script.
  static constexpr int kReportRegistrant = 2;
  // Deepest nesting of expressions inside expressions (report variables
  // that name each other, Calc inside Calc).
  static constexpr int kMaxCalcDepth = 64;

  explicit TfrxReportScript(TfrxReport& report);
  TfrxReportScript(const TfrxReportScript&) = delete;
  TfrxReportScript& operator=(const TfrxReportScript&) = delete;

  // Binds the report's objects and compiles ScriptText in ScriptLanguage.
  // Returns false after adding one error line (the "clScrError" text).
  bool Prepare();
  // Everything Prepare does but compiling: the script is empty, with the
  // library, the report's objects and the host functions in it. A host
  // then compiles a text of its own into Program().
  void Bind();
  // Whether the main block has statements to run.
  bool HasMainStatements();
  void RunMain();
  // Calls the procedure `name` with the object as its one argument; an empty
  // name (after trimming) does nothing. A name that is no procedure of the
  // script, and an error inside it, fail with the object's name in front.
  void CallProcedure(const std::string& name, TfrxComponent* argument);
  // OnRunDialogs: the procedure gets a variable argument that starts true;
  // returns its final value.
  bool CallRunDialogs(const std::string& name);
  // The value of an expression in the report's script language: a report
  // variable, a name the script knows, or any expression, compiled once.
  // Failures are "Error in expression 'X': MESSAGE", after the current
  // object's name.
  Variant Calc(const std::string& expression);
  // The script's variable "Value": the value a memo evaluated last.
  void SetValue(const Variant& value);
  // Stops the running script quietly (Terminated set by the script itself).
  void Terminate() { program_.Terminate(); }

  TfsScript& Program() { return program_; }

 private:
  void AddHostItems();
  void EnsureBound();
  // A data field (alias."field"), a system variable, the host's
  // OnGetValue, a report variable, then the script's variables and objects.
  bool LookupName(const std::string& name, Variant& value);
  // The names the report answers itself (fields, system and report
  // variables, OnGetValue), and those of the bound script.
  bool LookupHostName(const std::string& name, Variant& value);
  bool LookupScriptName(const std::string& name, Variant& value);
  bool LookupField(const std::string& name, Variant& value);
  bool LookupSystemVariable(const std::string& name, Variant& value);
  Variant Evaluate(const std::string& expression);
  std::string Failure(const std::string& message) const;

  TfrxReport& report_;
  TfsScript program_;
  // The expression cache: one function per distinct text, in a program of
  // its own whose parent is the report's script (or the running procedure).
  TfsScript expressions_;
  std::map<std::string, std::string> compiled_;  // upper-case text -> function name
  int nextFunction_ = 0;  // a text that failed to compile leaves its name taken
  int calcDepth_ = 0;
  bool bound_ = false;  // the objects and host functions are in the program
  Variant value_ = Variant::Null();  // "Value", kept while the script is unbound
};

}  // namespace zentavo
