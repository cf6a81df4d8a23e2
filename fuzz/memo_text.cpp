// Fuzzes the memo text engine: tags, wrapping with hyphenation, rendering on
// a recording canvas and splitting, with options taken from the input.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/RecordingCanvas.h"
#include "render/frxGraphicUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zentavo;
  if (size < 8 || size > 8192) return 0;
  const uint8_t flags = data[0];
  const int rotation = data[1] * 2;
  // Bit 5 of the flags turns the sizes into forged extremes.
  const double extreme = (flags & 32) ? 1e12 : 1;
  const double width = (data[2] + (data[3] & 7) * 0.125) * extreme;
  const double height = data[4] * extreme;
  const int fontHeight = (flags & 32) ? -static_cast<int>(data[5]) * 1000000 : -static_cast<int>(data[5] % 40) - 1;
  const double spacing = (static_cast<int8_t>(data[6])) / 16.0 * extreme;
  const auto halign = static_cast<TextHAlign>(data[7] & 3);
  const auto valign = static_cast<TextVAlign>((data[7] >> 2) % 3);
  // The rest as UTF-16 units; a few bytes map to the characters that matter.
  std::vector<std::u16string> lines(1);
  for (size_t i = 8; i + 1 < size; i += 2) {
    const char16_t unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (unit == 0x000A) {
      lines.emplace_back();
      continue;
    }
    lines.back().push_back(unit);
  }
  TfrxDrawText engine;
  DrawTextFont font;
  font.height = fontHeight;
  font.style = flags >> 4;
  engine.SetFont(font);
  engine.SetOptions(flags & 1, flags & 2, rotation, true, flags & 4, flags & 8);
  engine.SetGaps(spacing, spacing / 4, spacing / 2);
  const double scale = (data[3] >> 3) / 4.0 + 0.25;
  const int deviceWidth = static_cast<int>(std::min(width * scale, 1e9));
  const int deviceHeight = static_cast<int>(std::min(height * scale, 1e9));
  engine.SetDimensions({0, 0, width, height}, Rect{0, 0, deviceWidth, deviceHeight}, scale, scale);
  engine.SetText(lines);
  RecordingCanvas canvas(203, 1000, 1000, (flags & 16) ? CanvasKind::Printer : CanvasKind::Screen);
  engine.RenderLines(canvas, halign, valign);
  (void)engine.TextWidth();
  (void)engine.TextHeight();
  const std::u16string rest = engine.RemainingText();
  (void)engine.UnusedSpace();
  (void)SplitWideText(rest);
  return 0;
}
