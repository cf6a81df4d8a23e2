// The report script as preparation sees it: compile, run the main block, call
// a named procedure for an object's event. The interpreter fills this in
// later; until then only scripts without statements are accepted.
#pragma once

#include <memory>
#include <string>

namespace zentavo {

class TfrxComponent;
class TfrxReport;

class TfrxReportScript {
 public:
  virtual ~TfrxReportScript() = default;
  // Binds the report's objects and compiles ScriptText in ScriptLanguage.
  // Returns false after adding one error line (the "clScrError" text).
  virtual bool Prepare(TfrxReport& report) = 0;
  // Whether the main block has statements to run.
  virtual bool HasMainStatements() const = 0;
  virtual void RunMain() = 0;
  // Calls the procedure `name` with the object as its one argument; an empty
  // name (after trimming) does nothing.
  virtual void CallProcedure(const std::string& name, TfrxComponent* argument) = 0;
  // OnRunDialogs: the procedure gets a variable argument that starts true;
  // returns its final value.
  virtual bool CallRunDialogs(const std::string& name) = 0;
};

// Accepts the empty program of every language ("begin", "", "end." in
// VadoziDaruro, an empty text in any) and refuses anything else with a clear
// error, so no report silently skips its script.
class TfrxStatementlessScript : public TfrxReportScript {
 public:
  bool Prepare(TfrxReport& report) override;
  bool HasMainStatements() const override { return false; }
  void RunMain() override {}
  void CallProcedure(const std::string& name, TfrxComponent* argument) override;
  bool CallRunDialogs(const std::string& name) override;
};

// Whether a script text holds no statement: only blanks, or the language's
// empty main block.
bool IsEmptyReportScript(const std::string& language, const std::string& text);

}  // namespace zentavo
