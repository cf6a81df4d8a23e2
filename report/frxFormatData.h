// Display formatting of memo values: number pictures, printf-style number
// formats, date-time pictures and Boolean pairs, with the report's
// FormatSettings.
#pragma once

#include <string>
#include <string_view>

#include "report/frxTypes.h"
#include "script/fs_ivariant.h"

namespace zentavo {

// The value as display text (Windows-1254) in `format`, or, without one,
// as the value's usual text. A null value is empty text; a value the format
// cannot take comes out as its usual text.
std::string FormatData(const Variant& value, const TfrxFormat* format);

// Whether a printf-style number format is one we apply: literal text and
// "%%" around at most one conversion "%[-][width][.precision]" of "e", "f"
// or "g" (either case), with a width below 256 and a precision below 19.
// A format without a conversion prints as its literal text.
// Anything else ("%n", "%s", "%p", several conversions, argument indexes,
// "*") is no number format and leaves the value in its usual text.
bool IsNumberFormat(std::string_view format);

}  // namespace zentavo
