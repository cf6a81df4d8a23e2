// The declaration-text parser: a small tokenizer over VadoziDaruro words,
// numbers, quoted strings and punctuation.
#include "script/fs_idecl.h"
#include "platform/Cp1254.h"

#include "script/fs_ierror.h"

namespace zentavo {

namespace {

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }


class DeclLexer {
 public:
  explicit DeclLexer(std::string_view text) : text_(text) {}

  [[noreturn]] void Fail() const { throw ScriptError("Invalid declaration: " + std::string(text_)); }

  void SkipBlanks() {
    while (pos_ < text_.size() && static_cast<unsigned char>(text_[pos_]) <= ' ') ++pos_;
  }
  char Peek() {
    SkipBlanks();
    return pos_ < text_.size() ? text_[pos_] : '\0';
  }
  bool Accept(char c) {
    if (Peek() != c) return false;
    ++pos_;
    return true;
  }
  void Expect(char c) {
    if (!Accept(c)) Fail();
  }
  std::string Word() {
    SkipBlanks();
    if (pos_ >= text_.size() || !IsIdentStart(text_[pos_])) Fail();
    std::size_t start = pos_;
    while (pos_ < text_.size() && IsIdentChar(text_[pos_])) ++pos_;
    return std::string(text_.substr(start, pos_ - start));
  }
  bool AtWord() { return IsIdentStart(Peek()); }
  // A number ("12", "1.5", "$FF", "1e3") or a quoted string, as written.
  std::string Literal() {
    SkipBlanks();
    std::size_t start = pos_;
    if (pos_ < text_.size() && text_[pos_] == '\'') {
      ++pos_;
      while (pos_ < text_.size()) {
        if (text_[pos_] == '\'') {
          if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
            pos_ += 2;
            continue;
          }
          ++pos_;
          return std::string(text_.substr(start, pos_ - start));
        }
        ++pos_;
      }
      Fail();
    }
    while (pos_ < text_.size() && (IsIdentChar(text_[pos_]) || text_[pos_] == '.' || text_[pos_] == '$' ||
                                   ((text_[pos_] == '+' || text_[pos_] == '-') && pos_ > start &&
                                    (text_[pos_ - 1] == 'e' || text_[pos_ - 1] == 'E'))))
      ++pos_;
    if (pos_ == start) Fail();
    return std::string(text_.substr(start, pos_ - start));
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// The value of a quoted literal with doubled quotes undone.
Variant StringLiteral(const std::string& quoted) {
  std::string out;
  for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
    out += quoted[i];
    if (quoted[i] == '\'' && quoted[i + 1] == '\'') ++i;
  }
  return Variant::String(std::move(out));
}

}  // namespace

int TfsMethodDecl::RequiredCount() const {
  int n = 0;
  for (const TfsParamDecl& p : params)
    if (!p.optional) ++n;
  return n;
}

TfsMethodDecl ParseDeclaration(std::string_view text, const TfsDeclResolver& resolver) {
  DeclLexer lex(text);
  TfsMethodDecl decl;
  std::string keyword = lex.Word();
  if (keyword.size() > 5 && SameTextAscii(std::string_view(keyword).substr(0, 5), "macro")) {
    decl.textArguments = true;
    keyword.erase(0, 5);
  }
  decl.isFunction = SameTextAscii(keyword, "function");
  decl.name = lex.Word();
  if (decl.isFunction) {
    std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos) lex.Fail();
    DeclLexer tail(text.substr(colon + 1));
    decl.typeName = tail.Word();
    decl.typeCode = resolver.TypeCodeOf(decl.typeName);
  }
  if (lex.Accept('(')) {
    if (!lex.Accept(')')) {
      for (;;) {
        bool byRef = false;
        if (lex.AtWord()) {
          // "var" and "const" stand before the names; a parameter may itself be called Var.
          std::string first = lex.Word();
          std::vector<std::string> names;
          if (SameTextAscii(first, "var") && lex.AtWord()) byRef = true;
          else if (SameTextAscii(first, "const") && lex.AtWord()) {
          } else {
            names.push_back(first);
          }
          if (names.empty()) names.push_back(lex.Word());
          while (lex.Accept(',')) names.push_back(lex.Word());
          lex.Expect(':');
          std::string typeName = lex.Word();
          Variant defaultValue = Variant::Null();
          if (lex.Accept('=')) {
            bool negative = lex.Accept('-');
            if (lex.AtWord() && !negative) {
              std::string name = lex.Word();
              if (auto v = resolver.ValueOf(name)) defaultValue = *v;
            } else {
              std::string literal = lex.Literal();
              defaultValue = literal[0] == '\'' ? StringLiteral(literal) : ParseConstant(literal);
              if (negative) defaultValue = VarNeg(defaultValue);
            }
          }
          TypeCode code = resolver.TypeCodeOf(typeName);
          for (std::size_t i = 0; i < names.size(); ++i) {
            TfsParamDecl p;
            p.name = names[i];
            p.typeName = typeName;
            p.typeCode = code;
            p.byReference = byRef;
            // Only the group's last name receives the default.
            if (i + 1 == names.size()) {
              p.defaultValue = defaultValue;
              p.optional = !defaultValue.IsNull();
            }
            decl.params.push_back(std::move(p));
          }
        } else {
          lex.Fail();
        }
        if (lex.Accept(')')) break;
        lex.Expect(';');
      }
    }
  }
  return decl;
}

std::string ConstructorDeclaration(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
  while (i < text.size() && IsIdentChar(text[i])) ++i;
  return "function" + std::string(text.substr(i)) + ": Constructor";
}

std::string IndexPropertyDeclaration(std::string_view name, std::string_view paramTypes, std::string_view type) {
  std::string out = "function " + std::string(name) + "(";
  int n = 0;
  std::size_t start = 0;
  while (start <= paramTypes.size() && !paramTypes.empty()) {
    std::size_t comma = paramTypes.find(',', start);
    std::string_view t = paramTypes.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
    while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
    while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
    if (n > 0) out += "; ";
    out += "p" + std::to_string(n++) + ": " + std::string(t);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  out += "): " + std::string(type);
  return out;
}

}  // namespace zentavo
