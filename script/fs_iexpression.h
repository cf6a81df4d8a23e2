// Script expressions: a tree of operand and operator nodes that the program
// builder fills in source order (operator precedence assembly), that is
// type-checked once when finished, and evaluated on demand at run time.
// Also the set constructor ([1, 3..5]) and the x := x + e rewrite.
//
// The builder's side, for the children of an expression element in order:
//   e.SetSourcePosition(pos);              // before each child
//   e.AddOperator(opText);                 // "op" leaves: "+", "div", "unminus", "(" ...
//   e.AddOperand(ParseConstant(text));     // numbers and strings
//   e.AddOperand(std::move(designator));   // a TfsExprDesignator
//   e.AddOperand(std::move(set));          // a TfsSetExpression
// then `if (auto pos = e.Finish(); !pos.empty())` -> "Incompatible types" at pos.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "script/fs_iobjects.h"
#include "script/fs_itypes.h"
#include "script/fs_ivariant.h"

namespace zentavo {

// What a designator (a name with its steps: x, a[i], Memo1.Text, F(2)) offers
// an expression. The interpreter's designators implement it.
class TfsExprDesignator {
 public:
  virtual ~TfsExprDesignator() = default;
  virtual Variant GetValue() = 0;
  virtual void SetValue(const Variant& value) = 0;
  virtual TypeRef Type() const = 0;
  virtual bool IsReadOnly() const = 0;
  // The variable a plain-variable designator reads and writes directly (its
  // identity, for the compound-assignment rewrite); null for other kinds.
  virtual const void* DirectVariable() const { return nullptr; }
  // The host class a designator names by its first step (the right side of
  // "is"); null when it names no class.
  virtual const HostClassInfo* NamedClass() const { return nullptr; }
};

// Operator codes. A smaller priority binds tighter; operands have 0.
enum class ExprOp {
  None,  // the sentinel above the tree while it is assembled
  LeftBracket,
  RightBracket,
  Greater, Less, LessEq, GreaterEq, NotEq, Eq, In, Is,
  Plus, StrCat, Minus, Or, Xor,
  Mul, DivFloat, DivInt, Mod, And, Shl, Shr,
  Not, UnMinus,
};

// The operator of an operator text ("+", "div", "strcat", "unminus" ... in
// any case); false for an unknown text.
bool LookupOperator(std::string_view text, ExprOp& op);
int OperatorPriority(ExprOp op);

class TfsExpression;

// An ordered list of entries, each an expression or a range marker between
// the two bounds of a range: [1, 3..5] holds 1, 3, marker, 5.
class TfsSetExpression {
 public:
  void AddEntry(std::unique_ptr<TfsExpression> entry);
  void AddRangeMarker();
  std::size_t Count() const { return entries_.size(); }
  // An array 0..count-1 of the entries' values, Null for each marker.
  Variant Value() const;
  // Membership: a range matches low <= x <= high, any other entry x = entry.
  bool Contains(const Variant& x) const;

 private:
  std::vector<std::unique_ptr<TfsExpression>> entries_;  // null: range marker
};

class TfsExpressionNode {
 public:
  explicit TfsExpressionNode(int priority) : priority_(priority) {}
  virtual ~TfsExpressionNode() = default;
  virtual Variant Value() = 0;
  // The value as a 32-bit integer, for the integer fast path: nodes that can
  // produce it without building a value override this.
  virtual std::int32_t Int32Value() { return Value().ToInt32(); }

  int Priority() const { return priority_; }
  TfsExpressionNode* Parent() const { return parent_; }
  TfsExpressionNode* Left() const { return left_.get(); }
  TfsExpressionNode* Right() const { return right_.get(); }
  const TypeRef& Type() const { return type_; }
  const std::string& SourcePosition() const { return sourcePosition_; }

 protected:
  friend class TfsExpression;
  int priority_;
  TfsExpressionNode* parent_ = nullptr;
  std::unique_ptr<TfsExpressionNode> left_;
  std::unique_ptr<TfsExpressionNode> right_;
  TypeRef type_;
  std::string sourcePosition_;
};

class TfsOperandNode : public TfsExpressionNode {
 public:
  explicit TfsOperandNode(Variant value);
  Variant Value() override { return value_; }
  std::int32_t Int32Value() override { return value_.ToInt32(); }
  const Variant& Constant() const { return value_; }

 protected:
  TfsOperandNode() : TfsExpressionNode(0) {}
  Variant value_;
};

class TfsDesignatorNode : public TfsOperandNode {
 public:
  explicit TfsDesignatorNode(std::unique_ptr<TfsExprDesignator> designator);
  Variant Value() override { return designator_->GetValue(); }
  std::int32_t Int32Value() override { return designator_->GetValue().ToInt32(); }
  TfsExprDesignator& Designator() const { return *designator_; }

 private:
  std::unique_ptr<TfsExprDesignator> designator_;
};

class TfsSetNode : public TfsOperandNode {
 public:
  explicit TfsSetNode(std::unique_ptr<TfsSetExpression> set);
  Variant Value() override { return set_->Value(); }
  std::int32_t Int32Value() override { return set_->Value().ToInt32(); }
  const TfsSetExpression& Set() const { return *set_; }

 private:
  std::unique_ptr<TfsSetExpression> set_;
};

class TfsOperatorNode : public TfsExpressionNode {
 public:
  explicit TfsOperatorNode(ExprOp op) : TfsExpressionNode(OperatorPriority(op)), op_(op) {}
  Variant Value() override;
  std::int32_t Int32Value() override;
  ExprOp Op() const { return op_; }
  bool BothIntegers() const { return bothIntegers_; }
  bool BothBooleans() const { return bothBooleans_; }

 private:
  friend class TfsExpression;
  ExprOp op_;
  bool bothIntegers_ = false;
  bool bothBooleans_ = false;
  // "is": the table of the program the expression belongs to, where the
  // left side's object finds its class; null outside a program.
  const ObjectTable* objects_ = nullptr;
};

class TfsExpression {
 public:
  // `classes` is the owning program: it answers class descent for the type
  // check (without it only equal class names are compatible) and holds the
  // objects "is" looks at when it runs (without it no handle resolves).
  explicit TfsExpression(const ClassRelation* classes = nullptr);
  ~TfsExpression();
  TfsExpression(const TfsExpression&) = delete;
  TfsExpression& operator=(const TfsExpression&) = delete;

  // --- build time, in source order ---
  // The position ("line:col") the next added nodes take.
  void SetSourcePosition(std::string position) { sourcePosition_ = std::move(position); }
  const std::string& SourcePosition() const { return sourcePosition_; }
  void SetSourceText(std::string text) { sourceText_ = std::move(text); }
  const std::string& SourceText() const { return sourceText_; }

  void AddOperand(Variant constant);
  void AddOperand(std::unique_ptr<TfsExprDesignator> designator);
  void AddOperand(std::unique_ptr<TfsSetExpression> set);
  // False (and nothing added) for an unknown operator text.
  bool AddOperator(std::string_view text);
  // Ends the assembly and checks the types. The position of the first
  // operator whose operands do not combine, or empty when all is well.
  std::string Finish();

  // --- after Finish ---
  const TypeRef& Type() const { return type_; }
  bool ReadOnly() const { return readOnly_; }
  Variant Value() const;
  // Stores through the root designator; nothing when ReadOnly.
  void SetValue(const Variant& value) const;
  // For the assignment fast path: the constant or the designator that is the
  // whole tree, else null.
  const Variant* SingleConstant() const;
  TfsExprDesignator* SingleDesignator() const;
  TfsExpressionNode* Root() const { return root_.get(); }

  // x := x + e becomes the modifier "+" with this expression reduced to e
  // (likewise "-", "*", "/"; x := e + x and x := e * x too when x is neither
  // String nor Variant). The modifier, or " " when nothing was rewritten.
  std::string RewriteCompound(const TfsExprDesignator& target);

 private:
  void Attach(TfsExpressionNode* parent, std::unique_ptr<TfsExpressionNode> node);
  void AddNode(std::unique_ptr<TfsExpressionNode> node);
  TypeRef Check(TfsExpressionNode* node, int depth);
  void UpdateAfterFinish();

  const ClassRelation* classes_;
  std::unique_ptr<TfsExpressionNode> root_;  // the sentinel until Finish
  TfsExpressionNode* current_ = nullptr;
  bool finished_ = false;
  std::size_t nodeCount_ = 0;
  std::string sourcePosition_;
  std::string sourceText_;
  std::string errorPosition_;
  TypeRef type_;
  bool readOnly_ = true;
};

}  // namespace zentavo
