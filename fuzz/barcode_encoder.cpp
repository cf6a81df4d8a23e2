// Fuzz target: any barcode type (also out of range), any settings, any text
// bytes through encoding and layout. Only BarcodeError may escape the encoder.
#include <cstdint>
#include <cstring>
#include <string>

#include "barcode/frxBarcod.h"

namespace {

template <typename T>
T Take(const uint8_t*& data, size_t& size) {
  T value{};
  if (size >= sizeof(T)) {
    std::memcpy(&value, data, sizeof(T));
    data += sizeof(T);
    size -= sizeof(T);
  }
  return value;
}

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zentavo;
  TfrxBarcode b;
  b.Typ = static_cast<TfrxBarcodeType>(Take<uint8_t>(data, size) % (kBarcodeTypeCount + 2));
  uint8_t flags = Take<uint8_t>(data, size);
  b.Checksum = flags & 1;
  b.CheckSumMethod = (flags & 2) ? csmModulo10 : csmNone;
  bool showText = flags & 4;
  auto align = static_cast<BarcodeAlign>((flags >> 3) % 3);
  b.Ratio = Take<double>(data, size);
  b.Modul = Take<int32_t>(data, size);
  b.Angle = Take<int16_t>(data, size);
  int w = Take<uint16_t>(data, size) % 4096;
  int h = Take<uint16_t>(data, size) % 4096;
  b.Text.assign(reinterpret_cast<const char*>(data), size);
  try {
    BarcodeSymbol s = b.Encode();
    int width = 0;
    for (char c : s.modules) {
      int k = ModuleClass(c);
      Check(k >= 0);
      width += s.widths[k];
    }
    Check(width == s.width && s.widths[0] >= 1 && s.widths[3] <= 127);
    BarcodeDrawing d = b.Layout(Rect{0, 0, w, h}, showText, align,
                                [](std::string_view text, int em) { return static_cast<int>(text.size()) * em / 2; });
    Check(d.moduleDots >= 1);
    Check(b.Text == std::string(reinterpret_cast<const char*>(data), size));
  } catch (const BarcodeError&) {
  }
  return 0;
}
