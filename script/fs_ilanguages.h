// The process-wide language registry: each script language is a name and a
// grammar document. The four shipped languages are registered on first use.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "script/fs_igrammar.h"

namespace zentavo {

// Replaces the grammar of a name already registered (ignoring case) or adds one.
void RegisterLanguage(const std::string& name, const std::string& grammarText);
// The grammar text, or an error "Language 'NAME' not found".
std::string GetLanguageGrammar(const std::string& name);
// Registered names in registration order.
std::vector<std::string> RegisteredLanguages();
// The grammar read once and kept until the language is registered again:
// compiling many texts in one language reads its document only once.
std::shared_ptr<const TfsGrammar> GetCompiledGrammar(const std::string& name);

}  // namespace zentavo
