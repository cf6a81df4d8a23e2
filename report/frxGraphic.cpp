// Picture bytes: the kind of graphic they hold and their decoded pixels.
#include "report/frxGraphic.h"

#include <string>

#include "platform/Images.h"
#include "report/frxViews.h"

namespace zentavo {
namespace {

std::uint32_t Le32(std::string_view b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

// Bitmaps and JPEG images store their bytes after a 32-bit length.
std::string_view SizedPayload(std::string_view data) {
  if (data.size() < 4 || Le32(data, 0) != data.size() - 4) throw ImageError("Invalid picture data");
  return data.substr(4);
}

// Icons store the file itself; a length in front is tolerated.
std::string_view IconPayload(std::string_view data) {
  if (data.size() >= 4 && Le32(data, 0) == data.size() - 4) return data.substr(4);
  return data;
}

Bitmap DecodeGraphic(const TfrxPicture& p) {
  if (p.GraphicClass == "TBitmap") return DecodeBmp(SizedPayload(p.Data));
  if (p.GraphicClass == "TJPEGImage") return DecodeJpeg(SizedPayload(p.Data));
  if (p.GraphicClass == "TIcon") return DecodeIcon(IconPayload(p.Data));
  return {};
}

std::string Le32Bytes(std::size_t n) {
  std::string s;
  for (int i = 0; i < 4; ++i) s += static_cast<char>((n >> (8 * i)) & 0xFF);
  return s;
}

}  // namespace

GraphicKind DetectGraphicKind(std::string_view b) {
  auto u16 = [&](std::size_t at) {
    return static_cast<unsigned>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8);
  };
  if (b.size() >= 14 && b[0] == 'B' && b[1] == 'M') return GraphicKind::Bitmap;
  if (b.size() >= 2 && static_cast<unsigned char>(b[0]) == 0xFF && static_cast<unsigned char>(b[1]) == 0xD8)
    return GraphicKind::Jpeg;
  if (b.size() >= 22 && Le32(b, 0) == 0x9AC6CDD7u) return GraphicKind::Metafile;
  if (b.size() >= 100 && b.substr(40, 4) == " EMF") return GraphicKind::EnhancedMetafile;
  if (b.size() >= 6 && u16(2) < 2) return GraphicKind::Icon;
  return GraphicKind::None;
}

Bitmap DecodePicture(const TfrxPicture& picture) {
  if (picture.Empty()) return {};
  return DecodeGraphic(picture);
}

void CheckPicture(const TfrxPicture& picture) {
  if (!picture.Empty()) (void)DecodeGraphic(picture);
}

int TfrxPictureView::LoadPictureFromStream(TStream& stream) {
  // A field far beyond any picture's size is not read in at all.
  constexpr std::uint64_t kMaxBytes = 64u << 20;
  if (stream.Size() - std::min(stream.Size(), stream.Position()) > kMaxBytes) {
    Picture.Clear();
    return E_INVALIDARG;
  }
  std::string bytes = stream.ReadRest();
  // Some databases put an 8-byte header (1, 256, length) before the picture.
  if (bytes.size() >= 8 && (static_cast<unsigned char>(bytes[0]) | static_cast<unsigned char>(bytes[1]) << 8) == 1 &&
      (static_cast<unsigned char>(bytes[2]) | static_cast<unsigned char>(bytes[3]) << 8) == 256 &&
      Le32(bytes, 4) == bytes.size() - 8) {
    bytes.erase(0, 8);
  }
  TfrxPicture loaded;
  switch (DetectGraphicKind(bytes)) {
    case GraphicKind::Bitmap: loaded.SetBitmapFile(bytes); break;
    case GraphicKind::Jpeg:
      loaded.GraphicClass = "TJPEGImage";
      loaded.Data = Le32Bytes(bytes.size()) + bytes;
      break;
    case GraphicKind::Metafile:
    case GraphicKind::EnhancedMetafile:
      loaded.GraphicClass = "TMetafile";
      loaded.Data = bytes;
      break;
    case GraphicKind::Icon:
      loaded.GraphicClass = "TIcon";
      loaded.Data = bytes;
      break;
    case GraphicKind::None: Picture.Clear(); return E_INVALIDARG;
  }
  Bitmap bitmap;
  try {
    bitmap = DecodePicture(loaded);
  } catch (const ImageError&) {
    // Damaged pictures are refused here, not when a page draws them.
    Picture.Clear();
    return E_INVALIDARG;
  }
  Picture.GraphicClass = std::move(loaded.GraphicClass);
  Picture.Data = std::move(loaded.Data);
  if (AutoSize && !bitmap.Empty()) {
    SetWidth(bitmap.width);
    SetHeight(bitmap.height);
  }
  return 0;
}

}  // namespace zentavo
