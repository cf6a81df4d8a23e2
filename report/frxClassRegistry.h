// The registry of report object classes: the template format creates objects
// by element name from it, and each class's painter is found in it. The
// model registers its own classes; barcode/ adds its view, render/ the
// painters, each when it is installed at start-up.
#pragma once

#include <string_view>
#include <vector>

namespace zentavo {

class ClassInfo;
class TfrxComponent;
class TfrxPainter;

struct RegisteredClass {
  const ClassInfo* info;
  // Creates a new object of the class; null for the nested-object classes
  // (TfrxFrame, TfrxHighlight, TfrxStyleItem) that never stand as elements.
  TfrxComponent* (*create)(const ClassInfo& info);
};

// Adds a class (a name already registered keeps its first entry).
void RegisterClass(const RegisteredClass& entry);
// The class registered under `name` (ASCII case ignored), or null.
const RegisteredClass* FindRegisteredClass(std::string_view name);
std::vector<RegisteredClass> RegisteredClasses();
// The model's own classes, without those the layers above added.
std::vector<RegisteredClass> ModelClasses();

// Installs the painter of a class; it also draws the class's descendants
// that have no painter of their own. The painter must outlive every report.
void RegisterPainter(const ClassInfo& cls, const TfrxPainter& painter);
// The painter of the class or of its nearest ancestor that has one.
const TfrxPainter& PainterOf(const ClassInfo& cls);

}  // namespace zentavo
