// Declaration texts of host functions and members ("function Copy(s:
// String; from, count: Integer): String") parsed into a name, a result type
// and parameters, whatever the language of the script that calls them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/fs_itypes.h"
#include "script/fs_ivariant.h"

namespace zentavo {

// Resolves names met in declarations: type names and the names used as
// default values (True, False, nil, constants). The script implements it.
class TfsDeclResolver {
 public:
  virtual ~TfsDeclResolver() = default;
  // The type code of a type name; tcClass for a name the script does not know.
  virtual TypeCode TypeCodeOf(std::string_view typeName) const = 0;
  // The current value of the item of that name, or nothing when unknown.
  virtual std::optional<Variant> ValueOf(std::string_view name) const = 0;
};

struct TfsParamDecl {
  std::string name;
  std::string typeName;
  TypeCode typeCode = tcVariant;
  bool byReference = false;
  bool optional = false;                 // a default other than Null was given
  Variant defaultValue = Variant::Null();
};

struct TfsMethodDecl {
  std::string name;
  bool isFunction = false;
  bool textArguments = false;  // "macrofunction": arguments arrive as their source texts
  std::string typeName;        // empty for procedures
  TypeCode typeCode = tcVariant;
  std::vector<TfsParamDecl> params;
  int RequiredCount() const;
};

// Parses a declaration; a malformed text (a fault of the host, never of a
// script) raises ScriptError "Invalid declaration: " + the text.
TfsMethodDecl ParseDeclaration(std::string_view text, const TfsDeclResolver& resolver);

// "constructor Create(AOwner: TComponent)" -> "function Create(AOwner: TComponent): Constructor"
std::string ConstructorDeclaration(std::string_view text);
// The method an indexed property is served as: "function Items(p0: Integer): TObject".
std::string IndexPropertyDeclaration(std::string_view name, std::string_view paramTypes, std::string_view type);

}  // namespace zentavo
