// Script values: conversions, operators, comparisons, arrays, copy-on-write
// and object handles.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <string>

#include "script/fs_ierror.h"
#include "script/fs_iobjects.h"
#include "script/fs_ivariant.h"

namespace zentavo {
namespace {

// "Kind:text" of a value, so one string states both the automation type and the value.
std::string Show(const Variant& v) {
  if (v.IsArray()) return Variant::KindName(v.Type());
  return Variant::KindName(v.Type()) + ":" + VarToStr(v);
}

// The value or "!message" of the error it raised.
std::string Outcome(const std::function<Variant()>& f) {
  try {
    return Show(f());
  } catch (const ScriptError& e) {
    return std::string("!") + e.what();
  }
}

Variant I(std::int32_t i) { return Variant::Int(i); }
Variant I64(std::int64_t i) { return Variant::Int64(i); }
Variant D(double d) { return Variant::Double(d); }
Variant S(const char* s) { return Variant::String(s); }
Variant B(bool b) { return Variant::Boolean(b); }

struct BinaryRow {
  VariantOp op;
  Variant left, right;
  const char* expected;
  const char* why;
};

TEST(ScriptVariant, BinaryOperators) {
  const std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  const std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  const BinaryRow rows[] = {
      {VariantOp::Add, I(2), I(3), "Integer:5", "small integers stay Integer"},
      {VariantOp::Add, I(kMax), I(1), "Int64:2147483648", "32-bit overflow is promoted to 64 bits"},
      {VariantOp::Mul, I(65536), I(65536), "Int64:4294967296", "products promote as well"},
      {VariantOp::Add, I64(std::numeric_limits<std::int64_t>::max()), I(1), "!Integer overflow",
       "64-bit overflow is an error, never a silent wrap"},
      {VariantOp::Add, I(1), D(0.5), "Double:1,5", "integer with real gives real, Turkish decimal comma"},
      {VariantOp::Add, S("ab"), S("cd"), "String:abcd", "two strings concatenate"},
      {VariantOp::Add, S("1,5"), I(2), "Double:3,5", "a string meets a number as a number"},
      {VariantOp::Add, S("1.5"), I(2), "!Could not convert variant of type (String) into type (Double)",
       "the locale's decimal separator is ',': '1.5' is no number (never 15)"},
      {VariantOp::Add, S("a"), I(1), "!Could not convert variant of type (String) into type (Double)",
       "text that is no number"},
      {VariantOp::Add, Variant::Null(), I(1), "Null:", "Null propagates"},
      {VariantOp::Add, Variant(), I(4), "Integer:4", "Empty counts as 0"},
      {VariantOp::Add, Variant(), S("x"), "String:x", "Empty counts as the empty string"},
      {VariantOp::Add, B(true), I(1), "Integer:0", "True is -1 as a number"},
      {VariantOp::Sub, Variant::Date(45000), Variant::Date(44990), "Double:10", "date minus date is days"},
      {VariantOp::Add, Variant::Date(45000), I(1), "Date:16.03.2023", "date plus days stays a date"},
      {VariantOp::Add, Variant::CurrencyScaled(15000), Variant::CurrencyScaled(2500), "Currency:1,75",
       "currency adds exactly"},
      {VariantOp::Div, I(7), I(2), "Double:3,5", "/ is always real"},
      {VariantOp::Div, I(1), I(0), "!Floating point division by zero", "real division by zero"},
      {VariantOp::Div, I(0), I(0), "!Invalid floating point operation", "0/0"},
      {VariantOp::IntDiv, I(-7), I(2), "Integer:-3", "div truncates toward zero"},
      {VariantOp::Mod, I(-7), I(2), "Integer:-1", "mod takes the dividend's sign"},
      {VariantOp::IntDiv, I(7), I(0), "!Division by zero", "integer division by zero"},
      {VariantOp::IntDiv, I(kMin), I(-1), "Int64:2147483648", "the 32-bit minimum div -1 is promoted"},
      {VariantOp::IntDiv, D(7.5), I(2), "Integer:4", "reals are rounded half to even before div (8 div 2)"},
      {VariantOp::Mul, D(1e308), D(10), "!Floating point overflow", "real overflow is an error"},
      {VariantOp::And, B(true), B(false), "Boolean:False", "Boolean and"},
      {VariantOp::Or, I(12), I(3), "Integer:15", "integers are bitwise"},
      {VariantOp::Xor, B(true), S("True"), "Boolean:False", "a Boolean text meets a Boolean"},
      {VariantOp::Shl, I(1), I(31), "Integer:-2147483648", "shl within 32 bits"},
      {VariantOp::Shl, I(1), I(32), "Integer:0", "a shift by the width moves every bit out"},
      {VariantOp::Shr, I(-1), I(28), "Integer:15", "shr is a logical shift"},
      {VariantOp::Shl, I64(1), I(40), "Int64:1099511627776", "64-bit values shift in 64 bits"},
      {VariantOp::Shr, I(8), I(-1), "Integer:0", "a negative count gives 0"},
      {VariantOp::Add, Variant::Object(ObjectHandle{1, 1, 1}), I(1), "!Invalid variant operation",
       "objects take no arithmetic"},
  };
  for (const BinaryRow& row : rows)
    EXPECT_EQ(Outcome([&] { return VarBinary(row.op, row.left, row.right); }), row.expected) << row.why;
}

struct UnaryRow {
  bool negate;
  Variant value;
  const char* expected;
  const char* why;
};

TEST(ScriptVariant, UnaryOperators) {
  const UnaryRow rows[] = {
      {true, I(5), "Integer:-5", "negation"},
      {true, I(std::numeric_limits<std::int32_t>::min()), "Int64:2147483648", "-minimum is promoted"},
      {true, I64(std::numeric_limits<std::int64_t>::min()), "!Integer overflow", "no 64-bit wrap"},
      {true, D(2.5), "Double:-2,5", "real negation"},
      {true, Variant::Null(), "Null:", "Null stays Null"},
      {false, B(true), "Boolean:False", "logical not"},
      {false, I(0), "Integer:-1", "bitwise not"},
      {false, S("False"), "Boolean:True", "not of a Boolean text"},
  };
  for (const UnaryRow& row : rows)
    EXPECT_EQ(Outcome([&] { return row.negate ? VarNeg(row.value) : VarNot(row.value); }), row.expected) << row.why;
}

struct CompareRow {
  CompareOp op;
  Variant left, right;
  const char* expected;  // "true", "false" or "!message"
  const char* why;
};

TEST(ScriptVariant, Comparisons) {
  const CompareRow rows[] = {
      {CompareOp::Less, I(2), D(2.5), "true", "integer with real"},
      {CompareOp::Eq, S("10"), I(10), "true", "text meets number as a number"},
      {CompareOp::Greater, S("10"), S("9"), "false", "two texts compare as texts"},
      {CompareOp::Less, S("c"), S("\xE7"), "true", "c sorts before ç"},
      {CompareOp::Less, S("\xE7"), S("d"), "true", "ç sorts before d"},
      {CompareOp::Less, S("\xFD"), S("i"), "true", "dotless ı sorts before i"},
      {CompareOp::Less, S("a"), S("B"), "true", "the alphabet before case"},
      {CompareOp::Eq, Variant::Null(), Variant::Null(), "true", "Null equals Null"},
      {CompareOp::Eq, Variant::Null(), I(0), "false", "Null equals nothing else"},
      {CompareOp::Less, Variant::Null(), I(-100), "true", "Null orders below everything"},
      {CompareOp::Eq, Variant(), I(0), "true", "Empty counts as 0"},
      {CompareOp::Eq, Variant(), S(""), "true", "Empty counts as the empty string"},
      {CompareOp::Eq, I64(5), I(5), "true", "integer widths do not matter"},
      {CompareOp::Eq, Variant::Object(ObjectHandle{1, 3, 1}), I(0), "false", "an object is not nil"},
      {CompareOp::NotEq, Variant::Object(ObjectHandle{1, 3, 1}), Variant::Object(ObjectHandle{1, 3, 1}), "false",
       "the same handle"},
      {CompareOp::Eq, Variant::Object(ObjectHandle{1, 3, 1}), Variant::Object(ObjectHandle{2, 3, 1}), "false",
       "the same slot of two tables holds two objects"},
      {CompareOp::Eq, Variant::Object(ObjectHandle{1, 3, 1}), Variant::Object(ObjectHandle{1, 3, 2}), "false",
       "another generation of a slot is another object"},
      {CompareOp::Less, Variant::Object(ObjectHandle{1, 3, 1}), I(1), "!Invalid variant operation",
       "objects have no order"},
      {CompareOp::Eq, Variant::Array1(0, 1), Variant::Array1(0, 1), "!Invalid variant operation",
       "arrays do not compare"},
      {CompareOp::Eq, S("abc"), I(1), "!Could not convert variant of type (String) into type (Double)",
       "text that is no number against a number"},
  };
  for (const CompareRow& row : rows) {
    std::string got;
    try {
      got = VarCompareOp(row.op, row.left, row.right) ? "true" : "false";
    } catch (const ScriptError& e) {
      got = std::string("!") + e.what();
    }
    EXPECT_EQ(got, row.expected) << row.why;
  }
}

struct ConvertRow {
  std::function<Variant()> convert;
  const char* expected;
  const char* why;
};

TEST(ScriptVariant, Conversions) {
  const ConvertRow rows[] = {
      {[] { return I(D(2.5).ToInt32()); }, "Integer:2", "reals round half to even"},
      {[] { return I(D(3.5).ToInt32()); }, "Integer:4", "reals round half to even"},
      {[] { return I(D(-2.5).ToInt32()); }, "Integer:-2", "negative halves too"},
      {[] { return I(D(3e9).ToInt32()); },
       "!Range check error converting variant of type (Double) into type (Integer)", "out of range"},
      {[] { return I(I64(1LL << 40).ToInt32()); },
       "!Range check error converting variant of type (Int64) into type (Integer)", "no silent truncation"},
      {[] { return I(S("$FF").ToInt32()); }, "Integer:255", "hexadecimal text"},
      {[] { return I(Variant::Null().ToInt32()); },
       "!Could not convert variant of type (Null) into type (Integer)", "Null is no number"},
      {[] { return B(S("true").ToBool()); }, "Boolean:True", "Boolean text ignoring case"},
      {[] { return B(S("0").ToBool()); }, "Boolean:False", "numeric text as Boolean"},
      {[] { return S(D(1.0 / 3).ToString().c_str()); }, "String:0,333333333333333", "15 significant digits"},
      {[] { return S(D(1e20).ToString().c_str()); }, "String:1E20", "scientific from exponent 15"},
      {[] { return S(D(1.5e-7).ToString().c_str()); }, "String:1,5E-7", "scientific below 1E-5"},
      {[] { return S(Variant::Single(0.1f).ToString().c_str()); }, "String:0,1", "single shows 7 digits"},
      {[] { return S(Variant::Date(45000.5).ToString().c_str()); }, "String:15.03.2023 12:00:00",
       "date and time"},
      {[] { return S(Variant::Date(45000).ToString().c_str()); }, "String:15.03.2023", "midnight shows no time"},
      {[] { return S(Variant::Null().ToString().c_str()); },
       "!Could not convert variant of type (Null) into type (String)", "strict text of Null"},
      {[] { return S(VarToStr(Variant::Null()).c_str()); }, "String:", "lenient text of Null"},
      {[] { return ParseConstant("2147483648"); }, "Int64:2147483648", "literal above 32 bits"},
      {[] { return ParseConstant("$10"); }, "Integer:16", "hex literal"},
      {[] { return ParseConstant("1.25"); }, "Double:1,25", "real literal with a point"},
      {[] { return ParseConstant("'it'"); }, "String:it", "string literal"},
      {[] { return ParseConstant("1x"); }, "!'1x' is not a valid floating point value", "bad literal"},
  };
  for (const ConvertRow& row : rows) EXPECT_EQ(Outcome(row.convert), row.expected) << row.why;
}

TEST(ScriptVariant, StringsAndArraysAreCopiedOnWrite) {
  Variant a = Variant::Array1(0, 2);
  Variant b = a;  // shares the body
  std::int32_t idx = 1;
  SetArrayElement(b, 1, &idx, Variant::String("x"));
  EXPECT_TRUE(ArrayElement(a, 1, &idx).IsEmpty()) << "writing the copy left the original alone";
  EXPECT_EQ(VarToStr(ArrayElement(b, 1, &idx)), "x");

  std::int32_t bad = 3;
  EXPECT_THROW(ArrayElement(a, 1, &bad), ScriptError) << "index past the upper bound";
  EXPECT_THROW(SetArrayElement(a, 1, &bad, I(1)), ScriptError);

  // An element assigned from the same array survives the copy.
  std::int32_t zero = 0;
  SetArrayElement(b, 1, &zero, ArrayElement(b, 1, &idx));
  EXPECT_EQ(VarToStr(ArrayElement(b, 1, &zero)), "x");
}

TEST(ScriptVariant, ArraysOfThreeDimensionsAndRedim) {
  std::int32_t low[3] = {1, 0, -1}, high[3] = {2, 1, 1};
  Variant a = Variant::Array(3, low, high);
  std::int32_t at[3] = {2, 1, -1};
  SetArrayElement(a, 3, at, I(7));
  EXPECT_EQ(VarToStr(ArrayElement(a, 3, at)), "7");
  std::int32_t other[3] = {1, 1, -1};
  EXPECT_TRUE(ArrayElement(a, 3, other).IsEmpty()) << "strides keep elements apart";
  EXPECT_THROW(ArrayElement(a, 2, at), ScriptError) << "wrong number of indexes";

  ArrayRedim(a, -1);  // the last dimension shrinks to -1..-1
  EXPECT_EQ(VarToStr(ArrayElement(a, 3, at)), "7") << "elements that still fit are kept";
  EXPECT_EQ(a.RawArray().high[2], -1);

  std::int32_t hugeLow = 0, hugeHigh = std::numeric_limits<std::int32_t>::max();
  EXPECT_THROW(Variant::Array(1, &hugeLow, &hugeHigh), ScriptError) << "bounded size";
  std::int32_t l2[2] = {0, 0}, h2[2] = {1 << 20, 1 << 20};
  EXPECT_THROW(Variant::Array(2, l2, h2), ScriptError) << "size overflow across dimensions";
}

// The message of the error `f` raises, or "no error".
std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const ScriptError& e) {
    return e.what();
  }
  return "no error";
}

TEST(ScriptVariant, ObjectHandlesAreChecked) {
  static const HostClassInfo kBase{"TBase", nullptr};
  static const HostClassInfo kDerived{"TDerived", &kBase};
  ObjectTable table;
  int object = 0;
  ObjectHandle h = table.Register(&object, &kDerived);
  Variant v = Variant::Object(h);
  EXPECT_EQ(v.RawObject(), h) << "a value keeps the whole handle";
  EXPECT_EQ(table.Resolve(v), &object);
  EXPECT_EQ(table.Register(&object, &kDerived), h) << "an object has one handle per table";
  EXPECT_TRUE(table.ClassOf(h)->InheritsFrom("tbase"));
  EXPECT_FALSE(table.ClassOf(h)->InheritsFrom("TOther"));

  Variant number = I(static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(&object)));
  EXPECT_EQ(ErrorOf([&] { table.Resolve(number); }), msg::kNotAnObject) << "a number is never taken for an object";
  EXPECT_EQ(ErrorOf([&] { table.Resolve(Variant::Object(ObjectHandle{0, 0, 0})); }), msg::kInvalidObject)
      << "the zero handle names nothing";
  EXPECT_EQ(table.Register(nullptr, &kBase), (ObjectHandle{0, 0, 0})) << "no object gets the zero handle";
  table.Unregister(&object);
  EXPECT_EQ(ErrorOf([&] { table.Resolve(v); }), msg::kInvalidObject) << "a handle of a removed object is refused";
  EXPECT_EQ(ErrorOf([&] { table.ClassOf(h); }), msg::kInvalidObject);
  int other = 0;
  ObjectHandle reused = table.Register(&other, &kBase);
  ASSERT_EQ(reused.slot, h.slot) << "the slot is reused";
  EXPECT_NE(reused.generation, h.generation);
  EXPECT_EQ(ErrorOf([&] { table.Resolve(v); }), msg::kInvalidObject)
      << "an old handle never reaches the slot's new object";
  EXPECT_EQ(table.Resolve(Variant::Object(reused)), &other);
  EXPECT_EQ(table.Count(), 1u);
}

TEST(ScriptVariant, TablesSideBySideKeepTheirObjects) {
  static const HostClassInfo kClass{"TThing", nullptr};
  int a1 = 0, a2 = 0, b1 = 0;
  auto b = std::make_unique<ObjectTable>();
  ObjectHandle hb = b->Register(&b1, &kClass);
  {
    ObjectTable a;
    ASSERT_NE(a.Serial(), b->Serial());
    ObjectHandle ha = a.Register(&a1, &kClass);
    a.Register(&a2, &kClass);
    // Both tables hand out their first slot with its first generation: only
    // the table a handle carries keeps them apart.
    ASSERT_EQ(ha.slot, hb.slot);
    ASSERT_EQ(ha.generation, hb.generation);
    EXPECT_EQ(ErrorOf([&] { b->Resolve(Variant::Object(ha)); }), msg::kInvalidObject)
        << "a handle of one table names nothing in another, though the other's slot is live";
    EXPECT_EQ(ErrorOf([&] { a.ClassOf(hb); }), msg::kInvalidObject);
    EXPECT_NE(b->Register(&a1, &kClass), ha) << "the same object has its own handle in each table";
    b->Unregister(&a1);
    EXPECT_EQ(a.Resolve(Variant::Object(ha)), &a1) << "unregistering it in one table leaves the other's";
  }
  EXPECT_EQ(b->Resolve(Variant::Object(hb)), &b1) << "the other table's objects outlive a destroyed table";
  EXPECT_EQ(b->Count(), 1u);
  ObjectTable later;
  EXPECT_NE(later.Serial(), b->Serial()) << "a new table is never taken for a live one";
}

TEST(ScriptVariant, FastPathArithmeticIsDefined) {
  const std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  const std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  EXPECT_EQ(WrapAdd(kMax, 1), kMin);
  EXPECT_EQ(WrapMul(kMax, 2), -2);
  EXPECT_EQ(CheckedDiv32(kMin, -1), kMin) << "wraps instead of trapping";
  EXPECT_EQ(CheckedMod32(kMin, -1), 0);
  EXPECT_EQ(CheckedDiv32(-7, 2), -3);
  EXPECT_EQ(CheckedMod32(-7, 2), -1);
  EXPECT_THROW(CheckedDiv32(1, 0), ScriptError);
  EXPECT_THROW(CheckedMod32(1, 0), ScriptError);
}

}  // namespace
}  // namespace zentavo
