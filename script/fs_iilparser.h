// TfsILParser, first stage: walks a language's grammar over the source text
// and writes the syntax tree (an XML document rooted at "program").
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "script/fs_igrammar.h"
#include "script/fs_iparser.h"
#include "script/fs_xml.h"

namespace zentavo {

// What a compilation needs from the script it compiles for and reports back
// to it. The interpreter's script object carries one of these.
struct TfsParseTarget {
  bool ExtendedIdentChars = false;  // bytes 128-255 may be part of identifiers
  // Supplies the text of a unit named in a uses clause; when unset the unit
  // name is read as a file (relative to the current directory).
  std::function<void(const std::string& unitName, std::string& unitText)> OnGetUnit;
  std::string ErrorMsg;   // first error, empty on success
  std::string ErrorPos;   // "line:col"
  std::string ErrorUnit;  // unit in which the error lies, empty for the main text
};

class TfsILParser {
 public:
  explicit TfsILParser(TfsParseTarget& program) : program_(program) {}

  // Loads a registered language; "Language 'NAME' not found" when there is none.
  void LoadLanguage(const std::string& name);
  // Stage one. False with the program's ErrorMsg/ErrorPos set on a syntax
  // error; a malformed grammar, a missing unit file and the like throw.
  bool BuildSyntaxTree(std::string_view text);

  TfsXMLDocument& SyntaxTree() { return tree_; }
  TfsParser& Lexer() { return lexer_; }
  const std::string& LanguageName() const { return languageName_; }
  bool NeedDeclareVars() const { return grammar_ ? grammar_->NeedDeclareVars() : true; }

  std::string UnitName;               // empty for the main text
  std::vector<std::string> UsesList;  // units already included in this compilation

  // Grammar nesting the walk follows before it gives up with kTooDeep (only
  // elements that text follows within their construct count), the grammar
  // frames it keeps on the stack at most, and how deep units may include
  // units; all keep hostile text off the stack.
  static constexpr int kMaxWalkDepth = 3000;
  static constexpr int kMaxWalkFrames = 8000;
  static constexpr int kMaxUnitDepth = 16;
  static constexpr const char* kTooDeep = "Program nested too deeply";

 private:
  struct OutLine {
    enum Kind : unsigned char { Open, Close, Leaf, Unit } kind;
    std::string name;
    std::string attrs;
    std::unique_ptr<TfsXMLItem> unit;  // Unit: a finished "uses" element
  };

  bool BuildTree(std::string_view text);
  // `last`: nothing follows the element within its construct.
  bool Walk(const GrammarElement& e, bool last);
  bool WalkChildren(const GrammarElement& e, int entryPos);
  bool WalkLoop(const GrammarElement& e, int entryPos);
  bool WalkTerminal(const GrammarElement& e, int entryPos, std::size_t entryLines);
  bool Finish(const GrammarElement& e, int entryPos, std::size_t entryLines,
              const std::string& token);
  void RecordError(const GrammarElement& e, int entryPos);
  void RecordMessage(const std::string& message, int position);
  void CloseNode(const GrammarElement& e, bool success, int entryPos, std::size_t entryLines);
  void CloseUses(std::size_t entryLines);
  std::unique_ptr<TfsXMLItem> IncludeUnit(const std::string& name);
  void AddLeaf(const std::string& name, const std::string& text);
  void SkipBlank();
  void MakeTree();

  TfsParseTarget& program_;
  std::shared_ptr<const TfsGrammar> grammar_;
  std::string languageName_;
  TfsParser lexer_;
  TfsXMLDocument tree_;
  std::vector<OutLine> out_;
  std::string errorText_, errorPoint_;
  bool termFlag_ = false;
  int depth_ = 0;
  int frames_ = 0;
  int unitDepth_ = 0;
};

}  // namespace zentavo
