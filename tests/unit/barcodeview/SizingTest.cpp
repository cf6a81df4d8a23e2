// The barcode object sizes itself from its symbol at every drawing: Width
// (Height when turned by 90 or 270 degrees) becomes modules x Zoom, HAlign
// says which edge stays, and a text that cannot be encoded leaves the size.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "barcode/frxBarcode.h"
#include "platform/RecordingCanvas.h"
#include "templates/Templates.h"
#include "tests/unit/barcodeview/ViewFixture.h"

namespace zentavo {
namespace {

using testing::ViewSetup;
using enum TfrxHAlign;

TEST(BarcodeViewSizing, WidthHeightAndLeftAfterDrawing) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  struct Row {
    ViewSetup setup;
    double left, width, height;  // after drawing
    const char* error;           // ErrorText after drawing
    const char* why;
  } rows[] = {
      {{bcCode39, "12345678", 3}, 10, 159, 50, "", "ratio 3: 16 + 8 x 16 + 15 modules, widens to the right"},
      {{bcCode39, "12345678", 3, 1, 0, haRight}, -49, 159, 50, "", "haRight keeps the right edge at 110"},
      {{bcCode39, "12345678", 3, 1, 0, haCenter}, -19.5, 159, 50, "", "haCenter keeps the centre at 60"},
      {{bcCode39, "12345678", 3, 1, 0, haBlock}, 10, 159, 50, "", "haBlock keeps Left like haLeft"},
      {{bcCode39, "12345678", 3, 1, 180, haRight}, -49, 159, 50, "", "180 degrees still sizes the width"},
      {{bcCode39, "12345678", 3, 1, 90, haRight}, 10, 100, 159, "", "90: width kept, height takes the length"},
      {{bcCode39, "12345678", 3, 1, 270, haCenter}, 10, 100, 159, "", "270: HAlign moves nothing"},
      {{bcCode39, "12345678", 3, 1, 450}, 10, 100, 159, "", "450 degrees is a quarter turn"},
      {{bcCode39, "12345678", 3, 1, -90}, 10, 100, 159, "", "-90 degrees is 270"},
      {{bcCode39, "12345678901", 2}, 10, 168, 50, "", "label Code 39: 13 + 11 x 13 + 12 modules"},
      {{bcCode128C, "1500483197"}, 10, 90, 50, "", "label Code 128 C: 11 + 5 x 11 + 11 + 13 modules"},
      {{bcCode128C, "150048319"}, 10, 90, 50, "", "nine digits get the left 0: same width"},
      {{bcCode128C, "1500483197", 2, 2}, 10, 180, 50, "", "Zoom 2: two report pixels per module"},
      {{bcCode128C, "1500483197", 2, 0.5, 90}, 10, 100, 45, "", "Zoom 0.5 rotated"},
      {{bcCode128C, "1500483197", 2, 0}, 10, 90, 50, "", "Zoom 0 draws as 1"},
      {{bcCode128C, "1500483197", 2, -3}, 10, 90, 50, "", "negative Zoom draws as 1"},
      {{bcCode128C, "1500483197", 2, kNaN}, 10, 90, 50, "", "a NaN Zoom draws as 1, not as a NaN size"},
      {{bcCodeEAN13, "ABCDEF", 2, 1, 0, haRight}, 10, 100, 50, "Barcode must be numeric",
       "a failed text leaves size and place"},
      {{bcCodeEAN13, "ABCDEF", 2, 1, 90}, 10, 100, 50, "Barcode must be numeric", "rotated failure: height kept"},
      {{bcCode39, "abc"}, 10, 100, 50, nullptr, "lower case is outside Code 39: an error, never dropped bars"},
      {{bcCode_2_5_interleaved, "12345"}, 10, 100, 50, nullptr, "an odd digit count would lose a digit"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    TfrxBarCodeView v;
    testing::SetUp(v, r.setup);
    RecordingCanvas canvas(96, 1000, 1000);
    v.Draw(canvas, 1, 1, 0, 0);
    EXPECT_DOUBLE_EQ(v.Left(), r.left);
    EXPECT_DOUBLE_EQ(v.Width(), r.width);
    EXPECT_DOUBLE_EQ(v.Height(), r.height);
    if (r.error == nullptr) {
      EXPECT_FALSE(v.ErrorText.empty());
    } else {
      EXPECT_EQ(v.ErrorText, r.error);
    }
    EXPECT_EQ(v.EncodingError(), v.ErrorText) << "callers see the drawing's error before drawing";
    EXPECT_EQ(v.Text, r.setup.text) << "drawing never rewrites Text";
  }
}

TEST(BarcodeViewSizing, ZoomBelowTheLimitIsStoredBackAsOne) {
  for (double zoom : {0.0, 0.00009, -1.0, std::numeric_limits<double>::infinity()}) {
    TfrxBarCodeView v;
    v.Zoom = zoom;
    RecordingCanvas canvas(96, 500, 500);
    v.Draw(canvas, 1, 1, 0, 0);
    EXPECT_EQ(v.Zoom, 1.0) << zoom;
  }
  TfrxBarCodeView v;
  v.Zoom = 0.0001;  // the smallest zoom that is kept
  RecordingCanvas canvas(96, 500, 500);
  v.Draw(canvas, 1, 1, 0, 0);
  EXPECT_EQ(v.Zoom, 0.0001);
}

// A text that changes between drawings moves the object by its HAlign, and
// a second drawing of the same text gives the same geometry.
TEST(BarcodeViewSizing, ChangingTheTextKeepsTheAnchoredEdge) {
  struct Row {
    TfrxHAlign align;
    double (*anchor)(const TfrxBarCodeView&);
    const char* why;
  } rows[] = {
      {haLeft, [](const TfrxBarCodeView& v) { return v.Left(); }, "left edge"},
      {haRight, [](const TfrxBarCodeView& v) { return v.Left() + v.Width(); }, "right edge"},
      {haCenter, [](const TfrxBarCodeView& v) { return v.Left() + v.Width() / 2; }, "centre"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    TfrxBarCodeView v;
    testing::SetUp(v, {bcCode39, "12345678", 3, 1, 0, r.align, 40, 10, 159, 50});
    RecordingCanvas canvas(96, 1000, 1000);
    v.Draw(canvas, 1, 1, 0, 0);
    const double before = r.anchor(v);
    EXPECT_DOUBLE_EQ(v.Width(), 159);
    v.Text = "1234567890123";
    v.Draw(canvas, 1, 1, 0, 0);
    EXPECT_DOUBLE_EQ(v.Width(), 16 + 13 * 16 + 15);
    EXPECT_DOUBLE_EQ(r.anchor(v), before);
    const double left = v.Left();
    v.Draw(canvas, 1, 1, 0, 0);
    EXPECT_DOUBLE_EQ(v.Left(), left) << "drawn twice, placed once";
  }
}

// The barcodes of the label templates, with the numbers the jobs put in.
TEST(BarcodeViewSizing, LabelTemplateBarcodes) {
  struct Row {
    const char* tmpl;
    const char* object;
    const char* text;
    double width;
    const char* why;
  } rows[] = {
      {"LabBarkod3050", "BBarkodNo", "1500483197", 90, "Code 128 C, 10 digits, Zoom 1"},
      {"LabBarkod3050", "BBarkodNo", "150048319", 90, "9 digits padded to 10"},
      {"LabBarkod3050", "BBarkodNo", "15004831970", 101, "11 digits: 6 pairs"},
      {"LabBarkod", "BarCode1", "12345678901", 168, "Code 39 ratio 2, 11 characters"},
      {"LabBarkod", "BarCode1", "1234567890", 155, "10 characters"},
      {"SonucBarkodu", "BarCode1", "12345678901", 168, "the result label's Code 39"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.tmpl) + " " + r.why);
    auto report = LoadBuiltInTemplate(r.tmpl);
    auto* bc = dynamic_cast<TfrxBarCodeView*>(report->FindObject(r.object));
    ASSERT_NE(bc, nullptr);
    const double left = bc->Left(), height = bc->Height();
    bc->Text = r.text;
    RecordingCanvas canvas(203, 400, 240, CanvasKind::Printer);
    bc->Draw(canvas, 203 / 96.0, 203 / 96.0, 0, 0);
    EXPECT_EQ(bc->ErrorText, "");
    EXPECT_DOUBLE_EQ(bc->Width(), r.width);
    EXPECT_DOUBLE_EQ(bc->Left(), left);
    EXPECT_DOUBLE_EQ(bc->Height(), height);
  }
}

}  // namespace
}  // namespace zentavo
