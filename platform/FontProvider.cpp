// Font names to faces through fontconfig, metrics and advances through
// FreeType, Cairo faces for drawing. Everything loaded stays cached.
#include "platform/FontProvider.h"
#include "platform/Text.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>
#include FT_TRUETYPE_TABLES_H
#include FT_ADVANCES_H

#include <array>
#include <cmath>
#include <map>
#include <mutex>
#include <stdexcept>
#include <unordered_map>

#include "platform/FontFace.h"

namespace zentavo {
namespace {

// Windows family names our templates use and the faces that stand in for
// them. The Liberation faces have the same advances as the fonts they
// replace, so lines break where they broke on Windows.
struct Substitute {
  std::string_view windowsName;  // lower case
  std::string_view family;
};
constexpr std::array<Substitute, 9> kSubstitutes = {{
    {"times new roman", "Liberation Serif"},
    {"arial", "Liberation Sans"},
    {"courier new", "Liberation Mono"},
    {"arial narrow", "Liberation Sans Narrow"},
    {"ms sans serif", "Liberation Sans"},
    {"microsoft sans serif", "Liberation Sans"},
    {"ms shell dlg", "Liberation Sans"},
    {"ms shell dlg 2", "Liberation Sans"},
    {"ms serif", "Liberation Serif"},
}};


std::string FamilyFor(std::string_view name) {
  const std::string lower = LowerAscii(name);
  for (const Substitute& s : kSubstitutes) {
    if (lower == s.windowsName) return std::string(s.family);
  }
  if (lower.empty()) return "Liberation Sans";
  return std::string(name);
}

FT_Library Library() {
  // One FreeType library for the process, never released: Cairo may keep
  // faces alive in its caches until exit.
  static FT_Library library = [] {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) throw std::runtime_error("FreeType cannot be initialised");
    return lib;
  }();
  return library;
}

const cairo_user_data_key_t kFtFaceKey{};

void DoneFace(void* face) { FT_Done_Face(static_cast<FT_Face>(face)); }

struct Match {
  std::string file;
  int index = 0;
  std::string family;
  bool syntheticBold = false;
  bool syntheticOblique = false;
};

Match MatchPattern(FcPattern* pattern, bool bold, bool italic) {
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* found = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (found == nullptr) throw std::runtime_error("No font is installed");
  Match m;
  FcChar8* text = nullptr;
  if (FcPatternGetString(found, FC_FILE, 0, &text) == FcResultMatch) m.file = reinterpret_cast<char*>(text);
  if (FcPatternGetString(found, FC_FAMILY, 0, &text) == FcResultMatch) m.family = reinterpret_cast<char*>(text);
  FcPatternGetInteger(found, FC_INDEX, 0, &m.index);
  int weight = FC_WEIGHT_REGULAR;
  int slant = FC_SLANT_ROMAN;
  FcPatternGetInteger(found, FC_WEIGHT, 0, &weight);
  FcPatternGetInteger(found, FC_SLANT, 0, &slant);
  FcPatternDestroy(found);
  m.syntheticBold = bold && weight < FC_WEIGHT_DEMIBOLD;
  m.syntheticOblique = italic && slant == FC_SLANT_ROMAN;
  if (m.file.empty()) throw std::runtime_error("No font is installed");
  return m;
}

FcPattern* StylePattern(bool bold, bool italic) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  return pattern;
}

}  // namespace

char32_t CodePointAt(std::u16string_view text, std::size_t i) {
  const char16_t unit = text[i];
  if (unit >= 0xD800 && unit <= 0xDBFF) {
    if (i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      return 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
    }
    return 0xFFFD;
  }
  if (unit >= 0xDC00 && unit <= 0xDFFF) {
    if (i > 0 && text[i - 1] >= 0xD800 && text[i - 1] <= 0xDBFF) return 0;
    return 0xFFFD;
  }
  return unit;
}

struct FontProvider::Impl {
  std::mutex mutex;
  // Primary faces by lower-case requested name and bold/italic bits.
  std::map<std::pair<std::string, int>, std::unique_ptr<FontFaceData>> faces;
  // Faces by file, index and synthesis, shared by names that land on them.
  std::map<std::tuple<std::string, int, bool, bool>, FontFaceData*> byFile;
  std::vector<std::unique_ptr<FontFaceData>> fallbackFaces;
  // Fallback face per character the primary faces lack (null: none has it).
  std::unordered_map<char32_t, const FontFaceData*> fallback;

  std::unique_ptr<FontFaceData> Load(const Match& m) {
    auto data = std::make_unique<FontFaceData>();
    FT_Face ft = nullptr;
    if (FT_New_Face(Library(), m.file.c_str(), m.index, &ft) != 0) {
      throw std::runtime_error("Font file cannot be read: " + m.file);
    }
    data->ft = ft;
    // Cairo gets a face of its own: it locks its faces while it uses them,
    // but knows nothing of our metric reads, and documents may be finished
    // (their fonts subset) on another thread while the next label is laid out.
    FT_Face drawn = nullptr;
    if (FT_New_Face(Library(), m.file.c_str(), m.index, &drawn) != 0)
      throw std::runtime_error("Font file cannot be read: " + m.file);
    data->cairo = cairo_ft_font_face_create_for_ft_face(drawn, FT_LOAD_NO_HINTING);
    if (cairo_font_face_set_user_data(data->cairo, &kFtFaceKey, drawn, DoneFace) != CAIRO_STATUS_SUCCESS) {
      FT_Done_Face(drawn);
      throw std::runtime_error("Font face cannot be created: " + m.file);
    }
    unsigned synth = 0;
    if (m.syntheticBold) synth |= CAIRO_FT_SYNTHESIZE_BOLD;
    if (m.syntheticOblique) synth |= CAIRO_FT_SYNTHESIZE_OBLIQUE;
    if (synth != 0) cairo_ft_font_face_set_synthesize(data->cairo, synth);
    data->family = m.family;
    data->file = m.file;
    data->synthesizeBold = m.syntheticBold;
    data->synthesizeOblique = m.syntheticOblique;
    data->unitsPerEm = ft->units_per_EM > 0 ? ft->units_per_EM : 2048;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
    if (os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
      data->winAscent = os2->usWinAscent;
      data->winDescent = os2->usWinDescent;
      data->strikeoutPosition = os2->yStrikeoutPosition;
      data->strikeoutThickness = os2->yStrikeoutSize;
    } else {
      data->winAscent = ft->ascender;
      data->winDescent = -ft->descender;
    }
    if (data->winAscent + data->winDescent <= 0) {
      data->winAscent = data->unitsPerEm * 9 / 10;
      data->winDescent = data->unitsPerEm - data->winAscent;
    }
    if (data->strikeoutThickness <= 0) {
      data->strikeoutThickness = data->unitsPerEm / 20;
      data->strikeoutPosition = data->unitsPerEm * 26 / 100;
    }
    data->underlinePosition = ft->underline_position;
    data->underlineThickness = ft->underline_thickness > 0 ? ft->underline_thickness : data->unitsPerEm / 20;
    return data;
  }

  const FontFaceData& Primary(const FontSpec& font) {
    const bool bold = (font.style & kFontBold) != 0;
    const bool italic = (font.style & kFontItalic) != 0;
    auto key = std::make_pair(LowerAscii(font.name), (bold ? 1 : 0) | (italic ? 2 : 0));
    auto it = faces.find(key);
    if (it != faces.end()) return *it->second;
    FcInit();
    FcPattern* pattern = StylePattern(bold, italic);
    const std::string family = FamilyFor(font.name);
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    const Match m = MatchPattern(pattern, bold, italic);
    auto data = Load(m);
    auto& slot = faces[key];
    slot = std::move(data);
    return *slot;
  }

  const FontFaceData* FallbackFor(char32_t ch) {
    auto it = fallback.find(ch);
    if (it != fallback.end()) return it->second;
    const FontFaceData* result = nullptr;
    FcCharSet* set = FcCharSetCreate();
    FcCharSetAddChar(set, ch);
    FcPattern* pattern = StylePattern(false, false);
    FcPatternAddCharSet(pattern, FC_CHARSET, set);
    FcCharSetDestroy(set);
    try {
      const Match m = MatchPattern(pattern, false, false);
      auto file = std::make_tuple(m.file, m.index, false, false);
      auto known = byFile.find(file);
      FontFaceData* face = nullptr;
      if (known != byFile.end()) {
        face = known->second;
      } else {
        fallbackFaces.push_back(Load(m));
        face = fallbackFaces.back().get();
        byFile[file] = face;
      }
      if (FT_Get_Char_Index(face->ft, ch) != 0) result = face;
    } catch (const std::runtime_error&) {
      result = nullptr;
    }
    fallback[ch] = result;
    return result;
  }

  GlyphInfo Glyph(const FontFaceData& face, char32_t ch) {
    auto cached = face.glyphs.find(ch);
    if (cached == face.glyphs.end()) {
      const FT_UInt index = FT_Get_Char_Index(face.ft, ch);
      FT_Fixed advance = 0;
      if (index != 0) FT_Get_Advance(face.ft, index, FT_LOAD_NO_SCALE, &advance);
      cached = face.glyphs.emplace(ch, FontFaceData::CachedGlyph{index, static_cast<std::int32_t>(advance)}).first;
    }
    if (cached->second.index == 0 && ch >= 0x20) {
      if (const FontFaceData* other = FallbackFor(ch); other != nullptr && other != &face) {
        return Glyph(*other, ch);
      }
    }
    return GlyphInfo{&face, cached->second.index, cached->second.advanceUnits};
  }

  int Em(const FontFaceData& face, const FontSpec& font) {
    if (font.height < 0) return -font.height;
    if (font.height == 0) return 13;
    const double em = static_cast<double>(font.height) * face.unitsPerEm / (face.winAscent + face.winDescent);
    return std::max(1, static_cast<int>(std::lround(em)));
  }
};

FontProvider& FontProvider::Shared() {
  // Never destroyed: drawing may still happen from static destructors.
  static FontProvider* provider = new FontProvider();
  return *provider;
}

FontProvider::FontProvider() : impl_(std::make_unique<Impl>()) {}
FontProvider::~FontProvider() = default;

std::string FontProvider::ResolvedFamily(const FontSpec& font) {
  std::lock_guard lock(impl_->mutex);
  return impl_->Primary(font).family;
}

std::string FontProvider::ResolvedFile(const FontSpec& font) {
  std::lock_guard lock(impl_->mutex);
  return impl_->Primary(font).file;
}

int FontProvider::EmPixels(const FontSpec& font) {
  std::lock_guard lock(impl_->mutex);
  return impl_->Em(impl_->Primary(font), font);
}

FontMetrics FontProvider::Metrics(const FontSpec& font) {
  std::lock_guard lock(impl_->mutex);
  const FontFaceData& face = impl_->Primary(font);
  const int em = impl_->Em(face, font);
  const double scale = static_cast<double>(em) / face.unitsPerEm;
  auto px = [scale](int units) { return static_cast<int>(std::lround(units * scale)); };
  FontMetrics m;
  m.em = em;
  m.ascent = px(face.winAscent);
  m.descent = px(face.winDescent);
  m.height = m.ascent + m.descent;
  m.internalLeading = m.height - em;
  m.underlinePosition = std::max(1, px(-face.underlinePosition));
  m.underlineThickness = std::max(1, px(face.underlineThickness));
  m.strikeoutPosition = px(face.strikeoutPosition);
  m.strikeoutThickness = std::max(1, px(face.strikeoutThickness));
  return m;
}

void FontProvider::Advances(const FontSpec& font, std::u16string_view text, std::span<int> out) {
  if (out.size() < text.size()) throw std::invalid_argument("advance buffer too small");
  std::lock_guard lock(impl_->mutex);
  const FontFaceData& face = impl_->Primary(font);
  const int em = impl_->Em(face, font);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t ch = CodePointAt(text, i);
    if (ch < 0x20 || (ch >= 0x7F && ch < 0xA0)) {
      out[i] = 0;
      continue;
    }
    const GlyphInfo g = impl_->Glyph(face, ch);
    out[i] = static_cast<int>(std::lround(static_cast<double>(g.advanceUnits) * em / g.face->unitsPerEm));
  }
}

std::vector<int> FontProvider::Advances(const FontSpec& font, std::u16string_view text) {
  std::vector<int> out(text.size());
  Advances(font, text, out);
  return out;
}

int FontProvider::TextWidth(const FontSpec& font, std::u16string_view text) {
  int sum = 0;
  for (int a : Advances(font, text)) sum += a;
  return sum;
}

bool FontProvider::HasGlyph(const FontSpec& font, char32_t ch) {
  std::lock_guard lock(impl_->mutex);
  return impl_->Glyph(impl_->Primary(font), ch).index != 0;
}

const FontFaceData& FontProvider::Face(const FontSpec& font) {
  std::lock_guard lock(impl_->mutex);
  return impl_->Primary(font);
}

GlyphInfo FontProvider::Glyph(const FontFaceData& face, char32_t ch) {
  std::lock_guard lock(impl_->mutex);
  return impl_->Glyph(face, ch);
}

}  // namespace zentavo

// Fontconfig keeps the configuration it parses for the life of the process
// and never frees parts of it; leak checks in sanitizer builds skip it.
extern "C" __attribute__((weak, used)) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
