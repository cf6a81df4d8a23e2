// Expressions in report text: finding the delimited parts of a text, the
// display format a bracket may carry after " #", and the expansion that
// replaces every delimited part by its value.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "report/frxTypes.h"

namespace zentavo {

// The delimiters of a memo's ExpressionDelimiters ("[,]"): the text before
// the first comma opens, the text after it closes.
struct ExpressionDelimiters {
  std::u16string open, close;
};
ExpressionDelimiters SplitDelimiters(std::string_view delimiters);

// The delimited part that starts at `start` (where `open` stands): nesting
// counts, and delimiters inside single or double quotes do not. An opening
// delimiter that is never closed takes the rest of the text but its last
// character. `end` is the position just past the part; nothing was found
// when `end` is `start`.
struct DelimitedPart {
  std::u16string expression;
  std::size_t end = 0;
};
DelimitedPart FindClosing(std::u16string_view text, std::size_t start, std::u16string_view open,
                          std::u16string_view close);

// A bracket's expression and the display format written after " #" ("N",
// "D", "T", "B" and their lower-case forms choose the kind; a numeric
// format's "," or "-" names the decimal separator and reads as "."). A part
// after " #" that holds ")" belongs to the expression.
struct BracketText {
  std::string expression;
  std::optional<TfrxFormat> format;
};
BracketText SplitDisplayFormat(const std::string& bracket);

// Replaces every delimited part of `text` by what `evaluate` makes of its
// expression (Windows-1254 text both ways). Text without the opening
// delimiter comes back unchanged; replacements are not scanned again.
std::u16string ExpandExpressions(std::u16string_view text, const ExpressionDelimiters& delimiters,
                                 const std::function<std::string(const std::string&)>& evaluate);

}  // namespace zentavo
