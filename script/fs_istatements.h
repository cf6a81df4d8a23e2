// The statements the builder makes, one class per kind, and how loops
// take their rounds. Only the builder includes it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "script/fs_idesignators.h"

namespace zentavo::build {

using Stmt = TfsStatement;

// Per-round check of the loops: the line hook sees every round (so a host
// can stop a loop whose body is empty) and a stop request ends the loop.
inline bool LoopRound(TfsScope& scope, const std::string& unit, const std::string& pos) {
  TfsScript& p = scope.Program();
  p.CheckStop();
  if (p.OnRunLine) p.RunLine(scope, unit, pos);
  return !p.TerminateRequested();
}

// After each round: false when the loop is to end.
inline bool AfterRound(TfsScope& scope) {
  if (scope.BreakFlag || scope.ExitFlag) return false;
  scope.ContinueFlag = false;
  return true;
}
inline void EndLoop(TfsScope& scope) {
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
      } catch (const ScriptStopped&) {
        throw;
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

}  // namespace zentavo::build
