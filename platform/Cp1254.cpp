// Windows-1254 tables and UTF-8 conversion.
#include "platform/Cp1254.h"

#include <array>

namespace zentavo::cp1254 {
namespace {

// 0x80..0x9F; zero marks the bytes the code page leaves undefined.
constexpr char16_t kHigh80[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0,      0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0,      0x0178};

// The six places where 1254 differs from Latin-1 in 0xA0..0xFF.
struct Turkish {
  unsigned char byte;
  char16_t codePoint;
};
constexpr Turkish kTurkish[] = {{0xD0, 0x011E}, {0xDD, 0x0130}, {0xDE, 0x015E},
                                {0xF0, 0x011F}, {0xFD, 0x0131}, {0xFE, 0x015F}};

constexpr char16_t Defined(unsigned char b) {
  if (b < 0x80) return b;
  if (b < 0xA0) return kHigh80[b - 0x80];
  for (const Turkish& t : kTurkish)
    if (t.byte == b) return t.codePoint;
  return b;
}

struct CaseTables {
  std::array<unsigned char, 256> upper{};
  std::array<unsigned char, 256> lower{};
};

constexpr CaseTables MakeCaseTables() {
  CaseTables t;
  for (int i = 0; i < 256; ++i) t.upper[i] = t.lower[i] = static_cast<unsigned char>(i);
  for (int c = 'a'; c <= 'z'; ++c) {
    t.upper[c] = static_cast<unsigned char>(c - 32);
    t.lower[c - 32] = static_cast<unsigned char>(c);
  }
  // Latin-1 style pairs 0xC0..0xDE <-> 0xE0..0xFE, except the multiplication
  // and division signs and the two Turkish I's handled below.
  for (int c = 0xE0; c <= 0xFE; ++c) {
    if (c == 0xF7 || c == 0xFD) continue;
    t.upper[c] = static_cast<unsigned char>(c - 32);
    if (c - 32 != 0xDD) t.lower[c - 32] = static_cast<unsigned char>(c);
  }
  t.upper[0xFD] = 'I';   // dotless i
  t.lower[0xDD] = 'i';   // capital I with dot
  t.upper[0x9A] = 0x8A;  t.lower[0x8A] = 0x9A;  // š Š
  t.upper[0x9C] = 0x8C;  t.lower[0x8C] = 0x9C;  // œ Œ
  t.upper[0xFF] = 0x9F;  t.lower[0x9F] = 0xFF;  // ÿ Ÿ
  return t;
}

constexpr CaseTables kCase = MakeCaseTables();

}  // namespace

char32_t ToUnicode(unsigned char byte) {
  char16_t cp = Defined(byte);
  return cp != 0 ? cp : byte;
}

std::optional<unsigned char> FromUnicode(char32_t codePoint) {
  if (codePoint < 0x80) return static_cast<unsigned char>(codePoint);
  if (codePoint >= 0xA0 && codePoint <= 0xFF) {
    auto b = static_cast<unsigned char>(codePoint);
    if (Defined(b) == codePoint) return b;
    return std::nullopt;  // one of the six Latin-1 letters 1254 replaced
  }
  for (int b = 0x80; b < 0xA0; ++b)
    if (kHigh80[b - 0x80] != 0 && kHigh80[b - 0x80] == codePoint) return static_cast<unsigned char>(b);
  for (const Turkish& t : kTurkish)
    if (t.codePoint == codePoint) return t.byte;
  return std::nullopt;
}

unsigned char ToUpper(unsigned char byte) { return kCase.upper[byte]; }
unsigned char ToLower(unsigned char byte) { return kCase.lower[byte]; }

std::string UpperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(ToUpper(static_cast<unsigned char>(c)));
  return out;
}

std::string LowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(ToLower(static_cast<unsigned char>(c)));
  return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::optional<Utf8Char> DecodeUtf8(std::string_view text) {
  if (text.empty()) return std::nullopt;
  auto b0 = static_cast<unsigned char>(text[0]);
  if (b0 < 0x80) return Utf8Char{b0, 1};
  std::size_t len;
  char32_t cp;
  char32_t min;
  if ((b0 & 0xE0) == 0xC0) { len = 2; cp = b0 & 0x1F; min = 0x80; }
  else if ((b0 & 0xF0) == 0xE0) { len = 3; cp = b0 & 0x0F; min = 0x800; }
  else if ((b0 & 0xF8) == 0xF0) { len = 4; cp = b0 & 0x07; min = 0x10000; }
  else return std::nullopt;
  if (text.size() < len) return std::nullopt;
  for (std::size_t i = 1; i < len; ++i) {
    auto b = static_cast<unsigned char>(text[i]);
    if ((b & 0xC0) != 0x80) return std::nullopt;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
  return Utf8Char{cp, len};
}

std::string ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 4);
  for (char c : bytes) AppendUtf8(out, ToUnicode(static_cast<unsigned char>(c)));
  return out;
}

std::string FromUtf8(std::string_view utf8, char replacement) {
  std::string out;
  out.reserve(utf8.size());
  while (!utf8.empty()) {
    auto ch = DecodeUtf8(utf8);
    if (!ch) {
      out += replacement;
      utf8.remove_prefix(1);
      continue;
    }
    auto b = FromUnicode(ch->codePoint);
    out += b ? static_cast<char>(*b) : replacement;
    utf8.remove_prefix(ch->length);
  }
  return out;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (ToLower(static_cast<unsigned char>(a[i])) != ToLower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

}  // namespace zentavo::cp1254
