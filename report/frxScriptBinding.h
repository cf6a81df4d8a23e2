// How report objects appear in scripts: every report class becomes a script
// class whose published properties come from the class's property registry,
// read and written by name; objects become checked handles that stop
// resolving when the object is destroyed.
//
// Host use (a module registering a class with one added member):
//   TfsClassVariable* c = AddReportClass(target, TfrxMemoView::StaticClassInfo(), "TfrxCustomMemoView");
//   if (c) c->AddMethod("function CalcWidth: Extended", cb);
//   Variant v = ObjectValue(script.Objects(), &memo, memo.LifeToken());
#pragma once

#include <memory>
#include <string_view>

#include "script/fs_iclasses.h"
#include "script/fs_ilibrary.h"
#include "script/fs_iobjects.h"
#include "script/fs_ivariant.h"

namespace zentavo {

class ClassInfo;
class TfrxComponent;
class TfrxPersistent;
class TStrings;
class TWideStrings;

// The script class of a report class: its name, and its ancestors by the
// class registry's parent chain.
const HostClassInfo& ScriptClassOf(const ClassInfo& cls);

// The script classes of the two kinds of text lists, whose objects are the
// report's TStrings and TWideStrings.
extern const HostClassInfo kScriptStringsClass;      // "TStrings"
extern const HostClassInfo kScriptWideStringsClass;  // "TWideStrings"
// Streams handed to LoadFromStream/SaveToStream are the platform's TStream.
extern const HostClassInfo kScriptStreamClass;  // "TStream"

// A report object (or an object nested in one) as a script value in
// `objects`: its handle, good while `life` lasts; nil for null.
Variant ObjectValue(ObjectTable& objects, TfrxPersistent* object, std::weak_ptr<const void> life);
Variant ObjectValue(ObjectTable& objects, TfrxComponent* component);
Variant ListValue(ObjectTable& objects, TStrings* list, std::weak_ptr<const void> life);
Variant ListValue(ObjectTable& objects, TWideStrings* list, std::weak_ptr<const void> life);

// The object an instance or argument names, checked to be of class `cls`
// or a descendant ("Object reference required", "Invalid object reference",
// "Invalid class typecast" otherwise).
TfrxPersistent& PersistentOf(const ObjectTable& objects, const Variant& value, const ClassInfo& cls);
template <class T>
T& InstanceOf(const ObjectTable& objects, const Variant& value) {
  return static_cast<T&>(PersistentOf(objects, value, T::StaticClassInfo()));
}
// A component argument that may be nil: null then.
TfrxComponent* ComponentOrNull(const ObjectTable& objects, const Variant& value);
bool IsNilValue(const Variant& value);

// Registers a report class under its name with every property it
// publishes (inherited ones too), unless the script knows the name: null
// then. Enumeration and set types of the properties that the script does
// not know yet are registered first, with their names.
TfsClassVariable* AddReportClass(TfsLibraryTarget& target, const ClassInfo& cls, std::string_view ancestor);

}  // namespace zentavo
