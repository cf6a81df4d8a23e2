// Fuzz target: templates whose pictures hold untrusted bytes. Loading must
// report a damaged picture, never crash; the bytes must survive a save; the
// page must draw.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "platform/CairoCanvas.h"
#include "report/frxClass.h"

namespace {

constexpr const char* kClasses[] = {"TBitmap", "TJPEGImage", "TIcon", "TMetafile", "TPngImage"};

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char b : bytes) {
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

std::string Le32(std::size_t n) {
  std::string s;
  for (int i = 0; i < 4; ++i) s += static_cast<char>((n >> (8 * i)) & 0xFF);
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > (1u << 16)) return 0;
  // The first byte picks the class and whether the payload gets the length
  // in front that sound bitmaps and JPEG images carry.
  const std::string graphicClass = kClasses[data[0] % 5];
  std::string payload(reinterpret_cast<const char*>(data + 1), size - 1);
  if ((data[0] & 0x80) == 0) payload = Le32(payload.size()) + payload;
  std::string block = std::string(1, static_cast<char>(graphicClass.size())) + graphicClass + payload;
  const std::string propData = Hex(std::string("\x04" "Data\x0A", 6) + Le32(block.size()) + block);
  const std::string xml =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?><TfrxReport><TfrxReportPage Name=\"Page1\" PaperWidth=\"50\" "
      "PaperHeight=\"30\"><TfrxPictureView Name=\"Picture1\" Left=\"4\" Top=\"4\" Width=\"60\" Height=\"40\" "
      "Stretched=\"" + std::string((data[0] & 0x40) ? "False" : "True") + "\" Picture.PropData=\"" + propData +
      "\"/></TfrxReportPage></TfrxReport>";
  zentavo::TfrxReport report;
  report.EngineOptions.NewSilentMode = zentavo::TfrxSilentMode::simSilent;
  try {
    zentavo::TMemoryStream in(xml);
    report.LoadFromStream(in);
  } catch (const std::exception&) {
    __builtin_trap();  // the document itself is sound: only the picture may be damaged
  }
  auto* picture = dynamic_cast<zentavo::TfrxPictureView*>(report.FindObject("Picture1"));
  if (picture == nullptr || picture->Picture.GraphicClass != graphicClass || picture->Picture.Data != payload)
    __builtin_trap();  // a damaged picture keeps its bytes
  zentavo::TMemoryStream out;
  report.SaveToStream(out);
  if (out.Data().find(propData) == std::string::npos) __builtin_trap();
  auto canvas = zentavo::CairoCanvas::CreateImage(80, 60, 96, zentavo::CanvasKind::Printer);
  try {
    picture->Draw(*canvas, 1, 1, 0, 0);
  } catch (const std::exception&) {
    __builtin_trap();  // a page with a damaged picture still draws
  }
  return 0;
}
