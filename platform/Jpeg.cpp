// JPEG pictures through libjpeg-turbo. The library's default error handler
// ends the process; ours jumps back and throws ImageError instead, and a
// picture the library only warns about (cut short, damaged segments) is
// refused too, so a damaged file is an error when it is loaded.
#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

#include "platform/Images.h"

namespace zentavo {
namespace {

struct JpegJob {
  jpeg_decompress_struct cinfo{};
  jpeg_error_mgr err{};
  std::jmp_buf jump{};
  bool created = false;
  char message[JMSG_LENGTH_MAX] = {};
  Bitmap bitmap;
  std::vector<unsigned char> row;

  ~JpegJob() {
    if (created) jpeg_destroy_decompress(&cinfo);
  }
};

JpegJob& JobOf(j_common_ptr cinfo) { return *static_cast<JpegJob*>(cinfo->client_data); }

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  JpegJob& job = JobOf(cinfo);
  (*cinfo->err->format_message)(cinfo, job.message);
  std::longjmp(job.jump, 1);
}

void EmitMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;  // trace messages
  const int code = cinfo->err->msg_code;
  // Stray bytes before a marker and an unknown colour transform still
  // decode whole; any other warning means lost pixels.
  if (code == JWRN_EXTRANEOUS_DATA || code == JWRN_ADOBE_XFORM) return;
  ErrorExit(cinfo);
}

// Runs the library. Errors jump out of this frame, so it holds nothing
// that needs destroying: everything lives in the job.
void Run(JpegJob& job, const unsigned char* data, unsigned long size) {
  jpeg_decompress_struct& c = job.cinfo;
  jpeg_create_decompress(&c);
  job.created = true;
  jpeg_mem_src(&c, data, size);
  jpeg_read_header(&c, TRUE);
  CheckImageSize(c.image_width, c.image_height);
  const bool cmyk = c.jpeg_color_space == JCS_CMYK || c.jpeg_color_space == JCS_YCCK;
  c.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_start_decompress(&c);
  const int w = static_cast<int>(c.output_width), h = static_cast<int>(c.output_height);
  job.bitmap.width = w;
  job.bitmap.height = h;
  job.bitmap.argb.assign(static_cast<std::size_t>(w) * h, 0xFF000000u);
  job.row.assign(static_cast<std::size_t>(w) * c.output_components, 0);
  while (c.output_scanline < c.output_height) {
    const int y = static_cast<int>(c.output_scanline);
    JSAMPROW rows[1] = {job.row.data()};
    if (jpeg_read_scanlines(&c, rows, 1) != 1) break;
    std::uint32_t* dst = job.bitmap.argb.data() + static_cast<std::size_t>(y) * w;
    const unsigned char* s = job.row.data();
    for (int x = 0; x < w; ++x) {
      std::uint32_t r, g, b;
      if (cmyk) {
        // Adobe writes CMYK inverted: the stored values are 255 - ink.
        const std::uint32_t k = s[4 * x + 3];
        r = s[4 * x] * k / 255;
        g = s[4 * x + 1] * k / 255;
        b = s[4 * x + 2] * k / 255;
      } else {
        r = s[3 * x];
        g = s[3 * x + 1];
        b = s[3 * x + 2];
      }
      dst[x] = 0xFF000000u | r << 16 | g << 8 | b;
    }
  }
  jpeg_finish_decompress(&c);
}

}  // namespace

Bitmap DecodeJpeg(std::string_view data) {
  if (data.size() < 2 || static_cast<unsigned char>(data[0]) != 0xFF || static_cast<unsigned char>(data[1]) != 0xD8) {
    throw ImageError("Not a JPEG image");
  }
  auto job = std::make_unique<JpegJob>();
  job->cinfo.err = jpeg_std_error(&job->err);
  job->err.error_exit = ErrorExit;
  job->err.emit_message = EmitMessage;
  job->cinfo.client_data = job.get();
  if (setjmp(job->jump) != 0) {
    throw ImageError(std::string("Invalid JPEG image: ") + job->message);
  }
  Run(*job, reinterpret_cast<const unsigned char*>(data.data()), static_cast<unsigned long>(data.size()));
  return std::move(job->bitmap);
}

namespace {

struct JpegWriteJob {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr err{};
  std::jmp_buf jump{};
  bool created = false;
  char message[JMSG_LENGTH_MAX] = {};
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  std::vector<unsigned char> row;

  ~JpegWriteJob() {
    if (created) jpeg_destroy_compress(&cinfo);
    std::free(buffer);
  }
};

[[noreturn]] void WriteErrorExit(j_common_ptr cinfo) {
  auto& job = *static_cast<JpegWriteJob*>(cinfo->client_data);
  (*cinfo->err->format_message)(cinfo, job.message);
  std::longjmp(job.jump, 1);
}

void RunEncode(JpegWriteJob& job, const Bitmap& bitmap, int quality) {
  jpeg_compress_struct& c = job.cinfo;
  jpeg_create_compress(&c);
  job.created = true;
  jpeg_mem_dest(&c, &job.buffer, &job.size);
  c.image_width = static_cast<JDIMENSION>(bitmap.width);
  c.image_height = static_cast<JDIMENSION>(bitmap.height);
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, quality, TRUE);
  jpeg_start_compress(&c, TRUE);
  job.row.assign(static_cast<std::size_t>(bitmap.width) * 3, 0);
  while (c.next_scanline < c.image_height) {
    const std::uint32_t* src = bitmap.argb.data() + static_cast<std::size_t>(c.next_scanline) * bitmap.width;
    for (int x = 0; x < bitmap.width; ++x) {
      job.row[3 * x] = static_cast<unsigned char>(src[x] >> 16);
      job.row[3 * x + 1] = static_cast<unsigned char>(src[x] >> 8);
      job.row[3 * x + 2] = static_cast<unsigned char>(src[x]);
    }
    JSAMPROW rows[1] = {job.row.data()};
    jpeg_write_scanlines(&c, rows, 1);
  }
  jpeg_finish_compress(&c);
}

}  // namespace

std::string EncodeJpeg(const Bitmap& bitmap, int quality) {
  CheckImageSize(bitmap.width, bitmap.height);
  if (bitmap.argb.size() < static_cast<std::size_t>(bitmap.width) * bitmap.height) {
    throw ImageError("Bitmap data is shorter than its size");
  }
  auto job = std::make_unique<JpegWriteJob>();
  job->cinfo.err = jpeg_std_error(&job->err);
  job->err.error_exit = WriteErrorExit;
  job->cinfo.client_data = job.get();
  if (setjmp(job->jump) != 0) throw ImageError(std::string("Cannot encode the JPEG image: ") + job->message);
  RunEncode(*job, bitmap, std::clamp(quality, 1, 100));
  return std::string(reinterpret_cast<const char*>(job->buffer), job->size);
}

}  // namespace zentavo
