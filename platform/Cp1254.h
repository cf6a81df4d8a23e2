// Windows-1254 (Turkish) code page: bytes to Unicode and back, case folding.
// Our own tables, so results never depend on the process locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Text.h"

namespace zentavo::cp1254 {

// The Unicode code point of a byte. The seven bytes the code page leaves
// undefined map to the C1 control of the same number, as Windows does.
char32_t ToUnicode(unsigned char byte);

// The byte of a code point, or nothing when the code page lacks it. Only the
// characters the code page defines are found (no C1 controls).
std::optional<unsigned char> FromUnicode(char32_t codePoint);

// Upper- and lower-casing by the code page. ASCII letters fold as ASCII
// ("i" <-> "I"), so identifiers never meet the Turkish dotted/dotless I;
// the Turkish letters fold with their partners (ş/Ş, ğ/Ğ, ı -> I, İ -> i).
unsigned char ToUpper(unsigned char byte);
unsigned char ToLower(unsigned char byte);
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);
// Equal when folded by the code page (the locale's comparison of names).
bool SameText(std::string_view a, std::string_view b);

// Whole strings. ToUtf8 never fails. FromUtf8 replaces characters the code
// page lacks (and malformed bytes) with `replacement`.
std::string ToUtf8(std::string_view bytes);
std::string FromUtf8(std::string_view utf8, char replacement = '?');

// One well-formed UTF-8 sequence at the start of `text`: its code point and
// length, or nothing for malformed, overlong, surrogate or truncated input.
struct Utf8Char {
  char32_t codePoint;
  std::size_t length;
};
std::optional<Utf8Char> DecodeUtf8(std::string_view text);
void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace zentavo::cp1254
