// Object trees as XML items for the prepared-page store.
#include "engine/frxObjectTree.h"

#include <stdexcept>

#include "report/frxClass.h"

namespace zentavo {

namespace {
bool StartsWith(const std::string& s, std::string_view p) { return s.compare(0, p.size(), p) == 0; }

// Class names of objects that stand for something other than a drawn object.
constexpr std::string_view kCrossClasses[] = {"TfrxCrossView", "TfrxDBCrossView"};

bool IsDialogComponent(const TfrxComponent& object) {
  const std::string n = object.ClassName();
  return StartsWith(n, "TfrxDialog") ||
         (n.size() > 7 && n.compare(n.size() - 7, 7, "Control") == 0);
}

bool IsCross(const TfrxComponent& object) {
  for (std::string_view c : kCrossClasses)
    if (object.ClassName() == c) return true;
  return false;
}
}  // namespace

std::string KeyPrefix(const TfrxComponent& object, bool bandPrefix) {
  if (bandPrefix && dynamic_cast<const TfrxBand*>(&object) != nullptr) return "b";
  std::string n = object.ClassName();
  if (StartsWith(n, "Tfrx")) n.erase(0, 4);
  if (std::size_t v = n.find("View"); v != std::string::npos) n.erase(v, 4);
  if (n.empty()) return "x";
  char c = n[0];
  if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return std::string(1, c);
}

bool IsTransparentForStore(const TfrxComponent& object) {
  return dynamic_cast<const TfrxSubreport*>(&object) != nullptr || IsCross(object) || IsDialogComponent(object);
}

bool IsExcludedFromSourcePage(const TfrxComponent& object) { return IsCross(object) || IsDialogComponent(object); }

std::string FloatText(double value) { return FloatToText(value); }

double ParseStoredFloat(const std::string& text, double fallback) {
  if (text.empty()) return fallback;
  return TextToFloat(XMLToStr(text));
}

}  // namespace zentavo
