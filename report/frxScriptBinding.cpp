// Report classes and objects in scripts, through the property registry.
#include "report/frxScriptBinding.h"

#include <mutex>
#include <string>

#include "report/frxComponent.h"
#include "report/frxProps.h"
#include "report/frxTypes.h"

namespace zentavo {

namespace {

// The roots above the registry's own classes: report objects are components,
// everything else (fonts, frames, option records) a persistent object.
const HostClassInfo kObjectClass{"TObject", nullptr};
const HostClassInfo kPersistentClass{"TPersistent", &kObjectClass};
const HostClassInfo kComponentClass{"TComponent", &kPersistentClass};

std::weak_ptr<const void> LifeOfInstance(const ObjectTable& objects, const Variant& instance, TfrxPersistent& o) {
  if (auto* c = dynamic_cast<TfrxComponent*>(&o)) return c->LifeToken();
  return objects.LifeOf(instance.RawObject());
}

// A set assigned from a script arrives as the set constructor's array of
// element values (powers of two) or as a bit mask already.
std::int64_t SetMask(const Variant& value) {
  if (!value.IsArray()) return value.ToInt64();
  std::int64_t mask = 0;
  const VariantArray& a = value.RawArray();
  for (std::int32_t i = a.low[0]; i <= a.high[0]; ++i) {
    const Variant& e = ArrayElement(value, 1, &i);
    if (!e.IsEmptyOrNull()) mask |= e.ToInt64();
  }
  return mask;
}

std::string ScriptTypeName(const PropInfo& p) {
  switch (p.kind) {
    case PropKind::Integer:
    case PropKind::Color: return "Integer";
    case PropKind::Boolean: return "Boolean";
    case PropKind::Enum:
    case PropKind::Set: return p.enumInfo != nullptr ? p.typeName : "Integer";
    case PropKind::Float:
    case PropKind::DateTime: return "Extended";
    case PropKind::String:
    case PropKind::Event: return "String";
    case PropKind::Variant: return "Variant";
    case PropKind::StringList: return kScriptStringsClass.name;
    case PropKind::Object:
    case PropKind::Reference: return p.typeName;
  }
  return "Variant";
}

TfsPropertyGetter Getter(const PropInfo* p) {
  return [p](const Variant& instance, const HostClassInfo*, const std::string&, ObjectTable& objects) -> Variant {
    TfrxPersistent& o = *static_cast<TfrxPersistent*>(objects.Resolve(instance));
    switch (p->kind) {
      case PropKind::Integer:
      case PropKind::Color:
      case PropKind::Enum:
      case PropKind::Set: return Variant::Integer(p->getOrd(o));
      case PropKind::Boolean: return Variant::Boolean(p->getOrd(o) != 0);
      case PropKind::Float:
      case PropKind::DateTime: return Variant::Double(p->getFloat(o));
      case PropKind::String:
      case PropKind::Event:
      case PropKind::Variant: return Variant::String(p->getStr(o));
      case PropKind::StringList: return ListValue(objects, p->getList(o), LifeOfInstance(objects, instance, o));
      case PropKind::Object: return ObjectValue(objects, p->getObject(o), LifeOfInstance(objects, instance, o));
      case PropKind::Reference: return ObjectValue(objects, p->getRef(o));
    }
    return Variant::Null();
  };
}

TfsPropertySetter Setter(const PropInfo* p) {
  switch (p->kind) {
    case PropKind::StringList:
    case PropKind::Object: return nullptr;  // nested objects are changed through their own properties
    default: break;
  }
  if (p->ReadOnly()) return nullptr;
  return [p](const Variant& instance, const HostClassInfo*, const Variant& value, const std::string&,
             ObjectTable& objects) {
    TfrxPersistent& o = *static_cast<TfrxPersistent*>(objects.Resolve(instance));
    switch (p->kind) {
      case PropKind::Integer:
      case PropKind::Color:
      case PropKind::Enum: p->setOrd(o, value.ToInt64()); return;
      case PropKind::Set: p->setOrd(o, SetMask(value)); return;
      // Only True itself stores true: 1 is not True.
      case PropKind::Boolean: p->setOrd(o, VarEquals(value, Variant::Boolean(true)) ? 1 : 0); return;
      case PropKind::Float:
      case PropKind::DateTime: p->setFloat(o, value.ToDouble()); return;
      case PropKind::String:
      case PropKind::Event:
      case PropKind::Variant: p->setStr(o, VarToStr(value)); return;
      case PropKind::Reference: p->setRef(o, ComponentOrNull(objects, value)); return;
      default: return;
    }
  };
}

std::string JoinNames(const EnumInfo& e) {
  std::string names;
  for (const char* n : e.names) {
    if (!names.empty()) names += ',';
    names += n;
  }
  return names;
}

}  // namespace

const HostClassInfo kScriptStringsClass{"TStrings", &kPersistentClass};
const HostClassInfo kScriptWideStringsClass{"TWideStrings", &kPersistentClass};
const HostClassInfo kScriptStreamClass{"TStream", &kObjectClass};

const HostClassInfo& ScriptClassOf(const ClassInfo& cls) {
  ClassRuntime& runtime = cls.Runtime();
  std::call_once(runtime.scriptResolved, [&] {
    const HostClassInfo* parent = nullptr;
    if (cls.Parent() != nullptr)
      parent = &ScriptClassOf(*cls.Parent());
    else
      parent = cls.Name() == "TfrxComponent" ? &kComponentClass : &kPersistentClass;
    runtime.scriptClass = HostClassInfo{cls.Name().c_str(), parent};
  });
  return runtime.scriptClass;
}

bool IsNilValue(const Variant& value) {
  return value.IsEmptyOrNull() || (value.IsIntegral() && value.ToInt64() == 0);
}

Variant ObjectValue(ObjectTable& objects, TfrxPersistent* object, std::weak_ptr<const void> life) {
  if (object == nullptr) return Variant::Int(0);
  return Variant::Object(
      objects.Register(static_cast<void*>(object), &ScriptClassOf(object->GetClassInfo()), std::move(life)));
}

Variant ObjectValue(ObjectTable& objects, TfrxComponent* component) {
  if (component == nullptr) return Variant::Int(0);
  return ObjectValue(objects, static_cast<TfrxPersistent*>(component), component->LifeToken());
}

Variant ListValue(ObjectTable& objects, TStrings* list, std::weak_ptr<const void> life) {
  if (list == nullptr) return Variant::Int(0);
  return Variant::Object(objects.Register(static_cast<void*>(list), &kScriptStringsClass, std::move(life)));
}

Variant ListValue(ObjectTable& objects, TWideStrings* list, std::weak_ptr<const void> life) {
  if (list == nullptr) return Variant::Int(0);
  return Variant::Object(objects.Register(static_cast<void*>(list), &kScriptWideStringsClass, std::move(life)));
}

TfrxPersistent& PersistentOf(const ObjectTable& objects, const Variant& value, const ClassInfo& cls) {
  return *static_cast<TfrxPersistent*>(ObjectOf(objects, value, ScriptClassOf(cls)));
}

TfrxComponent* ComponentOrNull(const ObjectTable& objects, const Variant& value) {
  if (IsNilValue(value)) return nullptr;
  return &static_cast<TfrxComponent&>(PersistentOf(objects, value, TfrxComponent::StaticClassInfo()));
}

TfsClassVariable* AddReportClass(TfsLibraryTarget& target, const ClassInfo& cls, std::string_view ancestor) {
  if (target.IsKnown(cls.Name())) return nullptr;
  for (const PropInfo& p : cls.Props()) {
    if (p.enumInfo == nullptr || target.IsKnown(p.enumInfo->typeName)) continue;
    if (p.kind == PropKind::Set)
      target.AddEnumSet(p.enumInfo->typeName, JoinNames(*p.enumInfo));
    else
      target.AddEnum(p.enumInfo->typeName, JoinNames(*p.enumInfo));
  }
  TfsClassVariable* c = target.AddClass(&ScriptClassOf(cls), ancestor);
  if (c == nullptr) return nullptr;
  for (const PropInfo& p : cls.Props()) c->AddProperty(p.name, ScriptTypeName(p), Getter(&p), Setter(&p));
  return c;
}

}  // namespace zentavo
