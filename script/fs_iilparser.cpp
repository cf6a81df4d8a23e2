// The grammar walk: terminals, sequences, switches, loops and optionals over
// the lexer, error recording (first error wins), node and leaf output, units
// and "#language" switching; the output lines become the syntax tree.
#include "script/fs_iilparser.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/Cp1254.h"
#include "platform/ScopeGuard.h"
#include "script/fs_ilanguages.h"

namespace zentavo {

namespace {

struct WalkTooDeep {
  int position;
};

std::string Attr(const char* name, const std::string& value) {
  return std::string(name) + "=\"" + value + "\"";
}

std::string ReadUnitFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  if (!in) throw std::runtime_error("Cannot open file \"" + name + "\"");
  std::ostringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

}  // namespace

void TfsILParser::LoadLanguage(const std::string& name) {
  lexer_.Reset();
  languageName_ = name;
  grammar_ = GetCompiledGrammar(name);
  grammar_->ApplySettings(lexer_);
  if (program_.ExtendedIdentChars)
    for (int c = 128; c < 256; ++c) lexer_.AddIdentChar(static_cast<unsigned char>(c));
}

bool TfsILParser::BuildSyntaxTree(std::string_view text) {
  if (unitDepth_ == 0) {
    UsesList.clear();
    program_.ErrorUnit.clear();
  }
  bool ok = BuildTree(text);
  program_.ErrorMsg = errorText_;
  program_.ErrorPos = errorPoint_;
  return ok;
}

void TfsILParser::SkipBlank() {
  // White space, comments and (where they are significant) line ends.
  for (;;) {
    lexer_.SkipSpaces();
    int before = lexer_.Position();
    if (!lexer_.GetEOL() || lexer_.Position() == before) break;
  }
}

bool TfsILParser::BuildTree(std::string_view text) {
  errorText_.clear();
  errorPoint_.clear();
  termFlag_ = false;
  out_.clear();
  tree_.Clear();
  lexer_.SetText(text);
  if (grammar_ == nullptr) throw std::runtime_error("Language '' not found");

  int start = 1;
  if (!text.empty() && text[0] == '#') {
    lexer_.SetPosition(2);
    if (cp1254::LowerCase(lexer_.GetWord()) == "language") {
      std::size_t from = static_cast<std::size_t>(lexer_.Position() - 1);
      std::size_t end = text.find_first_of("\r\n", from);
      if (end == std::string_view::npos) end = text.size();
      std::string_view name = text.substr(from, end - from);
      while (!name.empty() && static_cast<unsigned char>(name.front()) <= 32) name.remove_prefix(1);
      while (!name.empty() && static_cast<unsigned char>(name.back()) <= 32) name.remove_suffix(1);
      LoadLanguage(std::string(name));
      // The line ends with CR LF, or with a bare LF in text from this platform.
      if (end < text.size() && text[end] == '\r') ++end;
      if (end < text.size() && text[end] == '\n') ++end;
      start = static_cast<int>(end) + 1;
    }
  }

  // An empty text (or only comments) is an empty program in every language.
  lexer_.SetPosition(start);
  SkipBlank();
  bool ok = true;
  if (lexer_.Position() <= lexer_.Size()) {
    lexer_.SetPosition(start);
    try {
      ok = Walk(*grammar_->Program(), false);
    } catch (const WalkTooDeep& deep) {
      out_.clear();
      RecordMessage(kTooDeep, deep.position);
      ok = false;
    }
    if (errorText_.empty()) {
      // Text the program rule did not take is an error at its first token,
      // never silently dropped; where the walk failed outright that is the
      // first token of the text.
      if (!ok) lexer_.SetPosition(start);
      if (!ok || !grammar_->TrailingError().empty()) {
        SkipBlank();
        if (lexer_.Position() <= lexer_.Size()) {
          const std::string& message = grammar_->TrailingError();
          RecordMessage(message.empty() ? grammar_->ErrorMessage("err3") : message,
                        lexer_.Position());
        }
      }
      if (!ok && errorText_.empty()) out_.clear();  // nothing but blanks: an empty program
    }
  }
  if (!errorText_.empty()) {
    out_.clear();
    return false;
  }
  MakeTree();
  return true;
}

void TfsILParser::MakeTree() {
  TfsXMLItem& root = tree_.Root();
  root.Name = "program";
  root.Text.clear();
  std::vector<TfsXMLItem*> open{&root};
  for (OutLine& line : out_) {
    switch (line.kind) {
      case OutLine::Open: {
        TfsXMLItem* item = open.back()->Add();
        item->Name = std::move(line.name);
        item->Text = std::move(line.attrs);
        open.push_back(item);
        break;
      }
      case OutLine::Close:
        if (open.size() > 1) open.pop_back();
        break;
      case OutLine::Leaf: {
        TfsXMLItem* item = open.back()->Add();
        item->Name = std::move(line.name);
        item->Text = std::move(line.attrs);
        break;
      }
      case OutLine::Unit:
        open.back()->AddItem(line.unit.release());
        break;
    }
  }
  out_.clear();
  root.Add()->Assign(grammar_->Types());
}

void TfsILParser::RecordMessage(const std::string& message, int position) {
  if (!errorText_.empty()) return;
  int saved = lexer_.Position();
  lexer_.SetPosition(position);
  lexer_.SkipSpaces();
  errorText_ = message;
  errorPoint_ = lexer_.GetXYPosition();
  lexer_.SetPosition(saved);
}

void TfsILParser::RecordError(const GrammarElement& e, int entryPos) {
  if (!e.hasErr || !errorText_.empty()) return;
  RecordMessage(e.errText, entryPos);
  termFlag_ = e.term;
}

void TfsILParser::AddLeaf(const std::string& name, const std::string& text) {
  out_.push_back({OutLine::Leaf, name,
                  Attr("text", fsxml::StrToXML(text)) + " " +
                      Attr("pos", lexer_.GetXYPosition()),
                  nullptr});
}

bool TfsILParser::WalkChildren(const GrammarElement& e, int entryPos) {
  for (std::size_t i = 0; i < e.children.size(); ++i)
    if (!Walk(e.children[i], i + 1 == e.children.size())) {
      lexer_.SetPosition(entryPos);
      return false;
    }
  return true;
}

bool TfsILParser::Walk(const GrammarElement& e, bool last) {
  // Only an element that more of its construct follows nests: the links of
  // a chain of "ElseIf" branches or prefix operators each end their
  // construct, and such a chain is bounded by the frames alone.
  if (frames_ >= kMaxWalkFrames || (!last && depth_ >= kMaxWalkDepth)) throw WalkTooDeep{lexer_.Position()};
  ScopedValue frames(frames_, frames_ + 1);
  ScopedValue depth(depth_, last ? depth_ : depth_ + 1);

  int entryPos = lexer_.Position();
  std::size_t entryLines = out_.size();
  switch (e.kind) {
    case GrammarKind::Rule: {
      bool ok = WalkChildren(e, entryPos);
      if (!e.node.empty()) CloseNode(e, ok, entryPos, entryLines);
      return ok;
    }
    case GrammarKind::Switch:
    case GrammarKind::OptionalSwitch:
      for (const GrammarElement& child : e.children)
        if (Walk(child, true)) return true;
      if (e.kind == GrammarKind::OptionalSwitch) return true;
      RecordError(e, entryPos);
      lexer_.SetPosition(entryPos);
      return false;
    case GrammarKind::Loop:
    case GrammarKind::OptionalLoop:
      return WalkLoop(e, entryPos);
    case GrammarKind::Optional:
      if (!WalkChildren(e, entryPos)) lexer_.SetPosition(entryPos);
      return true;
    case GrammarKind::Sequence:
      // The children first, so that a node on a sequence wraps what they wrote.
      if (!WalkChildren(e, entryPos)) return false;
      return Finish(e, entryPos, entryLines, std::string());
    case GrammarKind::Eol:
      if (!lexer_.GetEOL()) {
        RecordError(e, entryPos);
        lexer_.SetPosition(entryPos);
        return false;
      }
      return Finish(e, entryPos, entryLines, std::string());
    case GrammarKind::Reference:
      if (e.rule == nullptr) throw std::runtime_error("Invalid language definition");
      if (!Walk(*e.rule, e.children.empty())) {
        RecordError(e, entryPos);
        lexer_.SetPosition(entryPos);
        return false;
      }
      return Finish(e, entryPos, entryLines, std::string());
    default:
      return WalkTerminal(e, entryPos, entryLines);
  }
}

bool TfsILParser::WalkTerminal(const GrammarElement& e, int entryPos, std::size_t entryLines) {
  std::string token;
  switch (e.kind) {
    case GrammarKind::Char:
      if (e.skip) lexer_.SkipSpaces();
      token = lexer_.GetChar();
      break;
    case GrammarKind::Keyword:
      token = lexer_.GetWord();
      break;
    case GrammarKind::Ident:
      token = lexer_.GetIdent();
      break;
    case GrammarKind::Number:
      token = lexer_.GetNumber();
      break;
    case GrammarKind::String:
      token = lexer_.GetString();
      break;
    case GrammarKind::FRString:
      token = lexer_.GetFRString();
      break;
    default:
      break;
  }
  bool match = !token.empty();
  if (match && !e.text.empty())
    match = lexer_.CaseSensitive ? token == e.text : cp1254::SameText(token, e.text);
  if (!match) {
    RecordError(e, entryPos);
    lexer_.SetPosition(entryPos);
    return false;
  }
  if (e.kind == GrammarKind::FRString) {
    // A report expression in angle brackets is a call of the host's Get with
    // the bracketed text as its one string argument.
    std::string pos = Attr("pos", lexer_.GetXYPosition());
    out_.push_back({OutLine::Open, "dsgn", pos, nullptr});
    AddLeaf("node", "Get");
    out_.push_back({OutLine::Open, "expr", pos + " " + Attr("pos1", lexer_.GetXYPosition()), nullptr});
    AddLeaf("string", "'" + token + "'");
    out_.push_back({OutLine::Close, "expr", {}, nullptr});
    out_.push_back({OutLine::Close, "dsgn", {}, nullptr});
  }
  return Finish(e, entryPos, entryLines, token);
}

bool TfsILParser::Finish(const GrammarElement& e, int entryPos, std::size_t entryLines,
                         const std::string& token) {
  if (!e.node.empty()) CloseNode(e, true, entryPos, entryLines);
  if (e.hasAdd) AddLeaf(e.add, e.hasAddText ? e.addText : token);
  if (e.kind != GrammarKind::Sequence && !e.children.empty() && !WalkChildren(e, entryPos))
    return false;
  return true;
}

bool TfsILParser::WalkLoop(const GrammarElement& e, int entryPos) {
  int repetitions = 0;
  int lastGoodEnd = entryPos;
  bool lastResult = false;
  bool errorBeforeLast = false;
  for (;;) {
    ++repetitions;
    errorBeforeLast = !errorText_.empty();
    int start = lexer_.Position();
    bool ok = true;
    for (const GrammarElement& child : e.children)
      if (!Walk(child, false)) {
        ok = false;
        break;
      }
    int after = lexer_.Position();
    lastResult = ok;
    if (!ok) break;
    lastGoodEnd = after;
    if (!e.text.empty()) {
      lexer_.SkipSpaces();
      std::string separator = lexer_.GetChar();
      if (separator != e.text) {
        lexer_.SetPosition(after);
        break;
      }
    }
    if (lexer_.Position() == start) break;  // no progress: stop rather than loop forever
  }
  bool result;
  if (repetitions > 1) {
    result = true;
    // The failed last repetition may have recorded an error that does not
    // belong to the text (it only showed where the list ends).
    if (!errorBeforeLast && !errorText_.empty() && (e.skipErr || termFlag_)) {
      errorText_.clear();
      errorPoint_.clear();
      termFlag_ = false;
    }
    lexer_.SetPosition(lastGoodEnd);
  } else {
    result = lastResult;
  }
  if (!result && e.kind == GrammarKind::OptionalLoop) {
    lexer_.SetPosition(entryPos);
    // A list that is simply absent, such as the empty parameter list of
    // DarozOzuziz "Sub Main()", fails its first item right where it starts:
    // that item's provisional error only shows where the list ends, as it
    // does after the last item of a longer list.
    if (!errorBeforeLast && termFlag_ && !errorText_.empty()) {
      lexer_.SkipSpaces();
      if (lexer_.GetXYPosition() == errorPoint_) {
        errorText_.clear();
        errorPoint_.clear();
        termFlag_ = false;
      }
      lexer_.SetPosition(entryPos);
    }
    return true;
  }
  if (!result) lexer_.SetPosition(entryPos);
  return result;
}

void TfsILParser::CloseNode(const GrammarElement& e, bool success, int entryPos,
                            std::size_t entryLines) {
  if (e.isUses) {
    CloseUses(entryLines);
    return;
  }
  if (!success) {
    out_.resize(entryLines);
    return;
  }
  int now = lexer_.Position();
  lexer_.SetPosition(entryPos);
  lexer_.SkipSpaces();
  std::string attrs = Attr("pos", lexer_.GetXYPosition());
  lexer_.SetPosition(now);
  if (e.isExpr) attrs += " " + Attr("pos1", lexer_.GetXYPosition());
  out_.insert(out_.begin() + static_cast<std::ptrdiff_t>(entryLines),
              OutLine{OutLine::Open, e.node, std::move(attrs), nullptr});
  out_.push_back({OutLine::Close, e.node, {}, nullptr});
}

void TfsILParser::CloseUses(std::size_t entryLines) {
  // The file leaves of a uses clause become the included units' trees; the
  // units named later in one clause come first, as they always have.
  std::vector<std::string> names;
  std::vector<OutLine> kept;
  for (std::size_t i = entryLines; i < out_.size(); ++i) {
    if (out_[i].kind == OutLine::Leaf) {
      TfsXMLItem leaf;
      leaf.Text = out_[i].attrs;
      std::string name = leaf.Prop("text");
      if (name.size() >= 2 && name.front() == '\'' && name.back() == '\'')
        name = name.substr(1, name.size() - 2);
      names.push_back(name);
    } else {
      kept.push_back(std::move(out_[i]));
    }
  }
  out_.resize(entryLines);
  std::size_t insertAt = entryLines;
  for (std::size_t i = names.size(); i-- > 0;) {
    std::unique_ptr<TfsXMLItem> unit = IncludeUnit(names[i]);
    if (unit)
      out_.insert(out_.begin() + static_cast<std::ptrdiff_t>(insertAt++),
                  OutLine{OutLine::Unit, "uses", {}, std::move(unit)});
  }
  for (OutLine& line : kept) out_.push_back(std::move(line));
}

std::unique_ptr<TfsXMLItem> TfsILParser::IncludeUnit(const std::string& name) {
  std::string lowered = cp1254::LowerCase(name);
  for (const std::string& used : UsesList)
    if (cp1254::LowerCase(used) == lowered) return nullptr;  // each unit once
  UsesList.push_back(name);
  std::string text;
  if (program_.OnGetUnit)
    program_.OnGetUnit(name, text);
  else
    text = ReadUnitFile(name);

  auto uses = std::make_unique<TfsXMLItem>(kFsXMLSettings.nameCase);
  uses->Name = "uses";
  uses->Text = Attr("unit", fsxml::StrToXML(name));
  if (text.empty()) return uses;
  if (unitDepth_ + 1 > kMaxUnitDepth)
    throw std::runtime_error("Units nested too deeply at unit '" + name + "'");
  TfsILParser unit(program_);
  unit.unitDepth_ = unitDepth_ + 1;
  unit.depth_ = depth_;
  unit.LoadLanguage(languageName_);
  unit.UsesList = UsesList;
  unit.UnitName = name;
  if (unit.BuildTree(text)) {
    UsesList = unit.UsesList;
    uses->Add()->Assign(unit.tree_.Root());
  } else {
    if (errorText_.empty()) {
      errorText_ = unit.errorText_;
      errorPoint_ = unit.errorPoint_;
    }
    if (program_.ErrorUnit.empty()) program_.ErrorUnit = name;
  }
  return uses;
}

}  // namespace zentavo
