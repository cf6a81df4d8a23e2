// Prelude that lets R++Izozev programs of the shared subset compile as C++:
// WriteLn prints each kind of value as the script engine's WriteLn does, the
// library functions the programs call are written out here, and the
// R++Izozev spellings C++ lacks ("div", "except") become their C++ forms.
// g++ includes it before each program with -include.
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>

// Strings index from 1, as in the script engine; s[i] reads and writes one character.
struct String;
struct CharRef {
  std::string& text;
  int index;
  CharRef& operator=(const std::string& c) {
    text.at(static_cast<std::size_t>(index - 1)) = c.at(0);
    return *this;
  }
  CharRef& operator=(const char* c) { return *this = std::string(c); }
  operator std::string() const { return std::string(1, text.at(static_cast<std::size_t>(index - 1))); }
  bool operator==(const char* c) const { return std::string(*this) == c; }
  bool operator!=(const char* c) const { return std::string(*this) != c; }
};
struct String : std::string {
  using std::string::string;
  String() = default;
  String(const std::string& s) : std::string(s) {}
  String(const CharRef& c) : std::string(std::string(c)) {}
  CharRef operator[](int i) { return CharRef{*this, i}; }
};
inline String operator+(const String& a, const CharRef& b) { return a + std::string(b); }

// A real number as the engine prints it: at most 15 significant digits, no
// trailing zeros, "," before the decimals, "E" notation from 1E15 and below 1E-5.
inline std::string RealText(double v) {
  if (v == 0) return "0";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14e", v);
  std::string s = buf;
  std::size_t e = s.find('e');
  int exp = std::stoi(s.substr(e + 1));
  bool neg = s[0] == '-';
  std::string digits;
  for (std::size_t i = neg ? 1 : 0; i < e; ++i)
    if (s[i] != '.') digits += s[i];
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  int n = static_cast<int>(digits.size());
  std::string out = neg ? "-" : "";
  if (exp >= 15 || exp < -5) {
    out += digits.substr(0, 1);
    if (n > 1) out += "," + digits.substr(1);
    return out + "E" + std::to_string(exp);
  }
  if (exp < 0) return out + "0," + std::string(static_cast<std::size_t>(-exp - 1), '0') + digits;
  if (n <= exp + 1) return out + digits + std::string(static_cast<std::size_t>(exp + 1 - n), '0');
  return out + digits.substr(0, static_cast<std::size_t>(exp + 1)) + "," + digits.substr(static_cast<std::size_t>(exp + 1));
}

inline void WriteLn(int v) { std::printf("%d\n", v); }
inline void WriteLn(long long v) { std::printf("%lld\n", v); }
inline void WriteLn(double v) { std::printf("%s\n", RealText(v).c_str()); }
inline void WriteLn(bool v) { std::printf("%s\n", v ? "True" : "False"); }
inline void WriteLn(const std::string& v) { std::printf("%s\n", v.c_str()); }
inline void WriteLn(const char* v) { std::printf("%s\n", v); }
inline void WriteLn(const CharRef& v) { WriteLn(std::string(v)); }

inline void RaiseException(const std::string& m) { throw std::runtime_error(m); }
inline int Length(const std::string& s) { return static_cast<int>(s.size()); }
inline String Copy(const std::string& s, int from, int count) {
  if (from < 1) from = 1;
  if (from > Length(s) || count <= 0) return String();
  return String(s.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(count)));
}
inline int Pos(const std::string& sub, const std::string& s) {
  std::size_t p = s.find(sub);
  return p == std::string::npos ? 0 : static_cast<int>(p) + 1;
}
inline String UpperCase(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return String(s);
}
inline String IntToStr(int v) { return String(std::to_string(v)); }
inline String FloatToStr(double v) { return String(RealText(v)); }
inline int StrToInt(const std::string& s) { return std::stoi(s); }
inline int Ord(const CharRef& c) { return static_cast<unsigned char>(std::string(c)[0]); }
inline String Chr(int c) { return String(1, static_cast<char>(c)); }
// The default rounding mode rounds halves to even, as the engine's Round does.
inline long long Round(double v) { return static_cast<long long>(std::nearbyint(v)); }
inline long long Trunc(double v) { return static_cast<long long>(v); }
inline double Sqrt(double v) { return std::sqrt(v); }
inline int Abs(int v) { return v < 0 ? -v : v; }
inline void Inc(int& v, int n = 1) { v += n; }
inline void Dec(int& v, int n = 1) { v -= n; }
// Pascal's Delete and Insert: positions outside the text delete nothing and
// insert at the nearer end.
inline void Delete(String& s, int from, int count) {
  if (from < 1 || from > Length(s) || count <= 0) return;
  s.erase(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(count));
}
inline void Insert(const std::string& part, String& s, int at) {
  if (at < 1) at = 1;
  if (at > Length(s) + 1) at = Length(s) + 1;
  s.insert(static_cast<std::size_t>(at - 1), part);
}

// R++Izozev spells integer division "div" and the handler of a try "except".
#define div /
#define except catch (...)
