// Small text rules every layer shares: ASCII case folding for names, and
// trimming. Names of objects, classes, properties and keywords compare with
// ASCII letters folded and every other byte as it is, whatever the locale.
#pragma once

#include <string>
#include <string_view>

namespace zentavo {

constexpr char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
constexpr char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
std::string UpperAscii(std::string_view text);
std::string LowerAscii(std::string_view text);
bool SameTextAscii(std::string_view a, std::string_view b);

// Blanks and control characters (every byte up to the space) off both ends,
// as names and data fields are trimmed.
std::string_view TrimBlanks(std::string_view text);

}  // namespace zentavo
