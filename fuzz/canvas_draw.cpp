// Fuzzes the Cairo canvas: shapes, pens, brushes, clipping, bitmaps and text
// with coordinates, styles and characters taken from the input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/CairoCanvas.h"
#include "platform/FontProvider.h"

namespace {

struct Reader {
  const uint8_t* data;
  size_t size;
  size_t pos = 0;
  int Byte() { return pos < size ? data[pos++] : 0; }
  int Coord() { return static_cast<int16_t>(Byte() | (Byte() << 8)) / 64; }
  bool More() const { return pos < size; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zentavo;
  if (size > 4096) return 0;
  Reader in{data, size};
  auto canvas = CairoCanvas::CreateImage(64, 48, 96);
  int operations = 0;
  while (in.More() && ++operations < 200) {
    const int op = in.Byte() % 12;
    const Rect r{in.Coord(), in.Coord(), in.Coord(), in.Coord()};
    switch (op) {
      case 0: canvas->SetPen(Pen{static_cast<PenStyle>(in.Byte() % 6), in.Byte() % 40 - 2, Rgb{0, 0, 0}}); break;
      case 1: canvas->SetBrush(Brush{static_cast<BrushStyle>(in.Byte() % 8), Rgb{255, 0, 0}}); break;
      case 2: canvas->FillRect(r); break;
      case 3: canvas->Line({r.left, r.top}, {r.right, r.bottom}); break;
      case 4: canvas->Rectangle(r); break;
      case 5: canvas->RoundRect(r, in.Coord(), in.Coord()); break;
      case 6: canvas->Ellipse(r); break;
      case 7: {
        const Point pts[] = {{r.left, r.top}, {r.right, r.bottom}, {r.left, r.bottom}};
        canvas->Polygon(pts);
        break;
      }
      case 8: {
        Bitmap b{in.Byte() % 5 + 1, in.Byte() % 5 + 1, {}};
        b.argb.assign(static_cast<size_t>(b.width * b.height), 0x80FF00FFu);
        canvas->DrawBitmap(b, r);
        break;
      }
      case 9:
        if (in.Byte() & 1) {
          canvas->Save();
          canvas->IntersectClip(r);
        } else {
          canvas->Restore();
        }
        break;
      case 10: canvas->SetAntialias(in.Byte() & 1); canvas->SetBackground(Rgb{0, 0, 255}); break;
      case 11: {
        std::u16string text;
        const int n = in.Byte() % 8;
        for (int i = 0; i < n; ++i) text.push_back(static_cast<char16_t>(in.Byte() | (in.Byte() << 8)));
        FontSpec f;
        f.height = -(in.Byte() % 60) - 1;
        f.style = static_cast<uint8_t>(in.Byte() & 15);
        f.escapement = in.Coord() * 10;
        std::vector<int> adv = FontProvider::Shared().Advances(f, text);
        TextOptions o;
        if (in.Byte() & 1) o.clip = r;
        o.rightToLeft = in.Byte() & 1;
        canvas->DrawText(f, {r.left, r.top}, text, adv, o);
        break;
      }
    }
  }
  (void)canvas->PixelAt(1, 1);
  return 0;
}
