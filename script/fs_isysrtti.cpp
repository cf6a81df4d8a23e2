// The system module: types, constants, helpers and the general functions,
// one table of declaration texts and handlers.
#include "script/fs_isysrtti.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

#include "platform/Clock.h"
#include "platform/Cp1254.h"
#include "script/fs_ierror.h"
#include "script/fs_iformat.h"

namespace zentavo {

namespace {

using Call = TfsMethodCall;

const FormatSettings& Fs() { return CurrentFormatSettings(); }

std::string Text(const Call& c, int i) { return c.Param(i).ToString(); }
std::int32_t Int(const Call& c, int i) { return c.Param(i).ToInt32(); }
double Real(const Call& c, int i) { return c.Param(i).ToDouble(); }

Variant Str(std::string s) { return Variant::String(std::move(s)); }

// A real result that left the finite range is the platform's float error.
double Finite(double r) {
  if (std::isnan(r)) throw ScriptError(msg::kInvalidOp);
  if (std::isinf(r)) throw ScriptError(msg::kOverflow);
  return r;
}

std::int32_t ToInt32Checked(double d, const char* from) {
  if (!(d > -2147483649.0 && d < 2147483648.0))
    throw ScriptError(FormatMessage(msg::kRangeCheck, from, "Integer"));
  return static_cast<std::int32_t>(d);
}




// ---- ctConv ---------------------------------------------------------------

Variant FnIntToStr(Call& c) { return Str(std::to_string(c.Param(0).ToInt64())); }
Variant FnFloatToStr(Call& c) { return Str(FloatToStr(Real(c, 0), Fs())); }
Variant FnDateToStr(Call& c) { return Str(DateToStr(Real(c, 0), Fs())); }
Variant FnTimeToStr(Call& c) { return Str(TimeToStr(Real(c, 0), Fs())); }
Variant FnDateTimeToStr(Call& c) { return Str(DateTimeToStr(Real(c, 0), Fs())); }
Variant FnVarToStr(Call& c) { return Str(VarToStr(c.Param(0))); }
Variant FnStrToInt(Call& c) { return Variant::Int(StrToInt(Text(c, 0))); }
Variant FnStrToInt64(Call& c) { return Variant::Int64(StrToInt64(Text(c, 0))); }
Variant FnStrToFloat(Call& c) { return Variant::Double(StrToFloat(Text(c, 0), Fs())); }

Variant FnStrToDate(Call& c) {
  std::string s = Text(c, 0);
  if (auto d = TryStrToDate(s, Fs())) return Variant::Date(*d);
  throw ScriptError(FormatMessage(msg::kInvalidDate, s));
}
Variant FnStrToTime(Call& c) {
  std::string s = Text(c, 0);
  if (auto d = TryStrToTime(s, Fs())) return Variant::Date(*d);
  throw ScriptError(FormatMessage(msg::kInvalidTime, s));
}
Variant FnStrToDateTime(Call& c) {
  std::string s = Text(c, 0);
  if (auto d = TryStrToDateTime(s, Fs())) return Variant::Date(*d);
  throw ScriptError(FormatMessage(msg::kInvalidDateTime, s));
}

// ---- ctFormat ---------------------------------------------------------------

Variant FnFormat(Call& c) {
  Variant args = c.Param(1);
  std::vector<Variant> list;
  if (args.IsArray()) list = args.RawArray().items;
  else if (!args.IsEmptyOrNull()) list.push_back(args);
  return Str(Format(Text(c, 0), list, Fs()));
}
Variant FnFormatFloat(Call& c) { return Str(FormatFloat(Text(c, 0), Real(c, 1), Fs())); }
Variant FnFormatDateTime(Call& c) { return Str(FormatDateTime(Text(c, 0), Real(c, 1), Fs())); }
Variant FnFormatMaskText(Call& c) { return Str(FormatMaskText(Text(c, 0), Text(c, 1))); }

// ---- ctDate ---------------------------------------------------------------------

Variant FnEncodeDate(Call& c) { return Variant::Date(EncodeDate(Int(c, 0), Int(c, 1), Int(c, 2))); }
Variant FnDecodeDate(Call& c) {
  int y, m, d;
  DecodeDate(Real(c, 0), y, m, d);
  c.SetParam(1, Variant::Int(y));
  c.SetParam(2, Variant::Int(m));
  c.SetParam(3, Variant::Int(d));
  return Variant::Null();
}
Variant FnEncodeTime(Call& c) { return Variant::Date(EncodeTime(Int(c, 0), Int(c, 1), Int(c, 2), Int(c, 3))); }
Variant FnDecodeTime(Call& c) {
  int h, m, s, ms;
  DecodeTime(Real(c, 0), h, m, s, ms);
  c.SetParam(1, Variant::Int(h));
  c.SetParam(2, Variant::Int(m));
  c.SetParam(3, Variant::Int(s));
  c.SetParam(4, Variant::Int(ms));
  return Variant::Null();
}
Variant FnDate(Call&) { return Variant::Date(std::floor(NowAsDateTime())); }
Variant FnTime(Call&) {
  double now = NowAsDateTime();
  return Variant::Date(now - std::floor(now));
}
Variant FnNow(Call&) { return Variant::Date(NowAsDateTime()); }
Variant FnDayOfWeek(Call& c) {
  int d = DayOfWeek(Real(c, 0));
  if (d == 0) throw ScriptError(msg::kDateEncode);
  return Variant::Int(d);
}
Variant FnIsLeapYear(Call& c) { return Variant::Boolean(IsLeapYear(Int(c, 0))); }
Variant FnDaysInMonth(Call& c) {
  int d = DaysInMonth(Int(c, 0), Int(c, 1));
  if (d == 0) throw ScriptError(msg::kDateEncode);  // a month outside 1..12
  return Variant::Int(d);
}

// ---- ctString ---------------------------------------------------------------------

Variant FnLength(Call& c) {
  Variant v = c.Param(0);
  if (v.IsArray()) {
    const VariantArray& a = v.RawArray();
    return Variant::Int(static_cast<std::int32_t>(std::int64_t{a.high[0]} - a.low[0] + 1));
  }
  return Variant::Int(static_cast<std::int32_t>(VarToStr(v).size()));
}

// The part of `s` from the 1-based `from`, at most `count` characters.
std::string CopyOf(const std::string& s, std::int64_t from, std::int64_t count) {
  if (from < 1) from = 1;
  auto n = static_cast<std::int64_t>(s.size());
  if (from > n || count <= 0) return std::string();
  std::int64_t take = std::min(count, n - from + 1);
  return s.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(take));
}

Variant FnCopy(Call& c) { return Str(CopyOf(Text(c, 0), Int(c, 1), Int(c, 2))); }
Variant FnPos(Call& c) {
  std::string sub = Text(c, 0), s = Text(c, 1);
  if (sub.empty()) return Variant::Int(0);
  std::size_t p = s.find(sub);
  return Variant::Int(p == std::string::npos ? 0 : static_cast<std::int32_t>(p) + 1);
}
Variant FnDelete(Call& c) {
  std::string s = Text(c, 0);
  std::int64_t from = Int(c, 1), count = Int(c, 2);
  auto n = static_cast<std::int64_t>(s.size());
  if (from >= 1 && from <= n && count > 0)
    s.erase(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(std::min(count, n - from + 1)));
  c.SetParam(0, Str(std::move(s)));
  return Variant::Null();
}
Variant FnInsert(Call& c) {
  std::string s = Text(c, 0), s2 = Text(c, 1);
  std::int64_t pos = Int(c, 2);
  auto n = static_cast<std::int64_t>(s2.size());
  if (pos < 1) pos = 1;
  if (pos > n + 1) pos = n + 1;
  s2.insert(static_cast<std::size_t>(pos - 1), s);
  c.SetParam(1, Str(std::move(s2)));
  return Variant::Null();
}
Variant FnUppercase(Call& c) { return Str(cp1254::UpperCase(Text(c, 0))); }
Variant FnLowercase(Call& c) { return Str(cp1254::LowerCase(Text(c, 0))); }
Variant FnTrim(Call& c) {
  std::string s = Text(c, 0);
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return Str(s.substr(b, e - b));
}
Variant FnNameCase(Call& c) {
  std::string s = Text(c, 0);
  std::string out = cp1254::LowerCase(s);
  for (std::size_t i = 0; i < out.size(); ++i)
    if (i == 0 || s[i - 1] == ' ')
      out[i] = static_cast<char>(cp1254::ToUpper(static_cast<unsigned char>(out[i])));
  return Str(std::move(out));
}
Variant FnCompareText(Call& c) { return Variant::Int(CollateText(Text(c, 0), Text(c, 1), true)); }
Variant FnChr(Call& c) { return Str(std::string(1, static_cast<char>(c.Param(0).ToInt64() & 0xFF))); }
Variant FnOrd(Call& c) {
  std::string s = Text(c, 0);
  if (s.empty()) throw ScriptError(FormatMessage(msg::kCouldNotConvert, "String", "Char"));
  return Variant::Int(static_cast<unsigned char>(s[0]));
}
Variant FnSetLength(Call& c) {
  Variant v = c.Param(0);
  std::int32_t length = Int(c, 1);
  if (v.IsString() || v.Type() == varOleStr) {
    std::string s = v.RawString();
    if (length < 0) length = 0;
    if (static_cast<std::size_t>(length) > (std::size_t{1} << 26)) throw ScriptError(msg::kOutOfMemory);
    // Characters added at the end are blanks.
    s.resize(static_cast<std::size_t>(length), ' ');
    c.SetParam(0, Str(std::move(s)));
    return Variant::Null();
  }
  if (!v.IsArray()) throw ScriptError("Variant is not an array");
  std::int64_t high = std::int64_t{length} - 1;
  const VariantArray& a = v.RawArray();
  if (high < std::int64_t{a.low[a.dims - 1]} - 1) throw ScriptError(msg::kArrayCreate);
  ArrayRedim(v, static_cast<std::int32_t>(high));
  c.SetParam(0, v);
  return Variant::Null();
}

// ---- ctMath -----------------------------------------------------------------

Variant FnRound(Call& c) {
  double d = Real(c, 0);
  if (std::isnan(d)) throw ScriptError(msg::kInvalidOp);
  if (!(d > -2147483648.5 && d < 2147483647.5)) throw ScriptError(FormatMessage(msg::kRangeCheck, "Double", "Integer"));
  return Variant::Int(static_cast<std::int32_t>(RoundHalfEvenChecked(d)));
}
Variant FnTrunc(Call& c) {
  double d = Real(c, 0);
  if (std::isnan(d)) throw ScriptError(msg::kInvalidOp);
  return Variant::Int(ToInt32Checked(std::trunc(d), "Double"));
}
Variant FnInt(Call& c) { return Variant::Double(std::trunc(Real(c, 0))); }
Variant FnFrac(Call& c) {
  double d = Real(c, 0);
  return Variant::Double(d - std::trunc(d));
}
Variant FnSqrt(Call& c) { return Variant::Double(Finite(std::sqrt(Real(c, 0)))); }
Variant FnAbs(Call& c) { return Variant::Double(std::fabs(Real(c, 0))); }
Variant FnSin(Call& c) { return Variant::Double(Finite(std::sin(Real(c, 0)))); }
Variant FnCos(Call& c) { return Variant::Double(Finite(std::cos(Real(c, 0)))); }
Variant FnArcTan(Call& c) { return Variant::Double(std::atan(Real(c, 0))); }
Variant FnTan(Call& c) {
  double x = Real(c, 0);
  double cs = std::cos(x);
  if (cs == 0) throw ScriptError(msg::kZeroDivide);
  return Variant::Double(Finite(std::sin(x) / cs));
}
Variant FnExp(Call& c) { return Variant::Double(Finite(std::exp(Real(c, 0)))); }
Variant FnLn(Call& c) {
  double x = Real(c, 0);
  if (x == 0) throw ScriptError(msg::kZeroDivide);
  return Variant::Double(Finite(std::log(x)));
}
Variant FnPi(Call&) { return Variant::Double(3.1415926535897932385); }

// ---- ctOther ------------------------------------------------------------------

// Inc and Dec add as values do, so they work on reals and dates too; on
// two Integers they wrap in 32 bits as x := x + n does, so that an Integer
// variable never holds a value beyond Integer.
Variant FnInc(Call& c) {
  Variant x = c.Param(0), n = c.Param(1);
  c.SetParam(0, x.IsInt32() && n.IsInt32() ? Variant::Int(WrapAdd(x.RawInt32(), n.RawInt32()))
                                           : VarBinary(VariantOp::Add, x, n));
  return Variant::Null();
}
Variant FnDec(Call& c) {
  Variant x = c.Param(0), n = c.Param(1);
  c.SetParam(0, x.IsInt32() && n.IsInt32() ? Variant::Int(WrapSub(x.RawInt32(), n.RawInt32()))
                                           : VarBinary(VariantOp::Sub, x, n));
  return Variant::Null();
}
Variant FnRaiseException(Call& c) { throw ScriptError(VarToStr(c.Param(0))); }
Variant FnShowMessage(Call& c) {
  c.Context().ShowMessage(VarToStr(c.Param(0)));
  return Variant::Null();
}
Variant FnRandomize(Call& c) {
  c.Context().Random().seed(static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                   static_cast<std::uint64_t>(std::time(nullptr)));
  return Variant::Null();
}
Variant FnRandom(Call& c) {
  return Variant::Double(std::generate_canonical<double, 53>(c.Context().Random()) * (1.0 - 1e-16));
}
Variant FnValidInt(Call& c) { return Variant::Boolean(TryStrToInt(VarToStr(c.Param(0))).has_value()); }
Variant FnValidFloat(Call& c) { return Variant::Boolean(TryStrToFloat(VarToStr(c.Param(0)), Fs()).has_value()); }
Variant FnValidDate(Call& c) { return Variant::Boolean(TryStrToDate(VarToStr(c.Param(0)), Fs()).has_value()); }
Variant FnCreateOleObject(Call&) { throw ScriptError(msg::kAutomation); }
Variant FnVarArrayCreate(Call& c) {
  Variant bounds = c.Param(0);
  if (!bounds.IsArray()) throw ScriptError("Variant is not an array");
  const std::vector<Variant>& items = bounds.RawArray().items;
  if (items.size() < 2 || items.size() % 2 != 0 || items.size() > 6) throw ScriptError(msg::kArrayCreate);
  std::int32_t low[3], high[3];
  int dims = static_cast<int>(items.size() / 2);
  for (int d = 0; d < dims; ++d) {
    low[d] = items[static_cast<std::size_t>(2 * d)].ToInt32();
    high[d] = items[static_cast<std::size_t>(2 * d + 1)].ToInt32();
  }
  std::int32_t type = Int(c, 1);
  switch (type) {
    case varSmallint: case varInteger: case varSingle: case varDouble: case varCurrency: case varDate:
    case varOleStr: case varBoolean: case varVariant: case varShortInt: case varByte: case varWord:
    case varLongWord: case varInt64: case varString:
      break;
    default:
      throw ScriptError(msg::kArrayCreate);
  }
  return Variant::Array(dims, low, high, static_cast<std::uint16_t>(type));
}
Variant FnVarType(Call& c) {
  Variant v = c.Param(0);
  // Scripts of the original engine saw objects as integers.
  if (v.IsObject()) return Variant::Int(varInteger);
  return Variant::Int(v.Type());
}

constexpr TfsSystemFunction kFunctions[] = {
    {"ctConv", "function IntToStr(i: Integer): String", FnIntToStr},
    {"ctConv", "function FloatToStr(e: Extended): String", FnFloatToStr},
    {"ctConv", "function DateToStr(e: Extended): String", FnDateToStr},
    {"ctConv", "function TimeToStr(e: Extended): String", FnTimeToStr},
    {"ctConv", "function DateTimeToStr(e: Extended): String", FnDateTimeToStr},
    {"ctConv", "function VarToStr(v: Variant): String", FnVarToStr},
    {"ctConv", "function StrToInt(s: String): Integer", FnStrToInt},
    {"ctConv", "function StrToInt64(s: String): Integer", FnStrToInt64},
    {"ctConv", "function StrToFloat(s: String): Extended", FnStrToFloat},
    {"ctConv", "function StrToDate(s: String): Extended", FnStrToDate},
    {"ctConv", "function StrToTime(s: String): Extended", FnStrToTime},
    {"ctConv", "function StrToDateTime(s: String): Extended", FnStrToDateTime},
    {"ctFormat", "function Format(Fmt: String; Args: array): String", FnFormat},
    {"ctFormat", "function FormatFloat(Fmt: String; Value: Extended): String", FnFormatFloat},
    {"ctFormat", "function FormatDateTime(Fmt: String; DateTime: TDateTime): String", FnFormatDateTime},
    {"ctFormat", "function FormatMaskText(EditMask: string; Value: string): string", FnFormatMaskText},
    {"ctDate", "function EncodeDate(Year, Month, Day: Word): TDateTime", FnEncodeDate},
    {"ctDate", "procedure DecodeDate(Date: TDateTime; var Year, Month, Day: Word)", FnDecodeDate},
    {"ctDate", "function EncodeTime(Hour, Min, Sec, MSec: Word): TDateTime", FnEncodeTime},
    {"ctDate", "procedure DecodeTime(Time: TDateTime; var Hour, Min, Sec, MSec: Word)", FnDecodeTime},
    {"ctDate", "function Date: TDateTime", FnDate},
    {"ctDate", "function Time: TDateTime", FnTime},
    {"ctDate", "function Now: TDateTime", FnNow},
    {"ctDate", "function DayOfWeek(aDate: TDateTime): Integer", FnDayOfWeek},
    {"ctDate", "function IsLeapYear(Year: Word): Boolean", FnIsLeapYear},
    {"ctDate", "function DaysInMonth(nYear, nMonth: Integer): Integer", FnDaysInMonth},
    {"ctString", "function Length(s: Variant): Integer", FnLength},
    {"ctString", "function Copy(s: String; from, count: Integer): String", FnCopy},
    {"ctString", "function Pos(substr, s: String): Integer", FnPos},
    {"ctString", "procedure Delete(var s: String; from, count: Integer)", FnDelete},
    {"ctString", "procedure DeleteStr(var s: String; from, count: Integer)", FnDelete},
    {"ctString", "procedure Insert(s: String; var s2: String; pos: Integer)", FnInsert},
    {"ctString", "function Uppercase(s: String): String", FnUppercase},
    {"ctString", "function Lowercase(s: String): String", FnLowercase},
    {"ctString", "function Trim(s: String): String", FnTrim},
    {"ctString", "function NameCase(s: String): String", FnNameCase},
    {"ctString", "function CompareText(s, s1: String): Integer", FnCompareText},
    {"ctString", "function Chr(i: Integer): Char", FnChr},
    {"ctString", "function Ord(ch: Char): Integer", FnOrd},
    {"ctString", "procedure SetLength(var S: Variant; L: Integer)", FnSetLength},
    {"ctMath", "function Round(e: Extended): Integer", FnRound},
    {"ctMath", "function Trunc(e: Extended): Integer", FnTrunc},
    {"ctMath", "function Int(e: Extended): Integer", FnInt},
    {"ctMath", "function Frac(X: Extended): Extended", FnFrac},
    {"ctMath", "function Sqrt(e: Extended): Extended", FnSqrt},
    {"ctMath", "function Abs(e: Extended): Extended", FnAbs},
    {"ctMath", "function Sin(e: Extended): Extended", FnSin},
    {"ctMath", "function Cos(e: Extended): Extended", FnCos},
    {"ctMath", "function ArcTan(X: Extended): Extended", FnArcTan},
    {"ctMath", "function Tan(X: Extended): Extended", FnTan},
    {"ctMath", "function Exp(X: Extended): Extended", FnExp},
    {"ctMath", "function Ln(X: Extended): Extended", FnLn},
    {"ctMath", "function Pi: Extended", FnPi},
    {"ctOther", "procedure Inc(var i: Integer; incr: Integer = 1)", FnInc},
    {"ctOther", "procedure Dec(var i: Integer; decr: Integer = 1)", FnDec},
    {"ctOther", "procedure RaiseException(Param: String)", FnRaiseException},
    {"ctOther", "procedure ShowMessage(Msg: Variant)", FnShowMessage},
    {"ctOther", "procedure Randomize", FnRandomize},
    {"ctOther", "function Random: Extended", FnRandom},
    {"ctOther", "function ValidInt(cInt: String): Boolean", FnValidInt},
    {"ctOther", "function ValidFloat(cFlt: String): Boolean", FnValidFloat},
    {"ctOther", "function ValidDate(cDate: String): Boolean", FnValidDate},
    {"ctOther", "function CreateOleObject(ClassName: String): Variant", FnCreateOleObject},
    {"ctOther", "function VarArrayCreate(Bounds: Array; Typ: Integer): Variant", FnVarArrayCreate},
    {"ctOther", "function VarType(V: Variant): Integer", FnVarType},
};

struct TypeRow {
  const char* name;
  TypeCode code;
};

constexpr TypeRow kTypes[] = {
    {"Byte", tcInteger},    {"Word", tcInteger},      {"Integer", tcInteger},  {"Longint", tcInteger},
    {"Cardinal", tcInteger}, {"TColor", tcInteger},   {"Boolean", tcBoolean},  {"Real", tcFloat},
    {"Single", tcFloat},    {"Double", tcFloat},      {"Extended", tcFloat},   {"Currency", tcFloat},
    {"TDate", tcFloat},     {"TTime", tcFloat},       {"TDateTime", tcFloat},  {"Char", tcChar},
    {"String", tcString},   {"Variant", tcVariant},   {"Pointer", tcVariant},  {"Array", tcArray},
    {"Constructor", tcConstructor},
};

struct VarConstRow {
  const char* name;
  std::int32_t value;
};

constexpr VarConstRow kVarConstants[] = {
    {"varEmpty", 0},     {"varNull", 1},       {"varSmallint", 2},   {"varInteger", 3},  {"varSingle", 4},
    {"varDouble", 5},    {"varCurrency", 6},   {"varDate", 7},       {"varOleStr", 8},   {"varDispatch", 9},
    {"varError", 10},    {"varBoolean", 11},   {"varVariant", 12},   {"varUnknown", 13}, {"varShortInt", 16},
    {"varByte", 17},     {"varWord", 18},      {"varLongWord", 19},  {"varInt64", 20},   {"varStrArg", 72},
    {"varString", 256},  {"varAny", 257},      {"varTypeMask", 4095}, {"varArray", 8192}, {"varByRef", 16384},
};

}  // namespace

const TfsSystemFunction* SystemFunctions(std::size_t& count) {
  count = std::size(kFunctions);
  return kFunctions;
}

void RegisterSystemModule(TfsLibraryTarget& target) {
  for (const TypeRow& t : kTypes) target.AddType(t.name, t.code);
  target.AddConst("True", "Boolean", Variant::Boolean(true));
  target.AddConst("False", "Boolean", Variant::Boolean(false));
  target.AddConst("nil", "Variant", Variant::Int(0));
  target.AddConst("Null", "Variant", Variant::Null());
  for (const VarConstRow& c : kVarConstants) target.AddConst(c.name, "Integer", Variant::Int(c.value));
  target.AddStringHelper("__StringHelper");
  target.AddArrayHelper("__ArrayHelper", tcVariant, 3, 1);
  for (const TfsSystemFunction& f : kFunctions) {
    auto handler = f.handler;
    target.AddMethod(
        f.declaration,
        [handler](const Variant&, const HostClassInfo*, const std::string&, TfsMethodCall& call) {
          return handler(call);
        },
        f.category, std::string_view());
  }
}

// ---- module list ---------------------------------------------------------------

namespace {

std::vector<TfsLibraryModule>& ModuleList() {
  static std::vector<TfsLibraryModule> modules{{"system", 1, RegisterSystemModule}};
  return modules;
}

}  // namespace

const std::vector<TfsLibraryModule>& LibraryModules() { return ModuleList(); }
void AddLibraryModule(TfsLibraryModule module) {
  std::vector<TfsLibraryModule>& list = ModuleList();
  for (const TfsLibraryModule& m : list)
    if (std::string_view(m.name) == module.name) return;
  auto at = std::upper_bound(list.begin(), list.end(), module.position,
                             [](int position, const TfsLibraryModule& m) { return position < m.position; });
  list.insert(at, module);
}

void RegisterLibrary(TfsLibraryTarget& target) {
  for (const TfsLibraryModule& m : ModuleList()) m.registerInto(target);
}

}  // namespace zentavo
