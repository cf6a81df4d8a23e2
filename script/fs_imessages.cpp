// Message texts by key, one table of defaults and report replacements.
#include "script/fs_imessages.h"

#include <array>

namespace zentavo {

namespace {

struct MessageRow {
  ScriptMessage id;
  const char* key;
  const char* engineText;
  const char* reportText;  // the report engine's own wording (no trailing blank)
};

constexpr MessageRow kMessages[] = {
    {ScriptMessage::SLangNotFound, "SLangNotFound", "Language '%s' not found", "Language '%s' not found"},
    {ScriptMessage::SInvalidLanguage, "SInvalidLanguage", "Invalid language definition",
     "Invalid language definition"},
    {ScriptMessage::SIdRedeclared, "SIdRedeclared", "Identifier redeclared: ", "Identifier redeclared:"},
    {ScriptMessage::SUnknownType, "SUnknownType", "Unknown type: ", "Unknown type:"},
    {ScriptMessage::SIncompatibleTypes, "SIncompatibleTypes", "Incompatible types", "Incompatible types"},
    {ScriptMessage::SIdUndeclared, "SIdUndeclared", "Undeclared identifier: ", "Undeclared identifier:"},
    {ScriptMessage::SClassRequired, "SClassRequired", "Class type required", "Class type required"},
    {ScriptMessage::SIndexRequired, "SIndexRequired", "Index required", "Index required"},
    {ScriptMessage::SStringError, "SStringError", "Strings doesn't have properties or methods",
     "Strings doesn't have properties or methods"},
    {ScriptMessage::SClassError, "SClassError", "Class %s does not have a default property",
     "Class %s does not have a default property"},
    {ScriptMessage::SArrayRequired, "SArrayRequired", "Array type required", "Array type required"},
    {ScriptMessage::SVarRequired, "SVarRequired", "Variable required", "Variable required"},
    {ScriptMessage::SNotEnoughParams, "SNotEnoughParams", "Not enough actual parameters",
     "Not enough actual parameters"},
    {ScriptMessage::STooManyParams, "STooManyParams", "Too many actual parameters", "Too many actual parameters"},
    {ScriptMessage::SLeftCantAssigned, "SLeftCantAssigned", "Left side cannot be assigned to",
     "Left side cannot be assigned to"},
    {ScriptMessage::SForError, "SForError", "For loop variable must be numeric variable",
     "For loop variable must be numeric variable"},
    {ScriptMessage::SEventError, "SEventError", "Event handler must be a procedure",
     "Event handler must be a procedure"},
};

constexpr std::size_t kCount = std::size(kMessages);

std::array<std::string, kCount>& Texts() {
  static std::array<std::string, kCount> texts = [] {
    std::array<std::string, kCount> t;
    for (std::size_t i = 0; i < kCount; ++i) t[i] = kMessages[i].engineText;
    return t;
  }();
  return texts;
}

}  // namespace

const std::string& MessageText(ScriptMessage id) { return Texts()[static_cast<std::size_t>(id)]; }

bool SetMessageText(std::string_view key, std::string text) {
  for (std::size_t i = 0; i < kCount; ++i) {
    if (key == kMessages[i].key) {
      Texts()[static_cast<std::size_t>(kMessages[i].id)] = std::move(text);
      return true;
    }
  }
  return false;
}

void UseDefaultMessageTexts() {
  for (const MessageRow& row : kMessages) Texts()[static_cast<std::size_t>(row.id)] = row.engineText;
}

void UseReportMessageTexts() {
  for (const MessageRow& row : kMessages) Texts()[static_cast<std::size_t>(row.id)] = row.reportText;
}

}  // namespace zentavo
