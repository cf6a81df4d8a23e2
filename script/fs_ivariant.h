// The script value: a tagged value with the automation VARIANT's kinds and
// rules (empty, null, Boolean, 32/64-bit integers, double, currency, date,
// string, arrays of up to three dimensions) plus checked object handles.
// Numbers live inside the value; strings and arrays are shared and copied on
// write, so copying a value never allocates.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace zentavo {

// Automation type codes, the values scripts see through VarType.
enum VarTypeCode : std::uint16_t {
  varEmpty = 0,
  varNull = 1,
  varSmallint = 2,
  varInteger = 3,
  varSingle = 4,
  varDouble = 5,
  varCurrency = 6,
  varDate = 7,
  varOleStr = 8,
  varDispatch = 9,
  varError = 10,
  varBoolean = 11,
  varVariant = 12,
  varUnknown = 13,
  varShortInt = 16,
  varByte = 17,
  varWord = 18,
  varLongWord = 19,
  varInt64 = 20,
  varStrArg = 72,
  varString = 256,
  varAny = 257,
  varTypeMask = 0x0FFF,
  varArray = 0x2000,
  varByRef = 0x4000,
  // Our own kind: a handle of an object the host registered. Scripts of the
  // original engine held objects as plain integers; a handle is checked on
  // every use, so a number can never be taken for an object.
  varObject = 0x0FF0,
};

// A checked reference to a host object: the serial number of the object
// table that issued it (each script owns one, fs_iobjects.h), a slot of that
// table and the generation the slot had then. A value holds only the handle;
// only the issuing table resolves it. All zero is the handle of no object.
struct ObjectHandle {
  std::uint32_t table;
  std::uint32_t slot;
  std::uint32_t generation;
  friend bool operator==(const ObjectHandle&, const ObjectHandle&) = default;
};

class Variant;

// The shared bodies of strings and arrays. Single-threaded reference counts:
// the script engine runs on one thread.
struct VariantString {
  int refs = 1;
  std::string text;  // Windows-1254 bytes
};

struct VariantArray {
  int refs = 1;
  std::uint16_t elementType = varVariant;
  int dims = 1;
  std::int32_t low[3] = {0, 0, 0};
  std::int32_t high[3] = {0, 0, 0};
  std::vector<Variant> items;  // first index varies slowest
};

// What a value is made of. Trivially copyable, so that a value is copied as
// one sixteen-byte block whatever its kind.
struct VariantRep {
  // Where an object handle is in the table it came from.
  struct SlotRef {
    std::uint32_t slot;
    std::uint32_t generation;
  };

  std::uint16_t type_;
  // The issuing table of an object handle. It lives in the room between the
  // kind and the payload, so a value stays sixteen bytes.
  std::uint32_t table_;
  union Payload {
    std::int32_t i32;
    std::int64_t i64;
    double d;
    bool b;
    SlotRef h;
    VariantString* s;
    VariantArray* a;
  } u_;
};

class Variant : private VariantRep {
 public:
  Variant() noexcept {
    type_ = varEmpty;
    table_ = 0;
    u_.i64 = 0;
  }
  ~Variant() { Release(); }
  Variant(const Variant& other) noexcept : VariantRep(other) { AddRef(); }
  Variant(Variant&& other) noexcept : VariantRep(other) {
    other.type_ = varEmpty;
    other.u_.i64 = 0;
  }
  // Inline: numbers are copied and dropped on every script operation, and
  // only strings and arrays need the shared-body bookkeeping.
  Variant& operator=(const Variant& other) noexcept {
    if (this != &other) {
      other.AddRef();
      Release();
      VariantRep::operator=(other);
    }
    return *this;
  }
  Variant& operator=(Variant&& other) noexcept {
    if (this != &other) {
      Release();
      VariantRep::operator=(other);
      other.type_ = varEmpty;
      other.u_.i64 = 0;
    }
    return *this;
  }

  // Constructors of each kind. Named so that a bool never turns into an integer by accident.
  static Variant Null() { Variant v; v.type_ = varNull; return v; }
  static Variant Boolean(bool b) { Variant v; v.type_ = varBoolean; v.u_.b = b; return v; }
  static Variant Int(std::int32_t i) { Variant v; v.type_ = varInteger; v.u_.i32 = i; return v; }
  static Variant Int64(std::int64_t i) { Variant v; v.type_ = varInt64; v.u_.i64 = i; return v; }
  // An integer as Integer when it fits in 32 bits, else as Int64.
  static Variant Integer(std::int64_t i);
  static Variant Double(double d) { Variant v; v.type_ = varDouble; v.u_.d = d; return v; }
  static Variant Single(float f) { Variant v; v.type_ = varSingle; v.u_.d = f; return v; }
  // Currency in ten-thousandths.
  static Variant CurrencyScaled(std::int64_t c) { Variant v; v.type_ = varCurrency; v.u_.i64 = c; return v; }
  static Variant Currency(double value);
  // Days since 30 December 1899, the time of day as fraction.
  static Variant Date(double days) { Variant v; v.type_ = varDate; v.u_.d = days; return v; }
  static Variant String(std::string_view text);
  static Variant String(std::string&& text);
  static Variant String(const char* text) { return String(std::string_view(text)); }
  static Variant Object(ObjectHandle h) {
    Variant v;
    v.type_ = varObject;
    v.table_ = h.table;
    v.u_.h = {h.slot, h.generation};
    return v;
  }
  // A smaller integer kind (varSmallint, varShortInt, varByte, varWord,
  // varLongWord) holding `value`, which the caller has range-checked.
  static Variant OfIntegerKind(std::uint16_t kind, std::int64_t value);
  // A new array with `dims` dimensions of the given bounds, all elements
  // Empty (varVariant) or the zero of `elementType`. Errors on bad bounds or
  // a size beyond the engine's bound.
  static Variant Array(int dims, const std::int32_t* low, const std::int32_t* high,
                       std::uint16_t elementType = varVariant);
  static Variant Array1(std::int32_t low, std::int32_t high) { return Array(1, &low, &high); }
  // A one-dimensional array 0..n-1 of the given values.
  static Variant ArrayOf(std::vector<Variant> values);

  // The automation type code (varArray | element type for arrays, varObject for handles).
  std::uint16_t Type() const {
    return type_ == kArrayTag ? static_cast<std::uint16_t>(varArray | u_.a->elementType) : type_;
  }
  bool IsEmpty() const { return type_ == varEmpty; }
  bool IsNull() const { return type_ == varNull; }
  bool IsEmptyOrNull() const { return type_ <= varNull; }
  bool IsBoolean() const { return type_ == varBoolean; }
  bool IsString() const { return type_ == varString; }
  bool IsArray() const { return type_ == kArrayTag; }
  bool IsObject() const { return type_ == varObject; }
  bool IsDate() const { return type_ == varDate; }
  bool IsInt32() const { return type_ == varInteger; }
  // Integer kinds of every width (not Boolean).
  bool IsIntegral() const;
  // Numbers of every kind: integers, reals, currency and dates.
  bool IsNumeric() const;
  bool IsFloat() const { return type_ == varDouble || type_ == varSingle; }

  // Raw access; only valid for the matching kind.
  std::int32_t RawInt32() const { return u_.i32; }
  bool RawBool() const { return u_.b; }
  double RawDouble() const { return u_.d; }
  std::int64_t RawCurrency() const { return u_.i64; }
  ObjectHandle RawObject() const { return {table_, u_.h.slot, u_.h.generation}; }
  const std::string& RawString() const { return u_.s->text; }
  const VariantArray& RawArray() const { return *u_.a; }
  // The array body for writing; copies it first when it is shared.
  VariantArray& MutableArray();

  // Conversions; each raises a ScriptError with the value library's message
  // when the value has no such form (Null to a number, 'abc' to a number ...).
  // Reals round half to even; range checked. Integers take the inline path.
  std::int32_t ToInt32() const { return type_ == varInteger ? u_.i32 : ToInt32Slow(); }
  std::int64_t ToInt64() const;
  double ToDouble() const;
  bool ToBool() const;  // numbers: non-zero; strings: 'True'/'False' or a number
  // The text of the value. Null is an error here (use VarToStr for the lenient form).
  std::string ToString() const;

  // The name of the kind in conversion messages: "Integer", "String", "Null" ...
  static std::string KindName(std::uint16_t type);

 private:
  static constexpr std::uint16_t kArrayTag = varArray | varVariant;
  std::int32_t ToInt32Slow() const;
  void AddRef() const noexcept {
    if (type_ == varString) ++u_.s->refs;
    else if (type_ == kArrayTag) ++u_.a->refs;
  }
  void Release() noexcept {
    if (type_ == varString || type_ == kArrayTag) ReleaseShared();
    type_ = varEmpty;
  }
  void ReleaseShared() noexcept;
};

static_assert(std::is_trivially_copyable_v<VariantRep>);
static_assert(sizeof(Variant) == 16, "a value is a kind, a handle's table and an eight-byte payload");

// The lenient text of a value: Null and Empty give the empty string.
std::string VarToStr(const Variant& v);

// Element access of arrays. Indexes out of bounds raise
// "Variant or safe array index out of bounds".
const Variant& ArrayElement(const Variant& array, int count, const std::int32_t* indexes);
void SetArrayElement(Variant& array, int count, const std::int32_t* indexes, const Variant& value);
// Resizes the last dimension to the upper bound `high`, keeping the elements that fit.
void ArrayRedim(Variant& array, std::int32_t high);

// Element access as the array helpers do it: the number of dimensions of the
// stored value decides how many of the given indexes count (one to three);
// a value that is no array, or has more dimensions than indexes were given,
// reads as Null and ignores writes. Indexes outside the bounds are errors.
Variant ArrayHelperGet(const Variant& stored, int given, const std::int32_t* indexes);
// False when the write was ignored.
bool ArrayHelperSet(Variant& stored, int given, const std::int32_t* indexes, const Variant& value);

// Character access of texts (1-based). An index outside 1..length is the
// error "String index out of range", as is writing an empty text.
Variant StringCharAt(const std::string& text, std::int32_t index);
void SetStringChar(std::string& text, std::int32_t index, const Variant& value);

// Operators with the automation variant's rules. Null operands give Null
// (comparisons excepted); Empty counts as 0 or the empty string; strings meet
// numbers as numbers; 32-bit results that overflow become 64-bit values.
enum class VariantOp { Add, Sub, Mul, Div, IntDiv, Mod, And, Or, Xor, Shl, Shr };
Variant VarBinary(VariantOp op, const Variant& left, const Variant& right);
Variant VarNeg(const Variant& v);
Variant VarNot(const Variant& v);
// Concatenation of the two texts.
Variant VarConcat(const Variant& left, const Variant& right);

// Comparison. Null equals only Null and orders below everything else.
enum class CompareResult { Less, Equal, Greater, NotEqual };
CompareResult VarCompare(const Variant& left, const Variant& right);
bool VarEquals(const Variant& left, const Variant& right);
enum class CompareOp { Eq, NotEq, Less, LessEq, Greater, GreaterEq };
bool VarCompareOp(CompareOp op, const Variant& left, const Variant& right);

// Order of two Windows-1254 texts by the Turkish alphabet: -1, 0 or 1.
// Accents and then case (lower first) decide only between otherwise equal texts.
int CollateText(std::string_view a, std::string_view b, bool ignoreCase);

// 32-bit signed arithmetic of the integer fast path: wraps on overflow, div
// truncates toward zero, mod takes the dividend's sign; a zero divisor raises
// "Division by zero". The minimum divided by -1 wraps to the minimum (mod 0).
std::int32_t WrapAdd(std::int32_t a, std::int32_t b);
std::int32_t WrapSub(std::int32_t a, std::int32_t b);
std::int32_t WrapMul(std::int32_t a, std::int32_t b);
std::int32_t CheckedDiv32(std::int32_t a, std::int32_t b);
std::int32_t CheckedMod32(std::int32_t a, std::int32_t b);

// Rounds half to even, the engine's rounding; raises the range-check error
// when the result does not fit 64 bits.
std::int64_t RoundHalfEvenChecked(double d);

// The compile-time constant of a number or string literal as the builder
// reads it: 'text' is a string; decimal or "$" hexadecimal digits a 32-bit
// integer (64-bit above 2147483647); otherwise a real number written with "."
// or the locale's decimal separator. An unconvertible text is an error.
Variant ParseConstant(std::string_view text);

}  // namespace zentavo
