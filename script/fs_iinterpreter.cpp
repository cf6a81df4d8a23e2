#include "script/fs_iinterpreter.h"

#include <cstdio>

#include "platform/Cp1254.h"
#include "platform/ScopeGuard.h"
#include "script/fs_ibuilder.h"
#include "script/fs_iilparser.h"
#include "script/fs_imessages.h"

namespace zentavo {

std::string NameKey(std::string_view name) {
  std::string key;
  key.reserve(name.size());
  for (char ch : name) {
    auto c = static_cast<unsigned char>(ch);
    if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 32);
    else if (c == 0xFD) c = 'I';       // dotless i
    else if (c == 0xDD) c = 'I';       // dotted capital I
    else if (c >= 128) c = cp1254::ToUpper(c);
    key.push_back(static_cast<char>(c));
  }
  return key;
}

TfsScope::~TfsScope() { ClearScope(); }

void TfsScope::ClearScope() {
  main_.clear();
  index_.clear();
  // Newest first, as they were added on top of each other.
  while (!items_.empty()) items_.pop_back();
}

TfsItem* TfsScope::Add(std::unique_ptr<TfsItem> item) {
  TfsItem* raw = item.get();
  // What the program's own table receives carries the current registrant,
  // so the host removes a compiled program with its own items.
  if (program_ == this && raw->registrant == 0) raw->registrant = program_->Registrant;
  items_.push_back(std::move(item));
  if (!raw->name.empty()) index_[NameKey(raw->name)] = raw;
  return raw;
}

TfsItem* TfsScope::FindLocal(std::string_view name) const {
  auto it = index_.find(NameKey(name));
  return it == index_.end() ? nullptr : it->second;
}

TfsItem* TfsScope::Find(std::string_view name) const {
  std::string key = NameKey(name);
  for (const TfsScope* s = this; s; s = s->parent_) {
    auto it = s->index_.find(key);
    if (it != s->index_.end()) return it->second;
  }
  return nullptr;
}

void RunStatements(const TfsStmtList& list, TfsScope& scope) {
  TfsScript& program = scope.Program();
  for (const auto& st : list) {
    if (program.TerminateRequested()) return;
    st->Execute();
    if (scope.BreakFlag || scope.ContinueFlag || scope.ExitFlag) return;
  }
}

TfsScript::TfsScript() : TfsScope(this, nullptr) {}

void TfsScript::ShowMessage(const std::string& text) {
  if (OnShowMessage) {
    OnShowMessage(text);
    return;
  }
  std::fprintf(stderr, "%s\n", cp1254::ToUtf8(text).c_str());
}
TfsScript::~TfsScript() {
  // Objects first: their destroyers may belong to classes in the table.
  EndProgram();
}

TfsItem* TfsScript::NewUnnamed(std::unique_ptr<TfsItem> item) {
  item->name.clear();
  return Add(std::move(item));
}

void TfsScript::Clear() {
  EndProgram();
  main_.clear();
  index_.clear();
  std::vector<std::unique_ptr<TfsItem>> kept;
  for (auto& item : items_)
    if (item->registrant == 1) kept.push_back(std::move(item));
  while (!items_.empty()) items_.pop_back();
  for (auto& item : kept) Add(std::move(item));
  codeLines_.clear();
  ErrorMessage.clear();
  ErrorPosition.clear();
  ErrorUnitName.clear();
}

void TfsScript::RemoveItems(int tag) {
  // Event handlers in host objects may name procedures that go now.
  alive_ = std::make_shared<int>(0);
  std::vector<std::unique_ptr<TfsItem>> kept;
  for (auto& item : items_)
    if (item->registrant != tag) kept.push_back(std::move(item));
  index_.clear();
  while (!items_.empty()) items_.pop_back();
  for (auto& item : kept) {
    TfsItem* raw = item.get();
    items_.push_back(std::move(item));
    if (!raw->name.empty()) index_[NameKey(raw->name)] = raw;
  }
}

void TfsScript::ClearItems(int tag) {
  EndProgram();
  RemoveItems(tag);
  main_.clear();
  codeLines_.clear();
}

void TfsScript::AddEnumValues(std::string_view typeName, std::string_view names, bool powers) {
  auto type = std::make_unique<TfsItem>();
  type->name = std::string(typeName);
  type->type = {tcEnum, std::string(typeName)};
  type->value = Variant::Null();
  type->registrant = Registrant;
  Add(std::move(type));
  std::int64_t value = powers ? 1 : 0;
  std::size_t start = 0;
  while (start <= names.size()) {
    std::size_t comma = names.find(',', start);
    if (comma == std::string_view::npos) comma = names.size();
    std::string_view n = names.substr(start, comma - start);
    while (!n.empty() && n.front() == ' ') n.remove_prefix(1);
    while (!n.empty() && n.back() == ' ') n.remove_suffix(1);
    if (!n.empty()) {
      auto item = std::make_unique<TfsItem>();
      item->name = std::string(n);
      item->type = {tcEnum, std::string(typeName)};
      item->value = Variant::Integer(value);
      item->readOnly = true;
      item->registrant = Registrant;
      Add(std::move(item));
      // Set types past 31 names would overflow; they stay at the last power.
      if (!powers) ++value;
      else if (value < (std::int64_t{1} << 62)) value *= 2;
    }
    start = comma + 1;
  }
}

void TfsScript::AddEnum(std::string_view typeName, std::string_view names) { AddEnumValues(typeName, names, false); }
void TfsScript::AddEnumSet(std::string_view typeName, std::string_view names) { AddEnumValues(typeName, names, true); }

void TfsScript::AddCodeLine(const std::string& unit, const std::string& pos) {
  std::string line = pos.substr(0, pos.find(':')) + ",";
  std::string& list = codeLines_[unit];
  if (("," + list).find("," + line) == std::string::npos) list += line;
}

void TfsScript::AddType(std::string_view name, TypeCode code) {
  if (Find(name)) return;
  auto item = std::make_unique<TfsItem>();
  item->kind = ItemKind::Type;
  item->name = std::string(name);
  item->type = {code, std::string(name)};
  item->registrant = Registrant;
  Add(std::move(item));
}

void TfsScript::AddConst(std::string_view name, std::string_view typeName, const Variant& value) {
  if (Find(name)) return;
  AddVariable(name, typeName, value);
  FindLocal(name)->readOnly = true;
}

void TfsScript::AddVariable(std::string_view name, std::string_view typeName, const Variant& value) {
  if (Find(name)) return;
  auto item = std::make_unique<TfsItem>();
  item->name = std::string(name);
  item->type = {TypeCodeOf(typeName), std::string(typeName)};
  item->value = value;
  item->registrant = Registrant;
  Add(std::move(item));
}

void TfsScript::AddStringHelper(std::string_view name) {
  auto item = std::make_unique<TfsItem>();
  item->kind = ItemKind::StringHelper;
  item->name = std::string(name);
  item->type = {tcChar, ""};
  item->registrant = Registrant;
  Add(std::move(item));
}

void TfsScript::AddArrayHelper(std::string_view name, TypeCode elementType, int, int) {
  auto item = std::make_unique<TfsItem>();
  item->kind = ItemKind::ArrayHelper;
  item->name = std::string(name);
  item->type = {elementType, ""};
  item->registrant = Registrant;
  Add(std::move(item));
}

void TfsScript::AddMethod(std::string_view declaration, TfsMemberCallback callback, std::string_view,
                          std::string_view) {
  auto item = std::make_unique<TfsItem>();
  item->kind = ItemKind::HostMethod;
  item->decl = ParseDeclaration(declaration, *this);
  item->name = item->decl.name;
  item->type = {item->decl.isFunction ? item->decl.typeCode : tcVariant, item->decl.typeName};
  item->callback = std::move(callback);
  item->registrant = Registrant;
  Add(std::move(item));  // the newest of equal names wins
}

void TfsScript::AddMethod(std::string_view declaration, TfsParamArrayCallback callback, std::string_view category,
                          std::string_view description) {
  if (!callback) {
    AddMethod(declaration, TfsMemberCallback(), category, description);
    return;
  }
  AddMethod(
      declaration,
      [callback = std::move(callback)](const Variant& instance, const HostClassInfo* cls, const std::string& name,
                                       TfsMethodCall& call) {
        std::vector<Variant> params;
        params.reserve(static_cast<std::size_t>(call.ParamCount()));
        for (int i = 0; i < call.ParamCount(); ++i) params.push_back(call.Param(i));
        Variant result = Variant::Null();
        callback(instance, cls, result, params, name);
        // Only by-reference parameters take anything back; the caller ignores the rest.
        for (int i = 0; i < call.ParamCount() && i < static_cast<int>(params.size()); ++i)
          call.SetParam(i, params[static_cast<std::size_t>(i)]);
        return result;
      },
      category, description);
}

void TfsScript::AddLibrary() {
  if (libraryAdded_) return;
  ScopedValue tag(Registrant, 1);
  RegisterLibrary(*this);
  libraryAdded_ = true;
}

void TfsScript::RemoveLibrary() {
  if (!libraryAdded_) return;
  RemoveItems(1);
  libraryAdded_ = false;
}

TypeCode TfsScript::TypeCodeOf(std::string_view typeName) const {
  TfsItem* item = Find(typeName);
  return item ? item->type.code : tcClass;
}

std::optional<Variant> TfsScript::ValueOf(std::string_view name) const {
  TfsItem* item = Find(name);
  if (!item || item->kind == ItemKind::Proc || item->kind == ItemKind::HostMethod || item->kind == ItemKind::Class)
    return std::nullopt;
  return item->value;
}

void TfsScript::RunLine(TfsScope& scope, const std::string& unit, const std::string& pos) {
  if (OnRunLine) OnRunLine(scope, unit, pos);
}

bool TfsScript::Compile() {
  ErrorMessage.clear();
  ErrorPosition.clear();
  ErrorUnitName.clear();
  TfsParseTarget target;
  target.ExtendedIdentChars = ExtendedIdentChars;
  target.OnGetUnit = OnGetUnit;
  TfsILParser parser(target);
  parser.LoadLanguage(SyntaxType);
  if (!parser.BuildSyntaxTree(Lines)) {
    ErrorMessage = target.ErrorMsg;
    ErrorPosition = target.ErrorPos;
    ErrorUnitName = target.ErrorUnit;
    return false;
  }
  {
    ScopedValue compiling(compiling_, true);
    BuildProgram(parser, *this);
  }
  if (ErrorMessage.empty()) ErrorPosition.clear();
  return ErrorMessage.empty();
}

namespace {
// Top-level entry: the flags of a run start clear and are clear afterwards,
// also when an error leaves the run.
struct RunGuard {
  TfsScript& s;
  explicit RunGuard(TfsScript& script) : s(script) {
    s.ExitFlag = s.BreakFlag = s.ContinueFlag = false;
  }
  ~RunGuard() { s.ExitFlag = s.BreakFlag = s.ContinueFlag = false; }
};
}  // namespace

void TfsScript::Execute() {
  if (running_ == 0) terminate_ = false;
  RunGuard guard(*this);
  ++running_;
  ScopeGuard leave([this] { --running_; });
  RunStatements(main_, *this);
}

Variant TfsScript::CallFunction(std::string_view name, const Variant& args) {
  Variant copy = args;
  return CallFunctionByRef(name, copy);
}

Variant TfsScript::CallFunctionByRef(std::string_view name, Variant& args) {
  TfsItem* item = FindLocal(name);
  if (!item || item->kind != ItemKind::Proc) return Variant::Null();
  TfsProc& proc = *item->proc;
  if (running_ == 0) terminate_ = false;
  std::vector<Variant> values;
  if (args.IsArray()) {
    const VariantArray& a = args.RawArray();
    for (std::int32_t i = a.low[0]; i <= a.high[0]; ++i) values.push_back(ArrayElement(args, 1, &i));
    if (values.size() > proc.params.size()) throw ScriptError(MessageText(ScriptMessage::STooManyParams));
  }
  std::vector<Variant> out(proc.params.size());
  Variant result = CallScriptProc(*item, values.data(), static_cast<int>(values.size()), out.data());
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::int32_t idx = args.RawArray().low[0] + static_cast<std::int32_t>(i);
    SetArrayElement(args, 1, &idx, out[i]);
  }
  return result;
}

}  // namespace zentavo
