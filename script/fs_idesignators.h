// The designators the builder makes: variables, constants, calls of script
// and host procedures, elements, classes, members of objects known when the
// program is built and of values known only when it runs. Only the builder
// includes it.
#pragma once

#include <array>
#include <charconv>
#include <memory>
#include <string>
#include <vector>

#include "script/fs_ibuildsupport.h"
#include "script/fs_ibuilder.h"
#include "script/fs_iclasses.h"
#include "script/fs_iexpression.h"

namespace zentavo::build {

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
  HostCall(TfsRunContext& context, std::vector<Variant>& v) : TfsMethodCall(context), v_(v) {}
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
  HostCallDsgn(TfsItem* item, ExprList args, TfsScript& program)
      : item_(item), args_(std::move(args)), upper_(NameKey(item->name)), program_(program) {
    type_ = item->type;
    for (const TfsParamDecl& p : item->decl.params) checkClasses_ = checkClasses_ || p.typeCode == tcClass;
    checkClasses_ = checkClasses_ && !item->decl.textArguments;
  }
  Variant GetValue() override {
    std::vector<Variant> vals;
    vals.reserve(args_.size());
    for (auto& a : args_)
      vals.push_back(item_->decl.textArguments ? Variant::String(a->SourceText()) : a->Value());
    if (checkClasses_) CheckClassArgs(program_.Objects(), item_->decl, vals, program_);
    HostCall call(program_, vals);
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
  TfsScript& program_;
  bool checkClasses_ = false;  // object arguments are checked before the callback sees them
};

// The argument values of a member resolved at run time, fitted to its
// declaration as the builder fits those of members it knows.
inline void FitArgs(const TfsMethodDecl& decl, std::vector<Variant>& vals) {
  if (static_cast<int>(vals.size()) < decl.RequiredCount()) Fail(ScriptMessage::SNotEnoughParams);
  if (vals.size() > decl.params.size()) Fail(ScriptMessage::STooManyParams);
  while (vals.size() < decl.params.size()) vals.push_back(decl.params[vals.size()].defaultValue);
}

// The default property of an object held in a Variant (o[i]).
inline const TfsClassMember& LateDefault(TfsScope& scope, const Variant& object) {
  TfsClassVariable* cls = scope.Program().ClassOfObject(object);
  const TfsClassMember* m = cls->DefaultProperty();
  if (!m) throw ScriptError(FormatMessage(MessageText(ScriptMessage::SClassError).c_str(), cls->Name()));
  return *m;
}

inline Variant ReadLateDefault(TfsScope& scope, const Variant& object, std::vector<Variant> vals) {
  const TfsClassMember& m = LateDefault(scope, object);
  FitArgs(m.decl, vals);
  return ReadMember(scope, m, nullptr, object, vals);
}

inline void WriteLateDefault(TfsScope& scope, const Variant& object, std::vector<Variant> vals, const Variant& v) {
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
inline std::vector<Variant> ArgValues(const ExprList& args, bool textArguments) {
  std::vector<Variant> vals;
  vals.reserve(args.size());
  for (auto& a : args) vals.push_back(textArguments ? Variant::String(a->SourceText()) : a->Value());
  return vals;
}

// By-reference parameters hand their final values back to the arguments.
inline void StoreByRef(const TfsClassMember& m, const ExprList& args, const std::vector<Variant>& vals) {
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
      CheckTypecast(scope_.Program().Objects(), v, cls_);
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
    const HostClassInfo* info = scope_.Program().Objects().ClassOf(instance.RawObject());
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

}  // namespace zentavo::build
