// Type texts and the type compatibility table.
#include "script/fs_itypes.h"

#include "platform/Cp1254.h"

namespace zentavo {

namespace {

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (cp1254::ToUpper(static_cast<unsigned char>(a[i])) !=
        cp1254::ToUpper(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// One row per target code: the value codes it accepts outright (classes and
// enumerations need their names compared as well).
struct CompatRow {
  TypeCode target;
  unsigned accepted;  // bit set of TypeCode values
};

constexpr unsigned Bit(TypeCode c) { return 1u << static_cast<unsigned>(c); }

constexpr CompatRow kCompat[] = {
    {tcInteger, Bit(tcInteger) | Bit(tcFloat) | Bit(tcVariant) | Bit(tcEnum)},
    {tcBoolean, Bit(tcBoolean) | Bit(tcVariant)},
    {tcFloat, Bit(tcInteger) | Bit(tcFloat) | Bit(tcVariant)},
    {tcChar, Bit(tcChar) | Bit(tcString) | Bit(tcVariant)},
    {tcString, Bit(tcChar) | Bit(tcString) | Bit(tcVariant)},
    {tcClass, Bit(tcVariant)},
    {tcArray, Bit(tcArray) | Bit(tcVariant)},
    {tcVariant, ~0u},
    {tcEnum, Bit(tcInteger) | Bit(tcVariant)},
    {tcConstructor, 0u},
};

}  // namespace

std::string TypeText(TypeCode code, std::string_view typeName) {
  switch (code) {
    case tcInteger: return "Integer";
    case tcBoolean: return "Boolean";
    case tcFloat: return "Extended";
    case tcChar: return "Char";
    case tcString: return "String";
    case tcClass: return "Class " + std::string(typeName);
    case tcArray: return "Array";
    case tcEnum: return std::string(typeName);
    default: return "Variant";
  }
}

bool TypesCompatible(const TypeRef& target, const TypeRef& value, const ClassRelation* classes) {
  for (const CompatRow& row : kCompat) {
    if (row.target != target.code) continue;
    if (row.accepted & Bit(value.code)) return true;
    if (target.code == tcClass && value.code == tcClass) {
      if (classes) return classes->IsClassOrDescendant(value.name, target.name);
      return SameNameIgnoringCase(value.name, target.name);
    }
    if (target.code == tcEnum && value.code == tcEnum)
      return SameNameIgnoringCase(value.name, target.name);
    return false;
  }
  return false;
}

bool AssignmentCompatible(const TypeRef& target, const TypeRef& value, const ClassRelation* classes) {
  if (target.code == tcInteger && value.code == tcFloat) return false;
  return TypesCompatible(target, value, classes);
}

std::string IncompatibleTypesMessage(const TypeRef& target, const TypeRef& value) {
  return "Incompatible types: '" + TypeText(target.code, target.name) + "', '" +
         TypeText(value.code, value.name) + "'";
}

}  // namespace zentavo
