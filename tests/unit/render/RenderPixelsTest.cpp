// Memo text drawn on a real 203-dpi image: ink inside the text rectangle,
// as wide as the reference layout says, nothing outside the clip.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/CairoCanvas.h"
#include "platform/FontProvider.h"
#include "render/MemoText.h"

namespace zentavo {
namespace {

struct Ink {
  int left = 1 << 30, right = -1, top = 1 << 30, bottom = -1, count = 0;
};

Ink InkOf(CairoCanvas& c, const Rect& area) {
  Ink ink;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (c.PixelAt(x, y).red < 128) {
        ink.left = std::min(ink.left, x);
        ink.right = std::max(ink.right, x);
        ink.top = std::min(ink.top, y);
        ink.bottom = std::max(ink.bottom, y);
        ++ink.count;
      }
  return ink;
}

TEST(RenderPixels, LabelLineAt203Dpi) {
  const double scale = 203.0 / 96;
  auto canvas = CairoCanvas::CreateImage(400, 240, 203, CanvasKind::Printer);
  canvas->SetAntialias(false);
  TfrxDrawText engine;
  MemoTextProps p;
  p.memo = {u"AYŞE ÖZTÜRK"};
  p.font.name = "Arial";
  p.font.height = -13;
  const MemoGeometry g{10, 10, 150, 20};
  MemoDrawText(*canvas, engine, p, g, scale, scale, 0, 0);
  const Rect device = MemoDeviceRect(g, p.frame, scale, scale, 0, 0);
  const Rect text = MemoTextRect(device, p, scale, scale);
  const Ink inside = InkOf(*canvas, text);
  const Ink all = InkOf(*canvas, Rect{0, 0, 400, 240});
  EXPECT_GT(inside.count, 200);
  EXPECT_EQ(all.count, inside.count) << "nothing outside the text rectangle";
  FontSpec ref{"Arial", -83, 0, {}, 0};
  const int wt = static_cast<int>(std::nearbyint(FontProvider::Shared().TextWidth(ref, p.memo[0]) * 203.0 / 600));
  // The glyph outlines stay within the line's advance width.
  EXPECT_GE(inside.left, text.left);
  EXPECT_LE(inside.right, text.left + wt);
  EXPECT_GT(inside.right, text.left + wt - 12) << "the last letter ends near the line's width";
  // Cap height of the 28-dot font is about 19 dots; the dots of Ş's cedilla and
  // Ö's diaeresis reach below and above it.
  EXPECT_GE(inside.bottom - inside.top, 19);
}

TEST(RenderPixels, ClipKeepsWrappedOverflowInside) {
  auto canvas = CairoCanvas::CreateImage(200, 100, 96, CanvasKind::Screen);
  TfrxDrawText engine;
  MemoTextProps p;
  p.memo = {u"ÇAĞRI İŞ SAĞLIĞI LABORATUVARI"};
  p.font.height = -13;
  const MemoGeometry g{0, 0, 120, 18};  // room for one line only
  MemoDrawText(*canvas, engine, p, g, 1, 1, 0, 0);
  const Ink below = InkOf(*canvas, Rect{0, 19, 200, 100});
  EXPECT_EQ(below.count, 0) << "the wrapped second line is clipped away";
  EXPECT_GT(InkOf(*canvas, Rect{0, 0, 200, 19}).count, 50);
}

}  // namespace
}  // namespace zentavo
