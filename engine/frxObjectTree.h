// What the prepared-page store decides per class: the key prefix, the
// classes it stores through and does not copy; and its number texts.
#pragma once

#include <string>

#include "report/frxXML.h"

namespace zentavo {

class TfrxComponent;

// "b" for bands (when `bandPrefix`), else the first letter, lower case, of the
// class name without "Tfrx" and "View": "m" memo, "b" barcode, "p" picture.
std::string KeyPrefix(const TfrxComponent& object, bool bandPrefix);

// Classes that never get an element of their own: their children are stored
// under the parent element (subreports, cross-tabs, dialog components).
bool IsTransparentForStore(const TfrxComponent& object);
// Classes a source page does not copy (cross-tabs, dialog components).
bool IsExcludedFromSourcePage(const TfrxComponent& object);

// Floats in the writer's locale-free form ("12.5", "-3").
std::string FloatText(double value);
// Parses a stored number; `fallback` when the text is empty; throws on junk.
double ParseStoredFloat(const std::string& text, double fallback);

}  // namespace zentavo
