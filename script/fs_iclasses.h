// Host classes as scripts see them: a registered class with its ancestor,
// constructors, methods, properties, indexed and default properties and
// events, each served by a host callback; and the run-time operations on an
// object handle (member calls with the handle's class checked first).
//
// Host use:
//   static const HostClassInfo kPoint{"TPoint", nullptr};
//   TfsClassVariable* c = script.AddClass(&kPoint, "TObject");
//   c->SetFactory([] { return static_cast<void*>(new Point); },
//                 [](void* p) { delete static_cast<Point*>(p); });
//   c->AddConstructor("constructor Create(X, Y: Integer)", cb);
//   c->AddMethod("function Length: Extended", cb);
//   c->AddProperty("X", "Integer", getter, setter);
//   c->AddDefaultProperty("Coords", "Integer", "Integer", cb, true);
// The callbacks receive the instance as an object handle and the object
// table of the script they run in (property and event callbacks as their
// last argument, member callbacks through the caller); the table gives the
// object back, checked. Objects a script creates (TPoint.Create, new TPoint)
// belong to the script: Free and delete destroy them at once, and the rest
// go with the script (Clear, ClearItems, destruction). Objects the host
// hands over (AddObject, results of callbacks) stay the host's; a script
// cannot free them, and the host unregisters them from that script's table
// (script.Objects().Unregister) before it destroys them.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "script/fs_idecl.h"
#include "script/fs_ilibrary.h"
#include "script/fs_iobjects.h"
#include "script/fs_itypes.h"
#include "script/fs_ivariant.h"

namespace zentavo {

class TfsClassVariable;
class TfsScope;

// Reads and writes of a property: instance, declaring class, upper-case
// name, the objects of the script.
using TfsPropertyGetter = std::function<Variant(const Variant& instance, const HostClassInfo* declaringClass,
                                                const std::string& upperName, ObjectTable& objects)>;
using TfsPropertySetter = std::function<void(const Variant& instance, const HostClassInfo* declaringClass,
                                             const Variant& value, const std::string& upperName, ObjectTable& objects)>;

// What a host object's event calls: the script procedure with the event's
// arguments; afterwards `args` holds the procedure's final parameter values
// (how Key, Action, CanClose ... come back). A handler whose procedure is
// already running, or whose script was cleared, does nothing.
using TfsEventHandler = std::function<void(std::vector<Variant>& args)>;
// Plugs a handler into the host object's event (an empty handler clears it).
// The handler's object arguments are handles of `objects`, the script's table.
using TfsEventSetter = std::function<void(const Variant& instance, const HostClassInfo* declaringClass,
                                          const std::string& upperName, TfsEventHandler handler, ObjectTable& objects)>;

enum class MemberKind { Method, Constructor, Property, IndexProperty, Event, Free, ClassName };

struct TfsClassMember {
  MemberKind kind = MemberKind::Method;
  std::string name;
  std::string upperName;  // what callbacks see; an indexed property's reads and writes add ".GET" and ".SET"
  std::string getName, setName;
  TypeRef type;         // result of a method, type of a property
  TfsMethodDecl decl;   // methods, constructors and indexed properties
  bool readOnly = true;
  const TfsClassVariable* owner = nullptr;  // the declaring class; null for the engine's own members
  TfsMemberCallback callback;
  TfsPropertyGetter getter;
  TfsPropertySetter setter;
  TfsEventSetter eventSetter;

  bool IsCallable() const {
    return kind == MemberKind::Method || kind == MemberKind::Constructor || kind == MemberKind::IndexProperty ||
           kind == MemberKind::Free || kind == MemberKind::ClassName;
  }
};

// Finds registered classes by name for ancestor chains; the script implements it.
class TfsClassLookup {
 public:
  virtual ~TfsClassLookup() = default;
  virtual TfsClassVariable* FindClass(std::string_view name) const = 0;
};

class TfsClassVariable {
 public:
  TfsClassVariable(const HostClassInfo* info, std::string ancestorName, const TfsClassLookup& lookup,
                   const TfsDeclResolver& resolver);
  TfsClassVariable(const TfsClassVariable&) = delete;
  TfsClassVariable& operator=(const TfsClassVariable&) = delete;

  const std::string& Name() const { return name_; }
  const HostClassInfo* Info() const { return info_; }
  const std::string& AncestorName() const { return ancestorName_; }
  TfsClassVariable* Ancestor() const { return lookup_.FindClass(ancestorName_); }

  // How scripts make and destroy instances of this very class. A class
  // without a factory is created only by a constructor callback that returns
  // an object of its own, or not at all.
  void SetFactory(std::function<void*()> create, std::function<void(void*)> destroy);
  bool HasFactory() const { return static_cast<bool>(create_); }

  // "constructor Create(AOwner: TComponent)": called on the new instance.
  TfsClassMember& AddConstructor(std::string_view declaration, TfsMemberCallback callback);
  TfsClassMember& AddMethod(std::string_view declaration, TfsMemberCallback callback);
  // Read-only when no setter is given.
  TfsClassMember& AddProperty(std::string_view name, std::string_view typeName, TfsPropertyGetter getter,
                              TfsPropertySetter setter = nullptr);
  // Served as "function Name(p0: T0; ...): Type"; the callback sees NAME.GET
  // and NAME.SET (the value being assigned is parameter ParamCount()).
  TfsClassMember& AddIndexProperty(std::string_view name, std::string_view paramTypes, std::string_view typeName,
                                   TfsMemberCallback callback, bool readOnly);
  TfsClassMember& AddDefaultProperty(std::string_view name, std::string_view paramTypes, std::string_view typeName,
                                     TfsMemberCallback callback, bool readOnly);
  TfsClassMember& AddEvent(std::string_view name, TfsEventSetter setter);

  // Own members in registration order, then the ancestors', then the
  // engine's own members of every object (Create, Free, ClassName).
  const TfsClassMember* FindMember(std::string_view name) const;
  // This class's default property, or the nearest ancestor's.
  const TfsClassMember* DefaultProperty() const;
  // Whether this class is `ancestor` or descends from it by the registered ancestor names.
  bool InheritsFrom(std::string_view ancestor) const;

  // A new instance from the factory, registered and owned by `owner`'s list.
  void* NewInstance() const { return create_(); }
  const std::function<void(void*)>& Destroyer() const { return destroy_; }

 private:
  TfsClassMember& AddMember(TfsClassMember member);

  const HostClassInfo* info_;
  std::string name_;
  std::string ancestorName_;
  const TfsClassLookup& lookup_;
  const TfsDeclResolver& resolver_;
  std::vector<std::unique_ptr<TfsClassMember>> members_;
  const TfsClassMember* defaultProperty_ = nullptr;
  std::function<void*()> create_;
  std::function<void(void*)> destroy_;
};

// The engine's own members of every object: "constructor Create",
// "procedure Free", "function ClassName: String".
const TfsClassMember* IntrinsicMember(std::string_view name);

// The checks below look handles up in `objects`, the table of the script
// the value belongs to; a handle of any other table is no object there.

// The object a member acts on, checked: the value must be a live handle of
// an object whose class is the member's declaring class or descends from it.
// Errors: "Object reference required" (nil, numbers, texts), "Invalid object
// reference" (freed, unregistered or another script's), "Invalid class typecast".
void CheckInstance(const ObjectTable& objects, const Variant& instance, const TfsClassMember& member);

// An object of another class than `cls` (nor of a descendant) raises
// "Invalid class typecast"; nil and Null pass as they are.
void CheckTypecast(const ObjectTable& objects, const Variant& value, const TfsClassVariable& cls);

// Arguments for parameters of a registered class type must be nil or
// objects of that class (or a descendant): a callback may then cast the
// object it receives to that class's type.
void CheckClassArgs(const ObjectTable& objects, const TfsMethodDecl& decl, const std::vector<Variant>& values,
                    const TfsClassLookup& classes);

// The object a handle names when it is of class `cls` or a descendant;
// otherwise the errors of CheckInstance. For callbacks reading object arguments.
void* ObjectOf(const ObjectTable& objects, const Variant& value, const HostClassInfo& cls);

// Run-time member access from a designator built in `scope`. `args` are the
// argument values in parameter order, defaults supplied; by-reference
// results come back in them. `named` is the class the script wrote before a
// constructor (TStringList in TStringList.Create), which may descend from
// the class that declares the constructor.
Variant ReadMember(TfsScope& scope, const TfsClassMember& member, const TfsClassVariable* named,
                   const Variant& instance, std::vector<Variant>& args);
void WriteMember(TfsScope& scope, const TfsClassMember& member, const Variant& instance, std::vector<Variant>& args,
                 const Variant& value);

}  // namespace zentavo
