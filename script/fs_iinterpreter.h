// The script interpreter: TfsScript with its item tables, the compiled
// statements and designators, and the run-time rules (flags, calls,
// recursion, try blocks). The program builder (fs_ibuilder.cpp) fills it.
//
// Host use:
//   TfsScript s;  RegisterLibrary(s);  s.AddMethod("procedure WriteLn(Value: Variant)", cb, "", "");
//   s.Lines = text; s.SyntaxType = "VadoziDaruro";
//   if (!s.Compile()) -> s.ErrorMessage at s.ErrorPosition (in unit s.ErrorUnitName)
//   s.Execute();  // run-time errors arrive as ScriptError
// Host classes and objects: AddClass, AddObject (fs_iclasses.h).
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "script/fs_iclasses.h"
#include "script/fs_idecl.h"
#include "script/fs_ierror.h"
#include "script/fs_iexpression.h"
#include "script/fs_ilibrary.h"
#include "script/fs_iobjects.h"
#include "script/fs_itypes.h"
#include "script/fs_ivariant.h"

namespace zentavo {

class TfsScript;
class TfsScope;
struct TfsProc;

enum class ItemKind { Variable, StringVariable, Param, Type, Proc, HostMethod, StringHelper, ArrayHelper, Class };

// One named item of a scope: variable, constant, parameter, type name,
// script procedure or host function.
struct TfsItem {
  ItemKind kind = ItemKind::Variable;
  std::string name;
  TypeRef type;
  Variant value;
  bool readOnly = false;
  int registrant = 0;
  std::string sourcePosition;
  // Declared arrays: dimensions and element type.
  int arrayDims = 0;
  TypeRef elementType;
  // Parameters.
  bool byReference = false;
  bool optional = false;
  Variant defaultValue = Variant::Null();
  // Script procedures.
  std::unique_ptr<TfsProc> proc;
  // Host functions.
  TfsMethodDecl decl;
  TfsMemberCallback callback;
  // Host classes.
  std::unique_ptr<TfsClassVariable> cls;

  // The value setter: string variables keep text whatever is assigned.
  void Store(const Variant& v) {
    if (kind == ItemKind::StringVariable && !v.IsString())
      value = Variant::String(VarToStr(v));
    else
      value = v;
  }
};

class TfsStatement;
using TfsStmtList = std::vector<std::unique_ptr<TfsStatement>>;

// A name table with its own control flags: the program and every
// procedure's local scope.
class TfsScope {
 public:
  explicit TfsScope(TfsScript* program, TfsScope* parent) : program_(program), parent_(parent) {}
  virtual ~TfsScope();
  TfsScope(const TfsScope&) = delete;
  TfsScope& operator=(const TfsScope&) = delete;

  TfsItem* Add(std::unique_ptr<TfsItem> item);
  // Own table only; of equal names the newest.
  TfsItem* FindLocal(std::string_view name) const;
  // This scope, then its parents.
  TfsItem* Find(std::string_view name) const;
  TfsScope* Parent() const { return parent_; }
  TfsScript& Program() const { return *program_; }
  TfsStmtList& Main() { return main_; }
  const std::vector<std::unique_ptr<TfsItem>>& Items() const { return items_; }

  bool BreakFlag = false;
  bool ContinueFlag = false;
  bool ExitFlag = false;

 protected:
  void ClearScope();
  TfsScript* program_;
  TfsScope* parent_;
  std::vector<std::unique_ptr<TfsItem>> items_;
  std::unordered_map<std::string, TfsItem*> index_;
  TfsStmtList main_;
};

// A script procedure or function: its parameters, Result and body scope.
struct TfsProc {
  TfsProc(TfsScript* program, TfsScope* parent) : local(program, parent) {}
  TfsScope local;
  std::vector<TfsItem*> params;
  TfsItem* result = nullptr;  // functions only
  bool isFunction = false;
  bool executing = false;
  std::vector<Variant> saveStack;  // outer calls' values during recursion
};

// Upper-case key of a name: ASCII letters and the Windows-1254 letters above
// 127 fold; the dotted/dotless i pairs fold onto the ASCII letters so that
// "integer" and "INTEGER" name the same item.
std::string NameKey(std::string_view name);

class TfsScript : public TfsScope,
                  public TfsLibraryTarget,
                  public TfsRunContext,
                  public ClassRelation,
                  public TfsClassLookup {
 public:
  TfsScript();
  ~TfsScript() override;

  std::string Lines;
  std::string SyntaxType = "VadoziDaruro";
  std::string ErrorMessage, ErrorPosition, ErrorUnitName;
  int Registrant = 0;
  bool ExtendedIdentChars = false;
  std::function<void(const std::string& unitName, std::string& unitText)> OnGetUnit;
  // Where ShowMessage goes (a message box when a window is up); by default
  // one line on stderr.
  std::function<void(const std::string& text)> OnShowMessage;
  // Before each statement: the statement's scope, unit name and "line:col".
  std::function<void(TfsScope& sender, const std::string& unitName, const std::string& pos)> OnRunLine;

  // Deepest nesting of script calls; deeper is the run-time error "Stack overflow".
  static constexpr int kMaxCallDepth = 1000;

  bool Compile();
  void Execute();
  Variant CallFunction(std::string_view name, const Variant& args);
  Variant CallFunctionByRef(std::string_view name, Variant& args);
  void Terminate() { terminate_ = true; }
  bool TerminateRequested() const { return terminate_; }
  // A flag the host may raise from any thread to stop the running program
  // (a time limit, the report's Terminated): the next statement or loop
  // round then raises ScriptStopped. Null: no such flag.
  void SetStopFlag(const std::atomic<bool>* flag) { stopFlag_ = flag; }
  void CheckStop() const {
    if (stopFlag_ != nullptr && stopFlag_->load(std::memory_order_relaxed)) throw ScriptStopped();
  }
  bool Running() const { return running_ > 0; }
  // The local scope of the innermost running procedure, or null.
  TfsScope* ActiveScope() const { return activeScope_; }
  // Removes everything but the library items (registrant 1).
  void Clear();
  // Frees the items stamped with the tag, newest first.
  void RemoveItems(int tag);
  // RemoveItems, then the main statement and the code-line table go too.
  void ClearItems(int tag);
  // An enumeration type and its names (values 0, 1, 2 ...; for a set
  // type 1, 2, 4 ...), from a comma-separated list.
  void AddEnum(std::string_view typeName, std::string_view names) override;
  void AddEnumSet(std::string_view typeName, std::string_view names) override;
  bool IsKnown(std::string_view name) const override { return Find(name) != nullptr; }

  // The library modules, once: their items carry the registrant 1 and
  // survive Clear. RemoveLibrary takes them out again.
  void AddLibrary();
  void RemoveLibrary();
  bool LibraryAdded() const { return libraryAdded_; }

  // The script whose items this one sees after its own: another program, or
  // a running procedure's local scope. Objects are then the parent
  // program's, so handles found through the parent resolve here too. A
  // parent that would see this script again is refused.
  void SetParent(TfsScope* parent);
  // Code-line table: unit name -> "3,5,8," (lines holding statements).
  const std::unordered_map<std::string, std::string>& CodeLines() const { return codeLines_; }
  void AddCodeLine(const std::string& unit, const std::string& pos);

  // TfsLibraryTarget
  void AddType(std::string_view name, TypeCode code) override;
  void AddConst(std::string_view name, std::string_view typeName, const Variant& value) override;
  void AddStringHelper(std::string_view name) override;
  void AddArrayHelper(std::string_view name, TypeCode elementType, int params, int required) override;
  void AddMethod(std::string_view declaration, TfsMemberCallback callback, std::string_view category,
                 std::string_view description) override;
  void AddMethod(std::string_view declaration, TfsParamArrayCallback callback, std::string_view category,
                 std::string_view description);
  void AddVariable(std::string_view name, std::string_view typeName, const Variant& value);
  TypeCode TypeCodeOf(std::string_view typeName) const override;
  std::optional<Variant> ValueOf(std::string_view name) const override;
  bool IsClassOrDescendant(std::string_view className, std::string_view ancestor) const override;
  const ObjectTable* ProgramObjects() const override { return &Objects(); }

  // --- host classes and objects (fs_iclasses.cpp) ---
  // A new class of the host's, or null (and nothing added) when the name is
  // already known. Members are added to the result.
  TfsClassVariable* AddClass(const HostClassInfo* cls, std::string_view ancestor) override;
  TfsClassVariable* FindClass(std::string_view name) const override;
  // The registered class of an object handle, or of its nearest ancestor;
  // "Unknown type" when the script knows none of them.
  TfsClassVariable* ClassOfObject(const Variant& object) const;
  // A host object under a name (a variable of its class holding its handle
  // in this script's table), unless the name is known. The host keeps the
  // object and unregisters it (Objects().Unregister) before destroying it.
  void AddObject(std::string_view name, void* object, const HostClassInfo* cls);
  // This script's object table: only its handles mean anything here, and
  // they mean nothing to any other script. It goes with the script.
  ObjectTable& Objects() override { return parent_ ? parent_->Program().Objects() : objects_; }
  const ObjectTable& Objects() const { return parent_ ? parent_->Program().Objects() : objects_; }
  // TfsRunContext
  void ShowMessage(const std::string& text) override;
  std::mt19937_64& Random() override { return random_; }
  // TFoo.Create(...): a new object of `named` owned by this script, with the
  // constructor's callback run on it.
  Variant ConstructObject(const TfsClassVariable& named, const TfsClassMember& ctor, std::vector<Variant>& args);
  // Obj.Free / delete Obj: destroys an object this script created; nil does
  // nothing; any other object is an error.
  void FreeObject(const Variant& object);
  std::size_t OwnedObjectCount() const { return owned_.size(); }
  // Expires when the compiled program goes (Clear, ClearItems, destruction):
  // event handlers plugged into host objects check it.
  std::weak_ptr<int> AliveToken() const { return alive_; }
  // Live objects a script may own at once.
  static constexpr std::size_t kMaxOwnedObjects = std::size_t{1} << 20;

  // --- run-time services of the compiled program ---
  void RunLine(TfsScope& scope, const std::string& unit, const std::string& pos);
  bool Compiling() const { return compiling_; }
  TfsItem* NewUnnamed(std::unique_ptr<TfsItem> item);
  void AddEnumValues(std::string_view typeName, std::string_view names, bool powers);
  int& CallDepth() { return callDepth_; }
  TfsScope*& ActiveScopeRef() { return activeScope_; }

 private:
  bool terminate_ = false;
  bool libraryAdded_ = false;
  const std::atomic<bool>* stopFlag_ = nullptr;
  bool compiling_ = false;
  int running_ = 0;
  int callDepth_ = 0;
  TfsScope* activeScope_ = nullptr;
  std::unordered_map<std::string, std::string> codeLines_;
  ObjectTable objects_;
  // Random and Randomize: the same numbers for every script that does not
  // call Randomize, as the library always gave them.
  std::mt19937_64 random_{0x5EED};
  std::unordered_map<void*, std::function<void(void*)>> owned_;
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
  // Destroys the objects the script created and expires the alive token.
  void FreeOwnedObjects();
  // Handlers expire first: an object's destruction may raise its events.
  void EndProgram() {
    alive_ = std::make_shared<int>(0);
    FreeOwnedObjects();
  }
};

// A compiled statement.
class TfsStatement {
 public:
  TfsStatement(TfsScope& scope, std::string pos, std::string unit)
      : scope_(scope), pos_(std::move(pos)), unit_(std::move(unit)) {}
  virtual ~TfsStatement() = default;
  virtual void Execute() = 0;
  const std::string& SourcePosition() const { return pos_; }

 protected:
  // RunLine, then false when the program is to stop.
  bool Prologue() {
    TfsScript& p = scope_.Program();
    p.CheckStop();
    if (p.OnRunLine) p.RunLine(scope_, unit_, pos_);
    return !p.TerminateRequested();
  }
  TfsScope& scope_;
  std::string pos_, unit_;
};

// Runs a statement list with the stop rules of a list.
void RunStatements(const TfsStmtList& list, TfsScope& scope);

}  // namespace zentavo
