// Pixel probes on small images: GDI's edge conventions, pen widths, dashes,
// hatches, clipping, shapes and bitmaps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/CairoCanvas.h"

namespace zentavo {
namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};

std::unique_ptr<CairoCanvas> Image(int w = 40, int h = 40) {
  auto canvas = CairoCanvas::CreateImage(w, h, 96);
  canvas->SetAntialias(false);
  return canvas;
}

struct Probe {
  int x, y;
  Rgb expected;
};

void ExpectPixels(CairoCanvas& canvas, const std::vector<Probe>& probes, const std::string& row) {
  for (const Probe& p : probes) {
    const Rgb got = canvas.PixelAt(p.x, p.y);
    EXPECT_EQ(got, p.expected) << row << ": pixel " << p.x << "," << p.y << " is " << int(got.red) << ","
                               << int(got.green) << "," << int(got.blue);
  }
}

TEST(CairoCanvas, FillRectExcludesRightAndBottom) {
  auto c = Image();
  c->SetBrush({BrushStyle::Solid, kBlack});
  c->FillRect({2, 3, 6, 5});
  ExpectPixels(*c, {{2, 3, kBlack}, {5, 4, kBlack}, {6, 3, kWhite}, {2, 5, kWhite}, {1, 3, kWhite}, {2, 2, kWhite}},
               "fill");
}

TEST(CairoCanvas, OnePixelLinesLeaveOutTheirEndPoint) {
  struct Row {
    Point from, to;
    std::vector<Probe> probes;
    const char* why;
  } rows[] = {
      {{2, 5}, {8, 5}, {{2, 5, kBlack}, {7, 5, kBlack}, {8, 5, kWhite}, {5, 4, kWhite}, {5, 6, kWhite}},
       "left to right stops before x=8"},
      {{8, 5}, {2, 5}, {{8, 5, kBlack}, {3, 5, kBlack}, {2, 5, kWhite}}, "right to left stops before x=2"},
      {{4, 1}, {4, 9}, {{4, 1, kBlack}, {4, 8, kBlack}, {4, 9, kWhite}, {3, 5, kWhite}, {5, 5, kWhite}},
       "vertical downwards stops before y=9"},
      {{0, 0}, {10, 10}, {{0, 0, kBlack}, {5, 5, kBlack}, {9, 9, kBlack}, {10, 10, kWhite}},
       "diagonal stops before its end pixel"},
  };
  for (const Row& row : rows) {
    auto c = Image(20, 20);
    c->SetPen({PenStyle::Solid, 1, kBlack});
    c->Line(row.from, row.to);
    ExpectPixels(*c, row.probes, row.why);
  }
}

TEST(CairoCanvas, WidePensCoverTheirWidthAroundTheLine) {
  struct Row {
    int width;
    int firstRow, lastRow;
    const char* why;
  } rows[] = {
      {1, 10, 10, "a cosmetic pen is one row"},
      {2, 9, 10, "an even width lies above the line row as GDI's (frame at 203 dpi)"},
      {3, 9, 11, "an odd width is centred on the row"},
      {4, 8, 11, "four rows: two above, the row and one below"},
  };
  for (const Row& row : rows) {
    auto c = Image();
    c->SetPen({PenStyle::Solid, row.width, kBlack});
    c->Line({5, 10}, {30, 10});
    for (int y = 5; y <= 15; ++y) {
      const bool inside = y >= row.firstRow && y <= row.lastRow;
      EXPECT_EQ(c->PixelAt(15, y), inside ? kBlack : kWhite) << row.why << ": row " << y;
    }
  }
}

TEST(CairoCanvas, DashedPenShowsBackgroundInGaps) {
  struct Row {
    std::optional<Rgb> background;
    Rgb gap;
    const char* why;
  } rows[] = {
      {std::nullopt, kWhite, "transparent gaps show what was under them"},
      {kRed, kRed, "opaque background colours the gaps"},
  };
  for (const Row& row : rows) {
    auto c = Image(60, 10);
    c->SetPen({PenStyle::Dash, 1, kBlack});
    c->SetBackground(row.background);
    c->Line({0, 5}, {60, 5});
    // GDI's dash: 18 on, 6 off.
    ExpectPixels(*c, {{0, 5, kBlack}, {17, 5, kBlack}, {18, 5, row.gap}, {23, 5, row.gap}, {24, 5, kBlack}}, row.why);
  }
}

TEST(CairoCanvas, DottedPenAlternatesThreePixels) {
  auto c = Image(20, 5);
  c->SetPen({PenStyle::Dot, 1, kBlack});
  c->Line({0, 2}, {20, 2});
  ExpectPixels(*c, {{0, 2, kBlack}, {2, 2, kBlack}, {3, 2, kWhite}, {5, 2, kWhite}, {6, 2, kBlack}}, "dot");
}

TEST(CairoCanvas, RectangleOutlineStaysInsideRightAndBottom) {
  auto c = Image();
  c->SetPen({PenStyle::Solid, 1, kBlack});
  c->SetBrush({BrushStyle::Solid, kRed});
  c->Rectangle({0, 0, 10, 10});
  ExpectPixels(*c,
               {{0, 0, kBlack}, {9, 0, kBlack}, {9, 9, kBlack}, {0, 9, kBlack}, {10, 0, kWhite}, {0, 10, kWhite},
                {5, 5, kRed}, {1, 1, kRed}, {8, 8, kRed}},
               "outline and interior");
}

TEST(CairoCanvas, HatchBrushesDrawTheirPatternWithTransparentGaps) {
  struct Row {
    BrushStyle style;
    std::vector<Probe> probes;
    const char* why;
  } rows[] = {
      {BrushStyle::Horizontal, {{0, 3, kBlack}, {7, 11, kBlack}, {0, 2, kWhite}, {4, 5, kWhite}}, "rows 3, 11, ..."},
      {BrushStyle::Vertical, {{4, 0, kBlack}, {12, 7, kBlack}, {3, 0, kWhite}}, "columns 4, 12, ..."},
      {BrushStyle::Cross, {{4, 0, kBlack}, {0, 3, kBlack}, {0, 0, kWhite}}, "both"},
      {BrushStyle::FDiagonal, {{0, 0, kBlack}, {5, 5, kBlack}, {1, 0, kWhite}}, "down to the right"},
      {BrushStyle::BDiagonal, {{7, 0, kBlack}, {0, 7, kBlack}, {0, 0, kWhite}}, "up to the right"},
  };
  for (const Row& row : rows) {
    auto c = Image(16, 16);
    c->SetBrush({row.style, kBlack});
    c->FillRect({0, 0, 16, 16});
    ExpectPixels(*c, row.probes, row.why);
  }
}

TEST(CairoCanvas, ClippingAndRectVisible) {
  auto c = Image(20, 20);
  c->SetBrush({BrushStyle::Solid, kBlack});
  c->Save();
  c->IntersectClip({5, 5, 10, 10});
  EXPECT_TRUE(c->RectVisible({9, 9, 12, 12}));
  EXPECT_FALSE(c->RectVisible({10, 0, 20, 20}));
  EXPECT_EQ(c->ClipBox(), (Rect{5, 5, 10, 10}));
  c->FillRect({0, 0, 20, 20});
  c->Restore();
  ExpectPixels(*c, {{5, 5, kBlack}, {9, 9, kBlack}, {4, 5, kWhite}, {10, 10, kWhite}}, "clipped fill");
  EXPECT_TRUE(c->RectVisible({15, 15, 16, 16})) << "Restore lifts the clip";
  c->FillRect({15, 15, 16, 16});
  EXPECT_EQ(c->PixelAt(15, 15), kBlack);
}

TEST(CairoCanvas, ShapesFillInsideTheirBox) {
  auto c = Image(40, 40);
  c->SetPen({PenStyle::Clear, 1, kBlack});
  c->SetBrush({BrushStyle::Solid, kBlack});
  c->Ellipse({0, 0, 20, 20});
  ExpectPixels(*c, {{10, 10, kBlack}, {0, 10, kBlack}, {10, 0, kBlack}, {0, 0, kWhite}, {19, 19, kWhite}}, "ellipse");
  const Point triangle[] = {{20, 39}, {39, 39}, {39, 20}};
  c->Polygon(triangle);
  ExpectPixels(*c, {{37, 37, kBlack}, {22, 22, kWhite}}, "triangle");
  auto r = Image(40, 40);
  r->SetBrush({BrushStyle::Solid, kBlack});
  r->SetPen({PenStyle::Solid, 1, kBlack});
  r->RoundRect({0, 0, 40, 40}, 10, 10);
  ExpectPixels(*r, {{0, 0, kWhite}, {0, 20, kBlack}, {20, 0, kBlack}, {20, 20, kBlack}, {39, 39, kWhite}}, "round");
}

TEST(CairoCanvas, BitmapScalesIntoItsRectangle) {
  auto c = Image(40, 20);
  Bitmap b{2, 1, {0xFFFF0000u, 0xFF0000FFu}};
  c->DrawBitmap(b, {10, 5, 30, 15});
  ExpectPixels(*c, {{11, 10, kRed}, {28, 10, kBlue}, {9, 10, kWhite}, {30, 10, kWhite}, {20, 4, kWhite}}, "scaled");
  Bitmap broken{4, 4, {0xFF000000u}};
  EXPECT_THROW(c->DrawBitmap(broken, {0, 0, 4, 4}), std::invalid_argument);
}

TEST(CairoCanvas, AliasedDrawingHasOnlyPureColours) {
  auto c = Image(40, 40);
  c->SetPen({PenStyle::Solid, 3, kBlack});
  c->Line({0, 0}, {39, 25});
  c->Ellipse({5, 5, 35, 30});
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 40; ++x) {
      const Rgb p = c->PixelAt(x, y);
      ASSERT_TRUE(p == kBlack || p == kWhite) << x << "," << y;
    }
  }
}

TEST(CairoCanvas, DocumentsAndTheirErrors) {
  std::string pdf;
  {
    auto doc = CairoCanvas::CreateDocument(CairoCanvas::Format::Pdf, [&](std::string_view b) { pdf += b; }, 591,
                                           354, 300);
    EXPECT_EQ(doc->Kind(), CanvasKind::Printer);
    doc->SetBrush({BrushStyle::Solid, kBlack});
    doc->FillRect({10, 10, 100, 50});
    doc->NewPage(354, 591);
    EXPECT_EQ(doc->Width(), 354);
    doc->Finish();
    EXPECT_THROW(doc->FillRect({0, 0, 1, 1}), std::logic_error);
  }
  ASSERT_GT(pdf.size(), 100u);
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  // 591 pixels at 300 dpi are 141.84 points.
  EXPECT_NE(pdf.find("/MediaBox [ 0 0 141.84 84.96 ]"), std::string::npos);

  std::string label;
  auto exact = CairoCanvas::CreateDocument(CairoCanvas::Format::Pdf, [&](std::string_view b) { label += b; },
                                           PaperSize{50, 30}, 300);
  EXPECT_EQ(exact->Width(), 591) << "590.55 pixels round";
  EXPECT_EQ(exact->Height(), 354);
  exact->NewPage(PaperSize{60, 30});
  EXPECT_EQ(exact->Width(), 709);
  exact->Finish();
  EXPECT_NE(label.find("/MediaBox [ 0 0 141.732283 85.03937 ]"), std::string::npos) << "exactly 50 x 30 mm";
  EXPECT_NE(label.find("/MediaBox [ 0 0 170.07874 85.03937 ]"), std::string::npos) << "exactly 60 x 30 mm";
  EXPECT_THROW(CairoCanvas::CreateDocument(CairoCanvas::Format::Pdf, [](std::string_view) {}, PaperSize{0, 30}, 300),
               std::invalid_argument);

  std::string ps;
  auto doc = CairoCanvas::CreateDocument(CairoCanvas::Format::PostScript, [&](std::string_view b) { ps += b; }, 100,
                                         100, 300);
  const int advances[] = {20, 20};
  doc->DrawText(FontSpec{}, {10, 10}, u"AŞ", advances, {});
  doc->Finish();
  EXPECT_EQ(ps.substr(0, 4), "%!PS");
  EXPECT_NE(ps.find("LiberationSans"), std::string::npos) << "the glyphs' face is embedded";

  EXPECT_THROW(CairoCanvas::CreateImage(0, 10, 96), std::invalid_argument);
  EXPECT_THROW(CairoCanvas::CreateImage(100000, 10, 96), std::invalid_argument);
  EXPECT_THROW(CairoCanvas::CreateDocument(CairoCanvas::Format::Pdf, "/nonexistent/dir/x.pdf", 10, 10, 96),
               std::runtime_error);
  auto image = Image(4, 4);
  EXPECT_THROW(image->NewPage(4, 4), std::logic_error);
  const std::string png = image->EncodePng();
  EXPECT_EQ(png.substr(1, 3), "PNG");
}

}  // namespace
}  // namespace zentavo
