// Fonts through fontconfig and FreeType: names resolved to installed faces,
// GDI-like metrics and whole-pixel advances. Faces and glyph advances are
// cached for the life of the process.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Font.h"

namespace zentavo {

struct FontFaceData;  // FreeType and Cairo handles; platform/FontFace.h

// A glyph of a face with its advance in the face's design units.
struct GlyphInfo {
  const FontFaceData* face = nullptr;  // the face that holds the glyph
  std::uint32_t index = 0;             // 0: the face's missing-glyph box
  std::int32_t advanceUnits = 0;
};

class FontProvider {
 public:
  // The process's provider. Thread-safe.
  static FontProvider& Shared();

  FontProvider();
  ~FontProvider();
  FontProvider(const FontProvider&) = delete;
  FontProvider& operator=(const FontProvider&) = delete;

  // Family name and file that draw the font: "Times New Roman" and "Arial"
  // become Liberation Serif and Liberation Sans, "MS Sans Serif" a sans face.
  std::string ResolvedFamily(const FontSpec& font);
  std::string ResolvedFile(const FontSpec& font);

  // The pixels per em of the font: -height for a negative height, the cell
  // height scaled by em / (Windows ascent + descent) for a positive one.
  int EmPixels(const FontSpec& font);
  FontMetrics Metrics(const FontSpec& font);

  // Whole-pixel advance of each UTF-16 unit at the font's em: the design
  // advance scaled and rounded, so a layout resolution gives the same numbers
  // on every machine with the same fonts. The low half of a surrogate pair
  // gets 0 (the pair's glyph advance sits on the high half). Controls get 0.
  void Advances(const FontSpec& font, std::u16string_view text, std::span<int> out);
  std::vector<int> Advances(const FontSpec& font, std::u16string_view text);
  int TextWidth(const FontSpec& font, std::u16string_view text);

  // Whether the font (or its fallback) has a real glyph for the character.
  bool HasGlyph(const FontSpec& font, char32_t ch);

  // For the Cairo backend: the primary face of the font and the glyph that
  // draws a character (from a fallback face when the primary lacks it).
  const FontFaceData& Face(const FontSpec& font);
  GlyphInfo Glyph(const FontFaceData& face, char32_t ch);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Code points of UTF-16 text, one per unit: a surrogate pair yields its
// character on the high half and 0 on the low half; a lone surrogate U+FFFD.
char32_t CodePointAt(std::u16string_view text, std::size_t i);

}  // namespace zentavo
