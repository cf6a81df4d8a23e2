#include "script/fs_ibuilder.h"

#include <array>
#include <charconv>

#include "script/fs_imessages.h"

namespace zentavo {

namespace {

std::string Quoted(ScriptMessage m, const std::string& name) { return MessageText(m) + "'" + name + "'"; }
[[noreturn]] void Fail(ScriptMessage m) { throw ScriptError(MessageText(m)); }
[[noreturn]] void Fail(ScriptMessage m, const std::string& name) { throw ScriptError(Quoted(m, name)); }

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}
bool Is(const TfsXMLItem& e, const char* name) { return Lower(e.Name) == name; }
std::string Text(const TfsXMLItem& e) { return e.Prop("text"); }
std::string Pos(const TfsXMLItem& e) { return e.Prop("pos"); }
// A child the grammar promises; a tree without it is refused, not indexed.
const TfsXMLItem& Child(const TfsXMLItem& e, std::size_t i) {
  if (i >= e.Count()) throw ScriptError("Invalid syntax tree: " + e.Name);
  return e[i];
}

Variant InitialValue(TypeCode code) {
  switch (code) {
    case tcBoolean: return Variant::Boolean(false);
    case tcChar:
    case tcString: return Variant::String("");
    case tcInteger:
    case tcFloat:
    case tcClass: return Variant::Int(0);
    default: return Variant::Null();
  }
}

// ---------------------------------------------------------------- designators

class Dsgn : public TfsExprDesignator {
 public:
  TypeRef Type() const override { return type_; }
  bool IsReadOnly() const override { return readOnly_; }
  // The stored value itself when the designator names storage (element
  // writes then change it in place instead of copying the whole array).
  virtual Variant* Storage() { return nullptr; }
  virtual TfsItem* Item() const { return nullptr; }
  TypeRef type_;
  bool readOnly_ = true;
};

class VarDsgn : public Dsgn {
 public:
  explicit VarDsgn(TfsItem* item) : item_(item) {
    type_ = item->type;
    readOnly_ = item->readOnly || item->kind == ItemKind::Type || item->kind == ItemKind::StringHelper ||
                item->kind == ItemKind::ArrayHelper;
  }
  Variant GetValue() override { return item_->value; }
  void SetValue(const Variant& v) override {
    if (!readOnly_) item_->Store(v);
  }
  const void* DirectVariable() const override { return item_; }
  Variant* Storage() override { return readOnly_ ? nullptr : &item_->value; }
  TfsItem* Item() const override { return item_; }

 private:
  TfsItem* item_;
};

class ConstDsgn : public Dsgn {
 public:
  explicit ConstDsgn(Variant v) : value_(std::move(v)) { type_ = {tcString, ""}; }
  Variant GetValue() override { return value_; }
  void SetValue(const Variant&) override {}

 private:
  Variant value_;
};

using ExprList = std::vector<std::unique_ptr<TfsExpression>>;

// A call of a script procedure or function.
class ScriptCallDsgn : public Dsgn {
 public:
  ScriptCallDsgn(TfsItem* item, ExprList args) : item_(item), args_(std::move(args)) {
    type_ = item->type;
    for (TfsItem* p : item->proc->params) hasByRef_ = hasByRef_ || p->byReference;
  }
  Variant GetValue() override {
    // Arguments of short calls stay on the stack; a by-reference parameter
    // needs the final values back, which only those calls pay for.
    constexpr std::size_t kSmall = 4;
    std::size_t n = args_.size();
    std::array<Variant, kSmall> small;
    std::vector<Variant> big;
    Variant* vals = small.data();
    if (n > kSmall) {
      big.resize(n);
      vals = big.data();
    }
    for (std::size_t i = 0; i < n; ++i) vals[i] = args_[i]->Value();
    if (!hasByRef_) return CallScriptProc(*item_, vals, static_cast<int>(n), nullptr);
    // Until the body has run, the by-reference values are the arguments'.
    std::vector<Variant> out(vals, vals + n);
    out.resize(item_->proc->params.size());
    Variant result;
    try {
      result = CallScriptProc(*item_, vals, static_cast<int>(n), out.data());
    } catch (...) {
      // A by-reference parameter stands for the caller's variable: what the
      // body stored in it before an error left the call stays stored, as
      // with a var parameter of compiled Pascal or a C++ reference.
      try {
        StoreByReference(out, n);
      } catch (...) {
      }
      throw;
    }
    StoreByReference(out, n);
    return result;
  }
  void SetValue(const Variant&) override {}

 private:
  void StoreByReference(const std::vector<Variant>& out, std::size_t n) {
    const auto& params = item_->proc->params;
    for (std::size_t i = 0; i < n; ++i)
      if (params[i]->byReference) args_[i]->SetValue(out[i]);
  }

  TfsItem* item_;
  ExprList args_;
  bool hasByRef_ = false;
};

class HostCall : public TfsMethodCall {
 public:
  explicit HostCall(std::vector<Variant>& v) : v_(v) {}
  int ParamCount() const override { return static_cast<int>(v_.size()); }
  Variant Param(int i) const override {
    return i >= 0 && i < static_cast<int>(v_.size()) ? v_[static_cast<std::size_t>(i)] : Variant::Null();
  }
  void SetParam(int i, const Variant& value) override {
    if (i >= 0 && i < static_cast<int>(v_.size())) v_[static_cast<std::size_t>(i)] = value;
  }

 private:
  std::vector<Variant>& v_;
};

// A call of a host function registered with AddMethod.
class HostCallDsgn : public Dsgn {
 public:
  HostCallDsgn(TfsItem* item, ExprList args, const TfsClassLookup& classes)
      : item_(item), args_(std::move(args)), upper_(NameKey(item->name)), classes_(classes) {
    type_ = item->type;
    for (const TfsParamDecl& p : item->decl.params) checkClasses_ = checkClasses_ || p.typeCode == tcClass;
    checkClasses_ = checkClasses_ && !item->decl.textArguments;
  }
  Variant GetValue() override {
    std::vector<Variant> vals;
    vals.reserve(args_.size());
    for (auto& a : args_)
      vals.push_back(item_->decl.textArguments ? Variant::String(a->SourceText()) : a->Value());
    if (checkClasses_) CheckClassArgs(item_->decl, vals, classes_);
    HostCall call(vals);
    Variant result = item_->callback(Variant(), nullptr, upper_, call);
    for (std::size_t i = 0; i < args_.size() && i < item_->decl.params.size(); ++i)
      if (item_->decl.params[i].byReference) args_[i]->SetValue(vals[i]);
    return item_->decl.isFunction ? result : Variant::Null();
  }
  void SetValue(const Variant&) override {}

 private:
  TfsItem* item_;
  ExprList args_;
  std::string upper_;
  const TfsClassLookup& classes_;
  bool checkClasses_ = false;  // object arguments are checked before the callback sees them
};

// The argument values of a member resolved at run time, fitted to its
// declaration as the builder fits those of members it knows.
void FitArgs(const TfsMethodDecl& decl, std::vector<Variant>& vals) {
  if (static_cast<int>(vals.size()) < decl.RequiredCount()) Fail(ScriptMessage::SNotEnoughParams);
  if (vals.size() > decl.params.size()) Fail(ScriptMessage::STooManyParams);
  while (vals.size() < decl.params.size()) vals.push_back(decl.params[vals.size()].defaultValue);
}

// The default property of an object held in a Variant (o[i]).
const TfsClassMember& LateDefault(TfsScope& scope, const Variant& object) {
  TfsClassVariable* cls = scope.Program().ClassOfObject(object);
  const TfsClassMember* m = cls->DefaultProperty();
  if (!m) throw ScriptError(FormatMessage(MessageText(ScriptMessage::SClassError).c_str(), cls->Name()));
  return *m;
}

Variant ReadLateDefault(TfsScope& scope, const Variant& object, std::vector<Variant> vals) {
  const TfsClassMember& m = LateDefault(scope, object);
  FitArgs(m.decl, vals);
  return ReadMember(scope, m, nullptr, object, vals);
}

void WriteLateDefault(TfsScope& scope, const Variant& object, std::vector<Variant> vals, const Variant& v) {
  const TfsClassMember& m = LateDefault(scope, object);
  FitArgs(m.decl, vals);
  WriteMember(scope, m, object, vals, v);
}

// s[i], a[i, j], v[i]: characters of strings and elements of arrays; for a
// Variant holding an object, its class's default property.
class IndexDsgn : public Dsgn {
 public:
  IndexDsgn(std::unique_ptr<Dsgn> base, ExprList indexes, TypeRef type, TfsScope* lateScope = nullptr)
      : base_(std::move(base)), indexes_(std::move(indexes)), lateScope_(lateScope) {
    type_ = std::move(type);
    readOnly_ = base_->IsReadOnly();
  }
  Variant GetValue() override {
    if (lateScope_) {
      Variant* st = base_->Storage();
      Variant cur = st ? *st : base_->GetValue();
      if (cur.IsObject()) return ReadLateDefault(*lateScope_, cur, RawIndexes());
      return Element(cur);
    }
    std::int32_t idx[3] = {0, 0, 0};
    int n = Indexes(idx);
    Variant* st = base_->Storage();
    Variant tmp;
    if (!st) {
      tmp = base_->GetValue();
      st = &tmp;
    }
    if (st->IsString()) return StringCharAt(st->RawString(), idx[0]);
    return ArrayHelperGet(*st, n, idx);
  }
  void SetValue(const Variant& v) override {
    if (readOnly_) return;
    Variant* st = base_->Storage();
    if (lateScope_ && st && st->IsObject()) {
      Variant object = *st;
      WriteLateDefault(*lateScope_, object, RawIndexes(), v);
      return;
    }
    std::int32_t idx[3] = {0, 0, 0};
    if (st && !st->IsString()) {
      int n = Indexes(idx);
      ArrayHelperSet(*st, n, idx, v);
      return;
    }
    Variant cur = base_->GetValue();
    if (lateScope_ && cur.IsObject()) {
      WriteLateDefault(*lateScope_, cur, RawIndexes(), v);
      return;
    }
    int n = Indexes(idx);
    if (cur.IsString()) {
      std::string s = cur.RawString();
      SetStringChar(s, idx[0], v);
      base_->SetValue(Variant::String(std::move(s)));
    } else if (ArrayHelperSet(cur, n, idx, v)) {
      base_->SetValue(cur);
    }
  }

 private:
  Variant Element(const Variant& cur) {
    std::int32_t idx[3] = {0, 0, 0};
    int n = Indexes(idx);
    if (cur.IsString()) return StringCharAt(cur.RawString(), idx[0]);
    return ArrayHelperGet(cur, n, idx);
  }
  std::vector<Variant> RawIndexes() {
    std::vector<Variant> vals;
    for (auto& x : indexes_) vals.push_back(x->Value());
    return vals;
  }
  int Indexes(std::int32_t* idx) {
    int n = static_cast<int>(indexes_.size());
    for (int i = 0; i < n; ++i) idx[i] = indexes_[static_cast<std::size_t>(i)]->Value().ToInt32();
    return n;
  }
  std::unique_ptr<Dsgn> base_;
  ExprList indexes_;
  TfsScope* lateScope_;
};

// Argument values of a member call: source texts for "macro" members.
std::vector<Variant> ArgValues(const ExprList& args, bool textArguments) {
  std::vector<Variant> vals;
  vals.reserve(args.size());
  for (auto& a : args) vals.push_back(textArguments ? Variant::String(a->SourceText()) : a->Value());
  return vals;
}

// By-reference parameters hand their final values back to the arguments.
void StoreByRef(const TfsClassMember& m, const ExprList& args, const std::vector<Variant>& vals) {
  if (m.kind != MemberKind::Method && m.kind != MemberKind::Constructor) return;
  for (std::size_t i = 0; i < args.size() && i < m.decl.params.size(); ++i)
    if (m.decl.params[i].byReference) args[i]->SetValue(vals[i]);
}

// A class named in a script: TFoo as a value is a new instance of the class
// (no constructor of the host's run), and TFoo(x) a checked typecast.
class ClassDsgn : public Dsgn {
 public:
  ClassDsgn(TfsScope& scope, TfsClassVariable& cls, std::unique_ptr<TfsExpression> cast)
      : scope_(scope), cls_(cls), cast_(std::move(cast)) {
    type_ = {tcClass, cls.Name()};
  }
  Variant GetValue() override {
    if (cast_) {
      Variant v = cast_->Value();
      CheckTypecast(v, cls_);
      return v;
    }
    std::vector<Variant> none;
    return scope_.Program().ConstructObject(cls_, *IntrinsicMember("Create"), none);
  }
  void SetValue(const Variant&) override {}
  const HostClassInfo* NamedClass() const override { return cast_ ? nullptr : cls_.Info(); }
  TfsClassVariable& Class() const { return cls_; }
  bool IsCast() const { return cast_ != nullptr; }

 private:
  TfsScope& scope_;
  TfsClassVariable& cls_;
  std::unique_ptr<TfsExpression> cast_;
};

// A member the builder resolved: Obj.Method(...), Obj.Prop, Obj.Items[i],
// Obj[i] (default property), TFoo.Create(...) (no base: `named` is TFoo).
class ClassMemberDsgn : public Dsgn {
 public:
  ClassMemberDsgn(TfsScope& scope, std::unique_ptr<Dsgn> base, const TfsClassMember& m, ExprList args,
                  const TfsClassVariable* named)
      : scope_(scope), base_(std::move(base)), m_(m), args_(std::move(args)), named_(named) {
    type_ = m.kind == MemberKind::Constructor ? TypeRef{tcClass, named ? named->Name() : ""} : m.type;
    readOnly_ = !(m.kind == MemberKind::Event || ((m.kind == MemberKind::Property || m.kind == MemberKind::IndexProperty) &&
                                                  !m.readOnly));
  }
  Variant GetValue() override {
    Variant instance = base_ ? base_->GetValue() : Variant();
    std::vector<Variant> vals = ArgValues(args_, m_.decl.textArguments);
    Variant r = ReadMember(scope_, m_, named_, instance, vals);
    StoreByRef(m_, args_, vals);
    return r;
  }
  void SetValue(const Variant& v) override {
    Variant instance = base_ ? base_->GetValue() : Variant();
    std::vector<Variant> vals = ArgValues(args_, false);
    WriteMember(scope_, m_, instance, vals, v);
  }

 private:
  TfsScope& scope_;
  std::unique_ptr<Dsgn> base_;
  const TfsClassMember& m_;
  ExprList args_;
  const TfsClassVariable* named_;
};

// A member of a value known only at run time (a Variant): resolved from the
// class of the object the value holds when the step runs. Texts, arrays,
// numbers and nil are never taken for objects. There is no automation server
// on this platform, so no value is ever a late-bound automation object.
class LateMemberDsgn : public Dsgn {
 public:
  LateMemberDsgn(TfsScope& scope, std::unique_ptr<Dsgn> base, std::string name, ExprList args)
      : scope_(scope), base_(std::move(base)), name_(std::move(name)), args_(std::move(args)) {
    type_ = {tcVariant, ""};
    readOnly_ = false;
  }
  // Brackets after the member: o.Items[i] (an indexed property's index) or
  // an index into the member's value.
  bool TakeBrackets(ExprList& brackets) {
    if (!args_.empty() || !brackets_.empty()) return false;
    brackets_ = std::move(brackets);
    return true;
  }
  Variant GetValue() override {
    Variant instance = base_->GetValue();
    const TfsClassMember& m = Resolve(instance);
    bool index = m.kind == MemberKind::IndexProperty;
    if (index && args_.empty() && brackets_.empty()) Fail(ScriptMessage::SIndexRequired);
    std::vector<Variant> vals = ArgValues(index && args_.empty() ? brackets_ : args_, m.decl.textArguments);
    Fit(m, vals);
    Variant r = ReadMember(scope_, m, nullptr, instance, vals);
    StoreByRef(m, index && args_.empty() ? brackets_ : args_, vals);
    if (index || brackets_.empty()) return r;
    std::vector<Variant> idx = ArgValues(brackets_, false);
    if (r.IsObject()) return ReadLateDefault(scope_, r, std::move(idx));
    std::int32_t at[3] = {0, 0, 0};
    if (idx.size() > 3) Fail(ScriptMessage::STooManyParams);
    for (std::size_t i = 0; i < idx.size(); ++i) at[i] = idx[i].ToInt32();
    if (r.IsString()) return StringCharAt(r.RawString(), at[0]);
    return ArrayHelperGet(r, static_cast<int>(idx.size()), at);
  }
  void SetValue(const Variant& v) override {
    Variant instance = base_->GetValue();
    const TfsClassMember& m = Resolve(instance);
    bool index = m.kind == MemberKind::IndexProperty;
    if (index && args_.empty() && brackets_.empty()) Fail(ScriptMessage::SIndexRequired);
    if (index || brackets_.empty()) {
      std::vector<Variant> vals = ArgValues(index && args_.empty() ? brackets_ : args_, false);
      Fit(m, vals);
      WriteMember(scope_, m, instance, vals, v);
      return;
    }
    // o.Prop[i] := v on a property holding a text, an array or an object.
    std::vector<Variant> none;
    Fit(m, none);
    Variant cur = ReadMember(scope_, m, nullptr, instance, none);
    std::vector<Variant> idx = ArgValues(brackets_, false);
    if (cur.IsObject()) {
      WriteLateDefault(scope_, cur, std::move(idx), v);
      return;
    }
    std::int32_t at[3] = {0, 0, 0};
    if (idx.size() > 3) Fail(ScriptMessage::STooManyParams);
    for (std::size_t i = 0; i < idx.size(); ++i) at[i] = idx[i].ToInt32();
    if (cur.IsString()) {
      std::string text = cur.RawString();
      SetStringChar(text, at[0], v);
      cur = Variant::String(std::move(text));
    } else if (!ArrayHelperSet(cur, static_cast<int>(idx.size()), at, v)) {
      return;
    }
    WriteMember(scope_, m, instance, none, cur);
  }

 private:
  const TfsClassMember& Resolve(const Variant& instance) {
    if (instance.IsString()) Fail(ScriptMessage::SStringError);
    if (instance.IsArray()) Fail(ScriptMessage::SIndexRequired);
    if (!instance.IsObject()) throw ScriptError(msg::kNotAnObject);
    const HostClassInfo* info = ObjectTable::ClassOf(instance.RawObject());
    // One look-up per class met, not one per evaluation.
    if (info != cachedInfo_ || !cached_) {
      TfsClassVariable* cls = scope_.Program().ClassOfObject(instance);
      const TfsClassMember* m = cls->FindMember(name_);
      if (!m) Fail(ScriptMessage::SIdUndeclared, name_);
      if (m->kind == MemberKind::Constructor) Fail(ScriptMessage::SClassRequired);
      cachedInfo_ = info;
      cached_ = m;
    }
    return *cached_;
  }
  void Fit(const TfsClassMember& m, std::vector<Variant>& vals) {
    if (m.IsCallable()) FitArgs(m.decl, vals);
    else if (!vals.empty()) Fail(ScriptMessage::STooManyParams);
  }
  TfsScope& scope_;
  std::unique_ptr<Dsgn> base_;
  std::string name_;
  ExprList args_, brackets_;
  const HostClassInfo* cachedInfo_ = nullptr;
  const TfsClassMember* cached_ = nullptr;
};

// delete x: the object's Free.
class FreeDsgn : public Dsgn {
 public:
  FreeDsgn(TfsScope& scope, std::unique_ptr<Dsgn> base) : scope_(scope), base_(std::move(base)) {
    type_ = {tcVariant, ""};
  }
  Variant GetValue() override {
    scope_.Program().FreeObject(base_->GetValue());
    return Variant::Null();
  }
  void SetValue(const Variant&) override {}

 private:
  TfsScope& scope_;
  std::unique_ptr<Dsgn> base_;
};

// ----------------------------------------------------------------- statements

using Stmt = TfsStatement;

// Per-round check of the loops: the line hook sees every round (so a host
// can stop a loop whose body is empty) and a stop request ends the loop.
bool LoopRound(TfsScope& scope, const std::string& unit, const std::string& pos) {
  TfsScript& p = scope.Program();
  if (p.OnRunLine) p.RunLine(scope, unit, pos);
  return !p.TerminateRequested();
}

// After each round: false when the loop is to end.
bool AfterRound(TfsScope& scope) {
  if (scope.BreakFlag || scope.ExitFlag) return false;
  scope.ContinueFlag = false;
  return true;
}
void EndLoop(TfsScope& scope) {
  scope.BreakFlag = false;
  scope.ContinueFlag = false;
}

// A loop or branch condition. A comparison of two Integer operands is
// decided on the 32-bit values directly; anything else goes through the
// expression's value and its Boolean conversion.
class Condition {
 public:
  Condition() = default;
  explicit Condition(std::unique_ptr<TfsExpression> e) : expr_(std::move(e)) {
    auto* op = dynamic_cast<TfsOperatorNode*>(expr_->Root());
    if (op && op->BothIntegers() && op->Left() && op->Right()) {
      switch (op->Op()) {
        case ExprOp::Greater: case ExprOp::Less: case ExprOp::LessEq:
        case ExprOp::GreaterEq: case ExprOp::NotEq: case ExprOp::Eq:
          cmp_ = op;
          break;
        default:
          break;
      }
    }
  }
  explicit operator bool() const { return expr_ != nullptr; }
  bool Test() const {
    if (!cmp_) return expr_->Value().ToBool();
    std::int32_t a = cmp_->Left()->Int32Value();
    std::int32_t b = cmp_->Right()->Int32Value();
    switch (cmp_->Op()) {
      case ExprOp::Greater: return a > b;
      case ExprOp::Less: return a < b;
      case ExprOp::LessEq: return a <= b;
      case ExprOp::GreaterEq: return a >= b;
      case ExprOp::NotEq: return a != b;
      default: return a == b;
    }
  }

 private:
  std::unique_ptr<TfsExpression> expr_;
  TfsOperatorNode* cmp_ = nullptr;
};

class ListStmt : public Stmt {
 public:
  using Stmt::Stmt;
  void Execute() override { RunStatements(list, scope_); }
  TfsStmtList list;
};

class AssignStmt : public Stmt {
 public:
  AssignStmt(TfsScope& s, std::string pos, std::string unit, std::unique_ptr<Dsgn> target,
             std::unique_ptr<TfsExpression> value, char mod)
      : Stmt(s, std::move(pos), std::move(unit)), target_(std::move(target)), value_(std::move(value)), mod_(mod) {
    TfsItem* item = target_->Item();
    if (item && !target_->IsReadOnly() && item->kind != ItemKind::StringVariable) fast_ = item;
    // Integer operators over Integer operands: their value is the 32-bit
    // fast path's anyway, so it is taken without building values.
    auto* op = dynamic_cast<TfsOperatorNode*>(value_->Root());
    intFast_ = fast_ && fast_->type.code == tcInteger && op && op->BothIntegers() && op->Left() && op->Right() &&
               (mod_ == ' ' || mod_ == '+' || mod_ == '-');
    // An Integer variable updated by +, - or * with an Integer value wraps in
    // 32 bits, as the same operator written out does. x := x + 1 is rewritten
    // into this form, and the variant rule would leave a 64-bit value in the
    // Integer variable that the next integer expression over it rejects.
    wrap32_ = fast_ && fast_->type.code == tcInteger && value_->Type().code == tcInteger &&
              (mod_ == '+' || mod_ == '-' || mod_ == '*');
  }
  void Execute() override {
    if (!Prologue()) return;
    if (intFast_ && (mod_ == ' ' || fast_->value.IsInt32())) {
      // The target is read before the value.
      std::int32_t c = mod_ == ' ' ? 0 : fast_->value.RawInt32();
      std::int32_t x = value_->Root()->Int32Value();
      fast_->value = Variant::Int(mod_ == ' ' ? x : mod_ == '+' ? WrapAdd(c, x) : WrapSub(c, x));
      return;
    }
    Variant v = value_->Value();
    if (mod_ != ' ') {
      Variant cur = target_->GetValue();
      if (wrap32_ && cur.IsInt32() && v.IsInt32()) {
        std::int32_t c = cur.RawInt32(), x = v.RawInt32();
        fast_->value = Variant::Int(mod_ == '+' ? WrapAdd(c, x) : mod_ == '-' ? WrapSub(c, x) : WrapMul(c, x));
        return;
      }
      switch (mod_) {
        case '+': v = VarBinary(VariantOp::Add, cur, v); break;
        case '-': v = VarBinary(VariantOp::Sub, cur, v); break;
        case '*': v = VarBinary(VariantOp::Mul, cur, v); break;
        default: v = VarBinary(VariantOp::Div, cur, v); break;
      }
    }
    if (fast_) fast_->value = std::move(v);
    else target_->SetValue(v);
  }

 private:
  std::unique_ptr<Dsgn> target_;
  std::unique_ptr<TfsExpression> value_;
  char mod_;
  TfsItem* fast_ = nullptr;
  bool intFast_ = false;
  bool wrap32_ = false;
};

class CallStmt : public Stmt {
 public:
  CallStmt(TfsScope& s, std::string pos, std::string unit, std::unique_ptr<Dsgn> target, char mod)
      : Stmt(s, std::move(pos), std::move(unit)), target_(std::move(target)), mod_(mod) {}
  void Execute() override {
    if (!Prologue()) return;
    if (mod_ == ' ') {
      target_->GetValue();
      return;
    }
    Variant cur = target_->GetValue();
    // ++ and -- on an Integer wrap in 32 bits, as x := x + 1 does.
    if (target_->Type().code == tcInteger && cur.IsInt32()) {
      target_->SetValue(Variant::Int(mod_ == '+' ? WrapAdd(cur.RawInt32(), 1) : WrapSub(cur.RawInt32(), 1)));
      return;
    }
    target_->SetValue(VarBinary(mod_ == '+' ? VariantOp::Add : VariantOp::Sub, cur, Variant::Int(1)));
  }

 private:
  std::unique_ptr<Dsgn> target_;
  char mod_;
};

class IfStmt : public Stmt {
 public:
  using Stmt::Stmt;
  void Execute() override {
    if (!Prologue()) return;
    RunStatements(cond.Test() ? then : otherwise, scope_);
  }
  Condition cond;
  TfsStmtList then, otherwise;
};

class CaseStmt : public Stmt {
 public:
  using Stmt::Stmt;
  void Execute() override {
    Variant v = selector->Value();
    if (!Prologue()) return;
    for (auto& [set, list] : selectors)
      if (set->Contains(v)) {
        RunStatements(list, scope_);
        return;
      }
    RunStatements(otherwise, scope_);
  }
  std::unique_ptr<TfsExpression> selector;
  std::vector<std::pair<std::unique_ptr<TfsSetExpression>, TfsStmtList>> selectors;
  TfsStmtList otherwise;
};

class WhileStmt : public Stmt {
 public:
  using Stmt::Stmt;
  void Execute() override {
    if (!Prologue()) return;
    for (bool first = true;; first = false) {
      if (!first && !LoopRound(scope_, unit_, pos_)) break;
      if (!cond.Test()) break;
      RunStatements(body, scope_);
      if (!AfterRound(scope_)) break;
    }
    EndLoop(scope_);
  }
  Condition cond;
  TfsStmtList body;
};

class RepeatStmt : public Stmt {
 public:
  using Stmt::Stmt;
  void Execute() override {
    if (!Prologue()) return;
    for (bool first = true;; first = false) {
      if (!first && !LoopRound(scope_, unit_, pos_)) break;
      RunStatements(body, scope_);
      if (!AfterRound(scope_)) break;
      if (cond.Test() != inverse) break;
    }
    EndLoop(scope_);
  }
  Condition cond;
  bool inverse = false;
  TfsStmtList body;
};

class ForStmt : public Stmt {
 public:
  using Stmt::Stmt;
  void Execute() override {
    std::int64_t from = start->Value().ToInt32();
    std::int64_t to = end->Value().ToInt32();
    if (!Prologue()) return;
    std::int64_t step = down ? -1 : 1;
    for (std::int64_t v = from; down ? v >= to : v <= to; v += step) {
      if (v != from && !LoopRound(scope_, unit_, pos_)) break;
      var->value = Variant::Int(static_cast<std::int32_t>(v));
      RunStatements(body, scope_);
      if (!AfterRound(scope_)) break;
    }
    EndLoop(scope_);
  }
  TfsItem* var = nullptr;
  std::unique_ptr<TfsExpression> start, end;
  bool down = false;
  TfsStmtList body;
};

class VbForStmt : public Stmt {
 public:
  using Stmt::Stmt;
  void Execute() override {
    Variant cur = start->Value();
    Variant last = end->Value();
    Variant inc = step ? step->Value() : Variant::Int(1);
    if (!Prologue()) return;
    bool up = VarCompareOp(CompareOp::GreaterEq, inc, Variant::Int(0));
    for (bool first = true;; first = false) {
      if (!first && !LoopRound(scope_, unit_, pos_)) break;
      if (!VarCompareOp(up ? CompareOp::LessEq : CompareOp::GreaterEq, cur, last)) break;
      var->value = cur;
      RunStatements(body, scope_);
      if (!AfterRound(scope_)) break;
      cur = VarBinary(VariantOp::Add, cur, inc);
    }
    EndLoop(scope_);
  }
  TfsItem* var = nullptr;
  std::unique_ptr<TfsExpression> start, end, step;
  TfsStmtList body;
};

class CppForStmt : public Stmt {
 public:
  using Stmt::Stmt;
  void Execute() override {
    if (!Prologue()) return;
    RunStatements(init, scope_);
    if (scope_.Program().TerminateRequested()) return;
    for (bool first = true;; first = false) {
      if (!first && !LoopRound(scope_, unit_, pos_)) break;
      if (cond && !cond.Test()) break;
      RunStatements(body, scope_);
      if (!AfterRound(scope_)) break;
      RunStatements(stepList, scope_);
    }
    EndLoop(scope_);
  }
  TfsStmtList init, stepList, body;
  Condition cond;
};

class TryStmt : public Stmt {
 public:
  using Stmt::Stmt;
  void Execute() override {
    if (!Prologue()) return;
    if (isExcept) {
      try {
        RunStatements(body, scope_);
      } catch (const std::exception&) {
        RunStatements(handler, scope_);
      }
      return;
    }
    try {
      RunStatements(body, scope_);
    } catch (...) {
      RunHandler();
      throw;
    }
    RunHandler();
  }
  bool isExcept = false;
  TfsStmtList body, handler;

 private:
  // The handler runs whole, whatever left the protected part: exit, and
  // also break and continue (which would otherwise stop the handler after
  // its first statement); the flags take effect after it.
  void RunHandler() {
    bool exitFlag = scope_.ExitFlag, breakFlag = scope_.BreakFlag, continueFlag = scope_.ContinueFlag;
    scope_.ExitFlag = scope_.BreakFlag = scope_.ContinueFlag = false;
    RunStatements(handler, scope_);
    scope_.ExitFlag = scope_.ExitFlag || exitFlag;
    scope_.BreakFlag = scope_.BreakFlag || breakFlag;
    scope_.ContinueFlag = scope_.ContinueFlag || continueFlag;
  }
};

class FlagStmt : public Stmt {
 public:
  FlagStmt(TfsScope& s, std::string pos, std::string unit, bool TfsScope::*flag)
      : Stmt(s, std::move(pos), std::move(unit)), flag_(flag) {}
  void Execute() override { scope_.*flag_ = true; }

 private:
  bool TfsScope::*flag_;
};

class WithStmt : public Stmt {
 public:
  WithStmt(TfsScope& s, std::string pos, std::string unit, TfsItem* var, std::unique_ptr<Dsgn> object)
      : Stmt(s, std::move(pos), std::move(unit)), var_(var), object_(std::move(object)) {}
  void Execute() override { var_->value = object_->GetValue(); }

 private:
  TfsItem* var_;
  std::unique_ptr<Dsgn> object_;
};

// -------------------------------------------------------------------- builder

class Builder {
 public:
  Builder(TfsILParser& parser, TfsScript& program)
      : parser_(parser), program_(program), needDeclare_(parser.NeedDeclareVars()) {}

  void Build() {
    program_.ErrorUnitName.clear();
    unit_.clear();
    root_ = &parser_.SyntaxTree().Root();
    try {
      Block(*root_, program_);
    } catch (const ScriptError& e) {
      program_.ErrorMessage = e.what();
      program_.ErrorPosition = errorPos_;
      program_.ErrorUnitName = unit_;
    }
  }

 private:
  struct WithEntry {
    TfsItem* var;
    TypeRef type;
  };

  void Block(const TfsXMLItem& e, TfsScope& scope) {
    const TfsXMLItem* saved = block_;
    block_ = &e;
    Declare(e, scope);
    for (std::size_t i = 0; i < e.Count(); ++i) Statement(e[i], scope, scope.Main());
    block_ = saved;
  }

  void Declare(const TfsXMLItem& e, TfsScope& scope) {
    for (std::size_t i = 0; i < e.Count(); ++i) {
      const TfsXMLItem& c = e[i];
      if (Is(c, "procedure") || Is(c, "function")) DeclareProc(c, scope);
      else if (Is(c, "compoundstmt")) Declare(c, scope);
    }
  }

  void CheckNew(const std::string& name, TfsScope& scope) {
    if (scope.FindLocal(name)) Fail(ScriptMessage::SIdRedeclared, name);
  }

  void DeclareProc(const TfsXMLItem& e, TfsScope& scope) {
    bool isFunction = Is(e, "function");
    std::string name, typeName;
    TypeCode code = isFunction ? tcVariant : tcInteger;
    for (std::size_t i = 0; i < e.Count(); ++i) {
      const TfsXMLItem& c = e[i];
      if (Is(c, "type") && isFunction) {
        errorPos_ = Pos(c);
        typeName = Text(c);
        code = FindType(typeName);
      } else if (Is(c, "name") && name.empty()) {
        errorPos_ = Pos(c);
        name = Text(c);
        CheckNew(name, scope);
      }
    }
    if (Lower(typeName) == "void") isFunction = false;
    auto item = std::make_unique<TfsItem>();
    item->kind = ItemKind::Proc;
    item->name = name;
    item->type = {isFunction ? code : tcInteger, isFunction ? typeName : ""};
    item->sourcePosition = Pos(e);
    item->proc = std::make_unique<TfsProc>(&program_, &scope);
    TfsProc& proc = *item->proc;
    proc.isFunction = isFunction;
    if (isFunction) {
      auto result = std::make_unique<TfsItem>();
      result->name = "Result";
      result->type = item->type;
      result->value = Variant::Null();
      proc.result = proc.local.Add(std::move(result));
    }
    TfsItem* raw = scope.Add(std::move(item));
    for (std::size_t i = 0; i < e.Count(); ++i)
      if (Is(e[i], "parameters")) Parameters(e[i], *raw->proc);
  }

  void Parameters(const TfsXMLItem& e, TfsProc& proc) {
    bool byRef = false;
    for (std::size_t i = 0; i < e.Count(); ++i) {
      const TfsXMLItem& c = e[i];
      if (Is(c, "varparams")) {
        byRef = true;
      } else if (Is(c, "var")) {
        bool one = false;
        for (std::size_t k = 0; k < c.Count(); ++k) {
          const TfsXMLItem& p = c[k];
          if (Is(p, "varparam")) {
            one = true;
          } else if (Is(p, "ident")) {
            errorPos_ = Pos(p);
            std::string name = Text(p);
            CheckNew(name, proc.local);
            auto item = Variable(c, proc.local, byRef || one, true, nullptr, name);
            proc.params.push_back(proc.local.Add(std::move(item)));
            one = false;
          }
        }
        byRef = false;
      }
    }
  }

  TypeCode FindType(std::string name) {
    auto alias = [&](const TfsXMLItem* owner) {
      if (!owner) return false;
      int t = owner->Find("types");
      if (t < 0) return false;
      const TfsXMLItem& types = (*owner)[static_cast<std::size_t>(t)];
      int a = types.Find(name);
      if (a < 0) return false;
      name = types[static_cast<std::size_t>(a)].Prop("type");
      return true;
    };
    if (!alias(block_)) alias(root_);
    TfsItem* item = program_.Find(name);
    TypeCode code = item ? item->type.code : tcClass;
    if (code == tcClass && !program_.FindClass(name)) Fail(ScriptMessage::SUnknownType, name);
    return code;
  }

  std::unique_ptr<TfsItem> Variable(const TfsXMLItem& e, TfsScope& scope, bool byRef, bool isParam,
                                    TfsStmtList* list, const std::string& name) {
    std::string declPos = errorPos_;
    std::string typeName = "Variant";
    bool typeFirst = false;
    for (std::size_t i = 0; i < e.Count(); ++i)
      if (Is(e[i], "type")) {
        typeName = Text(e[i]);
        typeFirst = i == 0;
        errorPos_ = Pos(e[i]);
        break;
      }
    TypeCode code = FindType(typeName);
    TypeRef type{code, typeName};
    Variant value = InitialValue(code);
    std::size_t at = 0;
    while (at < e.Count() && !(Is(e[at], "ident") && NameKey(Text(e[at])) == NameKey(name))) ++at;
    const TfsXMLItem* init = nullptr;
    int dims = 0;
    for (std::size_t i = at + 1; i < e.Count(); ++i) {
      const TfsXMLItem& c = e[i];
      if (typeFirst && Is(c, "ident")) break;
      if (Is(c, "array")) {
        value = MakeArray(c, scope, dims);
        type.code = tcArray;
      } else if (Is(c, "init")) {
        init = &c;
      }
    }
    auto item = std::make_unique<TfsItem>();
    item->name = name;
    item->kind = isParam ? ItemKind::Param
                 : (type.code == tcChar || type.code == tcString) ? ItemKind::StringVariable
                                                                  : ItemKind::Variable;
    item->type = type;
    item->sourcePosition = declPos;
    if (dims > 0) {
      item->arrayDims = dims;
      item->elementType = {code, typeName};
    }
    item->byReference = byRef;
    if (init && init->Count() > 0) {
      auto expr = Expression((*init)[0], scope);
      CheckStore(type, expr->Type());
      if (!list) {
        value = expr->Value();
        item->optional = true;
        item->defaultValue = value;
      } else {
        pendingInit_ = std::move(expr);
      }
    }
    item->Store(value);
    return item;
  }

  Variant MakeArray(const TfsXMLItem& e, TfsScope& scope, int& dims) {
    std::int32_t low[3] = {0, 0, 0}, high[3] = {0, 0, 0};
    dims = 0;
    for (std::size_t i = 0; i < e.Count(); ++i) {
      const TfsXMLItem& d = e[i];
      if (!Is(d, "dim")) continue;
      if (dims == 3) throw ScriptError(msg::kArrayCreate);
      std::vector<std::int32_t> b;
      for (std::size_t k = 0; k < d.Count() && b.size() < 2; ++k)
        if (Is(d[k], "expr")) b.push_back(Expression(d[k], scope)->Value().ToInt32());
      if (b.size() == 2) {
        low[dims] = b[0];
        high[dims] = b[1];
      } else if (b.size() == 1) {
        high[dims] = b[0] - 1;
      }
      ++dims;
    }
    if (dims == 0) dims = 1;
    return Variant::Array(dims, low, high);
  }

  void CheckStore(const TypeRef& target, const TypeRef& value) {
    if (!AssignmentCompatible(target, value, &program_))
      throw ScriptError(IncompatibleTypesMessage(target, value));
  }

  // ---------------------------------------------------------- expressions

  std::unique_ptr<TfsExpression> Expression(const TfsXMLItem& e, TfsScope& scope) {
    auto expr = std::make_unique<TfsExpression>(&program_);
    AddItems(*expr, e, scope);
    expr->SetSourceText(SourceText(e));
    if (std::string pos = expr->Finish(); !pos.empty()) {
      errorPos_ = pos;
      Fail(ScriptMessage::SIncompatibleTypes);
    }
    return expr;
  }

  // The text an expression was written as, comments included: what
  // "macro" functions receive instead of the values. Positions inside an
  // included unit refer to the unit's own text, so those carry none.
  std::string SourceText(const TfsXMLItem& e) {
    if (!unit_.empty()) return {};
    int from = TextPosition(Pos(e));
    int to = TextPosition(e.Prop("pos1"));
    const std::string& text = parser_.Lexer().Text();
    if (from < 1 || to < from || static_cast<std::size_t>(to - 1) > text.size()) return {};
    return text.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(to - from));
  }
  int TextPosition(const std::string& xy) {
    std::size_t colon = xy.find(':');
    if (colon == std::string::npos) return -1;
    int line = 0, column = 0;
    auto r1 = std::from_chars(xy.data(), xy.data() + colon, line);
    auto r2 = std::from_chars(xy.data() + colon + 1, xy.data() + xy.size(), column);
    if (r1.ec != std::errc() || r2.ec != std::errc() || column < 1) return -1;
    return parser_.Lexer().GetPositionFromXY(column, line);
  }

  void AddItems(TfsExpression& expr, const TfsXMLItem& e, TfsScope& scope) {
    for (std::size_t i = 0; i < e.Count(); ++i) {
      const TfsXMLItem& c = e[i];
      errorPos_ = Pos(c);
      expr.SetSourcePosition(errorPos_);
      std::string n = Lower(c.Name);
      if (n == "op") {
        if (!expr.AddOperator(Lower(Text(c)))) Fail(ScriptMessage::SIncompatibleTypes);
      } else if (n == "number" || n == "string") {
        expr.AddOperand(ParseConstant(Text(c)));
      } else if (n == "dsgn") {
        expr.AddOperand(Designator(c, scope));
      } else if (n == "new") {
        expr.AddOperand(Designator(Child(c, 0), scope, 1));
      } else if (n == "set") {
        expr.AddOperand(Set(c, scope));
      } else if (n == "expr") {
        AddItems(expr, c, scope);
      }
    }
  }

  std::unique_ptr<TfsSetExpression> Set(const TfsXMLItem& e, TfsScope& scope) {
    auto set = std::make_unique<TfsSetExpression>();
    for (std::size_t i = 0; i < e.Count(); ++i) {
      if (Is(e[i], "expr")) set->AddEntry(Expression(e[i], scope));
      else if (Is(e[i], "range")) set->AddRangeMarker();
    }
    return set;
  }

  // ---------------------------------------------------------- designators

  // The argument expressions after child `i`, with their positions.
  ExprList Args(const TfsXMLItem& e, std::size_t& i, TfsScope& scope, std::vector<std::string>& positions) {
    ExprList args;
    while (i < e.Count() && Is(e[i], "expr")) {
      errorPos_ = Pos(e[i]);
      positions.push_back(errorPos_);
      args.push_back(Expression(e[i], scope));
      ++i;
    }
    return args;
  }

  // Counts, defaults and types of the arguments of a call.
  void CheckArgs(ExprList& args, const std::vector<std::string>& positions, const std::string& stepPos,
                 const std::vector<TypeRef>& types, const std::vector<bool>& optional,
                 const std::vector<Variant>& defaults) {
    errorPos_ = stepPos;
    std::size_t required = 0;
    for (bool o : optional) required += o ? 0 : 1;
    if (args.size() < required) Fail(ScriptMessage::SNotEnoughParams);
    if (args.size() > types.size()) Fail(ScriptMessage::STooManyParams);
    for (std::size_t i = 0; i < args.size(); ++i) {
      errorPos_ = positions[i];
      CheckStore(types[i], args[i]->Type());
    }
    while (args.size() < types.size()) {
      auto c = std::make_unique<TfsExpression>(&program_);
      c->AddOperand(defaults[args.size()]);
      c->Finish();
      args.push_back(std::move(c));
    }
  }

  // The with statements around the designator, innermost first: a name
  // that is a member of a with object's class is that member. A Variant
  // with object takes every name the scopes do not know, resolved when it
  // runs.
  std::unique_ptr<Dsgn> WithMember(const std::string& name, const std::string& stepPos, ExprList& args,
                                   std::vector<std::string>& positions, TfsScope& scope, const TfsXMLItem& e,
                                   std::size_t& i) {
    for (auto it = withs_.rbegin(); it != withs_.rend(); ++it) {
      if (scope.FindLocal(it->var->name) != it->var) continue;
      if (it->type.code == tcVariant) {
        if (scope.Find(name)) return nullptr;
        return std::make_unique<LateMemberDsgn>(scope, std::make_unique<VarDsgn>(it->var), name, std::move(args));
      }
      TfsClassVariable* cls = program_.FindClass(it->type.name);
      if (!cls) Fail(ScriptMessage::SUnknownType, it->type.name);
      const TfsClassMember* m = cls->FindMember(name);
      if (!m) continue;
      if (m->kind == MemberKind::IndexProperty && args.empty()) TakeIndex(e, i, args, positions, scope);
      return Member(std::make_unique<VarDsgn>(it->var), *m, nullptr, args, positions, stepPos, scope);
    }
    return nullptr;
  }

  // A member the builder found, with its arguments checked and completed.
  std::unique_ptr<Dsgn> Member(std::unique_ptr<Dsgn> base, const TfsClassMember& m, const TfsClassVariable* named,
                               ExprList& args, const std::vector<std::string>& positions, const std::string& stepPos,
                               TfsScope& scope) {
    errorPos_ = stepPos;
    if (m.kind == MemberKind::Constructor && !named) Fail(ScriptMessage::SClassRequired);
    if (m.IsCallable()) {
      std::vector<TypeRef> types;
      std::vector<bool> optional;
      std::vector<Variant> defaults;
      for (const TfsParamDecl& p : m.decl.params) {
        types.push_back({p.typeCode, p.typeName});
        optional.push_back(p.optional);
        defaults.push_back(p.defaultValue);
      }
      CheckArgs(args, positions, stepPos, types, optional, defaults);
    } else if (!args.empty()) {
      Fail(ScriptMessage::STooManyParams);
    }
    return std::make_unique<ClassMemberDsgn>(scope, std::move(base), m, std::move(args), named);
  }

  // Obj.Items[i]: the bracket's expressions after an indexed property are its index.
  void TakeIndex(const TfsXMLItem& e, std::size_t& i, ExprList& args, std::vector<std::string>& positions,
                 TfsScope& scope) {
    if (i >= e.Count() || Text(e[i]) != "[") Fail(ScriptMessage::SIndexRequired);
    errorPos_ = Pos(e[i]);
    ++i;
    positions.clear();
    args = Args(e, i, scope, positions);
  }

  std::unique_ptr<Dsgn> First(const std::string& name, const std::string& stepPos, ExprList args,
                              std::vector<std::string>& positions, TfsScope& scope, const TfsXMLItem& e,
                              std::size_t& i) {
    if (auto d = WithMember(name, stepPos, args, positions, scope, e, i)) return d;
    TfsItem* item = scope.Find(name);
    if (!item) {
      if (needDeclare_) Fail(ScriptMessage::SIdUndeclared, name);
      auto v = std::make_unique<TfsItem>();
      v->name = name;
      v->type = {tcVariant, ""};
      v->value = Variant::Null();
      item = program_.Add(std::move(v));
    }
    std::vector<TypeRef> types;
    std::vector<bool> optional;
    std::vector<Variant> defaults;
    if (item->kind == ItemKind::Proc) {
      for (TfsItem* p : item->proc->params) {
        types.push_back(p->type);
        optional.push_back(p->optional);
        defaults.push_back(p->defaultValue);
      }
      CheckArgs(args, positions, stepPos, types, optional, defaults);
      return std::make_unique<ScriptCallDsgn>(item, std::move(args));
    }
    if (item->kind == ItemKind::HostMethod) {
      for (const TfsParamDecl& p : item->decl.params) {
        types.push_back({p.typeCode, p.typeName});
        optional.push_back(p.optional);
        defaults.push_back(p.defaultValue);
      }
      CheckArgs(args, positions, stepPos, types, optional, defaults);
      return std::make_unique<HostCallDsgn>(item, std::move(args), program_);
    }
    errorPos_ = stepPos;
    if (item->kind == ItemKind::Class) {
      // TFoo(x) is a typecast: one argument at most.
      if (args.size() > 1) Fail(ScriptMessage::STooManyParams);
      std::unique_ptr<TfsExpression> cast = args.empty() ? nullptr : std::move(args[0]);
      return std::make_unique<ClassDsgn>(scope, *item->cls, std::move(cast));
    }
    if (!args.empty()) Fail(ScriptMessage::STooManyParams);
    return std::make_unique<VarDsgn>(item);
  }

  // new TFoo(...): the class's Create with the arguments written after the name.
  std::unique_ptr<Dsgn> Construct(const std::string& name, const std::string& stepPos, ExprList args,
                                  const std::vector<std::string>& positions, TfsScope& scope) {
    errorPos_ = stepPos;
    TfsItem* item = scope.Find(name);
    if (!item && needDeclare_) Fail(ScriptMessage::SIdUndeclared, name);
    if (!item || item->kind != ItemKind::Class) Fail(ScriptMessage::SClassRequired);
    const TfsClassMember* ctor = item->cls->FindMember("Create");
    if (!ctor || ctor->kind != MemberKind::Constructor) Fail(ScriptMessage::SClassRequired);
    return Member(nullptr, *ctor, item->cls.get(), args, positions, stepPos, scope);
  }

  // Modes: 0 ordinary, 1 object creation (new).
  std::unique_ptr<Dsgn> Designator(const TfsXMLItem& e, TfsScope& scope, int mode = 0) {
    std::size_t n = e.Count();
    if (n == 0) Fail(ScriptMessage::SVarRequired);
    if (Is(e[0], "addr")) {
      if (n != 2) Fail(ScriptMessage::SVarRequired);
      errorPos_ = Pos(e[1]);
      return std::make_unique<ConstDsgn>(Variant::String(Text(e[1])));
    }
    errorPos_ = Pos(e[0]);
    std::string stepPos = errorPos_;
    std::string name = Text(e[0]);
    std::size_t i = 1;
    std::vector<std::string> positions;
    ExprList args = Args(e, i, scope, positions);
    std::unique_ptr<Dsgn> d = mode == 1 ? Construct(name, stepPos, std::move(args), positions, scope)
                                        : First(name, stepPos, std::move(args), positions, scope, e, i);
    while (i < n) {
      const TfsXMLItem& c = e[i++];
      errorPos_ = Pos(c);
      stepPos = errorPos_;
      std::string step = Text(c);
      positions.clear();
      ExprList more = Args(e, i, scope, positions);
      TypeRef t = d->Type();
      errorPos_ = stepPos;
      if (step != "[") {
        if (t.code == tcString || t.code == tcChar) Fail(ScriptMessage::SStringError);
        if (t.code == tcVariant) {
          d = std::make_unique<LateMemberDsgn>(scope, std::move(d), step, std::move(more));
          continue;
        }
        if (t.code == tcClass) {
          TfsClassVariable* cls = program_.FindClass(t.name);
          if (!cls) Fail(ScriptMessage::SUnknownType, t.name);
          const TfsClassMember* m = cls->FindMember(step);
          if (!m) Fail(ScriptMessage::SIdUndeclared, step);
          // TFoo.Create: the class written before the constructor is the
          // class of the new object.
          auto* named = dynamic_cast<ClassDsgn*>(d.get());
          const TfsClassVariable* cls0 = named && !named->IsCast() ? &named->Class() : nullptr;
          if (m->kind == MemberKind::IndexProperty && more.empty()) TakeIndex(e, i, more, positions, scope);
          if (cls0 && m->kind == MemberKind::Constructor) d.reset();
          d = Member(std::move(d), *m, cls0, more, positions, stepPos, scope);
          continue;
        }
        Fail(ScriptMessage::SArrayRequired);
      }
      if (more.empty()) Fail(ScriptMessage::SNotEnoughParams);
      if (t.code == tcClass) {
        TfsClassVariable* cls = program_.FindClass(t.name);
        if (!cls) Fail(ScriptMessage::SUnknownType, t.name);
        const TfsClassMember* m = cls->DefaultProperty();
        if (!m) throw ScriptError(FormatMessage(MessageText(ScriptMessage::SClassError).c_str(), cls->Name()));
        d = Member(std::move(d), *m, nullptr, more, positions, stepPos, scope);
        continue;
      }
      if (auto* late = dynamic_cast<LateMemberDsgn*>(d.get()); late && late->TakeBrackets(more)) continue;
      TypeRef result{tcVariant, ""};
      std::size_t most = 3;
      if (t.code == tcString || t.code == tcChar) {
        result = {tcChar, ""};
        most = 1;
      } else if (t.code == tcArray) {
        TfsItem* item = d->Item();
        if (item && item->arrayDims > 0) {
          result = item->elementType;
          if (more.size() < static_cast<std::size_t>(item->arrayDims)) Fail(ScriptMessage::SNotEnoughParams);
          most = static_cast<std::size_t>(item->arrayDims);
        }
      } else if (t.code != tcVariant) {
        Fail(ScriptMessage::SArrayRequired);
      }
      if (more.size() > most) Fail(ScriptMessage::STooManyParams);
      TfsScope* late = t.code == tcVariant ? &scope : nullptr;
      d = std::make_unique<IndexDsgn>(std::move(d), std::move(more), result, late);
    }
    return d;
  }

  // ----------------------------------------------------------- statements

  template <class T, class... A>
  T& Add(TfsStmtList& list, const TfsXMLItem& e, TfsScope& scope, A&&... a) {
    auto st = std::make_unique<T>(scope, Pos(e), unit_, std::forward<A>(a)...);
    T& ref = *st;
    list.push_back(std::move(st));
    program_.AddCodeLine(unit_, Pos(e));
    return ref;
  }

  void Children(const TfsXMLItem& e, std::size_t from, TfsScope& scope, TfsStmtList& list) {
    for (std::size_t i = from; i < e.Count(); ++i) Statement(e[i], scope, list);
  }

  TfsItem* LoopVariable(const TfsXMLItem& c, TfsScope& scope) {
    errorPos_ = Pos(c);
    std::string name = Text(c);
    TfsItem* v = scope.Find(name);
    if (!v) {
      if (needDeclare_) Fail(ScriptMessage::SIdUndeclared, name);
      auto nv = std::make_unique<TfsItem>();
      nv->name = name;
      nv->type = {tcVariant, ""};
      nv->value = Variant::Null();
      v = program_.Add(std::move(nv));
    }
    if (v->kind != ItemKind::Variable || v->readOnly ||
        !(v->type.code == tcInteger || v->type.code == tcFloat || v->type.code == tcVariant))
      Fail(ScriptMessage::SForError);
    return v;
  }

  std::unique_ptr<TfsExpression> Bound(const TfsXMLItem& c, TfsScope& scope, TfsItem* var) {
    auto x = Expression(c, scope);
    errorPos_ = Pos(c);
    CheckStore(var->type, x->Type());
    return x;
  }

  void Assign(const TfsXMLItem& e, std::size_t first, TfsScope& scope, TfsStmtList& list, const TfsXMLItem& at) {
    errorPos_ = Pos(Child(e, first));
    std::unique_ptr<Dsgn> target = Designator(Child(e, first), scope);
    std::string mod = " ";
    std::size_t i = first + 1;
    if (i < e.Count() && Is(e[i], "modificator")) mod = Text(e[i++]);
    if (i >= e.Count()) Fail(ScriptMessage::SIncompatibleTypes);
    auto value = Expression(e[i], scope);
    errorPos_ = Pos(e[first]);
    if (target->IsReadOnly()) Fail(ScriptMessage::SLeftCantAssigned);
    errorPos_ = Pos(e[i]);
    CheckStore(target->Type(), value->Type());
    if (mod == " ") mod = value->RewriteCompound(*target);
    char m = mod.empty() ? ' ' : mod[0];
    if (m != '+' && m != '-' && m != '*' && m != '/') m = ' ';
    Add<AssignStmt>(list, at, scope, std::move(target), std::move(value), m);
  }

  void Statement(const TfsXMLItem& e, TfsScope& scope, TfsStmtList& list) {
    std::string n = Lower(e.Name);
    if (!Pos(e).empty()) errorPos_ = Pos(e);
    if (n == "assignstmt") {
      if (e.Count() < 2) return;
      Assign(e, 0, scope, list, e);
    } else if (n == "callstmt") {
      auto d = Designator(Child(e, 0), scope);
      char m = ' ';
      if (e.Count() > 1) {
        std::string t = Text(Child(e, 1));
        m = t.empty() ? ' ' : t[0];
        errorPos_ = Pos(Child(e, 0));
        if (d->IsReadOnly()) Fail(ScriptMessage::SLeftCantAssigned);
      }
      Add<CallStmt>(list, e, scope, std::move(d), m);
    } else if (n == "ifstmt") {
      auto& st = Add<IfStmt>(list, e, scope);
      st.cond = Condition(Expression(Child(e, 0), scope));
      for (std::size_t i = 1; i < e.Count(); ++i) {
        if (Is(Child(e, i), "thenstmt")) Children(Child(e, i), 0, scope, st.then);
        else if (Is(Child(e, i), "elsestmt")) Children(Child(e, i), 0, scope, st.otherwise);
      }
    } else if (n == "casestmt") {
      auto& st = Add<CaseStmt>(list, e, scope);
      st.selector = Expression(Child(e, 0), scope);
      for (std::size_t i = 1; i < e.Count(); ++i) {
        const TfsXMLItem& c = Child(e, i);
        if (Is(c, "caseselector")) {
          if (c.Count() != 2) continue;
          errorPos_ = Pos(c);
          TfsStmtList body;
          auto set = Set(c[0], scope);
          Statement(c[1], scope, body);
          st.selectors.emplace_back(std::move(set), std::move(body));
        } else if (i + 1 == e.Count()) {
          Statement(c, scope, st.otherwise);
        }
      }
    } else if (n == "forstmt") {
      auto& st = Add<ForStmt>(list, e, scope);
      st.var = LoopVariable(Child(e, 0), scope);
      st.start = Bound(Child(e, 1), scope, st.var);
      std::size_t i = 2;
      if (i < e.Count() && Is(Child(e, i), "downto")) {
        st.down = true;
        ++i;
      }
      st.end = Bound(Child(e, i++), scope, st.var);
      Children(e, i, scope, st.body);
    } else if (n == "vbforstmt") {
      auto& st = Add<VbForStmt>(list, e, scope);
      st.var = LoopVariable(Child(e, 0), scope);
      st.start = Bound(Child(e, 1), scope, st.var);
      st.end = Bound(Child(e, 2), scope, st.var);
      std::size_t i = 3;
      if (i < e.Count() && Is(Child(e, i), "expr")) st.step = Bound(Child(e, i++), scope, st.var);
      Children(e, i, scope, st.body);
    } else if (n == "cppforstmt") {
      auto& st = Add<CppForStmt>(list, e, scope);
      if (e.Count() > 0) Statement(Child(e, 0), scope, st.init);
      if (e.Count() > 1 && Is(Child(e, 1), "expr") && Child(e, 1).Count() > 0) st.cond = Condition(Expression(Child(e, 1), scope));
      if (e.Count() > 2) Statement(Child(e, 2), scope, st.stepList);
      Children(e, 3, scope, st.body);
    } else if (n == "whilestmt") {
      auto& st = Add<WhileStmt>(list, e, scope);
      st.cond = Condition(Expression(Child(e, 0), scope));
      Children(e, 1, scope, st.body);
    } else if (n == "repeatstmt") {
      auto& st = Add<RepeatStmt>(list, e, scope);
      std::size_t last = e.Count() == 0 ? 0 : e.Count() - 1;
      if (Is(Child(e, last), "inverse") && last > 0) {
        st.inverse = true;
        --last;
      }
      for (std::size_t i = 0; i < last; ++i) Statement(Child(e, i), scope, st.body);
      st.cond = Condition(Expression(Child(e, last), scope));
    } else if (n == "trystmt") {
      auto& st = Add<TryStmt>(list, e, scope);
      for (std::size_t i = 0; i < e.Count(); ++i) {
        const TfsXMLItem& c = Child(e, i);
        if (Is(c, "exceptstmt")) {
          st.isExcept = true;
          Children(c, 0, scope, st.handler);
        } else if (Is(c, "finallystmt")) {
          Children(c, 0, scope, st.handler);
        } else {
          Statement(c, scope, st.body);
        }
      }
    } else if (n == "break") {
      Add<FlagStmt>(list, e, scope, &TfsScope::BreakFlag);
    } else if (n == "continue") {
      Add<FlagStmt>(list, e, scope, &TfsScope::ContinueFlag);
    } else if (n == "exit") {
      Add<FlagStmt>(list, e, scope, &TfsScope::ExitFlag);
    } else if (n == "return") {
      if (e.Count() == 1) {
        TfsItem* result = scope.FindLocal("Result");
        if (!result) Fail(ScriptMessage::SIdUndeclared, "Result");
        auto value = Expression(Child(e, 0), scope);
        errorPos_ = Pos(Child(e, 0));
        auto target = std::make_unique<VarDsgn>(result);
        CheckStore(target->Type(), value->Type());
        Add<AssignStmt>(list, e, scope, std::move(target), std::move(value), ' ');
      }
      Add<FlagStmt>(list, e, scope, &TfsScope::ExitFlag);
    } else if (n == "with") {
      With(e, scope, list);
    } else if (n == "delete") {
      auto d = Designator(Child(e, 0), scope);
      errorPos_ = Pos(Child(e, 0));
      TypeCode t = d->Type().code;
      if (t != tcClass && t != tcVariant) Fail(ScriptMessage::SClassRequired);
      Add<CallStmt>(list, e, scope, std::make_unique<FreeDsgn>(scope, std::move(d)), ' ');
    } else if (n == "compoundstmt") {
      Children(e, 0, scope, list);
    } else if (n == "uses") {
      std::string saved = unit_;
      unit_ = e.Prop("unit");
      for (std::size_t i = 0; i < e.Count(); ++i) Block(Child(e, i), scope);
      unit_ = saved;
    } else if (n == "var") {
      for (std::size_t i = 0; i < e.Count(); ++i) {
        if (!Is(Child(e, i), "ident")) continue;
        errorPos_ = Pos(Child(e, i));
        std::string name = Text(Child(e, i));
        CheckNew(name, scope);
        pendingInit_.reset();
        auto item = Variable(e, scope, false, false, &list, name);
        TfsItem* raw = scope.Add(std::move(item));
        if (pendingInit_) Add<AssignStmt>(list, Child(e, i), scope, std::make_unique<VarDsgn>(raw), std::move(pendingInit_), ' ');
      }
    } else if (n == "const") {
      if (e.Count() < 2) return;
      errorPos_ = Pos(Child(e, 0));
      std::string name = Text(Child(e, 0));
      CheckNew(name, scope);
      auto x = Expression(Child(e, 1), scope);
      auto item = std::make_unique<TfsItem>();
      item->name = name;
      item->type = x->Type();
      item->value = x->Value();
      item->readOnly = true;
      scope.Add(std::move(item));
    } else if (n == "procedure" || n == "function") {
      std::string name;
      for (std::size_t i = 0; i < e.Count() && name.empty(); ++i)
        if (Is(Child(e, i), "name")) name = Text(Child(e, i));
      TfsItem* item = scope.FindLocal(name);
      if (!item || item->kind != ItemKind::Proc) Fail(ScriptMessage::SIdUndeclared, name);
      TfsScope& local = item->proc->local;
      const TfsXMLItem* saved = block_;
      block_ = &e;
      Declare(e, local);
      for (std::size_t i = 0; i < e.Count(); ++i)
        if (!Is(Child(e, i), "name") && !Is(Child(e, i), "parameters") && !Is(Child(e, i), "type")) Statement(Child(e, i), local, local.Main());
      block_ = saved;
    }
  }

  void With(const TfsXMLItem& e, TfsScope& scope, TfsStmtList& list) {
    std::size_t added = 0;
    std::size_t i = 0;
    for (; i < e.Count() && Is(e[i], "dsgn"); ++i) {
      auto d = Designator(e[i], scope);
      errorPos_ = Pos(e[i]);
      TypeRef t = d->Type();
      if (t.code != tcClass && t.code != tcVariant) Fail(ScriptMessage::SClassRequired);
      std::string name;
      for (int k = 0;; ++k) {
        name = std::to_string(k);
        bool used = scope.FindLocal(name) != nullptr;
        for (auto& w : withs_) used = used || NameKey(w.var->name) == name;
        if (!used) break;
      }
      auto var = std::make_unique<TfsItem>();
      var->name = name;
      var->type = t;
      var->value = Variant::Null();
      TfsItem* raw = scope.Add(std::move(var));
      Add<WithStmt>(list, e[i], scope, raw, std::move(d));
      withs_.push_back({raw, t});
      ++added;
    }
    Children(e, i, scope, list);
    withs_.resize(withs_.size() - added);
  }

  TfsILParser& parser_;
  TfsScript& program_;
  bool needDeclare_;
  const TfsXMLItem* root_ = nullptr;
  const TfsXMLItem* block_ = nullptr;
  std::string errorPos_, unit_;
  std::vector<WithEntry> withs_;
  std::unique_ptr<TfsExpression> pendingInit_;
};

// Everything a call changes outside its body, put back when it ends, also
// when an error leaves it: a caught error finds the frames as they were.
struct CallGuard {
  TfsProc& p;
  TfsScript& prog;
  bool wasExecuting;
  TfsScope* activeScope;
  std::size_t saveBase;
  bool saved;

  CallGuard(TfsProc& proc, bool save)
      : p(proc), prog(proc.local.Program()), wasExecuting(proc.executing), activeScope(prog.ActiveScope()),
        saveBase(proc.saveStack.size()), saved(save) {
    if (save)
      for (const auto& item : p.local.Items())
        if (item->kind == ItemKind::Variable || item->kind == ItemKind::StringVariable ||
            item->kind == ItemKind::Param)
          p.saveStack.push_back(item->value);
    ++prog.CallDepth();
    p.executing = true;
    prog.ActiveScopeRef() = &p.local;
    p.local.ExitFlag = p.local.BreakFlag = p.local.ContinueFlag = false;
  }
  void Restore() {
    if (!saved) return;
    std::size_t k = saveBase;
    for (const auto& item : p.local.Items())
      if (item->kind == ItemKind::Variable || item->kind == ItemKind::StringVariable ||
          item->kind == ItemKind::Param)
        item->value = std::move(p.saveStack[k++]);
    p.saveStack.resize(saveBase);
    saved = false;
  }
  ~CallGuard() {
    p.local.ExitFlag = p.local.BreakFlag = p.local.ContinueFlag = false;
    Restore();
    p.executing = wasExecuting;
    prog.ActiveScopeRef() = activeScope;
    --prog.CallDepth();
  }
};

}  // namespace

void BuildProgram(TfsILParser& parser, TfsScript& program) { Builder(parser, program).Build(); }

Variant CallScriptProc(TfsItem& procItem, const Variant* args, int argc, Variant* out) {
  TfsProc& p = *procItem.proc;
  TfsScript& prog = p.local.Program();
  // Compile-time values (constants, bounds, defaults) never run script code.
  if (prog.Compiling()) throw ScriptError("Constant expression expected");
  if (prog.CallDepth() >= TfsScript::kMaxCallDepth) throw ScriptError("Stack overflow");
  CallGuard guard(p, p.executing);
  int count = std::min<int>(argc, static_cast<int>(p.params.size()));
  for (int i = 0; i < count; ++i) p.params[static_cast<std::size_t>(i)]->Store(args[i]);
  auto takeParams = [&] {
    if (out)
      for (std::size_t i = 0; i < p.params.size(); ++i) out[i] = p.params[i]->value;
  };
  try {
    RunStatements(p.local.Main(), p.local);
  } catch (...) {
    // The caller still stores the by-reference values an error left behind.
    takeParams();
    throw;
  }
  Variant result = p.isFunction ? p.result->value : Variant::Null();
  takeParams();
  // The outer call's values come back before the caller stores by-reference
  // results, so a variable passed down a recursion keeps the callee's value.
  guard.Restore();
  return result;
}

}  // namespace zentavo
