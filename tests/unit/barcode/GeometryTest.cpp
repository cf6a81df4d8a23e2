// The symbol's geometry: drawing space, bars and text groups at the four
// quadrants (in drawing units, one dot per unit), and whole device dots per
// module at printer resolutions.
#include <gtest/gtest.h>

#include <string>

#include "barcode/frxBarcod.h"

namespace zentavo {
namespace {

// Arial digits are about half an em wide; any fixed rule does for placement.
int FakeWidth(std::string_view text, int fontHeight) {
  return static_cast<int>(text.size()) * fontHeight / 2;
}

TfrxBarcode Code128(int angle) {
  TfrxBarcode b;
  b.Typ = bcCode128C;
  b.Text = "1500483197";  // W = 90 units; the start bar is 2 units wide
  b.Angle = angle;
  return b;
}

// The fill drawn in the bar colour first (the start bar), and the fill of the
// only text group (the last fill).
Rect FirstBar(const BarcodeDrawing& d) {
  for (const auto& f : d.fills)
    if (f.color == 0) return f.rect;
  return {};
}

TEST(Geometry, QuadrantsInDrawingUnits) {
  // W = 90, cross 60 units; with text the bars are 60 - 16 = 44 units.
  // Text: 10 characters x 6 = 60 wide, so x = (90 - 60) div 2 = 15.
  struct Row {
    int angle;
    Rect rect;
    Rect firstBar;
    Rect textFill;
    int textX, textY;
    int originX, originY;
    const char* why;
  } rows[] = {
      {0, {0, 0, 90, 60}, {0, 0, 2, 44}, {0, 44, 91, 60}, 15, 46, 0, 0,
       "fill (from, PH-16, to+1, PH); text at (x, PH-14)"},
      {90, {0, 0, 60, 90}, {0, 88, 44, 90}, {46, -1, 60, 90}, 46, 75, 0, 0,
       "fill (PW-14, PH-to-1, PW, PH-from); text at (PW-14, PH-x)"},
      {180, {0, 0, 90, 60}, {88, 16, 90, 60}, {-1, 0, 90, 16}, 75, 14, 0, 16,
       "fill (PW-to-1, 0, PW-from, 16); text at (PW-x, 14)"},
      {270, {0, 0, 60, 90}, {16, 0, 60, 2}, {0, 0, 14, 91}, 14, 15, 16, 0,
       "fill (0, from, 14, to+1); text at (14, x)"},
  };
  for (const auto& r : rows) {
    TfrxBarcode b = Code128(r.angle);
    BarcodeDrawing d = b.Layout(r.rect, true, BarcodeAlign::Near, FakeWidth);
    EXPECT_EQ(d.moduleDots, 1) << r.why;
    EXPECT_EQ(d.drawingLength, 90) << r.why;
    EXPECT_EQ(d.drawingCross, 60) << r.why;
    EXPECT_EQ(b.Height, 44) << r.why;
    EXPECT_EQ(d.angle, r.angle) << r.why;
    EXPECT_EQ(FirstBar(d), r.firstBar) << r.why;
    EXPECT_EQ(d.fills.back().rect, r.textFill) << r.why;
    ASSERT_EQ(d.labels.size(), 1u) << r.why;
    EXPECT_EQ(d.labels[0].text, "1500483197") << r.why;
    EXPECT_EQ(d.labels[0].x, r.textX) << r.why;
    EXPECT_EQ(d.labels[0].y, r.textY) << r.why;
    EXPECT_EQ(d.labels[0].fontHeight, 12) << r.why;
    EXPECT_EQ(b.OriginX, r.originX) << r.why;
    EXPECT_EQ(b.OriginY, r.originY) << r.why;
  }
}

TEST(Geometry, WithoutTextTheBarsFillTheSpace) {
  TfrxBarcode b = Code128(0);
  BarcodeDrawing d = b.Layout({10, 20, 100, 80}, false, BarcodeAlign::Near, FakeWidth);
  EXPECT_TRUE(d.labels.empty());
  EXPECT_EQ(b.Height, 60);
  EXPECT_EQ(d.symbol, (Rect{10, 20, 100, 80}));
  EXPECT_EQ(FirstBar(d), (Rect{10, 20, 12, 80}));
  // Every element is painted: spaces under the bars in Color, first.
  EXPECT_EQ(d.fills.front().color, 0xFFFFFF);
}

TEST(Geometry, EanGroupsAndLongGuardBars) {
  struct Row {
    TfrxBarcodeType type;
    const char* text;
    std::vector<std::pair<std::string, int>> groups;  // text, x
    const char* why;
  } rows[] = {
      {bcCodeEAN13, "4006381333931", {{"4", -8}, {"006381", 3}, {"333931", 49}}, "EAN-13, first digit left"},
      {bcCodeEAN13, "0006381333936", {{"006381", 3}, {"333936", 49}}, "first digit 0 not shown"},
      {bcCodeEAN8, "12345670", {{"1234", 3}, {"5670", 35}}, "EAN-8 halves"},
      {bcCodeUPC_A, "036000291452", {{"0", -8}, {"36000", 10}, {"29145", 49}, {"2", 96}}, "UPC-A, W = 95"},
      {bcCodeUPC_E0, "1234565", {{"123456", 3}, {"5", 52}}, "UPC-E, W = 51"},
  };
  for (const auto& r : rows) {
    TfrxBarcode b;
    b.Typ = r.type;
    b.Text = r.text;
    int w = b.Width();
    BarcodeDrawing d = b.Layout({0, 0, w, 70}, true, BarcodeAlign::Near, FakeWidth);
    EXPECT_EQ(b.Height, 63) << r.why << ": bars 7 units short of the space";
    ASSERT_EQ(d.labels.size(), r.groups.size()) << r.why;
    for (std::size_t i = 0; i < r.groups.size(); ++i) {
      EXPECT_EQ(d.labels[i].text, r.groups[i].first) << r.why;
      EXPECT_EQ(d.labels[i].x, r.groups[i].second) << r.why;
      EXPECT_EQ(d.labels[i].y, 70 - 14) << r.why;
    }
    // The left guard bar is covered by no group and reaches the full 63 units.
    EXPECT_EQ(FirstBar(d), (Rect{0, 0, 1, 63})) << r.why;
  }
}

TEST(Geometry, PostNetShortBarsStandOnTheBaseline) {
  TfrxBarcode b;
  b.Typ = bcCodePostNet;
  b.Text = "1";
  int w = b.Width();
  BarcodeDrawing d = b.Layout({0, 0, w, 50}, false, BarcodeAlign::Near, FakeWidth);
  // Fills: background, frame bar, then the digit 1: short bar first.
  ASSERT_GE(d.fills.size(), 3u);
  EXPECT_EQ(d.fills[1].rect, (Rect{0, 0, 1, 50}));
  EXPECT_EQ(d.fills[2].rect.top, 50 - 50 * 2 / 5);
  EXPECT_EQ(d.fills[2].rect.bottom, 50);
}

// The label symbols at printer resolutions: whole dots per module, every
// element a multiple of it, the height kept.
TEST(Geometry, WholeDeviceDots) {
  struct Row {
    TfrxBarcodeType type;
    const char* text;
    double ratio;
    int rectWidth;
    int rectHeight;
    BarcodeAlign align;
    int dots;
    int left;  // of the symbol
    const char* why;
  } rows[] = {
      {bcCode128C, "1500483197", 2, 190, 80, BarcodeAlign::Near, 2, 0, "90 px at 203 dpi: 2.11 -> 2"},
      {bcCode128C, "1500483197", 2, 281, 118, BarcodeAlign::Near, 3, 0, "300 dpi: 3.125 -> 3"},
      {bcCode128C, "1500483197", 2, 563, 236, BarcodeAlign::Near, 6, 0, "600 dpi: 6.25 -> 6"},
      {bcCode128C, "1500483197", 2, 234, 80, BarcodeAlign::Near, 2, 0, "2.6 would round up past the object"},
      {bcCode128C, "1500483197", 2, 270, 80, BarcodeAlign::Near, 3, 0, "exact 3"},
      {bcCode128C, "1500483197", 2, 60, 40, BarcodeAlign::Near, 1, 0, "never below one dot"},
      {bcCode39, "12345678901", 2, 355, 80, BarcodeAlign::Near, 2, 0, "168 px at 203 dpi"},
      {bcCode39, "12345678901", 3, 355, 80, BarcodeAlign::Near, 1, 0, "ratio 3 is 207 units: 1.71 dots rounds up past the object"},
      {bcCode128C, "1500483197", 2, 190, 80, BarcodeAlign::Far, 2, 10, "haRight keeps the right edge"},
      {bcCode128C, "1500483197", 2, 190, 80, BarcodeAlign::Center, 2, 5, "haCenter keeps the centre"},
  };
  for (const auto& r : rows) {
    for (int angle : {0, 90, 180, 270}) {
      TfrxBarcode b;
      b.Typ = r.type;
      b.Text = r.text;
      b.Ratio = r.ratio;
      b.Angle = angle;
      bool vertical = angle % 180 != 0;
      Rect rect = vertical ? Rect{0, 0, r.rectHeight, r.rectWidth} : Rect{0, 0, r.rectWidth, r.rectHeight};
      BarcodeDrawing d = b.Layout(rect, false, r.align, FakeWidth);
      std::string why = std::string(r.why) + " at " + std::to_string(angle);
      EXPECT_EQ(d.moduleDots, r.dots) << why;
      int along0 = vertical ? d.symbol.top : d.symbol.left;
      int along1 = vertical ? d.symbol.bottom : d.symbol.right;
      EXPECT_EQ(along0, r.left) << why;
      EXPECT_EQ(along1 - along0, d.drawingLength * r.dots) << why;
      int cross = vertical ? d.symbol.right - d.symbol.left : d.symbol.bottom - d.symbol.top;
      EXPECT_EQ(cross, r.rectHeight) << why << ": the height is kept";
      for (const auto& f : d.fills) {
        int len = vertical ? f.rect.bottom - f.rect.top : f.rect.right - f.rect.left;
        int start = (vertical ? f.rect.top : f.rect.left) - along0;
        EXPECT_EQ(len % r.dots, 0) << why;
        EXPECT_EQ(start % r.dots, 0) << why;
      }
    }
  }
}

TEST(Geometry, TextScalesWithTheSymbol) {
  TfrxBarcode b = Code128(0);
  // 300 dpi: 90 px -> 281 dots, 60 px -> 188 dots; cross scale 188/60.
  BarcodeDrawing d = b.Layout({0, 0, 281, 188}, true, BarcodeAlign::Near, FakeWidth);
  ASSERT_EQ(d.labels.size(), 1u);
  EXPECT_EQ(d.labels[0].fontHeight, 38);  // 12 x 3.13
  EXPECT_EQ(d.fills.back().rect.bottom, 188);
  EXPECT_EQ(d.labels[0].y, 144);  // Round(46 x 3.1333)
}

TEST(Geometry, AnyOtherAngleTakesTheNearestQuadrant) {
  for (auto [angle, quadrant] : {std::pair{44.0, 0}, {46.0, 90}, {-90.0, 270}, {450.0, 90}, {359.0, 0}}) {
    TfrxBarcode b = Code128(0);
    b.Angle = angle;
    EXPECT_EQ(b.Layout({0, 0, 90, 90}, false, BarcodeAlign::Near, FakeWidth).angle, quadrant) << angle;
  }
}

TEST(Geometry, ErrorsComeFromTheEncoding) {
  TfrxBarcode b;
  b.Typ = bcCodeEAN13;
  b.Text = "ABC";
  EXPECT_THROW(b.Layout({0, 0, 100, 50}, true, BarcodeAlign::Near, FakeWidth), BarcodeError);
}

TEST(Geometry, EmptyRectangleDrawsNothingHarmful) {
  TfrxBarcode b = Code128(0);
  BarcodeDrawing d = b.Layout({5, 5, 5, 5}, true, BarcodeAlign::Near, FakeWidth);
  EXPECT_EQ(d.moduleDots, 1);
  EXPECT_EQ(b.Height, 0);
}

}  // namespace
}  // namespace zentavo

namespace zentavo {
namespace {

TEST(Geometry, LongestTextInAOneDotRectangleStaysBounded) {
  TfrxBarcode b;
  b.Typ = bcCode128B;
  b.Ratio = 63;
  b.Text = std::string(kMaxBarcodeText, '~');  // value 94: 4-module elements
  BarcodeDrawing d = b.Layout({0, 0, 1, 4000}, true, BarcodeAlign::Near, FakeWidth);
  EXPECT_EQ(d.moduleDots, 1);
  EXPECT_EQ(d.drawingCross, 10000000);  // not the 2.7e9 units of the plain rule
  EXPECT_EQ(d.symbol.bottom - d.symbol.top, 4000);  // 16 units of text round away
}

}  // namespace
}  // namespace zentavo
