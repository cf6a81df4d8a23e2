// What the barcode object draws: background, then the symbol (whole device
// dots per module, kept at the edge the object keeps) or the error text in
// red at 8 points on paper, then the frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "barcode/frxBarcode.h"
#include "platform/RecordingCanvas.h"
#include "tests/unit/barcodeview/ViewFixture.h"

namespace zentavo {
namespace {

using testing::Around;
using testing::Bars;
using testing::Fills;
using testing::Texts;
using testing::ViewSetup;
using enum TfrxHAlign;

constexpr double k203 = 203 / 96.0;

// The label's Code 128 C object (BBarkodNo of LabBarkod3050).
ViewSetup LabelSymbol(TfrxHAlign align, int rotation) {
  ViewSetup s{bcCode128C, "1500483197", 2, 1, rotation, align, 17.362245, 41.57483, 90, 49.13385827};
  if (rotation == 90 || rotation == 270) std::swap(s.width, s.height);
  return s;
}

TEST(BarcodeViewDraw, SymbolKeepsTheObjectsAnchorOnWholeDots) {
  enum Edge { Near, Far, Centre };
  struct Row {
    TfrxHAlign align;
    int rotation;
    Edge edge;  // in device terms: left/top, right/bottom, centred
    const char* why;
  } rows[] = {
      {haLeft, 0, Near, "190 dots for 90 modules: 2 dots each, the 10 left over at the right"},
      {haBlock, 0, Near, "haBlock as haLeft"},
      {haRight, 0, Far, "the symbol ends at the object's right edge"},
      {haCenter, 0, Centre, "centred: 5 dots each side"},
      {haLeft, 180, Near, "upside down, still at the kept left edge"},
      {haRight, 180, Far, "upside down, kept right edge"},
      {haLeft, 90, Near, "a quarter turn keeps the top: the object grows downwards"},
      {haRight, 90, Near, "HAlign moves nothing when turned"},
      {haCenter, 270, Near, "three quarters"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    TfrxBarCodeView v;
    testing::SetUp(v, LabelSymbol(r.align, r.rotation));
    v.ShowText = false;
    RecordingCanvas canvas(203, 400, 240, CanvasKind::Printer);
    v.Draw(canvas, k203, k203, 0, 0);
    ASSERT_EQ(v.ErrorText, "");
    const Rect device{v.Device.left, v.Device.top, v.Device.right, v.Device.bottom};
    const bool upright = r.rotation % 180 == 0;
    const int along = upright ? device.Width() : device.Height();
    ASSERT_EQ(along, 190);
    const std::vector<Rect> bars = Bars(canvas);
    ASSERT_FALSE(bars.empty());
    const Rect all = Around(bars);
    const int near = upright ? all.left - device.left : all.top - device.top;
    const int far = upright ? device.right - all.right : device.bottom - all.bottom;
    EXPECT_EQ(near + far, 10) << "the symbol is 2 x 90 dots long";
    const int expectedNear = r.edge == Near ? 0 : r.edge == Far ? 10 : 5;
    EXPECT_EQ(near, expectedNear);
    for (const Rect& b : bars) {
      // Each bar a whole number of 2-dot modules, across the full object.
      const int length = upright ? b.Width() : b.Height();
      EXPECT_EQ(length % 2, 0);
      EXPECT_EQ(upright ? b.top : b.left, upright ? device.top : device.left);
      EXPECT_EQ(upright ? b.bottom : b.right, upright ? device.bottom : device.right);
    }
  }
}

TEST(BarcodeViewDraw, ErrorTextIsRedAndEightPointsOnPaper) {
  struct Row {
    int dpi;
    CanvasKind kind;
    double scale;
    int em;  // device pixels
    const char* why;
  } rows[] = {
      {203, CanvasKind::Printer, 203 / 96.0, 23, "thermal printer: 8 x 203 / 72"},
      {300, CanvasKind::Printer, 300 / 96.0, 33, "300 dpi"},
      {600, CanvasKind::Printer, 600 / 96.0, 67, "600 dpi: not 8 x 6.25 = 50 points"},
      {96, CanvasKind::Screen, 1, 11, "screen at 100 %"},
      {96, CanvasKind::Screen, 2, 21, "preview zoomed to 200 %: 8 points of the zoomed paper"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    TfrxBarCodeView v;
    testing::SetUp(v, {bcCodeEAN13, "ABC", 2, 1, 0, haLeft, 10, 10, 150, 60});
    RecordingCanvas canvas(r.dpi, 2000, 2000, r.kind);
    v.Draw(canvas, r.scale, r.scale, 0, 0);
    EXPECT_EQ(v.ErrorText, "Barcode must be numeric");
    EXPECT_TRUE(Bars(canvas).empty()) << "no bars for a failed text";
    const auto texts = Texts(canvas);
    ASSERT_FALSE(texts.empty());
    std::string shown;
    for (const auto& t : texts) {
      EXPECT_EQ(t.font, "Arial");
      EXPECT_EQ(t.height, -r.em);
      EXPECT_EQ(t.color, "#FF0000");
      EXPECT_GE(t.x, v.Device.left + 2);
      EXPECT_GE(t.y, v.Device.top + 2);
      EXPECT_LT(t.y, v.Device.bottom);
      shown += t.text;
    }
    auto withoutBlanks = [](std::string s) {
      s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
      return s;
    };
    EXPECT_EQ(withoutBlanks(shown), withoutBlanks(v.ErrorText)) << "the whole message, wrapped";
  }
}

TEST(BarcodeViewDraw, NarrowObjectWrapsTheErrorText) {
  TfrxBarCodeView v;
  testing::SetUp(v, {bcCodeEAN13, "ABC", 2, 1, 0, haLeft, 0, 0, 60, 80});
  RecordingCanvas canvas(203, 400, 400, CanvasKind::Printer);
  v.Draw(canvas, k203, k203, 0, 0);
  const auto texts = Texts(canvas);
  ASSERT_GE(texts.size(), 2u) << "\"Barcode must be numeric\" does not fit 60 pixels on one line";
  EXPECT_GT(texts[1].y, texts[0].y);
}

// Background first, frame last, the symbol or the error between them.
class OrderProbe : public TfrxBarCodeView {
 public:
  explicit OrderProbe(const RecordingCanvas& c) : canvas_(c) {}
  void DrawBackground() override { background = static_cast<int>(canvas_.Calls().size()); }
  void DrawFrame() override {
    frame = static_cast<int>(canvas_.Calls().size());
    ++frames;
  }
  int background = -1, frame = -1, frames = 0;

 private:
  const RecordingCanvas& canvas_;
};

TEST(BarcodeViewDraw, BackgroundSymbolFrameInThatOrder) {
  struct Row {
    const char* text;
    bool fails;
    const char* why;
  } rows[] = {
      {"1500483197", false, "a good symbol"},
      {"15A", true, "a failed one still gets its background and frame"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    RecordingCanvas canvas(203, 400, 240, CanvasKind::Printer);
    OrderProbe v(canvas);
    testing::SetUp(v, LabelSymbol(haLeft, 0));
    v.BarType = bcCodeEAN128C;
    v.Text = r.text;
    v.Draw(canvas, k203, k203, 0, 0);
    EXPECT_EQ(v.background, 0);
    EXPECT_EQ(v.frames, 1);
    EXPECT_EQ(v.frame, static_cast<int>(canvas.Calls().size()));
    EXPECT_GT(v.frame, 0);
    EXPECT_EQ(!v.ErrorText.empty(), r.fails);
  }
}

TEST(BarcodeViewDraw, SpacesArePaintedInTheObjectsColourWhiteWhenNone) {
  struct Row {
    TColor color;
    const char* spaces;
    const char* why;
  } rows[] = {
      {clNone, "#FFFFFF", "a transparent object still has white spaces"},
      {0x00FFFF, "#FFFF00", "a coloured object paints its spaces in its colour"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    TfrxBarCodeView v;
    testing::SetUp(v, LabelSymbol(haLeft, 0));
    v.Color = r.color;
    RecordingCanvas canvas(203, 400, 240, CanvasKind::Printer);
    v.Draw(canvas, k203, k203, 0, 0);
    const auto fills = Fills(canvas);
    const Rect bars = Around(Bars(canvas));
    bool found = false;
    for (const auto& f : fills) {
      if (f.rect.left <= bars.left && f.rect.right >= bars.right && f.rect.top <= bars.top &&
          f.color != "#000000") {
        EXPECT_EQ(f.color, r.spaces);
        found = true;
      }
    }
    EXPECT_TRUE(found) << "the symbol's ground is filled";
  }
}

TEST(BarcodeViewDraw, CheckDigitOnceHoweverOftenDrawn) {
  TfrxBarCodeView v;
  testing::SetUp(v, {bcCodeEAN128C, "12345", 2, 1, 0, haLeft, 10, 10, 100, 60});
  v.CalcCheckSum = true;
  std::vector<std::string> shown;
  for (int i = 0; i < 3; ++i) {
    RecordingCanvas canvas(203, 800, 400, CanvasKind::Printer);
    v.Draw(canvas, k203, k203, 0, 0);
    const auto texts = Texts(canvas);
    ASSERT_EQ(texts.size(), 1u);
    shown.push_back(texts[0].text);
  }
  EXPECT_EQ(shown[0], "123457") << "Modulo 10 of 12345 is 7";
  EXPECT_EQ(shown[1], shown[0]);
  EXPECT_EQ(shown[2], shown[0]);
  EXPECT_EQ(v.Text, "12345");
}

TEST(BarcodeViewDraw, OffsetsMoveTheDeviceRectangle) {
  TfrxBarCodeView v;
  testing::SetUp(v, LabelSymbol(haLeft, 0));
  v.ShowText = false;
  RecordingCanvas a(203, 600, 400, CanvasKind::Printer), b(203, 600, 400, CanvasKind::Printer);
  v.Draw(a, k203, k203, 0, 0);
  v.Draw(b, k203, k203, 24, 12);
  const Rect ra = Around(Bars(a)), rb = Around(Bars(b));
  EXPECT_EQ(rb.left - ra.left, 24);
  EXPECT_EQ(rb.top - ra.top, 12);
  EXPECT_EQ(rb.Width(), ra.Width());
}

}  // namespace
}  // namespace zentavo

namespace zentavo {
namespace {

// With the real fill and border: the object's colour under everything, the
// frame over everything, for a good symbol and for a failed one.
TEST(BarcodeViewDraw, FilledAndFramedObject) {
  struct Row {
    const char* text;
    TColor color;
    const char* ground;  // nullptr: no fill of the whole object
    const char* why;
  } rows[] = {
      {"1500483197", 0x00FF00, "#00FF00", "green object: its whole rectangle first"},
      {"1500483197", clNone, nullptr, "transparent object: only the symbol's own white"},
      {"15A", 0x00FF00, "#00FF00", "a failed text keeps fill and frame"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    TfrxBarCodeView v;
    testing::SetUp(v, {bcCode128C, r.text, 2, 1, 0, haLeft, 17.362245, 41.57483, 90, 49.13385827});
    v.Color = r.color;
    v.Frame.Typ = ftLeft | ftRight | ftTop | ftBottom;
    RecordingCanvas canvas(203, 400, 240, CanvasKind::Printer);
    v.Draw(canvas, k203, k203, 0, 0);
    const auto& calls = canvas.Calls();
    ASSERT_FALSE(calls.empty());
    const Rect device{v.Device.left, v.Device.top, v.Device.right, v.Device.bottom};
    const auto fills = Fills(canvas);
    ASSERT_FALSE(fills.empty());
    if (r.ground != nullptr) {
      EXPECT_EQ(fills.front().rect, device);
      EXPECT_EQ(fills.front().color, r.ground);
      EXPECT_EQ(calls.front().rfind("FillRect", 0), 0u) << "the fill comes first";
    } else {
      EXPECT_NE(fills.front().rect, device);
    }
    // The frame: its lines come after every fill and text.
    std::size_t lastPaint = 0, firstLine = calls.size();
    for (std::size_t i = 0; i < calls.size(); ++i) {
      if (calls[i].rfind("FillRect", 0) == 0 || calls[i].rfind("Text", 0) == 0) lastPaint = i;
      if (calls[i].rfind("Line", 0) == 0 || calls[i].rfind("Polyline", 0) == 0)
        firstLine = std::min(firstLine, i);
    }
    ASSERT_LT(firstLine, calls.size()) << "a frame was drawn";
    EXPECT_GT(firstLine, lastPaint);
  }
}

}  // namespace
}  // namespace zentavo
