// Painting on real canvases: no smoothing (every pixel pure bar or space
// colour), runs of whole dots as the module string says, and the digits
// written with Arial at the symbol's angle.
#include <gtest/gtest.h>

#include <string>

#include "barcode/frxBarcod.h"
#include "platform/CairoCanvas.h"
#include "platform/RecordingCanvas.h"

namespace zentavo {
namespace {

TEST(Paint, BarsAreRunsOfWholeDotsWithoutGrey) {
  struct Row {
    TfrxBarcodeType type;
    const char* text;
    double ratio;
    int dpi;
    const char* why;
  } rows[] = {
      {bcCode128C, "1500483197", 2, 203, "label Code 128 C at a thermal printer's 203 dpi"},
      {bcCode39, "12345678901", 2, 203, "label Code 39 at ratio 2"},
      {bcCode39, "12345678901", 3, 300, "ratio 3 at 300 dpi"},
      {bcCodeEAN13, "4006381333931", 2, 600, "EAN-13 at 600 dpi"},
  };
  for (const auto& r : rows) {
    TfrxBarcode b;
    b.Typ = r.type;
    b.Text = r.text;
    b.Ratio = r.ratio;
    BarcodeSymbol s = b.Encode();
    const double scale = r.dpi / 96.0;
    const int width = static_cast<int>(s.width * scale);  // the object's width in dots
    const int height = static_cast<int>(60 * scale);
    auto canvas = CairoCanvas::CreateImage(width + 40, height + 40, r.dpi, CanvasKind::Printer,
                                           Rgb{200, 200, 200});
    BarcodeDrawing d = b.DrawSymbol(*canvas, Rect{20, 20, 20 + width, 20 + height}, true);
    const int dots = d.moduleDots;
    EXPECT_EQ(dots, static_cast<int>(scale)) << r.why;
    // Walk one row through the bars and compare run lengths with the modules.
    const int y = 20 + height / 4;
    int x = 20;
    for (char c : s.modules) {
      int run = s.widths[ModuleClass(c)] * dots;
      Rgb want = IsBarModule(c) ? Rgb{0, 0, 0} : Rgb{255, 255, 255};
      for (int i = 0; i < run; ++i, ++x)
        ASSERT_EQ(canvas->PixelAt(x, y), want) << r.why << " at x " << x;
    }
    // Nothing grey anywhere: no smoothing of bars or digits.
    for (int py = 20; py < 20 + height; ++py)
      for (int px = 0; px < width + 40; ++px) {
        Rgb p = canvas->PixelAt(px, py);
        bool pure = p == Rgb{0, 0, 0} || p == Rgb{255, 255, 255} || p == Rgb{200, 200, 200};
        ASSERT_TRUE(pure) << r.why << " at " << px << "," << py;
      }
    // The digits are there: black pixels in the text band, below the bars.
    int black = 0;
    for (int py = d.symbol.bottom + 1; py < 20 + height; ++py)
      for (int px = 20; px < 20 + width; ++px) black += canvas->PixelAt(px, py) == Rgb{0, 0, 0};
    EXPECT_GT(black, 20) << r.why;
  }
}

TEST(Paint, DigitsInArialAtTheSymbolsAngle) {
  for (int angle : {0, 90, 180, 270}) {
    RecordingCanvas canvas(300, 400, 400);
    TfrxBarcode b;
    b.Typ = bcCode128C;
    b.Text = "1500483197";
    b.Angle = angle;
    Rect rect = angle % 180 ? Rect{0, 0, 188, 270} : Rect{0, 0, 270, 188};
    b.DrawSymbol(canvas, rect, true);
    int texts = 0;
    for (const std::string& call : canvas.Calls()) {
      if (call.rfind("Text ", 0) != 0) continue;
      ++texts;
      EXPECT_NE(call.find("\"1500483197\""), std::string::npos) << call;
      // 12 units across: 188 dots over Round(188 / 3) = 63 units.
      EXPECT_NE(call.find("font=Arial -36 "), std::string::npos) << call;
      EXPECT_NE(call.find(" " + std::to_string(angle * 10) + " adv="), std::string::npos) << call;
    }
    EXPECT_EQ(texts, 1) << angle;
  }
}

}  // namespace
}  // namespace zentavo
