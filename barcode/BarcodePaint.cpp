// Painting a laid-out symbol on a canvas: fills, then the Arial digits.
#include <string>

#include "barcode/frxBarcod.h"
#include "platform/Color.h"
#include "platform/Cp1254.h"
#include "platform/FontProvider.h"

namespace zentavo {
namespace {

FontSpec LabelFont(int fontHeight, int angle) {
  FontSpec font;
  font.name = "Arial";
  font.height = -fontHeight;
  font.color = Rgb{0, 0, 0};
  font.escapement = angle * 10;
  return font;
}

// The text is single-byte Windows-1254, as Text always is.
std::u16string Utf16(std::string_view text) {
  std::u16string u;
  for (char c : text) u += static_cast<char16_t>(cp1254::ToUnicode(static_cast<unsigned char>(c)));
  return u;
}

}  // namespace

BarcodeDrawing TfrxBarcode::DrawSymbol(Canvas& canvas, const Rect& rect, bool showText,
                                       BarcodeAlign align) {
  FontProvider& fonts = FontProvider::Shared();
  BarcodeDrawing drawing = Layout(rect, showText, align, [&](std::string_view text, int fontHeight) {
    return fonts.TextWidth(LabelFont(fontHeight, 0), Utf16(text));
  });
  CanvasStateGuard guard(canvas);
  canvas.SetAntialias(false);
  canvas.SetPen(Pen{PenStyle::Clear, 1, Rgb{}});
  for (const BarcodeFill& fill : drawing.fills) {
    auto rgb = RgbFromColor(fill.color);
    if (!rgb) continue;
    canvas.SetBrush(Brush{BrushStyle::Solid, *rgb});
    canvas.FillRect(fill.rect);
  }
  for (const BarcodeLabel& label : drawing.labels) {
    FontSpec font = LabelFont(label.fontHeight, label.angle);
    std::u16string text = Utf16(label.text);
    std::vector<int> advances = fonts.Advances(font, text);
    canvas.DrawText(font, Point{label.x, label.y}, text, advances, TextOptions{});
  }
  return drawing;
}

}  // namespace zentavo
