// Laying out and drawing ten one-line label memos (the sizes and lengths of
// our 50 x 30 mm labels) into a 203-dpi image, and the layout alone.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/CairoCanvas.h"
#include "render/MemoText.h"

namespace {

using namespace zentavo;

struct LabelMemo {
  const char16_t* text;
  int fontHeight;
  std::uint8_t style;
  MemoGeometry geometry;
};

// Ten memos shaped like a lab barcode label's.
const std::vector<LabelMemo>& Memos() {
  static const std::vector<LabelMemo> memos = {
      {u"ÇAĞRI İŞ SAĞLIĞI LABORATUVARI", -11, kFontBold, {4, 2, 180, 14}},
      {u"AYŞE ÖZTÜRK", -13, kFontBold, {4, 18, 180, 16}},
      {u"Protokol: 2026120900123", -9, 0, {4, 36, 120, 12}},
      {u"Tarih: 09.12.2026 22:40", -9, 0, {100, 36, 85, 12}},
      {u"HEMOGRAM", -16, kFontBold, {4, 50, 180, 18}},
      {u"Tüp: EDTA (mor kapak)", -8, 0, {4, 70, 100, 10}},
      {u"Firma: ÖRNEK GIDA SAN. TİC. A.Ş.", -8, 0, {4, 82, 180, 10}},
      {u"Doğum: 01.01.1980", -7, 0, {4, 94, 90, 9}},
      {u"Cinsiyet: K", -7, 0, {100, 94, 60, 9}},
      {u"123456789012", -5, 0, {4, 104, 100, 7}},
  };
  return memos;
}

void BM_DrawTenMemos203(benchmark::State& state) {
  TfrxDrawText engine;
  const double scale = 203.0 / 96;
  for (auto _ : state) {
    auto canvas = CairoCanvas::CreateImage(400, 240, 203, CanvasKind::Printer);
    for (const LabelMemo& m : Memos()) {
      MemoTextProps p;
      p.memo = {m.text};
      p.font.height = m.fontHeight;
      p.font.style = m.style;
      MemoDrawText(*canvas, engine, p, m.geometry, scale, scale, 0, 0);
    }
    benchmark::DoNotOptimize(canvas->PixelAt(10, 10));
  }
}
BENCHMARK(BM_DrawTenMemos203)->Unit(benchmark::kMicrosecond);

void BM_LayoutTenMemos(benchmark::State& state) {
  TfrxDrawText engine;
  for (auto _ : state) {
    double total = 0;
    for (const LabelMemo& m : Memos()) {
      MemoTextProps p;
      p.memo = {m.text};
      p.font.height = m.fontHeight;
      p.font.style = m.style;
      total += MemoCalcHeight(engine, p, m.geometry);
    }
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_LayoutTenMemos)->Unit(benchmark::kMicrosecond);

}  // namespace
BENCHMARK_MAIN();
