// The system module through its registration: declaration texts parsed,
// defaults supplied, by-reference parameters written back, and the
// functions' behaviour on the edge cases that matter.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

#include "platform/Cp1254.h"
#include "script/fs_ierror.h"
#include "script/fs_iformat.h"
#include "script/fs_isysrtti.h"

namespace zentavo {
namespace {

std::string Upper(std::string_view s) { return cp1254::UpperCase(s); }

// A stand-in for the script's item table: enough to register the library
// and call its functions the way the interpreter will.
class TestScript : public TfsLibraryTarget, public TfsRunContext {
 public:
  struct Function {
    TfsMethodDecl decl;
    TfsMemberCallback callback;
    std::string category;
  };
  struct Const {
    std::string typeName;
    Variant value;
  };

  TypeCode TypeCodeOf(std::string_view typeName) const override {
    auto it = types_.find(Upper(typeName));
    return it == types_.end() ? tcClass : it->second;
  }
  std::optional<Variant> ValueOf(std::string_view name) const override {
    auto it = consts_.find(Upper(name));
    if (it == consts_.end()) return std::nullopt;
    return it->second.value;
  }
  void AddType(std::string_view name, TypeCode code) override { types_.emplace(Upper(name), code); }
  void AddConst(std::string_view name, std::string_view typeName, const Variant& value) override {
    consts_.emplace(Upper(name), Const{std::string(typeName), value});
  }
  void AddStringHelper(std::string_view name) override { helpers_.push_back(std::string(name)); }
  void AddArrayHelper(std::string_view name, TypeCode, int params, int required) override {
    helpers_.push_back(std::string(name) + "/" + std::to_string(params) + "/" + std::to_string(required));
  }
  void AddMethod(std::string_view declaration, TfsMemberCallback callback, std::string_view category,
                 std::string_view) override {
    TfsMethodDecl decl = ParseDeclaration(declaration, *this);
    order_.push_back(decl.name);
    std::string key = Upper(decl.name);
    functions_[key] = Function{std::move(decl), std::move(callback), std::string(category)};
  }
  // The system module registers neither enumerations nor classes.
  void AddEnum(std::string_view name, std::string_view) override { types_.emplace(Upper(name), tcEnum); }
  void AddEnumSet(std::string_view name, std::string_view) override { types_.emplace(Upper(name), tcEnum); }
  TfsClassVariable* AddClass(const HostClassInfo*, std::string_view) override { return nullptr; }
  bool IsKnown(std::string_view name) const override {
    std::string key = Upper(name);
    return types_.count(key) || consts_.count(key) || functions_.count(key);
  }

  // Calls a function as a designator step would: arguments into parameters,
  // defaults for missing trailing ones, by-reference values copied back.
  Variant Call(const std::string& name, std::vector<Variant>& args) {
    Function& f = functions_.at(Upper(name));
    if (static_cast<int>(args.size()) < f.decl.RequiredCount()) throw ScriptError("Not enough actual parameters");
    if (args.size() > f.decl.params.size()) throw ScriptError("Too many actual parameters");
    struct Caller : TfsMethodCall {
      using TfsMethodCall::TfsMethodCall;
      std::vector<Variant> params;
      int ParamCount() const override { return static_cast<int>(params.size()); }
      Variant Param(int i) const override { return params.at(static_cast<std::size_t>(i)); }
      void SetParam(int i, const Variant& v) override { params.at(static_cast<std::size_t>(i)) = v; }
    } caller(*this);
    for (std::size_t i = 0; i < f.decl.params.size(); ++i)
      caller.params.push_back(i < args.size() ? args[i] : f.decl.params[i].defaultValue);
    Variant result = f.callback(Variant(), nullptr, Upper(name), caller);
    for (std::size_t i = 0; i < args.size(); ++i)
      if (f.decl.params[i].byReference) args[i] = caller.params[i];
    return result;
  }
  Variant Call(const std::string& name, std::vector<Variant>&& args) { return Call(name, args); }

  std::map<std::string, TypeCode> types_;
  std::map<std::string, Const> consts_;
  std::map<std::string, Function> functions_;
  std::vector<std::string> order_;
  std::vector<std::string> helpers_;
  ObjectTable& Objects() override { return objects_; }
  void ShowMessage(const std::string& text) override { shown.push_back(text); }
  std::mt19937_64& Random() override { return random_; }
  std::vector<std::string> shown;

 private:
  ObjectTable objects_;
  std::mt19937_64 random_{0x5EED};
};

class SystemModule : public ::testing::Test {
 protected:
  void SetUp() override { RegisterLibrary(script_); }
  TestScript script_;
};

std::string Show(const Variant& v) {
  if (v.IsArray()) {
    const VariantArray& a = v.RawArray();
    return "Array " + std::to_string(a.low[0]) + ".." + std::to_string(a.high[0]);
  }
  return Variant::KindName(v.Type()) + ":" + VarToStr(v);
}

Variant I(std::int32_t i) { return Variant::Int(i); }
Variant D(double d) { return Variant::Double(d); }
Variant S(const char* s) { return Variant::String(s); }

TEST_F(SystemModule, RegistersTypesConstantsHelpersAndFunctionsInOrder) {
  EXPECT_EQ(script_.TypeCodeOf("tdatetime"), tcFloat);
  EXPECT_EQ(script_.TypeCodeOf("Pointer"), tcVariant);
  EXPECT_EQ(script_.TypeCodeOf("Constructor"), tcConstructor);
  EXPECT_EQ(script_.TypeCodeOf("TfrxMemoView"), tcClass) << "unknown names count as classes";
  EXPECT_EQ(Show(*script_.ValueOf("varString")), "Integer:256");
  EXPECT_EQ(Show(*script_.ValueOf("varByRef")), "Integer:16384");
  EXPECT_EQ(Show(*script_.ValueOf("nil")), "Integer:0");
  EXPECT_TRUE(script_.ValueOf("Null")->IsNull());
  EXPECT_EQ(script_.helpers_, (std::vector<std::string>{"__StringHelper", "__ArrayHelper/3/1"}));
  ASSERT_GE(script_.order_.size(), 2u);
  EXPECT_EQ(script_.order_.front(), "IntToStr");
  EXPECT_EQ(script_.order_.back(), "VarType");
  EXPECT_EQ(script_.functions_.at("ROUND").category, "ctMath");
}

struct DeclRow {
  const char* text;
  const char* expected;  // name/function?/type code/params as name:code[&][?default]
  const char* why;
};

TEST_F(SystemModule, DeclarationTexts) {
  const DeclRow rows[] = {
      {"function Copy(s: String; from, count: Integer): String", "Copy F 4 s:4 from:0 count:0",
       "three required parameters, String result"},
      {"procedure Inc(var i: Integer; incr: Integer = 1)", "Inc P 7 i:0& incr:0?1",
       "by-reference i and an optional incr"},
      {"function Format(Fmt: String; Args: array): String", "Format F 4 Fmt:4 Args:6", "array parameter"},
      {"macrofunction IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant",
       "IIF F 7 text Expr:1 TrueValue:7 FalseValue:7", "macro: arguments as texts"},
      {"function SUM(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
       "SUM F 7 Expr:7 Band:7?0 Flags:0?0", "several defaults"},
      {"procedure P(from, count: Integer = 0)", "P P 7 from:0 count:0?0", "only the group's last name is optional"},
      {"procedure P(const S: string; B: Boolean = True; N: Integer = -2; X: Variant = Null)",
       "P P 7 S:4 B:1?True N:0?-2 X:7", "named and negative defaults; Null is not optional"},
      {"function Date: TDateTime", "Date F 2", "no parameters"},
      {"function Create(AOwner: TComponent): Constructor", "Create F 9 AOwner:5", "constructor type"},
  };
  for (const DeclRow& row : rows) {
    TfsMethodDecl d = ParseDeclaration(row.text, script_);
    std::string got = d.name + (d.isFunction ? " F " : " P ") + std::to_string(static_cast<int>(d.typeCode));
    if (d.textArguments) got += " text";
    for (const TfsParamDecl& p : d.params) {
      got += " " + p.name + ":" + std::to_string(static_cast<int>(p.typeCode));
      if (p.byReference) got += "&";
      if (p.optional) got += "?" + VarToStr(p.defaultValue);
    }
    EXPECT_EQ(got, row.expected) << row.why;
  }
  EXPECT_THROW(ParseDeclaration("function (", script_), ScriptError);
  EXPECT_EQ(ConstructorDeclaration("constructor Create(AOwner: TComponent)"),
            "function Create(AOwner: TComponent): Constructor");
  EXPECT_EQ(IndexPropertyDeclaration("Cells", "Integer, Integer", "String"),
            "function Cells(p0: Integer; p1: Integer): String");
  EXPECT_EQ(IndexPropertyDeclaration("Items", "", "TObject"), "function Items(): TObject");
}

struct CallRow {
  const char* name;
  std::vector<Variant> args;
  const char* expected;  // "Kind:text" or "!message"
  const char* why;
};

TEST_F(SystemModule, Functions) {
  const CallRow rows[] = {
      {"Length", {S("abc")}, "Integer:3", "length of a text"},
      {"Length", {Variant::Array1(0, 4)}, "Integer:5", "length of an array"},
      {"Length", {I(123)}, "Integer:3", "length of a number's text"},
      {"Copy", {S("abcdef"), I(0), I(2)}, "String:ab", "a start of 0 counts as 1"},
      {"Copy", {S("abc"), I(3), I(10)}, "String:c", "count beyond the end"},
      {"Copy", {S("abc"), I(4), I(1)}, "String:", "start beyond the end"},
      {"Copy", {S("abc"), I(1), I(-1)}, "String:", "negative count"},
      {"Pos", {S("x"), S("abc")}, "Integer:0", "absent"},
      {"Pos", {S("b"), S("abc")}, "Integer:2", "1-based"},
      {"Round", {D(2.5)}, "Integer:2", "half to even"},
      {"Round", {D(3.5)}, "Integer:4", "half to even"},
      {"Round", {D(-2.5)}, "Integer:-2", "half to even below zero"},
      {"Round", {D(3e10)}, "!Range check error converting variant of type (Double) into type (Integer)",
       "no silent wrap"},
      {"Trunc", {D(-2.7)}, "Integer:-2", "toward zero"},
      {"Int", {D(2.7)}, "Double:2", "a Float value"},
      {"Frac", {D(-2.75)}, "Double:-0,75", "keeps the sign"},
      {"Abs", {I(-3)}, "Double:3", "always Float"},
      {"Sqrt", {D(-1)}, "!Invalid floating point operation", "no NaN reaches the script"},
      {"Ln", {D(0)}, "!Floating point division by zero", "log of zero"},
      {"DaysInMonth", {I(2024), I(2)}, "Integer:29", "leap year"},
      {"DaysInMonth", {I(2023), I(2)}, "Integer:28", ""},
      {"DaysInMonth", {I(2023), I(4)}, "Integer:30", ""},
      {"DaysInMonth", {I(2023), I(13)}, "!Invalid argument to date encode", "month out of range"},
      {"DayOfWeek", {Variant::Date(45004)}, "Integer:1", "Sunday 19.03.2023 is 1"},
      {"IsLeapYear", {I(1900)}, "Boolean:False", "centuries"},
      {"Chr", {I(65)}, "String:A", ""},
      {"Chr", {I(321)}, "String:A", "low 8 bits"},
      {"Ord", {S("A")}, "Integer:65", ""},
      {"Ord", {S("")}, "!Could not convert variant of type (String) into type (Char)", "empty text"},
      {"VarType", {Variant::Null()}, "Integer:1", "varNull"},
      {"VarType", {S("x")}, "Integer:256", "varString"},
      {"VarType", {Variant::Array1(0, 1)}, "Integer:8204", "varArray + varVariant"},
      {"IntToStr", {Variant::Int64(1LL << 40)}, "String:1099511627776", "64-bit text"},
      {"FloatToStr", {D(1234.5)}, "String:1234,5", "decimal comma"},
      {"StrToInt", {S("$1F")}, "Integer:31", "hexadecimal"},
      {"StrToInt", {S("12a")}, "!'12a' is not a valid integer value", "conversion message"},
      {"StrToInt", {S("2147483648")}, "!'2147483648' is not a valid integer value", "out of 32 bits"},
      {"StrToInt64", {S("2147483648")}, "Int64:2147483648", ""},
      {"StrToFloat", {S("1,5")}, "Double:1,5", "locale text"},
      {"StrToFloat", {S("1.5")}, "!'1.5' is not a valid floating point value", "'.' is no decimal separator here"},
      {"StrToDate", {S("29.02.2024")}, "Date:29.02.2024", "day, month, year"},
      {"StrToDate", {S("30.02.2024")}, "!'30.02.2024' is not a valid date", "no such day"},
      {"StrToTime", {S("13:45")}, "Date:30.12.1899 13:45:00", "a time of day"},
      {"StrToDateTime", {S("01.03.2024 08:05:09")}, "Date:01.03.2024 08:05:09", ""},
      {"EncodeDate", {I(2024), I(2), I(30)}, "!Invalid argument to date encode", "invalid date"},
      {"EncodeTime", {I(24), I(0), I(0), I(0)}, "!Invalid argument to time encode", "invalid time"},
      {"DateToStr", {Variant::Date(45000.75)}, "String:15.03.2023", "date only"},
      {"TimeToStr", {Variant::Date(45000.75)}, "String:18:00:00", "time only"},
      {"ValidInt", {S("x")}, "Boolean:False", "never fails"},
      {"ValidFloat", {S("2,5")}, "Boolean:True", ""},
      {"ValidDate", {S("31.12.2023")}, "Boolean:True", ""},
      {"VarToStr", {Variant::Null()}, "String:", "Null gives the empty string"},
      {"Uppercase", {S("i\xFD\xE7")}, "String:II\xC7", "ASCII i stays I; ı and ç fold to I and Ç"},
      {"Lowercase", {S("I\xDD")}, "String:ii", "İ lowers to i"},
      {"Trim", {S("\t a b \r\n")}, "String:a b", "codes up to 32"},
      {"NameCase", {S("jOHN  smith")}, "String:John  Smith", "after every blank"},
      {"CompareText", {S("abc"), S("ABD")}, "Integer:-1", "ignoring case"},
      {"CompareText", {S("\xE7"), S("\xC7")}, "Integer:0", "Turkish letters ignoring case"},
      {"Format", {S("%d-%s-%.2f"), Variant::ArrayOf({I(7), S("x"), D(2.345)})}, "String:7-x-2,35",
       "the array's elements as arguments"},
      {"Format", {S("%5d|%-4s|%x"), Variant::ArrayOf({I(42), S("ab"), I(-1)})}, "String:   42|ab  |FFFFFFFF",
       "width and hexadecimal"},
      {"Format", {S("%d"), Variant::ArrayOf({S("x")})}, "!Format '%d' invalid or incompatible with argument",
       "wrong argument type"},
      {"Format", {S("%d %d"), Variant::ArrayOf({I(1)})}, "!No argument for format '%d %d'", "missing argument"},
      {"Format", {S("%s"), Variant::ArrayOf({Variant::String(std::string(300, 'a'))})},
       "String:" "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"
       "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"
       "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa",
       "long texts are formatted whole, not cut to 255"},
      {"Format", {S("%e|%g|%n"), Variant::ArrayOf({D(1234.5), D(0.5), D(1234567.891)})},
       "String:1,23450000000000E+003|0,5|1.234.567,89", "real conversions"},
      {"Format", {S("%m|%m"), Variant::ArrayOf({D(1234.5), D(-2)})}, "String:1.234,50 TL|-2,00 TL",
       "Turkish currency"},
      {"Format", {S("%1:s-%0:s|%2:*d|%u"), Variant::ArrayOf({S("a"), S("b"), I(4), I(42), I(-1)})},
       "String:b-a|  42|4294967295", "argument index, width from the arguments, unsigned"},
      {"Format", {S("%.3d|%5.1f|%%"), Variant::ArrayOf({I(-7), D(-0.04)})}, "String:-007|  0,0|%",
       "precision of integers and reals; no minus on a zero"},
      {"FormatFloat", {S("#,##0.00"), D(1234567.891)}, "String:1.234.567,89", "grouping and decimals"},
      {"FormatFloat", {S("0.0"), D(-0.04)}, "String:0,0", "a value that rounds to zero has no minus sign"},
      {"FormatFloat", {S("0.##"), D(2.5)}, "String:2,5", "optional places"},
      {"FormatFloat", {S("000"), D(7)}, "String:007", "zero padding"},
      {"FormatFloat", {S("0.00;(0.00)"), D(-3.14159)}, "String:(3,14)", "negative section"},
      {"FormatFloat", {S("0.00E+00"), D(12345)}, "String:1,23E+04", "scientific"},
      {"FormatFloat", {S("0.00"), D(0.125)}, "String:0,13", "half away from zero on the decimal digits"},
      {"FormatDateTime", {S("dd.mm.yyyy hh:nn"), Variant::Date(45000.5)}, "String:15.03.2023 12:00",
       "m after h is minutes only with n; mm here is the month"},
      {"FormatDateTime", {S("d mmmm yyyy, dddd"), Variant::Date(45000)},
       "String:15 Mart 2023, \xC7" "ar\xFE" "amba", "Turkish names"},
      {"FormatDateTime", {S("hh:mm 'saat'"), Variant::Date(0.25)}, "String:06:00 saat", "mm after hh is minutes"},
      {"FormatMaskText", {S("!(999) 000-00-00;0;_"), S("5321234567")}, "String:(532) 123-45-67", "phone mask"},
      {"FormatMaskText", {S(">LL-00;0; "), S("ab1")}, "String:AB-1 ", "upper case and blanks"},
      {"CreateOleObject", {S("Excel.Application")}, "!Automation is not supported on this platform", ""},
      {"RaiseException", {S("boom")}, "!boom", "exactly the given text"},
      {"VarArrayCreate", {Variant::ArrayOf({I(1), I(3)}), I(varVariant)}, "Array 1..3", "bounds in pairs"},
      {"VarArrayCreate", {Variant::ArrayOf({I(0), I(2000000000)}), I(varVariant)},
       "!Error creating variant or safe array", "bounded size"},
  };
  for (const CallRow& row : rows) {
    std::vector<Variant> args = row.args;
    std::string got;
    try {
      got = Show(script_.Call(row.name, args));
    } catch (const ScriptError& e) {
      got = std::string("!") + e.what();
    }
    EXPECT_EQ(got, row.expected) << row.name << ": " << row.why;
  }
}

TEST_F(SystemModule, ByReferenceParametersAreWrittenBack) {
  std::vector<Variant> inc{I(5)};
  script_.Call("Inc", inc);
  EXPECT_EQ(Show(inc[0]), "Integer:6") << "the declaration's default 1";
  inc.push_back(I(-2));
  script_.Call("Inc", inc);
  EXPECT_EQ(Show(inc[0]), "Integer:4");
  std::vector<Variant> dec{Variant::Date(45000), I(1)};
  script_.Call("Dec", dec);
  EXPECT_EQ(Show(dec[0]), "Date:14.03.2023") << "a date steps back one day";
  std::vector<Variant> none;
  EXPECT_THROW(script_.Call("Inc", none), ScriptError);

  std::vector<Variant> del{S("abcdef"), I(2), I(3)};
  script_.Call("Delete", del);
  EXPECT_EQ(Show(del[0]), "String:aef");
  std::vector<Variant> del2{S("abc"), I(0), I(3)};
  script_.Call("Delete", del2);
  EXPECT_EQ(Show(del2[0]), "String:abc") << "from below 1 deletes nothing";

  std::vector<Variant> ins{S("XY"), S("abc"), I(99)};
  script_.Call("Insert", ins);
  EXPECT_EQ(Show(ins[1]), "String:abcXY") << "beyond the end appends";

  std::vector<Variant> date{Variant::Date(45000.5), I(0), I(0), I(0)};
  script_.Call("DecodeDate", date);
  EXPECT_EQ(Show(date[1]) + Show(date[2]) + Show(date[3]), "Integer:2023Integer:3Integer:15");
  std::vector<Variant> time{Variant::Date(45000.5 + 1.5 / 86400), I(0), I(0), I(0), I(0)};
  script_.Call("DecodeTime", time);
  EXPECT_EQ(VarToStr(time[1]) + ":" + VarToStr(time[2]) + ":" + VarToStr(time[3]) + "." + VarToStr(time[4]),
            "12:0:1.500");

  std::vector<Variant> arr{Variant::Array1(0, 9), I(3)};
  script_.Call("SetLength", arr);
  EXPECT_EQ(Show(arr[0]), "Array 0..2");
  std::vector<Variant> str{S("abcdef"), I(2)};
  script_.Call("SetLength", str);
  EXPECT_EQ(Show(str[0]), "String:ab");
}

TEST_F(SystemModule, RandomStaysInItsInterval) {
  script_.Call("Randomize", {});
  for (int k = 0; k < 1000; ++k) {
    double r = script_.Call("Random", {}).ToDouble();
    ASSERT_GE(r, 0.0);
    ASSERT_LT(r, 1.0);
  }
}

TEST_F(SystemModule, DateTimeAndNowAgree) {
  double date = script_.Call("Date", {}).ToDouble();
  double now = script_.Call("Now", {}).ToDouble();
  EXPECT_EQ(date, std::floor(date));
  EXPECT_GE(now, date);
  EXPECT_LT(now, date + 1.01);
  EXPECT_EQ(script_.Call("Now", {}).Type(), varDate);
}

}  // namespace
}  // namespace zentavo
