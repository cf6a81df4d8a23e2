// Script values: storage, conversions and the operators.
#include "script/fs_ivariant.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/Cp1254.h"
#include "script/fs_ierror.h"
#include "script/fs_iformat.h"

namespace zentavo {

std::string FormatMessage(const char* pattern, const std::string& first, const std::string& second) {
  std::string out;
  int used = 0;
  for (const char* p = pattern; *p; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      out += used == 0 ? first : second;
      ++used;
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

namespace {

// Bounds that keep a script from exhausting memory through one value.
constexpr std::size_t kMaxArrayElements = std::size_t{1} << 22;
constexpr std::size_t kMaxStringLength = std::size_t{1} << 26;

[[noreturn]] void Fail(const char* message) { throw ScriptError(message); }

[[noreturn]] void FailConvert(std::uint16_t from, const char* to) {
  throw ScriptError(FormatMessage(msg::kCouldNotConvert, Variant::KindName(from), to));
}

[[noreturn]] void FailRange(std::uint16_t from, const char* to) {
  throw ScriptError(FormatMessage(msg::kRangeCheck, Variant::KindName(from), to));
}

}  // namespace

// ---- storage ----------------------------------------------------------------

void Variant::ReleaseShared() noexcept {
  if (type_ == varString) {
    if (--u_.s->refs == 0) delete u_.s;
  } else if (type_ == kArrayTag) {
    if (--u_.a->refs == 0) delete u_.a;
  }
}

Variant Variant::Integer(std::int64_t i) {
  if (i >= std::numeric_limits<std::int32_t>::min() && i <= std::numeric_limits<std::int32_t>::max())
    return Int(static_cast<std::int32_t>(i));
  return Int64(i);
}

Variant Variant::Currency(double value) {
  double scaled = value * 10000.0;
  if (!(std::fabs(scaled) < 9.2e18)) FailRange(varDouble, "Currency");
  return CurrencyScaled(RoundHalfEvenChecked(scaled));
}

Variant Variant::String(std::string_view text) {
  return String(std::string(text));
}

Variant Variant::String(std::string&& text) {
  if (text.size() > kMaxStringLength) Fail(msg::kOutOfMemory);
  Variant v;
  v.u_.s = new VariantString{1, std::move(text)};
  v.type_ = varString;
  return v;
}

Variant Variant::OfIntegerKind(std::uint16_t kind, std::int64_t value) {
  Variant v;
  if (kind == varInt64 || kind == varLongWord) {
    v.type_ = kind;
    v.u_.i64 = value;
  } else {
    v.type_ = kind;
    v.u_.i32 = static_cast<std::int32_t>(value);
  }
  return v;
}

namespace {

Variant ZeroOf(std::uint16_t elementType) {
  switch (elementType) {
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord:
      return Variant::OfIntegerKind(elementType, 0);
    case varLongWord: case varInt64: return Variant::OfIntegerKind(elementType, 0);
    case varSingle: return Variant::Single(0);
    case varDouble: return Variant::Double(0);
    case varCurrency: return Variant::CurrencyScaled(0);
    case varDate: return Variant::Date(0);
    case varBoolean: return Variant::Boolean(false);
    case varOleStr: case varString: return Variant::String(std::string());
    default: return Variant();
  }
}

}  // namespace

Variant Variant::Array(int dims, const std::int32_t* low, const std::int32_t* high, std::uint16_t elementType) {
  if (dims < 1 || dims > 3) Fail(msg::kArrayCreate);
  std::size_t total = 1;
  for (int d = 0; d < dims; ++d) {
    std::int64_t n = std::int64_t{high[d]} - low[d] + 1;
    if (n < 0) Fail(msg::kArrayCreate);
    if (n > 0 && total > kMaxArrayElements / static_cast<std::size_t>(n)) Fail(msg::kArrayCreate);
    total *= static_cast<std::size_t>(n);
  }
  if (total > kMaxArrayElements) Fail(msg::kArrayCreate);
  auto* a = new VariantArray;
  a->elementType = elementType == varVariant || elementType == varEmpty ? static_cast<std::uint16_t>(varVariant) : elementType;
  a->dims = dims;
  for (int d = 0; d < dims; ++d) {
    a->low[d] = low[d];
    a->high[d] = high[d];
  }
  try {
    a->items.assign(total, ZeroOf(a->elementType));
  } catch (...) {
    delete a;
    throw;
  }
  Variant v;
  v.u_.a = a;
  v.type_ = kArrayTag;
  return v;
}

Variant Variant::ArrayOf(std::vector<Variant> values) {
  if (values.size() > kMaxArrayElements) Fail(msg::kArrayCreate);
  auto* a = new VariantArray;
  a->dims = 1;
  a->high[0] = static_cast<std::int32_t>(values.size()) - 1;
  a->items = std::move(values);
  Variant v;
  v.u_.a = a;
  v.type_ = kArrayTag;
  return v;
}

VariantArray& Variant::MutableArray() {
  if (type_ != kArrayTag) Fail("Variant is not an array");
  if (u_.a->refs > 1) {
    auto* copy = new VariantArray(*u_.a);
    copy->refs = 1;
    --u_.a->refs;
    u_.a = copy;
  }
  return *u_.a;
}

bool Variant::IsIntegral() const {
  switch (type_) {
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord:
    case varLongWord: case varInt64:
      return true;
    default:
      return false;
  }
}

bool Variant::IsNumeric() const {
  return IsIntegral() || type_ == varSingle || type_ == varDouble || type_ == varCurrency ||
         type_ == varDate;
}

std::string Variant::KindName(std::uint16_t type) {
  if (type & varArray) return "Array " + KindName(type & varTypeMask);
  switch (type) {
    case varEmpty: return "Empty";
    case varNull: return "Null";
    case varSmallint: return "Smallint";
    case varInteger: return "Integer";
    case varSingle: return "Single";
    case varDouble: return "Double";
    case varCurrency: return "Currency";
    case varDate: return "Date";
    case varOleStr: return "OleStr";
    case varDispatch: return "Dispatch";
    case varError: return "Error";
    case varBoolean: return "Boolean";
    case varVariant: return "Variant";
    case varUnknown: return "Unknown";
    case varShortInt: return "ShortInt";
    case varByte: return "Byte";
    case varWord: return "Word";
    case varLongWord: return "LongWord";
    case varInt64: return "Int64";
    case varString: return "String";
    case varObject: return "Object";
    default: return "Unknown";
  }
}

// ---- conversions ---------------------------------------------------------

std::int64_t RoundHalfEvenChecked(double d) {
  if (!(d > -9223372036854775808.0 && d < 9223372036854775808.0)) FailRange(varDouble, "Int64");
  // Computed by hand rather than with nearbyint, which follows whatever
  // rounding mode the process happens to be in.
  double r;
  double f = std::floor(d);
  double diff = d - f;
  if (diff > 0.5) r = f + 1;
  else if (diff < 0.5) r = f;
  else r = std::fmod(f, 2.0) == 0 ? f : f + 1;
  if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) FailRange(varDouble, "Int64");
  return static_cast<std::int64_t>(r);
}

std::int64_t Variant::ToInt64() const {
  switch (type_) {
    case varEmpty: return 0;
    case varBoolean: return u_.b ? -1 : 0;
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord:
      return u_.i32;
    case varLongWord: case varInt64: return u_.i64;
    case varSingle: case varDouble: case varDate:
      if (std::isnan(u_.d)) FailRange(type_, "Int64");
      return RoundHalfEvenChecked(u_.d);
    case varCurrency: {
      std::int64_t q = u_.i64 / 10000, r = u_.i64 % 10000;
      if (r > 5000 || (r == 5000 && (q & 1))) ++q;
      else if (r < -5000 || (r == -5000 && (q & 1))) --q;
      return q;
    }
    case varString: {
      if (auto i = TryStrToInt64(u_.s->text)) return *i;
      if (auto d = TryStrToFloat(u_.s->text, CurrentFormatSettings())) {
        if (!(*d > -9223372036854775808.0 && *d < 9223372036854775808.0)) FailRange(varString, "Int64");
        return RoundHalfEvenChecked(*d);
      }
      FailConvert(varString, "Int64");
    }
    default: FailConvert(Type(), "Int64");
  }
}

std::int32_t Variant::ToInt32Slow() const {
  if (type_ == varNull) FailConvert(varNull, "Integer");
  if (type_ == varString) {
    if (auto i = TryStrToInt64(u_.s->text)) {
      if (*i < std::numeric_limits<std::int32_t>::min() || *i > std::numeric_limits<std::int32_t>::max())
        FailRange(varString, "Integer");
      return static_cast<std::int32_t>(*i);
    }
    if (!TryStrToFloat(u_.s->text, CurrentFormatSettings())) FailConvert(varString, "Integer");
  }
  if (IsArray() || IsObject()) FailConvert(Type(), "Integer");
  if ((type_ == varDouble || type_ == varSingle || type_ == varDate) &&
      !(u_.d > -2147483648.5 && u_.d < 2147483647.5))
    FailRange(type_, "Integer");
  std::int64_t v = ToInt64();
  if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
    FailRange(Type(), "Integer");
  return static_cast<std::int32_t>(v);
}

double Variant::ToDouble() const {
  switch (type_) {
    case varEmpty: return 0;
    case varBoolean: return u_.b ? -1 : 0;
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord:
      return u_.i32;
    case varLongWord: case varInt64: return static_cast<double>(u_.i64);
    case varSingle: case varDouble: case varDate: return u_.d;
    case varCurrency: return static_cast<double>(u_.i64) / 10000.0;
    case varString:
      if (auto d = TryStrToFloat(u_.s->text, CurrentFormatSettings())) return *d;
      if (auto i = TryStrToInt64(u_.s->text)) return static_cast<double>(*i);
      FailConvert(varString, "Double");
    default: FailConvert(Type(), "Double");
  }
}

bool Variant::ToBool() const {
  switch (type_) {
    case varEmpty: return false;
    case varBoolean: return u_.b;
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord:
      return u_.i32 != 0;
    case varLongWord: case varInt64: case varCurrency: return u_.i64 != 0;
    case varSingle: case varDouble: case varDate: return u_.d != 0;
    case varString: {
      std::string_view t = TrimBlanks(u_.s->text);
      if (SameTextAscii(t, "True")) return true;
      if (SameTextAscii(t, "False")) return false;
      if (auto d = TryStrToFloat(t, CurrentFormatSettings())) return *d != 0;
      if (auto i = TryStrToInt64(t)) return *i != 0;
      FailConvert(varString, "Boolean");
    }
    default: FailConvert(Type(), "Boolean");
  }
}

std::string Variant::ToString() const {
  const FormatSettings& fs = CurrentFormatSettings();
  switch (type_) {
    case varEmpty: return std::string();
    case varBoolean: return u_.b ? "True" : "False";
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord:
      return std::to_string(u_.i32);
    case varLongWord: case varInt64: return std::to_string(u_.i64);
    // A single holds about seven significant digits; more would show binary noise.
    case varSingle: return FloatToStrGeneral(u_.d, 7, fs);
    case varDouble: return FloatToStr(u_.d, fs);
    case varCurrency: return CurrToStr(u_.i64, fs);
    case varDate: return DateTimeToStr(u_.d, fs);
    case varString: return u_.s->text;
    default: FailConvert(Type(), "String");
  }
}

std::string VarToStr(const Variant& v) {
  if (v.IsEmptyOrNull()) return std::string();
  return v.ToString();
}

// ---- arrays -------------------------------------------------------------------

namespace {

std::size_t ElementOffset(const VariantArray& a, int count, const std::int32_t* indexes) {
  if (count != a.dims) Fail(msg::kArrayBounds);
  std::size_t offset = 0;
  for (int d = 0; d < a.dims; ++d) {
    if (indexes[d] < a.low[d] || indexes[d] > a.high[d]) Fail(msg::kArrayBounds);
    std::size_t extent = static_cast<std::size_t>(std::int64_t{a.high[d]} - a.low[d] + 1);
    offset = offset * extent + static_cast<std::size_t>(std::int64_t{indexes[d]} - a.low[d]);
  }
  return offset;
}

}  // namespace

const Variant& ArrayElement(const Variant& array, int count, const std::int32_t* indexes) {
  if (!array.IsArray()) Fail("Variant is not an array");
  const VariantArray& a = array.RawArray();
  return a.items[ElementOffset(a, count, indexes)];
}

void SetArrayElement(Variant& array, int count, const std::int32_t* indexes, const Variant& value) {
  if (!array.IsArray()) Fail("Variant is not an array");
  // Check before copying so that a bad index leaves a shared body alone.
  std::size_t offset = ElementOffset(array.RawArray(), count, indexes);
  Variant keep = value;  // the value may be an element of this very array
  array.MutableArray().items[offset] = std::move(keep);
}

void ArrayRedim(Variant& array, std::int32_t high) {
  if (!array.IsArray()) Fail("Variant is not an array");
  const VariantArray& old = array.RawArray();
  std::int32_t low[3], newHigh[3];
  for (int d = 0; d < old.dims; ++d) {
    low[d] = old.low[d];
    newHigh[d] = old.high[d];
  }
  int last = old.dims - 1;
  newHigh[last] = high;
  Variant fresh = Variant::Array(old.dims, low, newHigh, old.elementType);
  VariantArray& dst = fresh.MutableArray();
  // Copy every element whose indexes still exist.
  std::int32_t idx[3] = {0, 0, 0};
  std::size_t n = old.items.size();
  for (std::size_t k = 0; k < n; ++k) {
    std::size_t rest = k;
    for (int d = old.dims - 1; d >= 0; --d) {
      std::size_t extent = static_cast<std::size_t>(std::int64_t{old.high[d]} - old.low[d] + 1);
      idx[d] = static_cast<std::int32_t>(old.low[d] + static_cast<std::int64_t>(rest % extent));
      rest /= extent;
    }
    if (idx[last] > high) continue;
    dst.items[ElementOffset(dst, dst.dims, idx)] = old.items[k];
  }
  array = std::move(fresh);
}

Variant ArrayHelperGet(const Variant& stored, int given, const std::int32_t* indexes) {
  if (!stored.IsArray() || stored.RawArray().dims > given) return Variant::Null();
  return ArrayElement(stored, stored.RawArray().dims, indexes);
}

bool ArrayHelperSet(Variant& stored, int given, const std::int32_t* indexes, const Variant& value) {
  if (!stored.IsArray() || stored.RawArray().dims > given) return false;
  SetArrayElement(stored, stored.RawArray().dims, indexes, value);
  return true;
}

namespace {
constexpr const char* kStringIndex = "String index out of range";
}

Variant StringCharAt(const std::string& text, std::int32_t index) {
  if (index < 1 || static_cast<std::size_t>(index) > text.size()) Fail(kStringIndex);
  return Variant::String(std::string(1, text[static_cast<std::size_t>(index) - 1]));
}

void SetStringChar(std::string& text, std::int32_t index, const Variant& value) {
  std::string c = value.ToString();
  if (c.empty() || index < 1 || static_cast<std::size_t>(index) > text.size()) Fail(kStringIndex);
  text[static_cast<std::size_t>(index) - 1] = c[0];
}

// ---- operators ------------------------------------------------------------

namespace {

enum class NumKind { Int32, Int64, Currency, Double, Date };

struct Num {
  NumKind kind;
  std::int64_t i;  // Int32, Int64, Currency (scaled)
  double d;        // Double, Date
};

Num ToNum(const Variant& v) {
  switch (v.Type()) {
    case varEmpty: return {NumKind::Int32, 0, 0};
    case varBoolean: return {NumKind::Int32, v.RawBool() ? -1 : 0, 0};
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord:
      return {NumKind::Int32, v.RawInt32(), 0};
    case varLongWord: case varInt64: return {NumKind::Int64, v.ToInt64(), 0};
    case varSingle: case varDouble: return {NumKind::Double, 0, v.RawDouble()};
    case varCurrency: return {NumKind::Currency, v.RawCurrency(), 0};
    case varDate: return {NumKind::Date, 0, v.RawDouble()};
    case varString: {
      // Text meets a number as a real number written in the locale's form.
      if (auto d = TryStrToFloat(v.RawString(), CurrentFormatSettings())) return {NumKind::Double, 0, *d};
      if (auto i = TryStrToInt64(v.RawString())) return {NumKind::Double, 0, static_cast<double>(*i)};
      FailConvert(varString, "Double");
    }
    default: Fail(msg::kInvalidVarOp);
  }
}

double AsDouble(const Num& n) {
  switch (n.kind) {
    case NumKind::Int32: case NumKind::Int64: return static_cast<double>(n.i);
    case NumKind::Currency: return static_cast<double>(n.i) / 10000.0;
    default: return n.d;
  }
}

std::int64_t AsScaled(const Num& n) {
  if (n.kind == NumKind::Currency) return n.i;
  std::int64_t out;
  if (__builtin_mul_overflow(n.i, std::int64_t{10000}, &out)) Fail(msg::kOverflow);
  return out;
}

double CheckedReal(double result, double a, double b) {
  if (std::isnan(result) && !std::isnan(a) && !std::isnan(b)) Fail(msg::kInvalidOp);
  if (std::isinf(result) && std::isfinite(a) && std::isfinite(b)) Fail(msg::kOverflow);
  return result;
}

std::int64_t IntegerOf(const Variant& v) {
  if (v.IsArray() || v.IsObject()) Fail(msg::kInvalidVarOp);
  return v.ToInt64();
}

bool IsWide(const Variant& v) {
  std::uint16_t t = v.Type();
  return t == varInt64 || t == varLongWord || t == varDouble || t == varSingle ||
         t == varCurrency || t == varDate || t == varString;
}

Variant Arith(VariantOp op, const Num& a, const Num& b) {
  bool hasDate = a.kind == NumKind::Date || b.kind == NumKind::Date;
  if (hasDate) {
    double x = AsDouble(a), y = AsDouble(b), r;
    switch (op) {
      case VariantOp::Add: r = CheckedReal(x + y, x, y); return Variant::Date(r);
      case VariantOp::Sub:
        r = CheckedReal(x - y, x, y);
        // The distance between two dates is a number of days, not a date.
        if (a.kind == NumKind::Date && b.kind == NumKind::Date) return Variant::Double(r);
        return Variant::Date(r);
      default: r = CheckedReal(x * y, x, y); return Variant::Double(r);
    }
  }
  if (a.kind == NumKind::Double || b.kind == NumKind::Double) {
    double x = AsDouble(a), y = AsDouble(b);
    switch (op) {
      case VariantOp::Add: return Variant::Double(CheckedReal(x + y, x, y));
      case VariantOp::Sub: return Variant::Double(CheckedReal(x - y, x, y));
      default: return Variant::Double(CheckedReal(x * y, x, y));
    }
  }
  if (a.kind == NumKind::Currency || b.kind == NumKind::Currency) {
    std::int64_t r;
    if (op == VariantOp::Mul) {
      __int128 p;
      if (a.kind == NumKind::Currency && b.kind == NumKind::Currency) {
        p = static_cast<__int128>(a.i) * b.i;
        __int128 q = p / 10000, rem = p % 10000;
        if (rem > 5000 || (rem == 5000 && (q & 1))) ++q;
        else if (rem < -5000 || (rem == -5000 && (q & 1))) --q;
        p = q;
      } else {
        p = static_cast<__int128>(a.i) * b.i;  // one side is an integer, the other scaled
      }
      if (p > std::numeric_limits<std::int64_t>::max() || p < std::numeric_limits<std::int64_t>::min())
        Fail(msg::kOverflow);
      return Variant::CurrencyScaled(static_cast<std::int64_t>(p));
    }
    std::int64_t x = AsScaled(a), y = AsScaled(b);
    bool overflow = op == VariantOp::Add ? __builtin_add_overflow(x, y, &r) : __builtin_sub_overflow(x, y, &r);
    if (overflow) Fail(msg::kOverflow);
    return Variant::CurrencyScaled(r);
  }
  std::int64_t r;
  bool overflow;
  switch (op) {
    case VariantOp::Add: overflow = __builtin_add_overflow(a.i, b.i, &r); break;
    case VariantOp::Sub: overflow = __builtin_sub_overflow(a.i, b.i, &r); break;
    default: overflow = __builtin_mul_overflow(a.i, b.i, &r); break;
  }
  if (overflow) Fail(msg::kIntOverflow);
  // 32-bit operands whose result no longer fits become a 64-bit value.
  return Variant::Integer(r);
}

Variant Shift(VariantOp op, const Variant& left, const Variant& right) {
  std::int64_t value = IntegerOf(left);
  std::int64_t count = IntegerOf(right);
  bool wide = IsWide(left) || value < std::numeric_limits<std::int32_t>::min() ||
              value > std::numeric_limits<std::int32_t>::max();
  int width = wide ? 64 : 32;
  // Shifting by the width or more moves every bit out: the result is 0.
  if (count < 0 || count >= width) return wide ? Variant::Int64(0) : Variant::Int(0);
  if (!wide) {
    auto u = static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
    u = op == VariantOp::Shl ? u << count : u >> count;
    return Variant::Int(static_cast<std::int32_t>(u));
  }
  auto u = static_cast<std::uint64_t>(value);
  u = op == VariantOp::Shl ? u << count : u >> count;
  return Variant::Int64(static_cast<std::int64_t>(u));
}

bool BooleanOperands(const Variant& l, const Variant& r) {
  if (l.IsBoolean() && r.IsBoolean()) return true;
  return (l.IsBoolean() && r.IsString()) || (l.IsString() && r.IsBoolean());
}

}  // namespace

Variant VarConcat(const Variant& left, const Variant& right) {
  std::string out = left.ToString();
  std::string tail = right.ToString();
  if (out.size() + tail.size() > kMaxStringLength) Fail(msg::kOutOfMemory);
  out += tail;
  return Variant::String(std::move(out));
}

namespace {

// The two commonest cases, two Integers and two Doubles, without the general
// kind resolution. False when the general path must decide.
bool QuickBinary(VariantOp op, const Variant& left, const Variant& right, Variant& out) {
  if (left.IsInt32() && right.IsInt32()) {
    std::int64_t a = left.RawInt32(), b = right.RawInt32();
    switch (op) {
      case VariantOp::Add: out = Variant::Integer(a + b); return true;
      case VariantOp::Sub: out = Variant::Integer(a - b); return true;
      case VariantOp::Mul: out = Variant::Integer(a * b); return true;
      case VariantOp::IntDiv:
      case VariantOp::Mod:
        if (b == 0) Fail(msg::kDivByZero);
        // In 64 bits the 32-bit minimum divided by -1 is simply 2147483648.
        out = Variant::Integer(op == VariantOp::IntDiv ? a / b : a % b);
        return true;
      default: return false;
    }
  }
  if (left.Type() == varDouble && right.Type() == varDouble) {
    double a = left.RawDouble(), b = right.RawDouble();
    switch (op) {
      case VariantOp::Add: out = Variant::Double(CheckedReal(a + b, a, b)); return true;
      case VariantOp::Sub: out = Variant::Double(CheckedReal(a - b, a, b)); return true;
      case VariantOp::Mul: out = Variant::Double(CheckedReal(a * b, a, b)); return true;
      default: return false;
    }
  }
  return false;
}

}  // namespace

Variant VarBinary(VariantOp op, const Variant& left, const Variant& right) {
  Variant quick;
  if (QuickBinary(op, left, right, quick)) return quick;
  if (left.IsNull() || right.IsNull()) {
    if (left.IsArray() || right.IsArray() || left.IsObject() || right.IsObject()) Fail(msg::kInvalidVarOp);
    return Variant::Null();
  }
  if (left.IsArray() || right.IsArray() || left.IsObject() || right.IsObject()) Fail(msg::kInvalidVarOp);
  switch (op) {
    case VariantOp::Add:
      if ((left.IsString() && (right.IsString() || right.IsEmpty())) ||
          (right.IsString() && left.IsEmpty()))
        return VarConcat(left, right);
      [[fallthrough]];
    case VariantOp::Sub:
    case VariantOp::Mul:
      return Arith(op, ToNum(left), ToNum(right));
    case VariantOp::Div: {
      double x = AsDouble(ToNum(left)), y = AsDouble(ToNum(right));
      if (y == 0) Fail(x == 0 || std::isnan(x) ? msg::kInvalidOp : msg::kZeroDivide);
      return Variant::Double(CheckedReal(x / y, x, y));
    }
    case VariantOp::IntDiv:
    case VariantOp::Mod: {
      std::int64_t x = IntegerOf(left), y = IntegerOf(right);
      if (y == 0) Fail(msg::kDivByZero);
      if (x == std::numeric_limits<std::int64_t>::min() && y == -1) {
        if (op == VariantOp::Mod) return Variant::Int(0);
        Fail(msg::kIntOverflow);
      }
      return Variant::Integer(op == VariantOp::IntDiv ? x / y : x % y);
    }
    case VariantOp::And:
    case VariantOp::Or:
    case VariantOp::Xor: {
      if (BooleanOperands(left, right)) {
        bool a = left.ToBool(), b = right.ToBool();
        bool r = op == VariantOp::And ? (a && b) : op == VariantOp::Or ? (a || b) : (a != b);
        return Variant::Boolean(r);
      }
      std::int64_t a = IntegerOf(left), b = IntegerOf(right);
      std::int64_t r = op == VariantOp::And ? (a & b) : op == VariantOp::Or ? (a | b) : (a ^ b);
      return Variant::Integer(r);
    }
    case VariantOp::Shl:
    case VariantOp::Shr:
      return Shift(op, left, right);
  }
  Fail(msg::kInvalidVarOp);
}

Variant VarNeg(const Variant& v) {
  switch (v.Type()) {
    case varNull: return Variant::Null();
    case varEmpty: return Variant::Int(0);
    case varSingle: case varDouble: return Variant::Double(-v.RawDouble());
    case varDate: return Variant::Date(-v.RawDouble());
    case varCurrency:
      if (v.RawCurrency() == std::numeric_limits<std::int64_t>::min()) Fail(msg::kOverflow);
      return Variant::CurrencyScaled(-v.RawCurrency());
    case varString: return Variant::Double(-ToNum(v).d);
    default: {
      if (v.IsArray() || v.IsObject()) Fail(msg::kInvalidVarOp);
      std::int64_t i = v.ToInt64();
      if (i == std::numeric_limits<std::int64_t>::min()) Fail(msg::kIntOverflow);
      return Variant::Integer(-i);  // -(-2147483648) becomes a 64-bit value
    }
  }
}

Variant VarNot(const Variant& v) {
  if (v.IsNull()) return Variant::Null();
  if (v.IsBoolean()) return Variant::Boolean(!v.RawBool());
  if (v.IsString()) {
    std::string_view t = TrimBlanks(v.RawString());
    if (SameTextAscii(t, "True")) return Variant::Boolean(false);
    if (SameTextAscii(t, "False")) return Variant::Boolean(true);
  }
  return Variant::Integer(~IntegerOf(v));
}

// ---- comparison -------------------------------------------------------------

namespace {

// Collation weights for Windows-1254 text: letters in Turkish alphabetical
// order (c < ç < d, g < ğ < h, ı < i, o < ö < p, s < ş < t, u < ü < v) with
// accents and case as lesser differences, lower case first.
struct Collation {
  std::uint16_t primary[256];
  std::uint8_t secondary[256];
  std::uint8_t tertiary[256];
  Collation() {
    for (int b = 0; b < 256; ++b) {
      primary[b] = static_cast<std::uint16_t>(b);
      secondary[b] = 0;
      tertiary[b] = 0;
    }
    // The alphabet; an entry is "base letters" that share a primary weight.
    // Bytes are Windows-1254: ç E7, ğ F0, ı FD, ö F6, ş FE, ü FC, â E2, î EE, û FB.
    static const char* const kLetters[] = {
        "a\xE2\xE0\xE1\xE4\xE3\xE5", "b", "c", "\xE7", "d", "e\xE9\xE8\xEA\xEB", "f", "g",
        "\xF0", "h", "\xFD", "i\xEE\xED\xEC\xEF", "j", "k", "l", "m", "n\xF1",
        "o\xF3\xF2\xF4\xF5", "\xF6", "p", "q", "r", "s", "\xFE", "t", "u\xFB\xFA\xF9", "\xFC",
        "v", "w", "x", "y\xFF", "z"};
    std::uint16_t weight = 256;
    for (const char* group : kLetters) {
      std::uint8_t accent = 0;
      for (const char* p = group; *p; ++p) {
        auto lower = static_cast<unsigned char>(*p);
        auto upper = cp1254::ToUpper(lower);
        primary[lower] = weight;
        secondary[lower] = accent;
        tertiary[lower] = 0;
        if (upper != lower) {
          primary[upper] = weight;
          secondary[upper] = accent;
          tertiary[upper] = 1;
        }
        ++accent;
      }
      ++weight;
    }
    // The capital dotted I (DD) belongs with i.
    primary[0xDD] = primary[static_cast<unsigned char>('i')];
    secondary[0xDD] = 0;
    tertiary[0xDD] = 1;
  }
};

const Collation& TheCollation() {
  static const Collation c;
  return c;
}

int Sign(long v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

}  // namespace

int CollateText(std::string_view a, std::string_view b, bool ignoreCase) {
  const Collation& c = TheCollation();
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    int d = c.primary[static_cast<unsigned char>(a[i])] - c.primary[static_cast<unsigned char>(b[i])];
    if (d) return Sign(d);
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  for (std::size_t i = 0; i < n; ++i) {
    int d = c.secondary[static_cast<unsigned char>(a[i])] - c.secondary[static_cast<unsigned char>(b[i])];
    if (d) return Sign(d);
  }
  if (ignoreCase) return 0;
  for (std::size_t i = 0; i < n; ++i) {
    int d = c.tertiary[static_cast<unsigned char>(a[i])] - c.tertiary[static_cast<unsigned char>(b[i])];
    if (d) return Sign(d);
  }
  return Sign(a.compare(b));
}

namespace {

template <typename T>
CompareResult Order(T a, T b) {
  return a < b ? CompareResult::Less : b < a ? CompareResult::Greater : CompareResult::Equal;
}

CompareResult CompareNums(const Num& a, const Num& b) {
  bool ints = (a.kind == NumKind::Int32 || a.kind == NumKind::Int64) &&
              (b.kind == NumKind::Int32 || b.kind == NumKind::Int64);
  if (ints) return Order(a.i, b.i);
  if (a.kind == NumKind::Currency && b.kind == NumKind::Currency) return Order(a.i, b.i);
  double x = AsDouble(a), y = AsDouble(b);
  if (std::isnan(x) || std::isnan(y)) return CompareResult::NotEqual;
  return Order(x, y);
}

}  // namespace

CompareResult VarCompare(const Variant& left, const Variant& right) {
  if (left.IsArray() || right.IsArray()) Fail(msg::kInvalidVarOp);
  // Null equals only Null and orders below every other value.
  if (left.IsNull() || right.IsNull()) {
    if (left.IsNull() && right.IsNull()) return CompareResult::Equal;
    return left.IsNull() ? CompareResult::Less : CompareResult::Greater;
  }
  if (left.IsObject() || right.IsObject()) {
    if (left.IsObject() && right.IsObject() && left.RawObject() == right.RawObject())
      return CompareResult::Equal;
    return CompareResult::NotEqual;
  }
  if (left.IsEmpty() && right.IsEmpty()) return CompareResult::Equal;
  if (left.IsString() && right.IsString())
    return static_cast<CompareResult>(CollateText(left.RawString(), right.RawString(), false) + 1);
  if ((left.IsString() && right.IsEmpty()) || (left.IsEmpty() && right.IsString())) {
    std::string_view a = left.IsString() ? std::string_view(left.RawString()) : std::string_view();
    std::string_view b = right.IsString() ? std::string_view(right.RawString()) : std::string_view();
    return static_cast<CompareResult>(CollateText(a, b, false) + 1);
  }
  if (left.IsBoolean() && right.IsBoolean()) return Order(left.RawBool(), right.RawBool());
  if ((left.IsBoolean() && right.IsString()) || (left.IsString() && right.IsBoolean()))
    return Order(left.ToBool(), right.ToBool());
  return CompareNums(ToNum(left), ToNum(right));
}

bool VarEquals(const Variant& left, const Variant& right) {
  return VarCompare(left, right) == CompareResult::Equal;
}

bool VarCompareOp(CompareOp op, const Variant& left, const Variant& right) {
  CompareResult r;
  if (left.IsInt32() && right.IsInt32()) r = Order(left.RawInt32(), right.RawInt32());
  else r = VarCompare(left, right);
  if (r == CompareResult::NotEqual) {
    if (op == CompareOp::Eq) return false;
    if (op == CompareOp::NotEq) return true;
    // Objects and NaN have no order.
    if (left.IsObject() || right.IsObject()) Fail(msg::kInvalidVarOp);
    return false;
  }
  switch (op) {
    case CompareOp::Eq: return r == CompareResult::Equal;
    case CompareOp::NotEq: return r != CompareResult::Equal;
    case CompareOp::Less: return r == CompareResult::Less;
    case CompareOp::LessEq: return r != CompareResult::Greater;
    case CompareOp::Greater: return r == CompareResult::Greater;
    case CompareOp::GreaterEq: return r != CompareResult::Less;
  }
  return false;
}

// ---- 32-bit fast path ---------------------------------------------------------

std::int32_t WrapAdd(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
std::int32_t WrapSub(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}
std::int32_t WrapMul(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}
std::int32_t CheckedDiv32(std::int32_t a, std::int32_t b) {
  if (b == 0) Fail(msg::kDivByZero);
  if (b == -1) return WrapSub(0, a);  // the minimum divided by -1 wraps to itself
  return a / b;
}
std::int32_t CheckedMod32(std::int32_t a, std::int32_t b) {
  if (b == 0) Fail(msg::kDivByZero);
  if (b == -1) return 0;
  return a % b;
}

// ---- literals -------------------------------------------------------------------

Variant ParseConstant(std::string_view text) {
  if (!text.empty() && text.front() == '\'') {
    if (text.size() < 2) return Variant::String(std::string());
    return Variant::String(text.substr(1, text.size() - 2));
  }
  if (auto i = TryStrToInt64(text)) return Variant::Integer(*i);
  const FormatSettings& fs = CurrentFormatSettings();
  std::string local(text);
  for (char& c : local)
    if (c == '.') c = fs.decimalSeparator;
  if (auto d = TryStrToFloat(local, fs)) return Variant::Double(*d);
  throw ScriptError(FormatMessage(msg::kInvalidFloat, std::string(text)));
}

}  // namespace zentavo
