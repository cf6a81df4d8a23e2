// The report's script program and its expression cache.
#include "report/frxReportScript.h"

#include <stdexcept>

#include "platform/Cp1254.h"
#include "platform/ScopeGuard.h"
#include "platform/Text.h"
#include "report/frxCustomEngine.h"
#include "report/frxCustomPreviewPages.h"
#include "report/frxDataSet.h"
#include "report/frxReport.h"
#include "report/frxReportModule.h"
#include "report/frxRes.h"
#include "report/frxScriptBinding.h"
#include "script/fs_ilanguages.h"
#include "script/fs_imessages.h"

namespace zentavo {

namespace {

// An error that already names the object it happened in: it passes through
// the handlers of enclosing events (Engine.ShowBand from a handler) as it is.
class ObjectScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

const HostClassInfo& EngineObjectClass() {
  static const HostClassInfo cls{"TfrxEngine", &ScriptClassOf(TfrxCustomEngine::StaticClassInfo())};
  return cls;
}

const HostClassInfo& OutlineObjectClass() {
  static const HostClassInfo cls{"TfrxOutline", &ScriptClassOf(TfrxCustomOutline::StaticClassInfo())};
  return cls;
}

bool IsAggregateCall(const std::string& text) {
  std::size_t paren = text.find('(');
  if (paren == std::string::npos) return false;
  std::string head = cp1254::UpperCase(TrimBlanks(std::string_view(text).substr(0, paren)));
  return head == "SUM" || head == "MIN" || head == "MAX" || head == "AVG" || head == "COUNT";
}

// The one-function program that holds an expression, in each language.
std::string ExpressionProgram(const std::string& language, const std::string& function, const std::string& expr) {
  std::string lang = cp1254::UpperCase(language);
  if (lang == "R++IZOZEV") return "Variant " + function + "() { return " + expr + "; } {}";
  if (lang == "DAROZOZUZIZ") return "function " + function + "\r\nreturn " + expr + "\r\nend function";
  if (lang == "JSCRIPT") return "function " + function + "() { return " + expr + "; }";
  return "function " + function + ": Variant; begin Result := " + expr + " end; begin end.";
}

// Whether a script text holds no statement and no declaration: only blanks,
// or the language's empty main block, in a language the engine has.
struct EmptyProgramText {
  std::string_view language;
  std::string_view text;
};
constexpr EmptyProgramText kEmptyPrograms[] = {
    {"VADOZIDARURO", "BEGINEND."},
    {"DAROZOZUZIZ", "BEGINEND."},
    {"R++IZOZEV", "{}"},
    {"JSCRIPT", "{}"},
};

std::string Squeezed(std::string_view s) {
  std::string out;
  for (char c : s)
    if (static_cast<unsigned char>(c) > ' ') out += static_cast<char>(cp1254::ToUpper(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

bool IsEmptyProgram(const std::string& language, const std::string& text) {
  std::string lang = Squeezed(language);
  bool known = false;
  for (const std::string& l : RegisteredLanguages()) known = known || Squeezed(l) == lang;
  if (!known) return false;  // the compiler says what is wrong with the language
  std::string squeezed = Squeezed(text);
  if (squeezed.empty()) return true;
  for (const auto& p : kEmptyPrograms)
    if (p.language == lang && p.text == squeezed) return true;
  return false;
}

TfrxReportScript::TfrxReportScript(TfrxReport& report) : report_(report) {}

bool TfrxReportScript::Prepare() {
  bound_ = false;
  value_ = Variant::Null();
  // The label templates carry the empty program: there is nothing to
  // compile, and the script is bound only when an expression or an event
  // needs it, so a label costs no library.
  if (IsEmptyProgram(report_.ScriptLanguage, report_.ScriptText.Text())) {
    expressions_.SetParent(nullptr);
    expressions_.Clear();
    compiled_.clear();
    nextFunction_ = 0;
    program_.ClearItems(kReportRegistrant);
    return true;
  }
  Bind();
  program_.SyntaxType = report_.ScriptLanguage;
  program_.Lines = report_.ScriptText.Text();
  // What the compiler adds carries the report's tag too, so the next
  // preparation removes the program with the report's items.
  bool compiled;
  {
    ScopedValue tag(program_.Registrant, kReportRegistrant);
    compiled = program_.Compile();
  }
  if (compiled) return true;
  report_.AddError(FormatResource("clScrError", program_.ErrorPosition, program_.ErrorMessage));
  return false;
}

void TfrxReportScript::EnsureBound() {
  if (!bound_) Bind();
}

void TfrxReportScript::Bind() {
  bound_ = true;
  InstallReportModule();
  expressions_.SetParent(nullptr);
  expressions_.Clear();
  compiled_.clear();
  nextFunction_ = 0;

  program_.ExtendedIdentChars = true;
  program_.AddLibrary();
  program_.ClearItems(kReportRegistrant);
  {
    ScopedValue tag(program_.Registrant, kReportRegistrant);
    ObjectTable& objects = program_.Objects();
    // The objects of the previous preparation went with its reload.
    objects.Sweep();
    // An object whose name the script knows already (a library function
    // such as Date) is not added: the name keeps its meaning.
    for (TfrxComponent* c : report_.AllObjects())
      if (!c->Name().empty()) program_.AddVariable(c->Name(), c->ClassName(), ObjectValue(objects, c));
    program_.AddVariable("Report", report_.ClassName(), ObjectValue(objects, &report_));
    TfrxPersistent* engine = &report_.Engine();
    program_.AddVariable("Engine", EngineObjectClass().name,
                         Variant::Object(objects.Register(engine, &EngineObjectClass(), report_.LifeToken())));
    TfrxPersistent* outline = &report_.PreviewPages().ScriptOutline();
    program_.AddVariable("Outline", OutlineObjectClass().name,
                         Variant::Object(objects.Register(outline, &OutlineObjectClass(), report_.LifeToken())));
    program_.AddVariable("Value", "Variant", value_);
    AddHostItems();
  }
  program_.SetStopFlag(&report_.Interrupt);
}

void TfrxReportScript::AddHostItems() {
  program_.AddMethod(
      "function Get(Name: String): Variant",
      [this](const Variant&, const HostClassInfo*, Variant& result, std::vector<Variant>& params, const std::string&) {
        std::string name = VarToStr(params.at(0));
        if (LookupName(name, result)) return;
        if (IsAggregateCall(name)) {
          result = Calc(name);
          return;
        }
        report_.AddError(frxResources().Get("clUnknownVar") + " " + name);
        result = Variant::Null();
      },
      "", "");
  program_.AddMethod(
      "procedure Set(Name: String; Value: Variant)",
      [this](const Variant&, const HostClassInfo*, Variant&, std::vector<Variant>& params, const std::string&) {
        report_.SetVariable(VarToStr(params.at(0)), params.at(1));
      },
      "", "");
  program_.AddMethod(
      "macrofunction IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant",
      [this](const Variant&, const HostClassInfo*, Variant& result, std::vector<Variant>& params, const std::string&) {
        // Only the branch chosen is evaluated.
        bool condition = VarEquals(Calc(VarToStr(params.at(0))), Variant::Boolean(true));
        result = Calc(VarToStr(params.at(condition ? 1 : 2)));
      },
      "", "");
  // The aggregates: the arguments arrive as text; the engine holds the
  // totals of the band being shown.
  auto aggregate = [this](bool count) {
    return [this, count](const Variant&, const HostClassInfo*, Variant& result, std::vector<Variant>& params,
                         const std::string& name) {
      auto text = [&](std::size_t i) {
        return i < params.size() ? std::string(TrimBlanks(VarToStr(params[i]))) : std::string();
      };
      const std::size_t first = count ? 0 : 1;
      std::string band = text(first), flagsText = text(first + 1);
      if (band == "0") band.clear();
      int flags = flagsText.empty() ? 0 : Calc(flagsText).ToInt32();
      result = report_.Engine().AggregateValue(name, count ? std::string() : text(0), band, flags);
    };
  };
  for (const char* name : {"SUM", "AVG", "MIN", "MAX"})
    program_.AddMethod(std::string("macrofunction ") + name +
                           "(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
                       TfsParamArrayCallback(aggregate(false)), "", "");
  program_.AddMethod("macrofunction COUNT(Band: Variant = 0; Flags: Integer = 0): Variant",
                     TfsParamArrayCallback(aggregate(true)), "", "");
}

bool TfrxReportScript::HasMainStatements() { return bound_ && !program_.Main().empty(); }

void TfrxReportScript::RunMain() { program_.Execute(); }

std::string TfrxReportScript::Failure(const std::string& message) const {
  return report_.CurObject.empty() ? message : report_.CurObject + ": " + message;
}

void TfrxReportScript::CallProcedure(const std::string& name, TfrxComponent* argument) {
  std::string procedure(TrimBlanks(name));
  if (procedure.empty()) return;
  EnsureBound();
  ScopedValue current(report_.CurObject, argument != nullptr ? argument->Name() : std::string());
  TfsItem* item = program_.FindLocal(procedure);
  if (item == nullptr || item->kind != ItemKind::Proc)
    throw ObjectScriptError(Failure(MessageText(ScriptMessage::SIdUndeclared) + "'" + procedure + "'"));
  Variant args = Variant::ArrayOf({ObjectValue(program_.Objects(), argument)});
  try {
    program_.CallFunction(procedure, args);
  } catch (const ObjectScriptError&) {
    throw;
  } catch (const std::exception& e) {
    throw ObjectScriptError(Failure(e.what()));
  }
}

bool TfrxReportScript::CallRunDialogs(const std::string& name) {
  std::string procedure(TrimBlanks(name));
  if (procedure.empty()) return true;
  EnsureBound();
  TfsItem* item = program_.FindLocal(procedure);
  if (item == nullptr || item->kind != ItemKind::Proc)
    throw std::runtime_error(MessageText(ScriptMessage::SIdUndeclared) + "'" + procedure + "'");
  Variant args = Variant::ArrayOf({Variant::Boolean(true)});
  program_.CallFunctionByRef(procedure, args);
  std::int32_t first = 0;
  return ArrayElement(args, 1, &first).ToBool();
}

bool TfrxReportScript::LookupField(const std::string& name, Variant& value) {
  // alias."field": the alias before the period and quote, the field
  // between them and the last character.
  std::size_t mark = name.find(".\"");
  if (mark == std::string::npos) return false;
  std::string field = name.substr(mark + 2);
  if (!field.empty()) field.pop_back();
  TfrxDataSet* ds = report_.GetDataset(name.substr(0, mark));
  if (ds == nullptr || field.empty()) return false;
  value = FieldValueToVariant(ds->Value(field));
  if (value.IsNull() && report_.EngineOptions.ConvertNulls) {
    switch (ds->FieldType(field)) {
      case TfrxFieldType::fftNumeric: value = Variant::Int(0); break;
      case TfrxFieldType::fftString: value = Variant::String(""); break;
      case TfrxFieldType::fftBoolean: value = Variant::Boolean(false); break;
    }
  }
  return true;
}

bool TfrxReportScript::LookupSystemVariable(const std::string& name, Variant& value) {
  const std::vector<std::string>& names = report_.SystemVariables;
  std::size_t index = 0;
  while (index < names.size() && !cp1254::SameText(names[index], name)) ++index;
  if (index >= names.size()) return false;
  TfrxCustomEngine& engine = report_.Engine();
  switch (index) {
    case 0: value = Variant::Date(engine.StartDate); return true;
    case 1: value = Variant::Date(engine.StartTime); return true;
    case 2: value = Variant::Int(engine.CurPageIndex() - engine.RunFirstPageIndex() + 1); return true;
    case 3: value = Variant::Int(engine.CurPageIndex() + 1); return true;
    case 4: value = Variant::Int(engine.TotalPages - engine.RunFirstPageIndex()); return true;
    case 5: value = Variant::Int(engine.TotalPages); return true;
    case 6: value = Variant::Int(engine.Line()); return true;
    case 7: value = Variant::Int(engine.LineThrough()); return true;
    default: return false;  // a name the report added to the list has no value of its own
  }
}

bool TfrxReportScript::LookupName(const std::string& name, Variant& value) {
  return LookupHostName(name, value) || LookupScriptName(name, value);
}

bool TfrxReportScript::LookupHostName(const std::string& name, Variant& value) {
  value = Variant::Null();
  if (LookupField(name, value) || LookupSystemVariable(name, value)) return true;
  if (report_.OnGetValue) {
    report_.OnGetValue(name, value);
    if (!value.IsEmptyOrNull()) return true;
    value = Variant::Null();
  }
  if (const TfrxVariable* v = report_.FindVariable(name)) {
    // A variable holds an expression when its value is one line of text.
    if (v->Value.IsString() && VarToStr(v->Value).find("\r\n") == std::string::npos) {
      std::string text = VarToStr(v->Value);
      if (!TrimBlanks(text).empty()) value = Calc(text);
    } else {
      value = v->Value;
    }
    return true;
  }
  return false;
}

bool TfrxReportScript::LookupScriptName(const std::string& name, Variant& value) {
  // Only a bound script has them.
  if (!bound_) return false;
  TfsItem* item = program_.Find(name);
  if (item == nullptr) return false;
  switch (item->kind) {
    case ItemKind::Variable:
    case ItemKind::StringVariable:
    case ItemKind::Param: value = item->value; return true;
    default: return false;
  }
}

void TfrxReportScript::SetValue(const Variant& value) {
  value_ = value;
  if (!bound_) return;
  if (TfsItem* item = program_.FindLocal("Value"); item != nullptr && item->kind == ItemKind::Variable)
    item->value = value;
}

Variant TfrxReportScript::Calc(const std::string& expression) {
  if (calcDepth_ >= kMaxCalcDepth) {
    std::string text = Failure(frxResources().Get("clExprError") + " '" + expression +
                               "': expressions are nested too deeply");
    report_.AddError(text);
    throw ObjectScriptError(text);
  }
  ScopedValue depth(calcDepth_, calcDepth_ + 1);
  Variant value;
  // Names of data fields, system and report variables need no script:
  // a label that shows only those costs no library.
  if (LookupHostName(expression, value)) return value;
  EnsureBound();
  if (LookupScriptName(expression, value)) return value;
  return Evaluate(expression);
}

Variant TfrxReportScript::Evaluate(const std::string& expression) {
  // Names resolve where the running procedure stands, or in the report's script.
  TfsScope* scope = program_.ActiveScope();
  expressions_.SetParent(scope != nullptr ? scope : &program_);
  std::string key = cp1254::UpperCase(expression);
  auto it = compiled_.find(key);
  if (it == compiled_.end()) {
    std::string function = "fr3f" + std::to_string(nextFunction_++);
    expressions_.SyntaxType = report_.ScriptLanguage;
    expressions_.Lines = ExpressionProgram(report_.ScriptLanguage, function, expression);
    if (!expressions_.Compile()) {
      std::string text =
          Failure(frxResources().Get("clExprError") + " '" + expression + "': " + expressions_.ErrorMessage);
      report_.AddError(text);
      throw ObjectScriptError(text);
    }
    it = compiled_.emplace(key, function).first;
  }
  try {
    return expressions_.CallFunction(it->second, Variant::Null());
  } catch (const ScriptStopped&) {
    throw;
  } catch (const ObjectScriptError&) {
    throw;
  } catch (const std::exception& e) {
    std::string text = Failure(e.what());
    report_.AddError(text);
    throw ObjectScriptError(text);
  }
}

}  // namespace zentavo
