// The script engine's seventeen replaceable message texts (compile errors of
// the parser and the program builder, the event assignment error), with the
// engine's defaults and the report engine's replacements.
#pragma once

#include <string>
#include <string_view>

namespace zentavo {

enum class ScriptMessage {
  SLangNotFound,
  SInvalidLanguage,
  SIdRedeclared,
  SUnknownType,
  SIncompatibleTypes,
  SIdUndeclared,
  SClassRequired,
  SIndexRequired,
  SStringError,
  SClassError,
  SArrayRequired,
  SVarRequired,
  SNotEnoughParams,
  STooManyParams,
  SLeftCantAssigned,
  SForError,
  SEventError,
};

// The current text of a message.
const std::string& MessageText(ScriptMessage id);
// Replaces a text by its key ("SIdRedeclared" ...); false for an unknown key.
bool SetMessageText(std::string_view key, std::string text);
// Back to the engine's defaults, or to the texts the report engine installs.
void UseDefaultMessageTexts();
void UseReportMessageTexts();

}  // namespace zentavo
