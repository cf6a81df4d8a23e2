// Font resolution, GDI-like metrics and advances, and glyphs on the canvas.
#include <gtest/gtest.h>

#include <string>

#include "platform/CairoCanvas.h"
#include "platform/FontProvider.h"
#include "platform/RecordingCanvas.h"

namespace zentavo {
namespace {

FontSpec Font(std::string name, int height, std::uint8_t style = 0) {
  FontSpec f;
  f.name = std::move(name);
  f.height = height;
  f.style = style;
  return f;
}

TEST(FontProvider, WindowsNamesResolveToMetricCompatibleFaces) {
  struct Row {
    const char* name;
    std::uint8_t style;
    const char* family;
    const char* why;
  } rows[] = {
      {"Times New Roman", 0, "Liberation Serif", "serif stand-in"},
      {"Arial", 0, "Liberation Sans", "sans stand-in"},
      {"arial", kFontBold, "Liberation Sans", "names ignore case; bold keeps the family"},
      {"MS Sans Serif", 0, "Liberation Sans", "the old bitmap sans gets a sans face"},
      {"Courier New", kFontItalic, "Liberation Mono", "mono stand-in"},
  };
  FontProvider& fonts = FontProvider::Shared();
  for (const Row& row : rows) {
    EXPECT_EQ(fonts.ResolvedFamily(Font(row.name, -13, row.style)), row.family) << row.why;
  }
  EXPECT_NE(fonts.ResolvedFile(Font("Arial", -13, kFontBold)).find("Bold"), std::string::npos);
  EXPECT_NE(fonts.ResolvedFile(Font("Arial", -13, kFontItalic)).find("Italic"), std::string::npos);
}

TEST(FontProvider, MetricsFollowTheWindowsAscentAndTheEm) {
  FontProvider& fonts = FontProvider::Shared();
  // Liberation Sans: 2048 units per em, usWinAscent 1854, usWinDescent 434.
  struct Row {
    int height, em, ascent, descent;
    const char* why;
  } rows[] = {
      {-2048, 2048, 1854, 434, "at one pixel per unit the table values come back"},
      {-83, 83, 75, 18, "10 points at 600 dpi: 75.13 and 17.59 round"},
      {2288, 2048, 1854, 434, "a positive height is the cell: ascent + descent"},
      {0, 13, 12, 3, "height 0 counts as -13"},
  };
  for (const Row& row : rows) {
    const FontMetrics m = fonts.Metrics(Font("Arial", row.height));
    EXPECT_EQ(m.em, row.em) << row.why;
    EXPECT_EQ(m.ascent, row.ascent) << row.why;
    EXPECT_EQ(m.descent, row.descent) << row.why;
    EXPECT_EQ(m.height, row.ascent + row.descent) << row.why;
  }
}

TEST(FontProvider, AdvancesAreDesignAdvancesScaledAndRounded) {
  FontProvider& fonts = FontProvider::Shared();
  // Arial's (and Liberation Sans's) advances: space 569, A 1366, i 455, W 1933.
  EXPECT_EQ(fonts.Advances(Font("Arial", -2048), u" Aiw"), (std::vector<int>{569, 1366, 455, 1479}));
  // At 83 pixels per em: 23.06, 55.36, 18.44 round to whole pixels each.
  EXPECT_EQ(fonts.Advances(Font("Arial", -83), u" Ai"), (std::vector<int>{23, 55, 18}));
  EXPECT_EQ(fonts.TextWidth(Font("Arial", -83), u" Ai"), 96);
  // Bold has its own advances (A is the same, i wider).
  EXPECT_EQ(fonts.Advances(Font("Arial", -2048, kFontBold), u"i"), (std::vector<int>{569}));
  // Controls draw nothing; a surrogate pair puts its advance on the high half.
  const std::vector<int> pair = fonts.Advances(Font("Arial", -100), u"\t\U0001D400");
  ASSERT_EQ(pair.size(), 3u);
  EXPECT_EQ(pair[0], 0);
  EXPECT_EQ(pair[2], 0);
}

TEST(FontProvider, TurkishLettersHaveRealGlyphs) {
  FontProvider& fonts = FontProvider::Shared();
  const std::u16string turkish = u"ıİşŞğĞçÇöÖüÜ";
  for (const char* name : {"Arial", "Times New Roman", "MS Sans Serif"}) {
    for (std::uint8_t style : {std::uint8_t{0}, std::uint8_t{kFontBold}}) {
      for (char16_t ch : turkish) {
        EXPECT_TRUE(fonts.HasGlyph(Font(name, -13, style), ch)) << name << " lacks U+" << std::hex << int(ch);
      }
    }
  }
}

// Dark pixels drawn for one character at 40 px per em.
int Coverage(char16_t ch) {
  auto canvas = CairoCanvas::CreateImage(60, 60, 96);
  const FontSpec font = Font("Arial", -40);
  const std::u16string text(1, ch);
  const std::vector<int> adv = FontProvider::Shared().Advances(font, text);
  canvas->DrawText(font, {10, 5}, text, adv, {});
  int dark = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x)
      if (canvas->PixelAt(x, y).red < 128) ++dark;
  return dark;
}

TEST(CairoCanvasText, TurkishGlyphsDrawDistinctShapes) {
  // Each letter draws ink, and the accented letter differs from its base:
  // a missing glyph would draw the same box for both.
  struct Row {
    char16_t letter, base;
  } rows[] = {{u'ş', u's'}, {u'Ş', u'S'}, {u'ğ', u'g'}, {u'Ğ', u'G'}, {u'ç', u'c'}, {u'Ç', u'C'},
              {u'ö', u'o'}, {u'Ö', u'O'}, {u'ü', u'u'}, {u'Ü', u'U'}, {u'İ', u'I'}, {u'ı', u'i'}};
  for (const Row& row : rows) {
    const int letter = Coverage(row.letter);
    const int base = Coverage(row.base);
    EXPECT_GT(letter, 20) << "U+" << std::hex << int(row.letter);
    EXPECT_NE(letter, base) << "U+" << std::hex << int(row.letter);
  }
}

TEST(CairoCanvasText, MissingGlyphsComeFromAFallbackFace) {
  // Liberation Sans has no CJK; fontconfig finds a face that does, when one
  // is installed.
  FontProvider& fonts = FontProvider::Shared();
  const FontSpec arial = Font("Arial", -40);
  if (!fonts.HasGlyph(arial, U'\u4E2D')) GTEST_SKIP() << "no CJK font installed";
  EXPECT_GT(fonts.Advances(arial, u"\u4E2D")[0], 20);
  EXPECT_GT(Coverage(u'\u4E2D'), 50);
  EXPECT_NE(Coverage(u'\u4E2D'), Coverage(u'\u4E00'));
}

TEST(CairoCanvasText, OddCharactersNeverBreakTheCanvas) {
  // Noncharacters, lone surrogates and controls draw (or not) without
  // leaving the canvas unusable for the text after them.
  auto canvas = CairoCanvas::CreateImage(100, 60, 96);
  const FontSpec font = Font("Arial", -20);
  const std::u16string odd = {0xFFFE, 0xFDD0, 0xD800, u'a', 0xDC00, 0x0001, 0x0085, 0xFFFF};
  EXPECT_NO_THROW(canvas->DrawText(font, {0, 0}, odd, FontProvider::Shared().Advances(font, odd), {}));
  FontSpec huge = Font("Arial", -70000);
  EXPECT_THROW(canvas->DrawText(huge, {0, 0}, u"W", std::vector<int>{1}, {}), std::invalid_argument);
  canvas->SetBrush({BrushStyle::Solid, Rgb{0, 0, 0}});
  canvas->FillRect({90, 50, 100, 60});
  EXPECT_EQ(canvas->PixelAt(95, 55), (Rgb{0, 0, 0}));
}

TEST(CairoCanvasText, GlyphsSitAtTheirAdvancesAndTheCellTop) {
  // Two "I"s far apart by explicit advance: ink near both, none between.
  auto canvas = CairoCanvas::CreateImage(200, 60, 96);
  const FontSpec font = Font("Arial", -40);
  const int adv[] = {120, 20};
  canvas->DrawText(font, {10, 0}, u"II", adv, {});
  auto columnInk = [&](int x0, int x1) {
    int ink = 0;
    for (int x = x0; x < x1; ++x)
      for (int y = 0; y < 60; ++y)
        if (canvas->PixelAt(x, y).red < 128) ++ink;
    return ink;
  };
  EXPECT_GT(columnInk(10, 25), 50);
  EXPECT_EQ(columnInk(40, 125), 0);
  EXPECT_GT(columnInk(130, 145), 50);
  // Cap height of Liberation Sans is 1409/2048 em; ascent 36: ink starts at
  // about y = 36 - 27.5, never above the cell top.
  int firstInkRow = -1;
  for (int y = 0; y < 60 && firstInkRow < 0; ++y)
    for (int x = 10; x < 25; ++x)
      if (canvas->PixelAt(x, y).red < 128) {
        firstInkRow = y;
        break;
      }
  EXPECT_GE(firstInkRow, 7);
  EXPECT_LE(firstInkRow, 10);
}

TEST(CairoCanvasText, ClipRightToLeftUnderlineAndRotation) {
  const FontSpec plain = Font("Arial", -40);
  const std::vector<int> adv = {30, 30};
  auto ink = [](CairoCanvas& c, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        if (c.PixelAt(x, y).red < 128) ++n;
    return n;
  };
  {
    auto c = CairoCanvas::CreateImage(100, 60, 96);
    TextOptions clip;
    clip.clip = Rect{0, 0, 30, 60};
    c->DrawText(plain, {0, 0}, u"WW", adv, clip);
    EXPECT_GT(ink(*c, 0, 0, 30, 60), 0);
    EXPECT_EQ(ink(*c, 30, 0, 100, 60), 0) << "clipped away";
  }
  {
    // Right to left: the first character goes to the right end.
    auto c = CairoCanvas::CreateImage(100, 60, 96);
    TextOptions rtl;
    rtl.rightToLeft = true;
    const std::vector<int> wide = {30, 30};
    c->DrawText(plain, {0, 0}, u"I.", wide, rtl);
    const int left = ink(*c, 0, 0, 30, 25);   // only "." would be low
    const int right = ink(*c, 30, 0, 60, 25);  // "I" reaches up
    EXPECT_EQ(left, 0);
    EXPECT_GT(right, 0);
  }
  {
    auto c = CairoCanvas::CreateImage(100, 60, 96);
    FontSpec under = plain;
    under.style = kFontUnderline;
    c->DrawText(under, {0, 0}, u"  ", adv, {});
    EXPECT_GT(ink(*c, 5, 36, 55, 44), 40) << "underline under blanks";
  }
  {
    // Rotated 90 degrees: text runs upwards from the origin.
    auto c = CairoCanvas::CreateImage(60, 100, 96);
    FontSpec up = plain;
    up.escapement = 900;
    c->DrawText(up, {0, 99}, u"WW", adv, {});
    EXPECT_GT(ink(*c, 0, 30, 60, 99), 100);
    EXPECT_EQ(ink(*c, 50, 0, 60, 100), 0);
  }
}

TEST(RecordingCanvas, RecordsCallsWithTheirState) {
  RecordingCanvas c(203, 400, 240);
  EXPECT_EQ(c.Kind(), CanvasKind::Recording);
  c.SetPen({PenStyle::Dash, 1, Rgb{255, 0, 0}});
  c.SetBackground(Rgb{0, 0, 255});
  c.Line({1, 2}, {3, 2});
  c.SetBrush({BrushStyle::Cross, Rgb{0, 0, 0}});
  c.FillRect({0, 0, 5, 5});
  c.Save();
  c.IntersectClip({1, 1, 4, 4});
  c.Restore();
  const int adv[] = {9, 9};
  TextOptions o;
  o.clip = Rect{0, 0, 50, 20};
  c.DrawText(Font("Arial", -28), {3, 4}, u"Şİ", adv, o);
  const std::vector<std::string> expected = {
      "Line 1 2 3 2 pen=Dash 1 #FF0000 bk=#0000FF",
      "FillRect 0 0 5 5 brush=Cross #000000",
      "Clip 1 1 4 4",
      "Text 3 4 \"Şİ\" font=Arial -28 0 #000000 0 adv=9,9 clip=0 0 50 20",
  };
  EXPECT_EQ(c.Calls(), expected);
  EXPECT_THROW(c.DrawText(Font("Arial", -28), {0, 0}, u"ab", std::vector<int>{1}, {}), std::invalid_argument);
}

}  // namespace
}  // namespace zentavo
