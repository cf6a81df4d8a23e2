// Host classes: registration of members, member lookup along the ancestor
// chain, and the checked run-time member operations.
#include "script/fs_iclasses.h"

#include <algorithm>

#include "platform/Cp1254.h"
#include "script/fs_ibuilder.h"
#include "script/fs_ierror.h"
#include "script/fs_iinterpreter.h"
#include "script/fs_imessages.h"

namespace zentavo {

namespace {

// Ancestor chains are the host's data; a chain that loops back on itself
// ends here instead of running forever.
constexpr int kMaxAncestorDepth = 64;

TfsClassMember MakeIntrinsic(MemberKind kind, const char* name, TypeRef type, bool isFunction) {
  TfsClassMember m;
  m.kind = kind;
  m.name = name;
  m.upperName = NameKey(name);
  m.type = std::move(type);
  m.decl.name = name;
  m.decl.isFunction = isFunction;
  m.decl.typeName = m.type.name;
  m.decl.typeCode = m.type.code;
  return m;
}

// The handed-over parameter values, and for an indexed property's write the
// value being assigned as the parameter after the last.
class MemberCall : public TfsMethodCall {
 public:
  MemberCall(TfsRunContext& context, std::vector<Variant>& values, const Variant* assigned)
      : TfsMethodCall(context), values_(values), assigned_(assigned) {}
  int ParamCount() const override { return static_cast<int>(values_.size()); }
  Variant Param(int i) const override {
    if (i >= 0 && i < ParamCount()) return values_[static_cast<std::size_t>(i)];
    if (i == ParamCount() && assigned_) return *assigned_;
    return Variant::Null();
  }
  void SetParam(int i, const Variant& value) override {
    if (i >= 0 && i < ParamCount()) values_[static_cast<std::size_t>(i)] = value;
  }

 private:
  std::vector<Variant>& values_;
  const Variant* assigned_;
};

const HostClassInfo* DeclaringInfo(const TfsClassMember& m) { return m.owner ? m.owner->Info() : nullptr; }

// Every object is a TObject, whether or not the host registers that class
// or names it in its ancestor chains.
bool IsRootClass(std::string_view name) { return SameTextAscii(name, "TObject"); }

// The run-time class relation: the host's own class chain, with the root.
bool ObjectIs(const HostClassInfo* own, std::string_view ancestor) {
  return own && (IsRootClass(ancestor) || own->InheritsFrom(ancestor));
}

bool IsNil(const Variant& v) { return v.IsEmptyOrNull() || (v.IsIntegral() && v.ToInt64() == 0); }

[[noreturn]] void FailAssign() { throw ScriptError(MessageText(ScriptMessage::SLeftCantAssigned)); }

TfsEventHandler MakeEventHandler(TfsScript& script, TfsItem* procItem) {
  std::weak_ptr<int> alive = script.AliveToken();
  return [alive, procItem](std::vector<Variant>& args) {
    // A cleared script's procedures are gone; a running handler is not entered again.
    if (alive.expired() || procItem->proc->executing) return;
    TfsProc& p = *procItem->proc;
    std::vector<Variant> out(p.params.size());
    int n = static_cast<int>(std::min(args.size(), p.params.size()));
    CallScriptProc(*procItem, args.data(), n, out.data());
    for (int i = 0; i < n; ++i) args[static_cast<std::size_t>(i)] = out[static_cast<std::size_t>(i)];
  };
}

}  // namespace

// ---- registration -------------------------------------------------------------

TfsClassVariable::TfsClassVariable(const HostClassInfo* info, std::string ancestorName, const TfsClassLookup& lookup,
                                   const TfsDeclResolver& resolver)
    : info_(info), name_(info->name), ancestorName_(std::move(ancestorName)), lookup_(lookup), resolver_(resolver) {}

void TfsClassVariable::SetFactory(std::function<void*()> create, std::function<void(void*)> destroy) {
  create_ = std::move(create);
  destroy_ = std::move(destroy);
}

TfsClassMember& TfsClassVariable::AddMember(TfsClassMember member) {
  member.owner = this;
  member.upperName = NameKey(member.name);
  member.getName = member.upperName + ".GET";
  member.setName = member.upperName + ".SET";
  members_.push_back(std::make_unique<TfsClassMember>(std::move(member)));
  return *members_.back();
}

TfsClassMember& TfsClassVariable::AddConstructor(std::string_view declaration, TfsMemberCallback callback) {
  TfsClassMember m;
  m.kind = MemberKind::Constructor;
  m.decl = ParseDeclaration(ConstructorDeclaration(declaration), resolver_);
  m.name = m.decl.name;
  m.type = {tcConstructor, "Constructor"};
  m.callback = std::move(callback);
  return AddMember(std::move(m));
}

TfsClassMember& TfsClassVariable::AddMethod(std::string_view declaration, TfsMemberCallback callback) {
  TfsClassMember m;
  m.kind = MemberKind::Method;
  m.decl = ParseDeclaration(declaration, resolver_);
  m.name = m.decl.name;
  m.type = m.decl.isFunction ? TypeRef{m.decl.typeCode, m.decl.typeName} : TypeRef{tcVariant, ""};
  m.callback = std::move(callback);
  return AddMember(std::move(m));
}

TfsClassMember& TfsClassVariable::AddProperty(std::string_view name, std::string_view typeName,
                                              TfsPropertyGetter getter, TfsPropertySetter setter) {
  TfsClassMember m;
  m.kind = MemberKind::Property;
  m.name = std::string(name);
  m.type = {resolver_.TypeCodeOf(typeName), std::string(typeName)};
  m.readOnly = !setter;
  m.getter = std::move(getter);
  m.setter = std::move(setter);
  return AddMember(std::move(m));
}

TfsClassMember& TfsClassVariable::AddIndexProperty(std::string_view name, std::string_view paramTypes,
                                                   std::string_view typeName, TfsMemberCallback callback,
                                                   bool readOnly) {
  TfsClassMember m;
  m.kind = MemberKind::IndexProperty;
  m.decl = ParseDeclaration(IndexPropertyDeclaration(name, paramTypes, typeName), resolver_);
  m.name = std::string(name);
  m.type = {m.decl.typeCode, m.decl.typeName};
  m.readOnly = readOnly;
  m.callback = std::move(callback);
  return AddMember(std::move(m));
}

TfsClassMember& TfsClassVariable::AddDefaultProperty(std::string_view name, std::string_view paramTypes,
                                                     std::string_view typeName, TfsMemberCallback callback,
                                                     bool readOnly) {
  TfsClassMember& m = AddIndexProperty(name, paramTypes, typeName, std::move(callback), readOnly);
  defaultProperty_ = &m;
  return m;
}

TfsClassMember& TfsClassVariable::AddEvent(std::string_view name, TfsEventSetter setter) {
  TfsClassMember m;
  m.kind = MemberKind::Event;
  m.name = std::string(name);
  // Event properties read as texts, so a procedure name type-checks.
  m.type = {tcString, ""};
  m.readOnly = false;
  m.eventSetter = std::move(setter);
  return AddMember(std::move(m));
}

const TfsClassMember* TfsClassVariable::FindMember(std::string_view name) const {
  std::string key = NameKey(name);
  const TfsClassVariable* c = this;
  for (int depth = 0; c && depth < kMaxAncestorDepth; ++depth, c = c->Ancestor())
    for (const auto& m : c->members_)
      if (m->upperName == key) return m.get();
  return IntrinsicMember(name);
}

const TfsClassMember* TfsClassVariable::DefaultProperty() const {
  const TfsClassVariable* c = this;
  for (int depth = 0; c && depth < kMaxAncestorDepth; ++depth, c = c->Ancestor())
    if (c->defaultProperty_) return c->defaultProperty_;
  return nullptr;
}

bool TfsClassVariable::InheritsFrom(std::string_view ancestor) const {
  if (IsRootClass(ancestor)) return true;
  const TfsClassVariable* c = this;
  for (int depth = 0; c && depth < kMaxAncestorDepth; ++depth, c = c->Ancestor())
    if (SameTextAscii(c->name_, ancestor)) return true;
  return false;
}

const TfsClassMember* IntrinsicMember(std::string_view name) {
  static const TfsClassMember kCreate =
      MakeIntrinsic(MemberKind::Constructor, "Create", {tcConstructor, "Constructor"}, true);
  static const TfsClassMember kFree = MakeIntrinsic(MemberKind::Free, "Free", {tcVariant, ""}, false);
  static const TfsClassMember kClassName = MakeIntrinsic(MemberKind::ClassName, "ClassName", {tcString, "String"}, true);
  for (const TfsClassMember* m : {&kCreate, &kFree, &kClassName})
    if (SameTextAscii(m->name, name)) return m;
  return nullptr;
}

// ---- run time -----------------------------------------------------------------

void CheckInstance(const ObjectTable& objects, const Variant& instance, const TfsClassMember& member) {
  if (!instance.IsObject()) throw ScriptError(msg::kNotAnObject);
  const HostClassInfo* cls = objects.ClassOf(instance.RawObject());
  // The callback casts the object to its declaring class's type: an object
  // of any other class must never reach it.
  if (member.owner && !ObjectIs(cls, member.owner->Info()->name)) throw ScriptError(msg::kInvalidCast);
}

void CheckTypecast(const ObjectTable& objects, const Variant& value, const TfsClassVariable& cls) {
  if (IsNil(value)) return;
  if (!value.IsObject()) throw ScriptError(msg::kNotAnObject);
  if (!ObjectIs(objects.ClassOf(value.RawObject()), cls.Name())) throw ScriptError(msg::kInvalidCast);
}

void CheckClassArgs(const ObjectTable& objects, const TfsMethodDecl& decl, const std::vector<Variant>& values,
                    const TfsClassLookup& classes) {
  std::size_t n = std::min(decl.params.size(), values.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (decl.params[i].typeCode != tcClass || IsNil(values[i])) continue;
    // A class the script does not know (TObject, say) still takes objects only.
    if (!values[i].IsObject()) throw ScriptError(msg::kNotAnObject);
    if (const TfsClassVariable* cls = classes.FindClass(decl.params[i].typeName))
      CheckTypecast(objects, values[i], *cls);
  }
}

void* ObjectOf(const ObjectTable& objects, const Variant& value, const HostClassInfo& cls) {
  if (!value.IsObject()) throw ScriptError(msg::kNotAnObject);
  if (!ObjectIs(objects.ClassOf(value.RawObject()), cls.name)) throw ScriptError(msg::kInvalidCast);
  return objects.Resolve(value.RawObject());
}

// A value stored into a property of a registered class type.
static void CheckClassValue(const ObjectTable& objects, const TypeRef& type, const Variant& value,
                            const TfsClassLookup& classes) {
  if (type.code != tcClass || IsNil(value)) return;
  if (!value.IsObject()) throw ScriptError(msg::kNotAnObject);
  if (const TfsClassVariable* cls = classes.FindClass(type.name)) CheckTypecast(objects, value, *cls);
}

Variant ReadMember(TfsScope& scope, const TfsClassMember& m, const TfsClassVariable* named, const Variant& instance,
                   std::vector<Variant>& args) {
  TfsScript& program = scope.Program();
  ObjectTable& objects = program.Objects();
  switch (m.kind) {
    case MemberKind::Constructor:
      if (!named) throw ScriptError(msg::kNotAnObject);
      CheckClassArgs(objects, m.decl, args, program);
      return program.ConstructObject(*named, m, args);
    case MemberKind::Free:
      program.FreeObject(instance);
      return Variant::Null();
    case MemberKind::ClassName: {
      CheckInstance(objects, instance, m);
      const HostClassInfo* cls = objects.ClassOf(instance.RawObject());
      return Variant::String(cls ? cls->name : "");
    }
    case MemberKind::Method:
    case MemberKind::IndexProperty: {
      CheckInstance(objects, instance, m);
      CheckClassArgs(objects, m.decl, args, program);
      if (!m.callback) return Variant::Int(0);
      MemberCall call(program, args, nullptr);
      bool index = m.kind == MemberKind::IndexProperty;
      Variant r = m.callback(instance, DeclaringInfo(m), index ? m.getName : m.upperName, call);
      return index || m.decl.isFunction ? r : Variant::Null();
    }
    case MemberKind::Property: {
      CheckInstance(objects, instance, m);
      Variant v = m.getter ? m.getter(instance, DeclaringInfo(m), m.upperName, objects) : Variant::Null();
      if (m.type.code == tcBoolean && !v.IsBoolean()) return Variant::Boolean(!v.IsEmptyOrNull() && v.ToBool());
      return v;
    }
    case MemberKind::Event:
      CheckInstance(objects, instance, m);
      return Variant::String("");
  }
  return Variant::Null();
}

void WriteMember(TfsScope& scope, const TfsClassMember& m, const Variant& instance, std::vector<Variant>& args,
                 const Variant& value) {
  TfsScript& program = scope.Program();
  ObjectTable& objects = program.Objects();
  switch (m.kind) {
    case MemberKind::Property:
      if (m.readOnly || !m.setter) FailAssign();
      CheckInstance(objects, instance, m);
      CheckClassValue(objects, m.type, value, program);
      m.setter(instance, DeclaringInfo(m), value, m.upperName, objects);
      return;
    case MemberKind::IndexProperty: {
      if (m.readOnly) FailAssign();
      CheckInstance(objects, instance, m);
      CheckClassArgs(objects, m.decl, args, program);
      CheckClassValue(objects, m.type, value, program);
      if (!m.callback) return;
      MemberCall call(program, args, &value);
      m.callback(instance, DeclaringInfo(m), m.setName, call);
      return;
    }
    case MemberKind::Event: {
      CheckInstance(objects, instance, m);
      if (!m.eventSetter) return;
      // nil clears the handler; any other text names a script procedure.
      std::string text = VarToStr(value);
      if (text == "0") {
        m.eventSetter(instance, DeclaringInfo(m), m.upperName, nullptr, objects);
        return;
      }
      TfsItem* proc = scope.Find(text);
      if (!proc || proc->kind != ItemKind::Proc) throw ScriptError(MessageText(ScriptMessage::SEventError));
      m.eventSetter(instance, DeclaringInfo(m), m.upperName, MakeEventHandler(program, proc), objects);
      return;
    }
    default:
      FailAssign();
  }
}

// ---- the script's classes and objects -------------------------------------------

TfsClassVariable* TfsScript::AddClass(const HostClassInfo* cls, std::string_view ancestor) {
  if (!cls || Find(cls->name)) return nullptr;
  auto item = std::make_unique<TfsItem>();
  item->kind = ItemKind::Class;
  item->name = cls->name;
  item->type = {tcClass, cls->name};
  item->registrant = Registrant;
  item->cls = std::make_unique<TfsClassVariable>(cls, std::string(ancestor), *this, *this);
  TfsClassVariable* raw = item->cls.get();
  Add(std::move(item));
  return raw;
}

TfsClassVariable* TfsScript::FindClass(std::string_view name) const {
  TfsItem* item = Find(name);
  return item && item->kind == ItemKind::Class ? item->cls.get() : nullptr;
}

TfsClassVariable* TfsScript::ClassOfObject(const Variant& object) const {
  if (!object.IsObject()) throw ScriptError(msg::kNotAnObject);
  // The nearest class the script knows: a host may hand over objects of
  // classes it registered only by an ancestor.
  const HostClassInfo* own = Objects().ClassOf(object.RawObject());
  for (const HostClassInfo* c = own; c; c = c->parent)
    if (TfsClassVariable* cls = FindClass(c->name)) return cls;
  throw ScriptError(MessageText(ScriptMessage::SUnknownType) + "'" + (own ? own->name : "") + "'");
}

bool TfsScript::IsClassOrDescendant(std::string_view className, std::string_view ancestor) const {
  TfsClassVariable* cls = FindClass(className);
  return cls && (IsRootClass(ancestor) || FindClass(ancestor)) && cls->InheritsFrom(ancestor);
}

void TfsScript::SetParent(TfsScope* parent) {
  for (const TfsScope* s = parent; s; s = s->Parent())
    if (s == this || &s->Program() == this) throw ScriptError("A script cannot be its own parent");
  // The objects this script made live in the table of its program; before
  // another program's table takes over, they go, so no handle of them
  // outlives the table that knows them.
  ObjectTable& next = parent ? parent->Program().Objects() : objects_;
  if (&next != &Objects()) FreeOwnedObjects();
  parent_ = parent;
}

void TfsScript::AddObject(std::string_view name, void* object, const HostClassInfo* cls) {
  if (!object || !cls) return;
  AddVariable(name, cls->name, Variant::Object(Objects().Register(object, cls)));
}

Variant TfsScript::ConstructObject(const TfsClassVariable& named, const TfsClassMember& ctor,
                                   std::vector<Variant>& args) {
  MemberCall call(*this, args, nullptr);
  if (!named.HasFactory()) {
    // The host's constructor makes the object itself and keeps it.
    if (!ctor.callback) throw ScriptError(FormatMessage(msg::kCannotCreate, named.Name()));
    Variant r = ctor.callback(Variant(), DeclaringInfo(ctor), ctor.upperName, call);
    CheckTypecast(Objects(), r, named);
    if (!r.IsObject()) throw ScriptError(FormatMessage(msg::kCannotCreate, named.Name()));
    return r;
  }
  if (owned_.size() >= kMaxOwnedObjects) throw ScriptError(msg::kTooManyObjects);
  void* object = named.NewInstance();
  if (!object) throw ScriptError(FormatMessage(msg::kCannotCreate, named.Name()));
  Variant handle = Variant::Object(Objects().Register(object, named.Info()));
  owned_.emplace(object, named.Destroyer());
  if (ctor.callback) {
    try {
      ctor.callback(handle, DeclaringInfo(ctor), ctor.upperName, call);
    } catch (...) {
      // A constructor that fails leaves no half-made object behind.
      FreeObject(handle);
      throw;
    }
  }
  return handle;
}

void TfsScript::FreeObject(const Variant& object) {
  if (IsNil(object)) return;  // Free on nil does nothing
  if (!object.IsObject()) throw ScriptError(msg::kNotAnObject);
  void* raw = Objects().Resolve(object.RawObject());
  auto it = owned_.find(raw);
  if (it == owned_.end()) throw ScriptError(msg::kNotOwned);
  std::function<void(void*)> destroy = std::move(it->second);
  owned_.erase(it);
  // Unregistered first: every handle to it is stale before the memory goes.
  Objects().Unregister(raw);
  if (destroy) destroy(raw);
}

void TfsScript::FreeOwnedObjects() {
  auto owned = std::move(owned_);
  owned_.clear();
  for (auto& [object, destroy] : owned) {
    Objects().Unregister(object);
    if (destroy) destroy(object);
  }
}

}  // namespace zentavo
