// Expression trees: precedence assembly, type check, evaluation, sets and the
// compound-assignment rewrite.
#include "script/fs_iexpression.h"

#include "platform/Cp1254.h"
#include "script/fs_ierror.h"

namespace zentavo {

namespace {

// An expression larger than this is refused; it also bounds the depth of the
// recursive type check and evaluation.
constexpr std::size_t kMaxExpressionNodes = 4096;

struct OperatorRow {
  const char* text;
  ExprOp op;
  int priority;
};

// Operator texts as the grammars deliver them (compared in upper case).
constexpr OperatorRow kOperators[] = {
    {"(", ExprOp::LeftBracket, 6}, {")", ExprOp::RightBracket, 5},
    {">", ExprOp::Greater, 4},     {"<", ExprOp::Less, 4},
    {"<=", ExprOp::LessEq, 4},     {">=", ExprOp::GreaterEq, 4},
    {"<>", ExprOp::NotEq, 4},      {"=", ExprOp::Eq, 4},
    {"IN", ExprOp::In, 4},         {"IS", ExprOp::Is, 4},
    {"+", ExprOp::Plus, 3},        {"STRCAT", ExprOp::StrCat, 3},
    {"-", ExprOp::Minus, 3},       {"OR", ExprOp::Or, 3},
    {"XOR", ExprOp::Xor, 3},       {"*", ExprOp::Mul, 2},
    {"/", ExprOp::DivFloat, 2},    {"DIV", ExprOp::DivInt, 2},
    {"MOD", ExprOp::Mod, 2},       {"AND", ExprOp::And, 2},
    {"SHL", ExprOp::Shl, 2},       {"SHR", ExprOp::Shr, 2},
    {"NOT", ExprOp::Not, 1},       {"UNMINUS", ExprOp::UnMinus, 1},
};

bool IsComparison(ExprOp op) {
  return op == ExprOp::Greater || op == ExprOp::Less || op == ExprOp::LessEq ||
         op == ExprOp::GreaterEq || op == ExprOp::NotEq || op == ExprOp::Eq;
}

// Which operators each left operand type allows.
bool OperatorAllowed(TypeCode left, ExprOp op) {
  switch (left) {
    case tcBoolean:
      return op == ExprOp::NotEq || op == ExprOp::Eq || op == ExprOp::Or || op == ExprOp::Xor ||
             op == ExprOp::And || op == ExprOp::Not;
    case tcChar:
    case tcString:
      return IsComparison(op) || op == ExprOp::Plus || op == ExprOp::StrCat || op == ExprOp::In;
    case tcClass:
    case tcArray:
      return op == ExprOp::Eq || op == ExprOp::NotEq;
    default:
      return true;
  }
}

// Operands combine when the right type may meet the left one; in an
// expression a text also meets a number ('Total: ' & n), which the
// operators then decide at run time.
bool OperandsCompatible(const TypeRef& l, const TypeRef& r, const ClassRelation* classes) {
  if ((l.code == tcString || l.code == tcChar) && (r.code == tcInteger || r.code == tcFloat)) return true;
  return TypesCompatible(l, r, classes);
}

TypeCode TypeOfConstant(const Variant& v) {
  switch (v.Type()) {
    case varBoolean: return tcBoolean;
    case varSingle: case varDouble: case varCurrency: return tcFloat;
    case varOleStr: case varString: return tcString;
    default: return tcInteger;
  }
}

// The element scan of "x in v" for a set held in a variable: an element, a
// Null and a third element form a range.
bool ArrayContains(const Variant& array, const Variant& x) {
  if (!array.IsArray()) throw ScriptError("Variant is not an array");
  const std::vector<Variant>& items = array.RawArray().items;
  std::size_t n = items.size();
  for (std::size_t i = 0; i < n;) {
    if (i + 2 < n && items[i + 1].IsNull() && !items[i].IsNull()) {
      if (VarCompareOp(CompareOp::GreaterEq, x, items[i]) && VarCompareOp(CompareOp::LessEq, x, items[i + 2]))
        return true;
      i += 3;
    } else {
      if (VarCompareOp(CompareOp::Eq, x, items[i])) return true;
      ++i;
    }
  }
  return false;
}

}  // namespace

bool LookupOperator(std::string_view text, ExprOp& op) {
  std::string upper = cp1254::UpperCase(text);
  for (const OperatorRow& row : kOperators) {
    if (upper == row.text) {
      op = row.op;
      return true;
    }
  }
  return false;
}

int OperatorPriority(ExprOp op) {
  if (op == ExprOp::None) return 7;
  for (const OperatorRow& row : kOperators)
    if (row.op == op) return row.priority;
  return 7;
}

// ---- sets -------------------------------------------------------------------

void TfsSetExpression::AddEntry(std::unique_ptr<TfsExpression> entry) { entries_.push_back(std::move(entry)); }
void TfsSetExpression::AddRangeMarker() { entries_.push_back(nullptr); }

Variant TfsSetExpression::Value() const {
  std::vector<Variant> values;
  values.reserve(entries_.size());
  for (const auto& e : entries_) values.push_back(e ? e->Value() : Variant::Null());
  return Variant::ArrayOf(std::move(values));
}

bool TfsSetExpression::Contains(const Variant& x) const {
  std::size_t n = entries_.size();
  for (std::size_t i = 0; i < n;) {
    if (!entries_[i]) {  // a stray marker has nothing to compare
      ++i;
      continue;
    }
    if (i + 2 < n && !entries_[i + 1] && entries_[i + 2]) {
      Variant low = entries_[i]->Value();
      Variant high = entries_[i + 2]->Value();
      if (VarCompareOp(CompareOp::GreaterEq, x, low) && VarCompareOp(CompareOp::LessEq, x, high)) return true;
      i += 3;
    } else {
      if (VarCompareOp(CompareOp::Eq, x, entries_[i]->Value())) return true;
      ++i;
    }
  }
  return false;
}

// ---- nodes ----------------------------------------------------------------------

TfsOperandNode::TfsOperandNode(Variant value) : TfsExpressionNode(0), value_(std::move(value)) {
  type_.code = TypeOfConstant(value_);
}

TfsDesignatorNode::TfsDesignatorNode(std::unique_ptr<TfsExprDesignator> designator)
    : designator_(std::move(designator)) {
  type_ = designator_->Type();
}

TfsSetNode::TfsSetNode(std::unique_ptr<TfsSetExpression> set) : set_(std::move(set)) {
  type_.code = tcVariant;
}

namespace {

// A child that a malformed build left out reads as Empty instead of crashing.
struct Child {
  TfsExpressionNode* node;
  Variant Value() const { return node ? node->Value() : Variant(); }
};

}  // namespace

Variant TfsOperatorNode::Value() {
  Child l{left_.get()};
  Child r{right_.get()};
  switch (op_) {
    case ExprOp::None:
    case ExprOp::LeftBracket:
      return l.Value();
    case ExprOp::Greater: case ExprOp::Less: case ExprOp::LessEq:
    case ExprOp::GreaterEq: case ExprOp::NotEq: case ExprOp::Eq: {
      Variant a = l.Value();
      Variant b = r.Value();
      static constexpr CompareOp kMap[] = {CompareOp::Greater, CompareOp::Less, CompareOp::LessEq,
                                           CompareOp::GreaterEq, CompareOp::NotEq, CompareOp::Eq};
      return Variant::Boolean(VarCompareOp(kMap[static_cast<int>(op_) - static_cast<int>(ExprOp::Greater)], a, b));
    }
    case ExprOp::Plus: case ExprOp::Minus: case ExprOp::Mul: case ExprOp::DivInt: case ExprOp::Mod: {
      if (bothIntegers_ && l.node && r.node) return Variant::Int(Int32Value());
      Variant a = l.Value();
      Variant b = r.Value();
      static constexpr VariantOp kMap[] = {VariantOp::Add, VariantOp::Sub, VariantOp::Mul,
                                           VariantOp::IntDiv, VariantOp::Mod};
      int k = op_ == ExprOp::Plus ? 0 : op_ == ExprOp::Minus ? 1 : op_ == ExprOp::Mul ? 2
              : op_ == ExprOp::DivInt ? 3 : 4;
      return VarBinary(kMap[k], a, b);
    }
    case ExprOp::StrCat: {
      Variant a = l.Value();
      Variant b = r.Value();
      if (a.IsString()) {
        std::string text = a.RawString();
        text += VarToStr(b);
        return Variant::String(std::move(text));
      }
      return VarBinary(VariantOp::Add, a, b);
    }
    case ExprOp::DivFloat: {
      Variant a = l.Value();
      Variant b = r.Value();
      return VarBinary(VariantOp::Div, a, b);
    }
    case ExprOp::And:
    case ExprOp::Or: {
      Variant a = l.Value();
      if (bothBooleans_) {
        // Boolean operands short-circuit: the right side may not even run.
        bool left = a.ToBool();
        if (op_ == ExprOp::And ? !left : left) return a;
        return r.Value();
      }
      Variant b = r.Value();
      return VarBinary(op_ == ExprOp::And ? VariantOp::And : VariantOp::Or, a, b);
    }
    case ExprOp::Xor: case ExprOp::Shl: case ExprOp::Shr: {
      Variant a = l.Value();
      Variant b = r.Value();
      VariantOp v = op_ == ExprOp::Xor ? VariantOp::Xor : op_ == ExprOp::Shl ? VariantOp::Shl : VariantOp::Shr;
      return VarBinary(v, a, b);
    }
    case ExprOp::Not: return VarNot(l.Value());
    case ExprOp::UnMinus: return VarNeg(l.Value());
    case ExprOp::In: {
      Variant x = l.Value();
      if (auto* set = dynamic_cast<TfsSetNode*>(r.node)) return Variant::Boolean(set->Set().Contains(x));
      return Variant::Boolean(ArrayContains(r.Value(), x));
    }
    case ExprOp::Is: {
      Variant x = l.Value();
      auto* d = dynamic_cast<TfsDesignatorNode*>(r.node);
      const HostClassInfo* cls = d ? d->Designator().NamedClass() : nullptr;
      // nil (and an unassigned value) is an instance of no class.
      if (x.IsEmptyOrNull() || (x.IsInt32() && x.RawInt32() == 0)) return Variant::Boolean(false);
      if (!x.IsObject()) throw ScriptError(msg::kNotAnObject);
      // A handle resolves only in the table of the script it came from.
      if (!objects_) throw ScriptError(msg::kInvalidObject);
      const HostClassInfo* own = objects_->ClassOf(x.RawObject());
      return Variant::Boolean(cls && own && own->InheritsFrom(cls->name));
    }
    case ExprOp::RightBracket:
      break;
  }
  throw ScriptError(msg::kInvalidVarOp);
}

std::int32_t TfsOperatorNode::Int32Value() {
  // Integer arithmetic of Integer operands computes without building values
  // in between; everything else takes the general path.
  if (bothIntegers_ && left_ && right_) {
    switch (op_) {
      case ExprOp::Plus: {
        std::int32_t x = left_->Int32Value();
        return WrapAdd(x, right_->Int32Value());
      }
      case ExprOp::Minus: {
        std::int32_t x = left_->Int32Value();
        return WrapSub(x, right_->Int32Value());
      }
      case ExprOp::Mul: {
        std::int32_t x = left_->Int32Value();
        return WrapMul(x, right_->Int32Value());
      }
      case ExprOp::DivInt: {
        std::int32_t x = left_->Int32Value();
        return CheckedDiv32(x, right_->Int32Value());
      }
      case ExprOp::Mod: {
        std::int32_t x = left_->Int32Value();
        return CheckedMod32(x, right_->Int32Value());
      }
      default:
        break;
    }
  }
  return Value().ToInt32();
}

// ---- the expression ----------------------------------------------------------

TfsExpression::TfsExpression(const ClassRelation* classes)
    : classes_(classes), root_(std::make_unique<TfsOperatorNode>(ExprOp::None)) {
  current_ = root_.get();
}

TfsExpression::~TfsExpression() = default;

void TfsExpression::Attach(TfsExpressionNode* parent, std::unique_ptr<TfsExpressionNode> node) {
  node->parent_ = parent;
  if (!parent->left_) parent->left_ = std::move(node);
  else parent->right_ = std::move(node);
}

void TfsExpression::AddNode(std::unique_ptr<TfsExpressionNode> node) {
  if (finished_) throw ScriptError(msg::kExpressionTooComplex);
  if (++nodeCount_ > kMaxExpressionNodes) throw ScriptError(msg::kExpressionTooComplex);
  node->sourcePosition_ = sourcePosition_;
  TfsExpressionNode* raw = node.get();
  Attach(current_, std::move(node));
  current_ = raw;
}

void TfsExpression::AddOperand(Variant constant) { AddNode(std::make_unique<TfsOperandNode>(std::move(constant))); }

void TfsExpression::AddOperand(std::unique_ptr<TfsExprDesignator> designator) {
  AddNode(std::make_unique<TfsDesignatorNode>(std::move(designator)));
}

void TfsExpression::AddOperand(std::unique_ptr<TfsSetExpression> set) {
  AddNode(std::make_unique<TfsSetNode>(std::move(set)));
}

bool TfsExpression::AddOperator(std::string_view text) {
  ExprOp op;
  if (!LookupOperator(text, op)) return false;
  if (finished_) throw ScriptError(msg::kExpressionTooComplex);
  if (op == ExprOp::LeftBracket || op == ExprOp::Not || op == ExprOp::UnMinus) {
    // Prefix operators and the opening bracket simply descend.
    AddNode(std::make_unique<TfsOperatorNode>(op));
    return true;
  }
  if (op == ExprOp::RightBracket) {
    TfsExpressionNode* node = current_;
    while (node && node->priority_ <= OperatorPriority(ExprOp::RightBracket)) node = node->parent_;
    auto* bracket = dynamic_cast<TfsOperatorNode*>(node);
    if (!bracket || bracket->op_ != ExprOp::LeftBracket) return true;  // no "(" to close
    TfsExpressionNode* parent = bracket->parent_;
    std::unique_ptr<TfsExpressionNode>& slot = parent->left_.get() == bracket ? parent->left_ : parent->right_;
    std::unique_ptr<TfsExpressionNode> inner = std::move(bracket->left_);
    --nodeCount_;
    if (inner) {
      inner->parent_ = parent;
      current_ = inner.get();
      slot = std::move(inner);  // frees the bracket node
    } else {
      slot.reset();
      current_ = parent;
    }
    return true;
  }
  if (++nodeCount_ > kMaxExpressionNodes) throw ScriptError(msg::kExpressionTooComplex);
  auto node = std::make_unique<TfsOperatorNode>(op);
  node->sourcePosition_ = sourcePosition_;
  if (op == ExprOp::Is && classes_) node->objects_ = classes_->ProgramObjects();
  TfsOperatorNode* raw = node.get();
  if (!root_->left_) {
    Attach(root_.get(), std::move(node));
    current_ = raw;
    return true;
  }
  TfsExpressionNode* c = current_;
  TfsExpressionNode* l = nullptr;
  TfsExpressionNode* climb;
  bool openBracket = false;
  if (auto* cb = dynamic_cast<TfsOperatorNode*>(c); cb && cb->op_ == ExprOp::LeftBracket) openBracket = true;
  if (openBracket || c == root_.get()) {
    climb = c;
  } else {
    l = c;
    climb = c->parent_;
  }
  // Equal priorities climb, so operators of one level associate to the left.
  while (climb->parent_ && raw->priority_ >= climb->priority_) {
    l = climb;
    climb = climb->parent_;
  }
  if (l) {
    std::unique_ptr<TfsExpressionNode>& slot = climb->left_.get() == l ? climb->left_ : climb->right_;
    std::unique_ptr<TfsExpressionNode> detached = std::move(slot);
    node->parent_ = climb;
    slot = std::move(node);
    detached->parent_ = raw;
    raw->left_ = std::move(detached);
  } else {
    Attach(climb, std::move(node));
  }
  current_ = raw;
  return true;
}

TypeRef TfsExpression::Check(TfsExpressionNode* node, int depth) {
  if (!node) return TypeRef{tcVariant, {}};
  if (depth > static_cast<int>(kMaxExpressionNodes)) throw ScriptError(msg::kExpressionTooComplex);
  auto* op = dynamic_cast<TfsOperatorNode*>(node);
  if (!op) return node->type_;
  TypeRef l = Check(op->left_.get(), depth + 1);
  TypeRef r = Check(op->right_.get(), depth + 1);
  op->bothIntegers_ = l.code == tcInteger && r.code == tcInteger;
  op->bothBooleans_ = l.code == tcBoolean && r.code == tcBoolean;
  bool consistent = true;
  if (!(op->op_ == ExprOp::Is && l.code == tcClass && r.code == tcClass))
    consistent = OperandsCompatible(l, r, classes_) && OperatorAllowed(l.code, op->op_);
  if (!consistent) {
    if (errorPosition_.empty()) errorPosition_ = op->sourcePosition_.empty() ? "0:0" : op->sourcePosition_;
    op->type_ = l;
    return op->type_;
  }
  TypeRef result = l;
  if ((l.code == tcInteger && r.code == tcFloat) || (l.code == tcFloat && r.code == tcInteger))
    result.code = tcFloat;
  if (op->op_ == ExprOp::DivFloat && op->bothIntegers_) result.code = tcFloat;
  if (IsComparison(op->op_) || op->op_ == ExprOp::In || op->op_ == ExprOp::Is) result.code = tcBoolean;
  op->type_ = result;
  return result;
}

void TfsExpression::UpdateAfterFinish() {
  TfsExpressionNode* top = root_.get();
  type_ = top ? top->type_ : TypeRef{tcVariant, {}};
  auto* d = dynamic_cast<TfsDesignatorNode*>(top);
  readOnly_ = !(d && !d->Designator().IsReadOnly());
}

std::string TfsExpression::Finish() {
  if (finished_) return errorPosition_;
  finished_ = true;
  // The sentinel goes; the tree's top becomes the root.
  std::unique_ptr<TfsExpressionNode> top = std::move(root_->left_);
  if (top) top->parent_ = nullptr;
  root_ = std::move(top);
  current_ = root_.get();
  if (root_) type_ = Check(root_.get(), 0);
  UpdateAfterFinish();
  return errorPosition_;
}

Variant TfsExpression::Value() const {
  if (!finished_) return root_->left_ ? root_->left_->Value() : Variant();
  return root_ ? root_->Value() : Variant();
}

void TfsExpression::SetValue(const Variant& value) const {
  if (readOnly_) return;
  static_cast<TfsDesignatorNode*>(root_.get())->Designator().SetValue(value);
}

const Variant* TfsExpression::SingleConstant() const {
  auto* n = root_.get();
  if (!finished_ || !n || n->priority_ != 0) return nullptr;
  if (dynamic_cast<TfsDesignatorNode*>(n) || dynamic_cast<TfsSetNode*>(n)) return nullptr;
  return &static_cast<TfsOperandNode*>(n)->Constant();
}

TfsExprDesignator* TfsExpression::SingleDesignator() const {
  auto* d = finished_ ? dynamic_cast<TfsDesignatorNode*>(root_.get()) : nullptr;
  return d ? &d->Designator() : nullptr;
}

std::string TfsExpression::RewriteCompound(const TfsExprDesignator& target) {
  const void* variable = target.DirectVariable();
  auto* op = dynamic_cast<TfsOperatorNode*>(root_.get());
  if (!finished_ || !variable || !op) return " ";
  const char* modifier = nullptr;
  switch (op->op_) {
    case ExprOp::Plus: case ExprOp::StrCat: modifier = "+"; break;
    case ExprOp::Minus: modifier = "-"; break;
    case ExprOp::Mul: modifier = "*"; break;
    case ExprOp::DivFloat: modifier = "/"; break;
    default: return " ";
  }
  auto refersToTarget = [&](TfsExpressionNode* n) {
    auto* d = dynamic_cast<TfsDesignatorNode*>(n);
    return d && d->Designator().DirectVariable() == variable;
  };
  std::unique_ptr<TfsExpressionNode> keep;
  if (refersToTarget(op->left_.get()) && op->right_) {
    keep = std::move(op->right_);
  } else if ((*modifier == '+' || *modifier == '*') && refersToTarget(op->right_.get()) && op->left_) {
    TypeCode t = target.Type().code;
    if (t == tcString || t == tcVariant) return " ";
    keep = std::move(op->left_);
  } else {
    return " ";
  }
  keep->parent_ = nullptr;
  root_ = std::move(keep);
  UpdateAfterFinish();
  return modifier;
}

}  // namespace zentavo
