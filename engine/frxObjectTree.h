// Object trees as XML items for the prepared-page store: source pages written
// and read in the template format, the key prefix of a class, and which view
// classes store themselves as differences.
#pragma once

#include <string>

#include "report/frxXML.h"

namespace zentavo {

class TfrxComponent;

// "b" for bands (when `bandPrefix`), else the first letter, lower case, of the
// class name without "Tfrx" and "View": "m" memo, "b" barcode, "p" picture.
std::string KeyPrefix(const TfrxComponent& object, bool bandPrefix);

// Whether the object's class has a difference encoding of its own; the others
// are stored with their complete attribute text followed by the base difference.
bool HasOwnDiff(const TfrxComponent& object);

// Classes that never get an element of their own: their children are stored
// under the parent element (subreports, cross-tabs, dialog components).
bool IsTransparentForStore(const TfrxComponent& object);
// Classes a source page does not copy (cross-tabs, dialog components).
bool IsExcludedFromSourcePage(const TfrxComponent& object);

// The object's children as elements in the template format (name, then the
// attribute text), recursively.
void WriteTree(const TfrxComponent& object, TfrxXMLItem& item);

// Reads the children of `item` into `parent`. Unlike template loading, an
// unknown class, a misplaced object or a tree deeper than the limit is an
// error: these trees come from prepared files of unknown origin.
void ReadTree(const TfrxXMLItem& item, TfrxComponent& parent, int depth = 0);

// Floats in the writer's locale-free form ("12.5", "-3").
std::string FloatText(double value);
// Parses a stored number; `fallback` when the text is empty; throws on junk.
double ParseStoredFloat(const std::string& text, double fallback);

}  // namespace zentavo
