// What a library module registers into: the interface a script offers to
// its modules (types, constants, helper items, host functions with their
// declaration texts and callbacks), and the process-wide list of modules.
#pragma once

#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "script/fs_idecl.h"
#include "script/fs_iobjects.h"
#include "script/fs_itypes.h"
#include "script/fs_ivariant.h"

namespace zentavo {

class TfsClassVariable;

// What a library function reaches of the script it runs in: its objects,
// where its ShowMessage goes, its random numbers. Each script has its own.
class TfsRunContext {
 public:
  virtual ~TfsRunContext() = default;
  virtual ObjectTable& Objects() = 0;
  virtual void ShowMessage(const std::string& text) = 0;
  virtual std::mt19937_64& Random() = 0;
};

// The caller handed to a member callback: the parameter values of the call,
// the way back for by-reference parameters, and the script the call runs in.
class TfsMethodCall {
 public:
  explicit TfsMethodCall(TfsRunContext& context) : context_(context) {}
  virtual ~TfsMethodCall() = default;
  virtual int ParamCount() const = 0;
  // Parameter i; for i equal to ParamCount(), the value being assigned to an
  // indexed property.
  virtual Variant Param(int index) const = 0;
  virtual void SetParam(int index, const Variant& value) = 0;
  // Where the instance and object arguments resolve, and where an object the
  // callback hands back to the script is registered.
  ObjectTable& Objects() const { return context_.Objects(); }
  TfsRunContext& Context() const { return context_; }

 private:
  TfsRunContext& context_;
};

// A member callback: instance (an object handle, or Empty for free
// functions), declaring class (null for free functions), the upper-case
// member name (".GET"/".SET" appended for indexed properties), the caller.
using TfsMemberCallback = std::function<Variant(const Variant& instance, const HostClassInfo* declaringClass,
                                                const std::string& upperName, TfsMethodCall& caller)>;

// The parameter-array form: the parameter values arrive in `params`
// (element i = parameter i) and what the callback leaves there goes back
// into by-reference parameters; the result is written into `result`.
using TfsParamArrayCallback =
    std::function<void(const Variant& instance, const HostClassInfo* declaringClass, Variant& result,
                       std::vector<Variant>& params, const std::string& upperName)>;

// The script as a module sees it. The interpreter's TfsScript implements it;
// AddMethod parses the declaration with ParseDeclaration and this resolver.
class TfsLibraryTarget : public TfsDeclResolver {
 public:
  virtual void AddType(std::string_view name, TypeCode code) = 0;
  virtual void AddConst(std::string_view name, std::string_view typeName, const Variant& value) = 0;
  // "__StringHelper": character access of any string (type tcChar, one required index).
  virtual void AddStringHelper(std::string_view name) = 0;
  // "__ArrayHelper": element access of any array value; `params` index
  // parameters of which `required` must be given.
  virtual void AddArrayHelper(std::string_view name, TypeCode elementType, int params, int required) = 0;
  virtual void AddMethod(std::string_view declaration, TfsMemberCallback callback, std::string_view category,
                         std::string_view description) = 0;
  // An enumeration type and its names (values 0, 1, 2 ...; for a set type
  // 1, 2, 4 ...), from a comma-separated list.
  virtual void AddEnum(std::string_view typeName, std::string_view names) = 0;
  virtual void AddEnumSet(std::string_view typeName, std::string_view names) = 0;
  // A host class (null, and nothing added, when the name is known already).
  virtual TfsClassVariable* AddClass(const HostClassInfo* cls, std::string_view ancestor) = 0;
  // Whether the name is known to the script (any item).
  virtual bool IsKnown(std::string_view name) const = 0;
};

// A library module registers all its items into one script. Its position
// orders the list whatever order the program's layers install their
// modules in: system 1, classes 2, graphics 3, forms 4, report 5,
// dialogs 6, barcode 7.
struct TfsLibraryModule {
  const char* name;
  int position;
  void (*registerInto)(TfsLibraryTarget& target);
};

// The modules in their registration order; the system module comes first.
const std::vector<TfsLibraryModule>& LibraryModules();
// Adds a module in its place; a module already in the list (by name) stays
// as it is, so installing twice is harmless.
void AddLibraryModule(TfsLibraryModule module);

// Adds every module's items to the target, in list order.
void RegisterLibrary(TfsLibraryTarget& target);

}  // namespace zentavo
