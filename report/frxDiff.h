// The difference text of an object against its reference object (its frozen
// template copy): the attributes its class declares beside its properties
// (ClassInfo::DiffAttributes), each written as ` name="value"` where the two
// differ. The prepared-page store keeps every printed object this way.
#pragma once

#include <span>
#include <string>

namespace zentavo {

class TfrxPersistent;

// Floats differ by more than 0.0001 and are written in the format's float
// text; Booleans as 1 or 0; enumerations as their ordinal; integers, colours
// and sets in decimal; texts escaped. `baseOnly`: only the attributes every
// object has (position, visibility, font, Tag).
std::string DiffText(const TfrxPersistent& object, const TfrxPersistent& reference, bool baseOnly = false);

// ` name="value"` for each property path, values written as Diff writes
// them (the settings a prepared report carries of its report).
std::string PropertyAttributes(const TfrxPersistent& object, std::span<const char* const> paths);

}  // namespace zentavo
