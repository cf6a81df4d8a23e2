// Expressions: precedence assembly, type check, evaluation with the integer
// fast path and short-circuits, sets, "in" and "is", and the x := x + e rewrite.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "script/fs_ierror.h"
#include "script/fs_iexpression.h"
#include "script/fs_iobjects.h"

namespace zentavo {
namespace {

struct TestVar {
  TypeRef type;
  Variant value;
  bool readOnly = false;
  int reads = 0;  // how often the expression evaluated it (for short-circuits)
};

class TestDesignator : public TfsExprDesignator {
 public:
  explicit TestDesignator(TestVar& var, const HostClassInfo* cls = nullptr) : var_(var), cls_(cls) {}
  Variant GetValue() override {
    ++var_.reads;
    return var_.value;
  }
  void SetValue(const Variant& v) override { var_.value = v; }
  TypeRef Type() const override { return var_.type; }
  bool IsReadOnly() const override { return var_.readOnly; }
  const void* DirectVariable() const override { return &var_; }
  const HostClassInfo* NamedClass() const override { return cls_; }

 private:
  TestVar& var_;
  const HostClassInfo* cls_;
};

const HostClassInfo kComponent{"TComponent", nullptr};
const HostClassInfo kMemo{"TfrxMemoView", &kComponent};
const HostClassInfo kPicture{"TfrxPictureView", &kComponent};

// The program an expression belongs to, as far as "is" needs one: the table
// its handles resolve in. It relates no class names, so the type check
// treats classes as it does without a program.
class TestProgram : public ClassRelation {
 public:
  bool IsClassOrDescendant(std::string_view, std::string_view) const override { return false; }
  const ObjectTable* ProgramObjects() const override { return &objects; }
  ObjectTable objects;
};

// A program's variables and a reader of expression pieces separated by blanks:
// numbers and 'strings' are constants, "[ ... ]" a set (".." a range), known
// operator texts operators, other words variables.
class Fixture {
 public:
  Fixture() {
    Var("i", tcInteger, Variant::Int(5));
    Var("j", tcInteger, Variant::Int(7));
    Var("big", tcInteger, Variant::Int(2147483647));
    Var("f", tcFloat, Variant::Double(2.5));
    Var("s", tcString, Variant::String("abc"));
    Var("t", tcBoolean, Variant::Boolean(true));
    Var("fa", tcBoolean, Variant::Boolean(false));
    Var("vt", tcVariant, Variant::Boolean(true));
    Var("vf", tcVariant, Variant::Boolean(false));
    Var("v", tcVariant, Variant::Int(3));
    Var("n", tcVariant, Variant::Null());
    Var("k", tcInteger, Variant::Int(4)).readOnly = true;
    Var("set127", tcVariant, Variant::ArrayOf({Variant::Int(1), Variant::Int(2), Variant::Int(7)}));
    Var("set135", tcVariant,
        Variant::ArrayOf({Variant::Int(1), Variant::Int(3), Variant::Null(), Variant::Int(5)}));
    Var("memo", tcClass, Variant(), "TfrxMemoView");
    Var("TfrxMemoView", tcClass, Variant(), "TfrxMemoView");
    Var("TComponent", tcClass, Variant(), "TComponent");
    Var("TfrxPictureView", tcClass, Variant(), "TfrxPictureView");
  }

  TestVar& Var(const std::string& name, TypeCode code, Variant value, const std::string& typeName = {}) {
    TestVar& v = vars_[name];
    v.type = {code, typeName};
    v.value = std::move(value);
    return v;
  }

  // "memo" holds a handle of the memo object registered in `table`.
  void PutMemo(ObjectTable& table) { vars_["memo"].value = Variant::Object(table.Register(&memoObject_, &kMemo)); }
  void DropMemo(ObjectTable& table) { table.Unregister(&memoObject_); }

  std::unique_ptr<TfsExprDesignator> Designator(const std::string& name) {
    const HostClassInfo* cls = name == "TfrxMemoView" ? &kMemo
                               : name == "TComponent" ? &kComponent
                               : name == "TfrxPictureView" ? &kPicture : nullptr;
    auto it = vars_.find(name);
    if (it == vars_.end()) throw std::runtime_error("no variable " + name);
    return std::make_unique<TestDesignator>(it->second, cls);
  }

  // Builds from pieces; an empty result means the types were consistent.
  std::string Build(TfsExpression& e, const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> pieces;
    for (std::string p; in >> p;) pieces.push_back(p);
    std::size_t pos = 0;
    int column = 1;
    Feed(e, pieces, pos, column, false);
    return e.Finish();
  }

  TestVar& operator[](const std::string& name) { return vars_[name]; }

 private:
  void Feed(TfsExpression& e, const std::vector<std::string>& pieces, std::size_t& pos, int& column, bool inSet) {
    while (pos < pieces.size()) {
      const std::string& p = pieces[pos++];
      e.SetSourcePosition("1:" + std::to_string(column++));
      if (inSet && (p == "," || p == "]" || p == "..")) {
        --pos;
        return;
      }
      if (p == "[") {
        auto set = std::make_unique<TfsSetExpression>();
        while (pos < pieces.size() && pieces[pos] != "]") {
          if (pieces[pos] == ",") {
            ++pos;
            continue;
          }
          if (pieces[pos] == "..") {
            ++pos;
            set->AddRangeMarker();
            continue;
          }
          auto entry = std::make_unique<TfsExpression>();
          Feed(*entry, pieces, pos, column, true);
          entry->Finish();
          set->AddEntry(std::move(entry));
        }
        ++pos;  // "]"
        e.AddOperand(std::move(set));
        continue;
      }
      ExprOp op;
      if (LookupOperator(p, op)) {
        e.AddOperator(p);
      } else if (p[0] == '\'' || (p[0] >= '0' && p[0] <= '9') || p[0] == '$') {
        e.AddOperand(ParseConstant(p));
      } else {
        e.AddOperand(Designator(p));
      }
    }
  }

  std::map<std::string, TestVar> vars_;
  int memoObject_ = 0;
};

std::string Show(const Variant& v) { return Variant::KindName(v.Type()) + ":" + VarToStr(v); }

struct Row {
  const char* pieces;
  const char* expected;  // "Kind:text", "!compile at POS" or "!message"
  TypeCode type;         // the expression's type when it compiles
  const char* why;
};

TEST(ScriptExpression, AssemblesChecksAndEvaluates) {
  const Row rows[] = {
      {"2 + 3 * 4", "Integer:14", tcInteger, "* binds tighter than +"},
      {"( 2 + 3 ) * 4", "Integer:20", tcInteger, "brackets"},
      {"10 - 4 - 3", "Integer:3", tcInteger, "left associative"},
      {"unminus 2 * 3", "Integer:-6", tcInteger, "prefix minus binds tighter"},
      {"2 * unminus 3 + 1", "Integer:-5", tcInteger, "prefix minus after an operator"},
      {"not fa = t", "Boolean:True", tcBoolean, "(not fa) = t"},
      {"( ( 1 + 2 ) * ( 3 + 4 ) )", "Integer:21", tcInteger, "nested brackets"},
      {"big + 1", "Integer:-2147483648", tcInteger, "both Integer: 32-bit wrap"},
      {"v + 2147483647", "Int64:2147483650", tcVariant, "a Variant operand takes the promoting variant add"},
      {"7 div 2", "Integer:3", tcInteger, "div"},
      {"unminus 7 div 2", "Integer:-3", tcInteger, "div truncates toward zero"},
      {"unminus 7 mod 2", "Integer:-1", tcInteger, "mod has the dividend's sign"},
      {"i div 0", "!Division by zero", tcInteger, "integer division by zero"},
      {"7 / 2", "Double:3,5", tcFloat, "/ is real with Integer operands"},
      {"i * f", "Double:12,5", tcFloat, "Integer with Float is Float"},
      {"i shl 33", "Integer:0", tcInteger, "shift beyond the width"},
      {"'a' + 1", "!Could not convert variant of type (String) into type (Double)", tcString,
       "compiles (String with Integer), fails when run"},
      {"'a' - 1", "!compile at 1:2", tcString, "- is no string operator"},
      {"unminus s", "!compile at 1:1", tcString, "unary minus on a string"},
      {"t < fa", "!compile at 1:2", tcBoolean, "Booleans have no order"},
      {"1 + 2 * t", "!compile at 1:4", tcInteger, "the first conflicting operator is reported"},
      {"memo + 1", "!compile at 1:2", tcClass, "objects only compare"},
      {"s + 'd' = 'abcd'", "Boolean:True", tcBoolean, "concatenation then comparison"},
      {"s strcat 1", "String:abc1", tcString, "strcat on a string concatenates"},
      {"v strcat 1", "Integer:4", tcVariant, "strcat on a number adds"},
      {"i in [ 1 , 3 .. 5 ]", "Boolean:True", tcBoolean, "5 is in the range"},
      {"j in [ 1 , 3 .. 5 ]", "Boolean:False", tcBoolean, "7 is not"},
      {"2 in [ 1 , 3 .. 5 ]", "Boolean:False", tcBoolean, "2 lies between the entries"},
      {"7 in set127", "Boolean:True", tcBoolean, "a set held in a variable: the scan reaches the end"},
      {"4 in set135", "Boolean:True", tcBoolean, "a range held in a variable"},
      {"2 in set135", "Boolean:False", tcBoolean, "outside the stored range"},
      {"i in v", "!Variant is not an array", tcBoolean, "in needs a set or an array"},
      {"n = n", "Boolean:True", tcBoolean, "Null equals Null"},
      {"n + 1", "Null:", tcVariant, "Null propagates"},
      {"memo is TfrxMemoView", "Boolean:False", tcBoolean, "no object yet: nil is no instance"},
  };
  for (const Row& row : rows) {
    Fixture fx;
    TfsExpression e;
    std::string position = fx.Build(e, row.pieces);
    std::string got;
    if (!position.empty()) {
      got = "!compile at " + position;
    } else {
      EXPECT_EQ(e.Type().code, row.type) << row.pieces << ": " << row.why;
      try {
        got = Show(e.Value());
      } catch (const ScriptError& err) {
        got = std::string("!") + err.what();
      }
    }
    EXPECT_EQ(got, row.expected) << row.pieces << ": " << row.why;
  }
}

TEST(ScriptExpression, BooleanOperandsShortCircuit) {
  struct Case {
    const char* pieces;
    int rightReads;
    const char* value;
    const char* why;
  };
  const Case cases[] = {
      {"fa and t", 0, "Boolean:False", "false and ...: the right side never runs"},
      {"t or fa", 0, "Boolean:True", "true or ...: the right side never runs"},
      {"t and fa", 1, "Boolean:False", "true and ...: the right side decides"},
      {"vf and vt", 1, "Boolean:False", "Variant operands evaluate both sides"},
  };
  for (const Case& c : cases) {
    Fixture fx;
    TfsExpression e;
    ASSERT_EQ(fx.Build(e, c.pieces), "") << c.pieces;
    std::istringstream in(c.pieces);
    std::string left, op, right;
    in >> left >> op >> right;
    EXPECT_EQ(Show(e.Value()), c.value) << c.why;
    EXPECT_EQ(fx[right].reads, c.rightReads) << c.why;
  }
}

TEST(ScriptExpression, IsTestsTheObjectsClass) {
  enum class Memo { Own, Foreign, Removed, NoProgram };
  struct Case {
    const char* pieces;
    Memo memo;
    const char* expected;
    const char* why;
  };
  const Case cases[] = {
      {"memo is TfrxMemoView", Memo::Own, "Boolean:True", "the object's own class"},
      {"memo is TComponent", Memo::Own, "Boolean:True", "an ancestor"},
      {"memo is TfrxPictureView", Memo::Own, "Boolean:False", "a sibling class"},
      {"v is TComponent", Memo::Own, "!Object reference required", "a number is no object"},
      {"memo is TfrxMemoView", Memo::Foreign, "!Invalid object reference",
       "a handle of another program's table means nothing here"},
      {"memo is TfrxMemoView", Memo::Removed, "!Invalid object reference", "the object left the table"},
      {"memo is TfrxMemoView", Memo::NoProgram, "!Invalid object reference",
       "outside a program no handle resolves"},
  };
  for (const Case& c : cases) {
    Fixture fx;
    TestProgram program, other;
    // The foreign table holds an object first, so that the memo's handle
    // there differs from any the program's own table issued.
    int padding = 0;
    other.objects.Register(&padding, &kComponent);
    fx.PutMemo(c.memo == Memo::Foreign ? other.objects : program.objects);
    if (c.memo == Memo::Removed) fx.DropMemo(program.objects);
    TfsExpression e(c.memo == Memo::NoProgram ? nullptr : &program);
    ASSERT_EQ(fx.Build(e, c.pieces), "") << c.pieces;
    std::string got;
    try {
      got = Show(e.Value());
    } catch (const ScriptError& err) {
      got = std::string("!") + err.what();
    }
    EXPECT_EQ(got, c.expected) << c.pieces << ": " << c.why;
  }
}

TEST(ScriptExpression, WritesThroughASingleDesignator) {
  Fixture fx;
  TfsExpression e;
  ASSERT_EQ(fx.Build(e, "i"), "");
  EXPECT_FALSE(e.ReadOnly());
  ASSERT_NE(e.SingleDesignator(), nullptr);
  e.SetValue(Variant::Int(42));
  EXPECT_EQ(VarToStr(fx["i"].value), "42") << "a by-reference argument written as a plain variable";

  TfsExpression sum;
  ASSERT_EQ(fx.Build(sum, "i + 1"), "");
  EXPECT_TRUE(sum.ReadOnly());
  sum.SetValue(Variant::Int(1));  // ignored
  EXPECT_EQ(VarToStr(fx["i"].value), "42");

  TfsExpression constant;
  ASSERT_EQ(fx.Build(constant, "k"), "");
  EXPECT_TRUE(constant.ReadOnly()) << "a read-only designator stays read-only";

  TfsExpression literal;
  ASSERT_EQ(fx.Build(literal, "'x'"), "");
  ASSERT_NE(literal.SingleConstant(), nullptr);
  EXPECT_EQ(VarToStr(*literal.SingleConstant()), "x");
}

TEST(ScriptExpression, CompoundAssignmentRewrite) {
  struct Case {
    const char* target;
    const char* pieces;
    const char* modifier;
    const char* rest;  // the value after the rewrite
    const char* why;
  };
  const Case cases[] = {
      {"i", "i + 1", "+", "Integer:1", "x := x + 1 becomes x += 1"},
      {"i", "i - j * 2", "-", "Integer:14", "the whole right side remains"},
      {"f", "f / 2", "/", "Integer:2", "division"},
      {"i", "j + i", "+", "Integer:7", "x := e + x on an Integer"},
      {"i", "j * i", "*", "Integer:7", "x := e * x on an Integer"},
      {"i", "j - i", " ", "Integer:2", "x := e - x is no compound"},
      {"s", "'a' + s", " ", "String:aabc", "s := 'a' + s keeps the full expression"},
      {"v", "2 + v", " ", "Integer:5", "a Variant target keeps it too"},
      {"s", "s strcat 'd'", "+", "String:d", "strcat counts as +"},
      {"i", "j + 1", " ", "Integer:8", "another variable"},
      {"i", "i div 2", " ", "Integer:2", "div has no compound form"},
  };
  for (const Case& c : cases) {
    Fixture fx;
    TfsExpression e;
    ASSERT_EQ(fx.Build(e, c.pieces), "") << c.pieces;
    auto target = fx.Designator(c.target);
    EXPECT_EQ(e.RewriteCompound(*target), c.modifier) << c.why;
    EXPECT_EQ(Show(e.Value()), c.rest) << c.why;
  }
}

TEST(ScriptExpression, OversizedExpressionsAreRefused) {
  TfsExpression e;
  EXPECT_THROW(
      {
        for (int k = 0; k < 5000; ++k) {
          e.AddOperand(Variant::Int(1));
          e.AddOperator("+");
        }
      },
      ScriptError);
  TfsExpression deep;
  EXPECT_THROW(
      {
        for (int k = 0; k < 5000; ++k) deep.AddOperator("(");
      },
      ScriptError);
}

TEST(ScriptExpression, UnknownOperatorTextAddsNothing) {
  TfsExpression e;
  e.AddOperand(Variant::Int(1));
  EXPECT_FALSE(e.AddOperator("**"));
  EXPECT_EQ(e.Finish(), "");
  EXPECT_EQ(VarToStr(e.Value()), "1");
}

}  // namespace
}  // namespace zentavo
