// The system module: the built-in type names, the constants, the helper
// items and the general functions (conversion, format, date, string, math,
// other) every script that receives the library sees.
#pragma once

#include <functional>
#include <string>

#include "script/fs_ilibrary.h"

namespace zentavo {

// Registers the system module's items, in their documented order.
void RegisterSystemModule(TfsLibraryTarget& target);

// One system function: category, exact declaration text and handler.
struct TfsSystemFunction {
  const char* category;
  const char* declaration;
  Variant (*handler)(TfsMethodCall& call);
};
// The whole table, in registration order.
const TfsSystemFunction* SystemFunctions(std::size_t& count);

}  // namespace zentavo
