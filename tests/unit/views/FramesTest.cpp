// Fills, frames and shadows of views, probed pixel by pixel on small
// images drawn without smoothing.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/CairoCanvas.h"
#include "report/frxComponent.h"

namespace zentavo {
namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kRed{255, 0, 0};

std::unique_ptr<CairoCanvas> Paper(int w, int h, int dpi = 96) {
  auto c = CairoCanvas::CreateImage(w, h, dpi, CanvasKind::Printer);
  c->SetAntialias(false);
  return c;
}

std::string Column(CairoCanvas& c, int x, int y0, int y1) {
  std::string s;
  for (int y = y0; y <= y1; ++y) s += c.PixelAt(x, y) == kWhite ? '.' : (c.PixelAt(x, y) == kBlack ? '#' : 'o');
  return s;
}

std::string Row(CairoCanvas& c, int y, int x0, int x1) {
  std::string s;
  for (int x = x0; x <= x1; ++x) s += c.PixelAt(x, y) == kWhite ? '.' : (c.PixelAt(x, y) == kBlack ? '#' : 'o');
  return s;
}

TEST(Frames, BottomFrameWidthInDevicePixels) {
  // The view's bottom edge lands on device row `edge`; the pen covers the
  // rows around it the way GDI's wide pens do.
  struct Case {
    int dpi;
    double width;
    int edge;
    std::string rows;  // rows edge-3 .. edge+3 in column 120
    const char* why;
  };
  const Case cases[] = {
      {96, 1, 30, "...#...", "one pixel on the edge row at screen scale"},
      {203, 1, 63, "..##...", "1 report pixel at 203 dpi is 2 dots, one above the edge"},
      {203, 2, 63, ".####..", "2 report pixels at 203 dpi are 4 dots"},
      {96, 3, 30, "..###..", "odd widths centre on the edge row"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    auto canvas = Paper(300, 100, c.dpi);
    TfrxView v;
    v.SetBounds(10, 10, 100, 20);
    v.Frame.Typ = ftBottom;
    v.Frame.Width = c.width;
    const double s = c.dpi / 96.0;
    v.Draw(*canvas, s, s, 0, 0);
    EXPECT_EQ(v.Device.bottom, c.edge);
    EXPECT_EQ(Column(*canvas, 60, c.edge - 3, c.edge + 3), c.rows);
    EXPECT_EQ(Column(*canvas, 60, 0, c.edge - 5), std::string(c.edge - 4, '.')) << "nothing else drawn";
  }
}

TEST(Frames, FullFrameSidesAndCorners) {
  auto canvas = Paper(80, 60);
  TfrxView v;
  v.SetBounds(10, 10, 40, 30);  // device 10..50 x 10..40
  v.Frame.Typ = ftLeft | ftRight | ftTop | ftBottom;
  v.Draw(*canvas, 1, 1, 0, 0);
  // Right and bottom sides lie on the excluded edge, as in GDI.
  EXPECT_EQ(Row(*canvas, 25, 8, 52), "..#" + std::string(39, '.') + "#..");
  EXPECT_EQ(Column(*canvas, 30, 8, 42), "..#" + std::string(29, '.') + "#..");
  EXPECT_EQ(canvas->PixelAt(50, 40), kBlack) << "the one-pixel bottom side closes the corner";
  EXPECT_EQ(canvas->PixelAt(51, 40), kWhite);
}

TEST(Frames, DoubleFrameCornersClose) {
  auto canvas = Paper(80, 60);
  TfrxView v;
  v.SetBounds(10, 10, 40, 30);
  v.Frame.Typ = ftLeft | ftRight | ftTop | ftBottom;
  v.Frame.Style = TfrxFrameStyle::fsDouble;
  v.Draw(*canvas, 1, 1, 0, 0);
  // Outer ring at 9 and 51 / 9 and 41, inner ring at 11 and 49 / 11 and 39.
  EXPECT_EQ(Row(*canvas, 25, 8, 12), ".#.#.");
  EXPECT_EQ(Row(*canvas, 25, 48, 52), ".#.#.");
  for (int x = 9; x <= 51; ++x) {
    EXPECT_EQ(canvas->PixelAt(x, 9), kBlack) << "outer top at " << x;
    EXPECT_EQ(canvas->PixelAt(x, 41), kBlack) << "outer bottom at " << x;
  }
  for (int y = 9; y <= 41; ++y) {
    EXPECT_EQ(canvas->PixelAt(9, y), kBlack) << "outer left at " << y;
    EXPECT_EQ(canvas->PixelAt(51, y), kBlack) << "outer right at " << y;
  }
  for (int x = 11; x <= 49; ++x) {
    EXPECT_EQ(canvas->PixelAt(x, 11), kBlack) << "inner top at " << x;
    EXPECT_EQ(canvas->PixelAt(x, 39), kBlack) << "inner bottom at " << x;
  }
  EXPECT_EQ(canvas->PixelAt(12, 12), kWhite) << "inside the inner ring";
  EXPECT_EQ(canvas->PixelAt(10, 25), kWhite) << "between the lines, no colour: untouched";
}

TEST(Frames, DoubleTopAloneIsNeitherLengthenedNorShortened) {
  auto canvas = Paper(80, 60);
  TfrxView v;
  v.SetBounds(10, 10, 40, 30);
  v.Frame.Typ = ftTop;
  v.Frame.Style = TfrxFrameStyle::fsDouble;
  v.Draw(*canvas, 1, 1, 0, 0);
  const std::string line = ".." + std::string(40, '#') + "..";  // columns 8..51
  EXPECT_EQ(Row(*canvas, 9, 8, 51), line);
  EXPECT_EQ(Row(*canvas, 10, 8, 51), std::string(44, '.'));
  EXPECT_EQ(Row(*canvas, 11, 8, 51), line);
}

TEST(Frames, DashedGapsShowTheViewColour) {
  struct Case {
    TColor color;
    char gap;
    const char* why;
  };
  const Case cases[] = {
      {clRed, 'o', "gaps in the background colour"},
      {clNone, '.', "without a colour the gaps stay transparent"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    auto canvas = Paper(120, 60);
    TfrxView v;
    v.SetBounds(10, 10, 100, 30);
    v.Color = c.color;
    v.Frame.Typ = ftBottom;
    v.Frame.Style = TfrxFrameStyle::fsDash;
    v.Draw(*canvas, 1, 1, 0, 0);
    // The bottom side lies on row 40, just outside the fill: dash 18, gap 6.
    const std::string expected = std::string(18, '#') + std::string(6, c.gap) + std::string(18, '#');
    EXPECT_EQ(Row(*canvas, 40, 10, 51), expected);
    if (c.color == clRed) {
      EXPECT_EQ(canvas->PixelAt(30, 38), kRed);
    }
  }
}

TEST(Frames, DashedWideFrameIsParallelCosmeticLines) {
  auto canvas = Paper(300, 120, 203);
  TfrxView v;
  v.SetBounds(10, 10, 100, 20);
  v.Frame.Typ = ftBottom;
  v.Frame.Style = TfrxFrameStyle::fsDot;
  const double s = 203.0 / 96;
  v.Draw(*canvas, s, s, 0, 0);
  ASSERT_EQ(v.FrameWidthPx, 2);
  // Two one-dot rows (62 and 63), both dotted 3 on, 3 off from column 21.
  EXPECT_EQ(Row(*canvas, 62, 21, 32), "###...###...");
  EXPECT_EQ(Row(*canvas, 63, 21, 32), "###...###...");
  EXPECT_EQ(Row(*canvas, 64, 21, 32), std::string(12, '.'));
}

TEST(Frames, BackgroundCoversTheDeviceRectangleOnly) {
  auto canvas = Paper(60, 60);
  TfrxView v;
  v.SetBounds(10.5, 10, 20, 10);  // X 10 (10.5 to even), X1 30 (30.5 to even)
  v.Color = clRed;
  v.Draw(*canvas, 1, 1, 0, 0);
  EXPECT_EQ(Row(*canvas, 15, 9, 30), "." + std::string(20, 'o') + ".");
  EXPECT_EQ(Column(*canvas, 20, 9, 20), "." + std::string(10, 'o') + ".");
}

TEST(Frames, HatchOverTheFillInFrameColour) {
  auto canvas = Paper(60, 60);
  TfrxView v;
  v.SetBounds(8, 8, 16, 16);
  v.Color = clRed;
  v.BrushStyle = TBrushStyle::bsHorizontal;
  v.Draw(*canvas, 1, 1, 0, 0);
  // GDI's horizontal hatch: row 3 of every 8 rows, anchored at the origin;
  // the hatch reaches one pixel beyond the right and bottom edge.
  EXPECT_EQ(Column(*canvas, 12, 8, 24), "ooo#ooooooo#oooo.");
  EXPECT_EQ(Row(*canvas, 11, 7, 25), "." + std::string(17, '#') + ".");
  EXPECT_EQ(Row(*canvas, 12, 7, 25), "." + std::string(16, 'o') + "..");
}

TEST(Frames, DropShadowInsideTheObjectSize) {
  auto canvas = Paper(80, 70);
  TfrxView v;
  v.SetBounds(10, 10, 50, 40);  // device 10..56 x 10..46 after the shadow
  v.Frame.DropShadow = true;
  v.Draw(*canvas, 1, 1, 0, 0);
  EXPECT_EQ(v.Device.right, 56);
  EXPECT_EQ(v.Device.bottom, 46);
  EXPECT_EQ(Row(*canvas, 30, 54, 61), "..####..") << "right shadow columns 56..59";
  EXPECT_EQ(Column(*canvas, 57, 12, 15), "..##") << "starts a shadow width below the top";
  EXPECT_EQ(Column(*canvas, 30, 44, 51), "..####..") << "bottom shadow rows 46..49";
  EXPECT_EQ(Row(*canvas, 47, 12, 15), "..##") << "starts a shadow width right of the left";
  EXPECT_EQ(canvas->PixelAt(59, 49), kBlack) << "the shadows meet in the corner";
}

}  // namespace
}  // namespace zentavo
