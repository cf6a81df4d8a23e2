// Reading a grammar document into GrammarElement trees.
#include "script/fs_igrammar.h"

#include <stdexcept>

#include "platform/Cp1254.h"
#include "script/fs_iparser.h"

namespace zentavo {

namespace {

const char kInvalidDefinition[] = "Invalid language definition";
constexpr int kMaxGrammarDepth = 200;

struct KindName {
  const char* name;
  GrammarKind kind;
};
constexpr KindName kKinds[] = {
    {"char", GrammarKind::Char},
    {"keyword", GrammarKind::Keyword},
    {"ident", GrammarKind::Ident},
    {"number", GrammarKind::Number},
    {"string", GrammarKind::String},
    {"frstring", GrammarKind::FRString},
    {"eol", GrammarKind::Eol},
    {"sequence", GrammarKind::Sequence},
    {"switch", GrammarKind::Switch},
    {"optionalswitch", GrammarKind::OptionalSwitch},
    {"loop", GrammarKind::Loop},
    {"optionalloop", GrammarKind::OptionalLoop},
    {"optional", GrammarKind::Optional},
};

bool HasAttribute(const TfsXMLItem& item, std::string_view name) {
  std::string hay = cp1254::UpperCase(" " + item.Text);
  return hay.find(" " + cp1254::UpperCase(name) + "=\"") != std::string::npos;
}

}  // namespace

TfsGrammar::TfsGrammar(std::string_view grammarText) {
  TfsXMLDocument doc;
  doc.LoadFromString(grammarText);
  TfsXMLItem& root = doc.Root();
  if (cp1254::LowerCase(root.Name) != "language") throw std::runtime_error(kInvalidDefinition);
  displayName_ = root.Prop("text");

  std::string trailingErrName;
  int parser = root.Find("parser");
  if (parser >= 0) {
    const TfsXMLItem& p = *root.Items(parser);
    for (int i = 0; i < p.Count(); ++i) {
      const TfsXMLItem& s = *p.Items(i);
      std::string name = cp1254::LowerCase(s.Name);
      if (name == "keywords") {
        for (int k = 0; k < s.Count(); ++k) keywords_.push_back(s.Items(k)->Name);
      } else if (name == "errors") {
        for (int k = 0; k < s.Count(); ++k)
          errors_.emplace_back(cp1254::LowerCase(s.Items(k)->Name), s.Items(k)->Prop("text"));
      } else if (name == "declarevars") {
        if (s.Prop("text") == "0") needDeclareVars_ = false;
      } else if (name == "trailingtext") {
        // Our addition: which message reports text after the last statement.
        trailingErrName = s.Prop("text");
      } else {
        settings_.emplace_back(name, s.Prop("text"));
      }
    }
  }
  if (!trailingErrName.empty()) trailingError_ = ErrorMessage(trailingErrName);
  int types = root.Find("types");
  if (types >= 0) types_.Assign(*root.Items(types));
  types_.Name = "types";

  for (int i = 0; i < root.Count(); ++i) {
    const TfsXMLItem& r = *root.Items(i);
    std::string name = cp1254::LowerCase(r.Name);
    if (name == "parser" || name == "types") continue;
    rules_.emplace_back();
    GrammarElement& rule = rules_.back();
    CompileElement(r, rule, 0);
    rule.kind = GrammarKind::Rule;
  }
  ResolveReferences();
  for (const GrammarElement& r : rules_)
    if (cp1254::LowerCase(r.name) == "program") program_ = &r;
  if (program_ == nullptr) throw std::runtime_error(kInvalidDefinition);
}

std::string TfsGrammar::ErrorMessage(std::string_view errName) const {
  std::string lowered = cp1254::LowerCase(errName);
  for (const auto& e : errors_)
    if (e.first == lowered && !e.second.empty()) return e.second;
  // A grammar naming a message it lacks shows the name, never an empty error.
  return std::string(errName);
}

void TfsGrammar::CompileElement(const TfsXMLItem& source, GrammarElement& target, int depth) {
  if (depth > kMaxGrammarDepth) throw std::runtime_error(kInvalidDefinition);
  target.name = source.Name;
  std::string lowered = cp1254::LowerCase(source.Name);
  target.kind = GrammarKind::Reference;
  for (const KindName& k : kKinds)
    if (lowered == k.name) target.kind = k.kind;
  target.text = cp1254::LowerCase(source.Prop("text"));
  if (HasAttribute(source, "err")) {
    target.hasErr = true;
    target.errText = ErrorMessage(source.Prop("err"));
  }
  target.term = source.Prop("term") == "1";
  std::string skip = source.Prop("skip");
  target.skip = skip != "0";
  target.skipErr = skip == "1";
  target.node = cp1254::LowerCase(source.Prop("node"));
  target.isExpr = target.node == "expr";
  target.isUses = target.node == "uses";
  if (HasAttribute(source, "add")) {
    target.hasAdd = true;
    target.add = source.Prop("add");
    if (HasAttribute(source, "addtext")) {
      target.hasAddText = true;
      target.addText = source.Prop("addtext");
    }
  }
  target.children.resize(static_cast<std::size_t>(source.Count()));
  for (int i = 0; i < source.Count(); ++i)
    CompileElement(*source.Items(i), target.children[static_cast<std::size_t>(i)], depth + 1);
}

void TfsGrammar::ResolveReferences() {
  std::vector<GrammarElement*> work;
  for (GrammarElement& r : rules_) work.push_back(&r);
  while (!work.empty()) {
    GrammarElement* e = work.back();
    work.pop_back();
    if (e->kind == GrammarKind::Reference) {
      std::string name = cp1254::LowerCase(e->name);
      for (const GrammarElement& r : rules_)
        if (cp1254::LowerCase(r.name) == name) {
          e->rule = &r;
          break;
        }
      // An undefined rule is reported when the walk reaches it.
    }
    for (GrammarElement& c : e->children) work.push_back(&c);
  }
}

void TfsGrammar::ApplySettings(TfsParser& lexer) const {
  for (const std::string& k : keywords_) lexer.AddKeyword(k);
  for (const auto& [name, text] : settings_) {
    if (name == "identchars") lexer.SetIdentChars(text);
    else if (name == "commentline1") lexer.CommentLine1 = text;
    else if (name == "commentline2") lexer.CommentLine2 = text;
    else if (name == "commentblock1") lexer.CommentBlock1 = text;
    else if (name == "commentblock2") lexer.CommentBlock2 = text;
    else if (name == "stringquotes") lexer.StringQuotes = text;
    else if (name == "hexsequence") lexer.HexSequence = text;
    else if (name == "skipeol") lexer.SkipEOL = text != "0";
    else if (name == "skipchar") lexer.SkipChar = text;
    else if (name == "casesensitive") lexer.CaseSensitive = text == "1";
    // Unknown settings are ignored.
  }
}

}  // namespace zentavo
