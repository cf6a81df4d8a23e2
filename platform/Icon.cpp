// Icons (.ico): the directory, then the largest image as a DIB with its
// AND mask or as an embedded PNG (read through Cairo).
#include <cairo.h>

#include <cstring>
#include <string>

#include "platform/Dib.h"
#include "platform/Images.h"

namespace zentavo {
namespace {

struct PngReader {
  std::string_view data;
  std::size_t at = 0;
};

cairo_status_t ReadPng(void* closure, unsigned char* out, unsigned int length) {
  auto* r = static_cast<PngReader*>(closure);
  if (length > r->data.size() - r->at) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(out, r->data.data() + r->at, length);
  r->at += length;
  return CAIRO_STATUS_SUCCESS;
}

Bitmap DecodePng(std::string_view png) {
  // The size is checked from the header before the decoder allocates.
  if (png.size() < 24) throw ImageError("The picture data is truncated");
  auto be32 = [&](std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(png[at])) << 24 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(png[at + 1])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(png[at + 2])) << 8 |
           static_cast<unsigned char>(png[at + 3]);
  };
  CheckImageSize(be32(16), be32(20));
  PngReader reader{png, 0};
  cairo_surface_t* s = cairo_image_surface_create_from_png_stream(ReadPng, &reader);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    throw ImageError("Invalid PNG image in the icon");
  }
  cairo_surface_flush(s);
  Bitmap out;
  out.width = cairo_image_surface_get_width(s);
  out.height = cairo_image_surface_get_height(s);
  const int stride = cairo_image_surface_get_stride(s);
  const unsigned char* data = cairo_image_surface_get_data(s);
  const cairo_format_t format = cairo_image_surface_get_format(s);
  out.argb.resize(static_cast<std::size_t>(out.width) * out.height);
  for (int y = 0; y < out.height; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < out.width; ++x) {
      std::uint32_t p = row[x];
      if (format != CAIRO_FORMAT_ARGB32) p |= 0xFF000000u;
      const std::uint32_t a = p >> 24;
      // Cairo's pixels are premultiplied; ours are straight.
      auto un = [a](std::uint32_t c) { return a == 0 ? 0u : std::min<std::uint32_t>(255, (c * 255 + a / 2) / a); };
      out.argb[static_cast<std::size_t>(y) * out.width + x] =
          a << 24 | un((p >> 16) & 0xFF) << 16 | un((p >> 8) & 0xFF) << 8 | un(p & 0xFF);
    }
  }
  cairo_surface_destroy(s);
  return out;
}

}  // namespace

Bitmap DecodeIcon(std::string_view file) {
  if (file.size() < 6 || dib::U16(file, 0) != 0 || dib::U16(file, 2) > 1) throw ImageError("Not an icon");
  const int count = dib::U16(file, 4);
  if (count == 0) throw ImageError("The icon holds no image");
  // The largest image, the deepest of equal sizes (a size byte 0 means 256).
  int best = -1;
  long bestArea = -1;
  int bestDepth = -1;
  for (int i = 0; i < count; ++i) {
    const std::size_t e = 6 + 16 * static_cast<std::size_t>(i);
    if (e + 16 > file.size()) throw ImageError("The picture data is truncated");
    const int w = static_cast<unsigned char>(file[e]) == 0 ? 256 : static_cast<unsigned char>(file[e]);
    const int h = static_cast<unsigned char>(file[e + 1]) == 0 ? 256 : static_cast<unsigned char>(file[e + 1]);
    const int depth = dib::U16(file, e + 6);
    const long area = static_cast<long>(w) * h;
    if (area > bestArea || (area == bestArea && depth > bestDepth)) {
      best = i;
      bestArea = area;
      bestDepth = depth;
    }
  }
  const std::size_t e = 6 + 16 * static_cast<std::size_t>(best);
  const std::uint32_t size = dib::U32(file, e + 8);
  const std::uint32_t offset = dib::U32(file, e + 12);
  if (offset > file.size() || size > file.size() - offset) throw ImageError("The picture data is truncated");
  const std::string_view image = file.substr(offset, size);
  if (image.size() >= 8 && image.substr(0, 8) == std::string_view("\x89PNG\r\n\x1a\n", 8)) return DecodePng(image);
  return dib::Decode(image, 0, 0, true);
}

}  // namespace zentavo
