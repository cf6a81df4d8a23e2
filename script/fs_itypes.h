// Compile-time types of the script engine: the type codes, their texts in
// messages and the compatibility rule shared by expressions and the builder.
#pragma once

#include <string>
#include <string_view>

namespace zentavo {

enum class TypeCode {
  tcInteger,
  tcBoolean,
  tcFloat,
  tcChar,
  tcString,
  tcClass,
  tcArray,
  tcVariant,
  tcEnum,
  tcConstructor,
};
using enum TypeCode;

// A compile-time type: the code and, for classes and enumerations, the name.
struct TypeRef {
  TypeCode code = tcVariant;
  std::string name;
};

class ObjectTable;

// What an expression asks of the program it belongs to: whether one
// registered host class is another or descends from it, and where the
// program's objects are. The script that owns the class table implements it.
class ClassRelation {
 public:
  virtual ~ClassRelation() = default;
  // False when either name is not a registered class.
  virtual bool IsClassOrDescendant(std::string_view className, std::string_view ancestor) const = 0;
  // The object table handles of this program resolve in; null when there is none.
  virtual const ObjectTable* ProgramObjects() const { return nullptr; }
};

// The type as messages name it: "Integer", "Extended", "Class TfrxMemoView" ...
std::string TypeText(TypeCode code, std::string_view typeName);

// Whether a value of type `value` may meet a target of type `target`.
// Without a class relation only equal class names are compatible.
bool TypesCompatible(const TypeRef& target, const TypeRef& value, const ClassRelation* classes);

// The stricter rule for storing (assignments, arguments, initializers, loop
// bounds): an Integer target also refuses a Float value.
bool AssignmentCompatible(const TypeRef& target, const TypeRef& value, const ClassRelation* classes);

// "Incompatible types: 'Integer', 'Extended'", the builder's storing message.
std::string IncompatibleTypesMessage(const TypeRef& target, const TypeRef& value);

}  // namespace zentavo
