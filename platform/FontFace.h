// A loaded face: FreeType handle, its Cairo face and the numbers the metrics
// are computed from. Only the platform's drawing code sees this.
#pragma once

#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

namespace zentavo {

struct FontFaceData {
  FontFaceData() = default;
  FontFaceData(const FontFaceData&) = delete;
  FontFaceData& operator=(const FontFaceData&) = delete;
  ~FontFaceData() {
    if (cairo != nullptr) cairo_font_face_destroy(cairo);
    if (ft != nullptr) FT_Done_Face(ft);
  }

  FT_Face ft = nullptr;                // ours, for metrics
  cairo_font_face_t* cairo = nullptr;  // owns a face of its own through its user data
  std::string family;
  std::string file;
  int unitsPerEm = 2048;
  int winAscent = 0;   // OS/2 usWinAscent (or the face's ascender)
  int winDescent = 0;  // OS/2 usWinDescent (or the face's descender)
  int underlinePosition = 0;  // post table, design units, negative below
  int underlineThickness = 0;
  int strikeoutPosition = 0;  // OS/2, design units above the baseline
  int strikeoutThickness = 0;
  bool synthesizeBold = false;
  bool synthesizeOblique = false;
  // Glyph index and advance per character, filled on demand.
  struct CachedGlyph {
    std::uint32_t index;
    std::int32_t advanceUnits;
  };
  mutable std::unordered_map<char32_t, CachedGlyph> glyphs;
};

}  // namespace zentavo
