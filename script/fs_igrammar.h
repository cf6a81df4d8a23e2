// A grammar document read once into a form the walk can use directly: element
// kinds decided, texts lowered, error messages and rule references resolved.
// Languages are compiled on first use and kept (see fs_ilanguages.h).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "script/fs_xml.h"

namespace zentavo {

class TfsParser;

enum class GrammarKind {
  Rule,  // a rule definition (child of the grammar root)
  Char,
  Keyword,
  Ident,
  Number,
  String,
  FRString,
  Eol,
  Sequence,
  Switch,
  OptionalSwitch,
  Loop,
  OptionalLoop,
  Optional,
  Reference,
};

struct GrammarElement {
  GrammarKind kind = GrammarKind::Sequence;
  std::string name;  // element name as written (rule name for rules and references)
  std::string text;  // lowered
  bool hasErr = false;
  std::string errText;  // the message, resolved through parser/errors
  bool term = false;
  bool skip = true;    // char: white space may precede it (skip="0" clears)
  bool skipErr = false;  // loop: skip="1"
  std::string node;    // lowered; empty when none
  bool isExpr = false, isUses = false;
  bool hasAdd = false;
  std::string add;
  bool hasAddText = false;
  std::string addText;
  const GrammarElement* rule = nullptr;  // references: the rule, or null when undefined
  std::vector<GrammarElement> children;
};

class TfsGrammar {
 public:
  // Reads a grammar document; "Invalid file format" or "Invalid language
  // definition" when it is not one.
  explicit TfsGrammar(std::string_view grammarText);

  const std::string& DisplayName() const { return displayName_; }
  // Puts the grammar's settings and keywords into a lexer that was just Reset.
  void ApplySettings(TfsParser& lexer) const;
  bool NeedDeclareVars() const { return needDeclareVars_; }
  const GrammarElement* Program() const { return program_; }
  const TfsXMLItem& Types() const { return types_; }
  // Message for text left over after the program; empty when the language
  // ignores what follows its end (VadoziDaruro after "end.").
  const std::string& TrailingError() const { return trailingError_; }
  std::string ErrorMessage(std::string_view errName) const;

 private:
  void CompileElement(const TfsXMLItem& source, GrammarElement& target, int depth);
  void ResolveReferences();

  std::string displayName_;
  std::vector<std::pair<std::string, std::string>> settings_;  // lowered name, text
  std::vector<std::string> keywords_;
  std::vector<std::pair<std::string, std::string>> errors_;  // lowered name, message
  bool needDeclareVars_ = true;
  std::string trailingError_;
  std::vector<GrammarElement> rules_;
  const GrammarElement* program_ = nullptr;
  TfsXMLItem types_{kFsXMLSettings.nameCase};
};

}  // namespace zentavo
