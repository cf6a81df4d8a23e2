// A logical font as GDI knows one: family name, height in device pixels,
// style bits, colour and escapement; and the metrics a font answers with.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Color.h"

namespace zentavo {

// Style bits, numbered as the report's font styles.
enum FontStyleBits : std::uint8_t {
  kFontBold = 1,
  kFontItalic = 2,
  kFontUnderline = 4,
  kFontStrikeOut = 8,
};

struct FontSpec {
  std::string name = "Arial";  // family as templates name it, UTF-8
  // Negative: the em (character height) in pixels; positive: the cell
  // height (ascent + descent) in pixels; 0 counts as -13.
  int height = -13;
  std::uint8_t style = 0;
  Rgb color{0, 0, 0};
  int escapement = 0;  // tenths of a degree, counter-clockwise
  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// Whole device pixels, as GDI's text metrics.
struct FontMetrics {
  int em = 0;              // pixels per em
  int ascent = 0;          // from the Windows ascent of the font
  int descent = 0;         // from the Windows descent of the font
  int height = 0;          // ascent + descent
  int internalLeading = 0;  // height - em
  int underlinePosition = 0;   // below the baseline, positive down
  int underlineThickness = 1;
  int strikeoutPosition = 0;   // above the baseline, positive up
  int strikeoutThickness = 1;
};

}  // namespace zentavo
