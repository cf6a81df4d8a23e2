// Picture decoders: bitmaps of every depth we read, JPEG round trips and
// damaged JPEG data (an error, never an exit), icons with masks, and the
// size caps against forged headers.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Images.h"

namespace zentavo {
namespace {

void Put32(std::string& s, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
void Put16(std::string& s, std::size_t at, std::uint16_t v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>(v >> 8);
}

// A BITMAPINFOHEADER DIB: header, palette, then the rows as given
// (bottom-up unless the height is negative).
std::string Dib(int w, int h, int bpp, const std::vector<std::uint32_t>& palette, const std::string& rows,
                std::uint32_t compression = 0) {
  std::string s(40, '\0');
  Put32(s, 0, 40);
  Put32(s, 4, static_cast<std::uint32_t>(w));
  Put32(s, 8, static_cast<std::uint32_t>(h));
  Put16(s, 12, 1);
  Put16(s, 14, static_cast<std::uint16_t>(bpp));
  Put32(s, 16, compression);
  Put32(s, 32, static_cast<std::uint32_t>(palette.size()));
  for (std::uint32_t c : palette) {
    std::string e(4, '\0');
    Put32(e, 0, c);
    s += e;
  }
  return s + rows;
}

std::string BmpFile(const std::string& dib) {
  std::string f(14, '\0');
  f[0] = 'B';
  f[1] = 'M';
  Put32(f, 2, static_cast<std::uint32_t>(14 + dib.size()));
  Put32(f, 10, 0);  // no offset: pixels follow the palette
  return f + dib;
}

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int v : b) s += static_cast<char>(v);
  return s;
}

TEST(Images, BitmapDepths) {
  // Every case is 2 x 2: top-left red, top-right green, bottom-left blue,
  // bottom-right white (rows stored bottom-up, each padded to 4 bytes).
  const std::uint32_t R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF, W = 0xFFFFFFFF;
  struct Case {
    const char* why;
    std::string file;
    std::vector<std::uint32_t> expected;
  };
  const std::vector<Case> cases = {
      {"24-bit BGR rows, bottom-up", BmpFile(Dib(2, 2, 24, {}, Bytes({255, 0, 0, 255, 255, 255, 0, 0,  //
                                                                       0, 0, 255, 0, 255, 0, 0, 0}))),
       {R, G, B, W}},
      {"24-bit top-down with a negative height", BmpFile(Dib(2, -2, 24, {}, Bytes({0, 0, 255, 0, 255, 0, 0, 0,  //
                                                                                   255, 0, 0, 255, 255, 255, 0, 0}))),
       {R, G, B, W}},
      {"8-bit palette indexes", BmpFile(Dib(2, 2, 8, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}, Bytes({2, 3, 0, 0, 0, 1, 0, 0}))),
       {R, G, B, W}},
      {"4-bit nibbles, high first", BmpFile(Dib(2, 2, 4, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}, Bytes({0x23, 0, 0, 0, 0x01, 0, 0, 0}))),
       {R, G, B, W}},
      {"1-bit, most significant bit first", BmpFile(Dib(2, 2, 1, {0x000000, 0xFFFFFF}, Bytes({0x40, 0, 0, 0, 0x40, 0, 0, 0}))),
       {0xFF000000, W, 0xFF000000, W}},
      {"32-bit ignores the fourth byte", BmpFile(Dib(2, 2, 32, {}, Bytes({255, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 0, 0, 255, 0, 0}))),
       {R, G, B, W}},
      {"16-bit 5-5-5", BmpFile(Dib(2, 2, 16, {}, Bytes({0x1F, 0x00, 0xFF, 0x7F, 0x00, 0x7C, 0xE0, 0x03}))),
       {R, G, B, W}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const Bitmap b = DecodeBmp(c.file);
    ASSERT_EQ(b.width, 2);
    ASSERT_EQ(b.height, 2);
    EXPECT_EQ(b.argb, c.expected);
  }
}

TEST(Images, DamagedOrForgedBitmapsAreErrors) {
  const std::string good = BmpFile(Dib(2, 2, 24, {}, std::string(16, '\0')));
  std::string huge = good;
  Put32(huge, 14 + 4, 100000);  // width beyond the cap
  std::string billion = good;
  Put32(billion, 14 + 4, 16000);
  Put32(billion, 14 + 8, 16000);  // each side allowed, the area not
  std::string header = good;
  Put32(header, 14, 41);  // no such info header
  std::string depth = good;
  Put16(depth, 14 + 14, 7);
  struct Case {
    const char* why;
    std::string file;
  };
  const std::vector<Case> cases = {
      {"pixel rows cut short", good.substr(0, good.size() - 1)},
      {"file header only", good.substr(0, 14)},
      {"a side beyond the cap", huge},
      {"too many pixels in all", billion},
      {"unknown header size", header},
      {"unknown colour depth", depth},
      {"run-length compression", BmpFile(Dib(2, 2, 8, {0, 0}, std::string(8, '\0'), 1))},
      {"not a bitmap", "XY" + good.substr(2)},
      {"palette larger than the data", BmpFile(Dib(2, 2, 8, {}, std::string(3, '\0')))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_THROW(DecodeBmp(c.file), ImageError);
  }
}

Bitmap Halves(int w, int h) {
  Bitmap b;
  b.width = w;
  b.height = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.argb.push_back(x < w / 2 ? 0xFFFF0000u : 0xFF0000FFu);
  return b;
}

TEST(Images, JpegRoundTrip) {
  const std::string jpeg = EncodeJpeg(Halves(32, 16), 95);
  const Bitmap b = DecodeJpeg(jpeg);
  ASSERT_EQ(b.width, 32);
  ASSERT_EQ(b.height, 16);
  const std::uint32_t left = b.argb[8 * 32 + 4], right = b.argb[8 * 32 + 28];
  EXPECT_GT((left >> 16) & 0xFF, 200u) << "red half";
  EXPECT_LT(left & 0xFF, 60u);
  EXPECT_GT(right & 0xFF, 200u) << "blue half";
  EXPECT_LT((right >> 16) & 0xFF, 60u);
  EXPECT_EQ(left >> 24, 0xFFu);
}

TEST(Images, DamagedJpegIsAnErrorNotAnExit) {
  const std::string jpeg = EncodeJpeg(Halves(64, 64), 90);
  std::string flipped = jpeg;
  for (std::size_t i = 2; i < 40 && i < flipped.size(); ++i) flipped[i] = static_cast<char>(0x5A);
  std::string size = jpeg;
  // The frame header's height and width (SOF0) claim 60000 x 60000.
  const auto sof = size.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  size[sof + 5] = static_cast<char>(0xEA);
  size[sof + 6] = static_cast<char>(0x60);
  size[sof + 7] = static_cast<char>(0xEA);
  size[sof + 8] = static_cast<char>(0x60);
  struct Case {
    const char* why;
    std::string data;
  };
  const std::vector<Case> cases = {
      {"only the start marker", jpeg.substr(0, 2)},
      {"seven bytes", jpeg.substr(0, 7)},
      {"cut in the middle of the scan", jpeg.substr(0, jpeg.size() / 2)},
      {"headers overwritten", flipped},
      {"forged frame size beyond the cap", size},
      {"not a JPEG", std::string("\x89PNG....", 8)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_THROW(DecodeJpeg(c.data), ImageError);
  }
  // The decoder is still usable after all those failures.
  EXPECT_EQ(DecodeJpeg(jpeg).width, 64);
}

// A one-image icon: 2 x 2 at 24 bits with its AND mask.
std::string Icon(const std::string& mask) {
  std::string dib = Dib(2, 4, 24, {}, Bytes({255, 0, 0, 255, 255, 255, 0, 0,  //
                                             0, 0, 255, 0, 255, 0, 0, 0}) + mask);
  std::string ico(6 + 16, '\0');
  Put16(ico, 2, 1);
  Put16(ico, 4, 1);
  ico[6] = 2;
  ico[7] = 2;
  Put16(ico, 6 + 6, 24);
  Put32(ico, 6 + 8, static_cast<std::uint32_t>(dib.size()));
  Put32(ico, 6 + 12, 22);
  return ico + dib;
}

TEST(Images, IconWithItsMask) {
  // Mask rows bottom-up: the bottom-left pixel is transparent.
  const Bitmap b = DecodeIcon(Icon(Bytes({0x80, 0, 0, 0, 0x00, 0, 0, 0})));
  ASSERT_EQ(b.width, 2);
  ASSERT_EQ(b.height, 2);
  EXPECT_EQ(b.argb[0], 0xFFFF0000u);
  EXPECT_EQ(b.argb[1], 0xFF00FF00u);
  EXPECT_EQ(b.argb[2] >> 24, 0u) << "masked out";
  EXPECT_EQ(b.argb[3], 0xFFFFFFFFu);
  std::string cut = Icon("");
  Put32(cut, 6 + 8, 4000);  // the directory claims more bytes than there are
  EXPECT_THROW(DecodeIcon(cut), ImageError);
  EXPECT_THROW(DecodeIcon(Bytes({0, 0, 1, 0, 0, 0})), ImageError) << "no image in the directory";
}

}  // namespace
}  // namespace zentavo
