// Lines, shapes and pictures drawn on small images and probed pixel by
// pixel; picture loading from data fields.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/CairoCanvas.h"
#include "platform/Images.h"
#include "report/frxGraphic.h"
#include "report/frxReport.h"
#include "platform/Streams.h"
#include "report/frxViews.h"

namespace zentavo {
namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kRed{255, 0, 0};

std::unique_ptr<CairoCanvas> Paper(int w, int h) {
  auto c = CairoCanvas::CreateImage(w, h, 96, CanvasKind::Printer);
  c->SetAntialias(false);
  return c;
}

char Mark(CairoCanvas& c, int x, int y) {
  const Rgb p = c.PixelAt(x, y);
  return p == kWhite ? '.' : p == kBlack ? '#' : p == kRed ? 'r' : 'o';
}

std::string Row(CairoCanvas& c, int y, int x0, int x1) {
  std::string s;
  for (int x = x0; x <= x1; ++x) s += Mark(c, x, y);
  return s;
}

std::string Column(CairoCanvas& c, int x, int y0, int y1) {
  std::string s;
  for (int y = y0; y <= y1; ++y) s += Mark(c, x, y);
  return s;
}

TEST(Lines, NonDiagonalLineBecomesAnEdgeOfItsFrame) {
  struct Case {
    double width, height;
    double newWidth, newHeight;
    std::uint32_t typ;
    const char* why;
  };
  const Case cases[] = {
      {0.5, 100, 0, 100, ftLeft, "narrow and tall: vertical, width 0"},
      {100, 3, 100, 0, ftTop, "wide and low: horizontal, height 0"},
      {20, 20, 0, 20, ftLeft, "square: vertical"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    auto canvas = Paper(140, 140);
    TfrxLineView line;
    line.SetBounds(10, 10, c.width, c.height);
    line.Draw(*canvas, 1, 1, 0, 0);
    EXPECT_EQ(line.Width(), c.newWidth);
    EXPECT_EQ(line.Height(), c.newHeight);
    EXPECT_EQ(line.Frame.Typ, c.typ);
    if (c.typ == ftLeft) {
      const int len = static_cast<int>(c.height);
      EXPECT_EQ(Column(*canvas, 10, 9, 10 + len), "." + std::string(len, '#') + ".") << "end point left out";
      EXPECT_EQ(Column(*canvas, 11, 9, 10 + len), std::string(len + 2, '.'));
    } else {
      EXPECT_EQ(Row(*canvas, 10, 9, 110), "." + std::string(100, '#') + ".");
      EXPECT_EQ(Row(*canvas, 11, 9, 110), std::string(102, '.'));
    }
  }
}

TEST(Lines, DiagonalIsAThickLineOfOnePixelLines) {
  auto canvas = Paper(80, 60);
  TfrxLineView line;
  line.Diagonal = true;
  line.SetBounds(10, 10, 40, 20);
  line.Frame.Width = 3;
  line.Draw(*canvas, 1, 1, 0, 0);
  EXPECT_EQ(line.Width(), 40) << "a diagonal keeps its size";
  // Mostly horizontal: three lines shifted vertically by -1, 0, +1.
  EXPECT_EQ(Column(*canvas, 10, 7, 13), "..###..");
  EXPECT_EQ(Mark(*canvas, 50, 30), '.') << "end point left out";
  TfrxLineView none;
  none.Diagonal = true;
  none.SetBounds(0, 40, 60, 10);
  none.Frame.Color = clNone;
  none.Draw(*canvas, 1, 1, 0, 0);
  EXPECT_EQ(Row(*canvas, 41, 0, 20), std::string(21, '.')) << "no colour, no line";
}

TEST(Shapes, FillOutlineAndKinds) {
  struct Case {
    TfrxShapeKind kind;
    TfrxFrameStyle style;
    TColor color;
    std::string row30;  // columns 8..52 of row 30
    const char* why;
  };
  const Case cases[] = {
      {TfrxShapeKind::skRectangle, TfrxFrameStyle::fsSolid, clRed, "..#" + std::string(39, 'r') + "#..",
       "outline on both device edges, fill inside"},
      {TfrxShapeKind::skRectangle, TfrxFrameStyle::fsDouble, clRed, ".." + std::string(41, 'r') + "..",
       "fsDouble draws no outline"},
      {TfrxShapeKind::skRectangle, TfrxFrameStyle::fsSolid, clNone, "..#" + std::string(39, '.') + "#..",
       "no colour: outline only"},
      {TfrxShapeKind::skDiagonal2, TfrxFrameStyle::fsSolid, clRed, std::string(22, '.') + "#" + std::string(22, '.'),
       "a diagonal is a line, never filled"},
      {TfrxShapeKind::skDiamond, TfrxFrameStyle::fsSolid, clRed, "..#" + std::string(39, 'r') + "#..",
       "the diamond's side corners lie on the middle row"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    auto canvas = Paper(70, 70);
    TfrxShapeView s;
    s.SetBounds(10, 10, 40, 40);
    s.Shape = c.kind;
    s.Color = c.color;
    s.Frame.Style = c.style;
    s.Draw(*canvas, 1, 1, 0, 0);
    EXPECT_EQ(Row(*canvas, 30, 8, 52), c.row30);
  }
}

TEST(Shapes, EllipseAndHatch) {
  auto canvas = Paper(70, 70);
  TfrxShapeView e;
  e.SetBounds(10, 10, 40, 40);
  e.Shape = TfrxShapeKind::skEllipse;
  e.Color = clRed;
  e.Draw(*canvas, 1, 1, 0, 0);
  EXPECT_EQ(Mark(*canvas, 30, 30), 'r');
  EXPECT_EQ(Mark(*canvas, 12, 12), '.') << "the corners stay outside the ellipse";
  EXPECT_EQ(Mark(*canvas, 10, 30), '#');

  auto hatch = Paper(70, 70);
  TfrxShapeView h;
  h.SetBounds(8, 8, 40, 40);
  h.BrushStyle = TBrushStyle::bsVertical;
  h.Draw(*hatch, 1, 1, 0, 0);
  // GDI's vertical hatch is column 4 of every 8, in the frame's colour,
  // with nothing between.
  EXPECT_EQ(Row(*hatch, 30, 9, 20), "...#.......#");
}

// A BMP file of one colour.
std::string SolidBmp(int w, int h, std::uint32_t bgr) {
  const int stride = (w * 3 + 3) / 4 * 4;
  std::string f(54, '\0');
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) f[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  f[0] = 'B';
  f[1] = 'M';
  put32(2, 54 + stride * h);
  put32(10, 54);
  put32(14, 40);
  put32(18, w);
  put32(22, h);
  f[26] = 1;
  f[28] = 24;
  for (int y = 0; y < h; ++y) {
    std::string row(stride, '\0');
    for (int x = 0; x < w; ++x) {
      row[3 * x] = static_cast<char>(bgr & 0xFF);
      row[3 * x + 1] = static_cast<char>((bgr >> 8) & 0xFF);
      row[3 * x + 2] = static_cast<char>((bgr >> 16) & 0xFF);
    }
    f += row;
  }
  return f;
}

TEST(Pictures, FittedIntoTheBox) {
  struct Case {
    int pw, ph;
    bool stretched, keepAspect, center;
    double scale;
    Rect red;  // where the picture lands (device pixels)
    const char* why;
  };
  const Case cases[] = {
      {200, 100, true, true, false, 1, {10, 10, 110, 60}, "100 x 50 at the top"},
      {200, 100, true, true, true, 1, {10, 35, 110, 85}, "centred vertically"},
      {100, 200, true, true, true, 1, {35, 10, 85, 110}, "tall picture centred horizontally"},
      {200, 100, true, false, false, 1, {10, 10, 110, 110}, "stretched over the whole box"},
      {40, 20, false, true, false, 1, {10, 10, 50, 30}, "own size from the top-left"},
      {40, 20, false, true, true, 2, {70, 90, 150, 130}, "own size times the scale, centred"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    auto canvas = Paper(260, 260);
    TfrxPictureView p;
    p.SetBounds(10 / c.scale, 10 / c.scale, 100, 100);
    p.Picture.SetBitmapFile(SolidBmp(c.pw, c.ph, 0xFF0000));
    p.Stretched = c.stretched;
    p.KeepAspectRatio = c.keepAspect;
    p.Center = c.center;
    p.Draw(*canvas, c.scale, c.scale, 0, 0);
    const Rect& r = c.red;
    EXPECT_EQ(Mark(*canvas, r.left, r.top), 'r');
    EXPECT_EQ(Mark(*canvas, r.right - 1, r.bottom - 1), 'r');
    EXPECT_EQ(Mark(*canvas, (r.left + r.right) / 2, (r.top + r.bottom) / 2), 'r');
    const Rect box{p.Device.left, p.Device.top, p.Device.right, p.Device.bottom};
    if (r.top > box.top) {
      EXPECT_EQ(Mark(*canvas, r.left, r.top - 1), '.');
    }
    if (r.bottom < box.bottom) {
      EXPECT_EQ(Mark(*canvas, r.left, r.bottom), '.');
    }
    if (r.left > box.left) {
      EXPECT_EQ(Mark(*canvas, r.left - 1, r.top), '.');
    }
    if (r.right < box.right) {
      EXPECT_EQ(Mark(*canvas, r.right, r.top), '.');
    }
  }
}

TEST(Pictures, NotStretchedIsClippedToTheBox) {
  auto canvas = Paper(200, 200);
  TfrxPictureView p;
  p.SetBounds(10, 10, 50, 50);
  p.Picture.SetBitmapFile(SolidBmp(120, 120, 0xFF0000));
  p.Stretched = false;
  p.Draw(*canvas, 1, 1, 0, 0);
  EXPECT_EQ(Row(*canvas, 30, 8, 62), ".." + std::string(50, 'r') + "...");
}

TEST(Pictures, MetafileDrawsAnEmptyFrame) {
  auto canvas = Paper(80, 80);
  TfrxPictureView p;
  p.SetBounds(10, 10, 40, 40);
  p.Picture.GraphicClass = "TMetafile";
  p.Picture.Data = std::string("\xD7\xCD\xC6\x9A", 4) + std::string(40, '\x01');
  p.Frame.Typ = ftLeft | ftRight | ftTop | ftBottom;
  p.Draw(*canvas, 1, 1, 0, 0);
  EXPECT_EQ(Row(*canvas, 30, 9, 51), ".#" + std::string(39, '.') + "#.");
  EXPECT_EQ(p.Picture.Data.size(), 44u) << "the metafile's bytes are kept";
}

TEST(Pictures, GraphicKindByFirstBytes) {
  struct Case {
    std::string bytes;
    GraphicKind kind;
    const char* why;
  };
  const std::string emf = std::string(40, '\x01') + " EMF" + std::string(56, '\x01');
  const Case cases[] = {
      {"BM" + std::string(12, '\x01'), GraphicKind::Bitmap, "BM and 14 bytes"},
      {"BM" + std::string(11, '\x01'), GraphicKind::None, "BM but 13 bytes is no bitmap"},
      {std::string("\xFF\xD8\x01\x01\x01\x01\x01", 7), GraphicKind::Jpeg, "seven bytes starting FF D8"},
      {std::string("\xD7\xCD\xC6\x9A", 4) + std::string(18, '\x01'), GraphicKind::Metafile, "placeable key, 22 bytes"},
      {std::string("\xD7\xCD\xC6\x9A", 4) + std::string(17, '\x01'), GraphicKind::None, "key but 21 bytes"},
      {emf, GraphicKind::EnhancedMetafile, "EMF signature at byte 40"},
      {std::string("\x00\x00\x01\x00\x01\x00", 6), GraphicKind::Icon, "icon directory"},
      {"hello world", GraphicKind::None, "text"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(DetectGraphicKind(c.bytes), c.kind);
  }
}

TEST(Pictures, LoadPictureFromStream) {
  Bitmap halves;
  halves.width = 8;
  halves.height = 4;
  halves.argb.assign(32, 0xFF00FF00u);
  const std::string jpeg = EncodeJpeg(halves, 90);
  const std::string bmp = SolidBmp(30, 20, 0x0000FF);
  const std::string header = std::string("\x01\x00\x00\x01", 4) + std::string(1, static_cast<char>(bmp.size())) +
                             std::string(1, static_cast<char>(bmp.size() >> 8)) + std::string(2, '\0');
  struct Case {
    std::string bytes;
    int result;
    const char* graphicClass;
    const char* why;
  };
  const Case cases[] = {
      {bmp, 0, "TBitmap", "a bitmap file"},
      {header + bmp, 0, "TBitmap", "the 8-byte field header is skipped"},
      {jpeg, 0, "TJPEGImage", "a JPEG image"},
      {jpeg.substr(0, jpeg.size() / 2), TfrxPictureView::E_INVALIDARG, "", "a cut JPEG is refused when loaded"},
      {std::string("\xFF\xD8\x01\x01\x01\x01\x01", 7), TfrxPictureView::E_INVALIDARG, "", "seven bytes of JPEG"},
      {bmp.substr(0, 60), TfrxPictureView::E_INVALIDARG, "", "a cut bitmap"},
      {"hello world", TfrxPictureView::E_INVALIDARG, "", "no graphic"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    TfrxPictureView p;
    p.Picture.SetBitmapFile(SolidBmp(2, 2, 0));  // cleared on failure
    p.AutoSize = true;
    TMemoryStream stream(c.bytes);
    EXPECT_EQ(p.LoadPictureFromStream(stream), c.result);
    EXPECT_EQ(p.Picture.GraphicClass, c.graphicClass);
    if (c.result == 0 && std::string(c.graphicClass) == "TBitmap") {
      EXPECT_EQ(p.Width(), 30) << "AutoSize takes the graphic's size";
      EXPECT_EQ(p.Height(), 20);
      EXPECT_EQ(p.Picture.BitmapFile(), bmp);
    }
  }
}

// The picture field of a template as the writer stores it: class name and bytes.
std::string PictureTemplate(const std::string& graphicClass, const std::string& data) {
  TfrxReport report;
  auto* page = new TfrxReportPage(&report);
  page->SetName("Page1");
  auto* picture = new TfrxPictureView(page);
  picture->SetName("Picture1");
  picture->SetBounds(10, 10, 40, 40);
  picture->Frame.Typ = ftLeft | ftRight | ftTop | ftBottom;
  picture->Picture.GraphicClass = graphicClass;
  picture->Picture.Data = data;
  report.ReportOptions.Picture.GraphicClass = graphicClass;
  report.ReportOptions.Picture.Data = data;
  TMemoryStream saved;
  report.SaveToStream(saved);
  return saved.Data();
}

std::string Sized(const std::string& bytes) {
  std::string s;
  for (int i = 0; i < 4; ++i) s += static_cast<char>((bytes.size() >> (8 * i)) & 0xFF);
  return s + bytes;
}

std::vector<std::string> PropDataOf(const std::string& xml) {
  std::vector<std::string> out;
  for (std::size_t at = xml.find("PropData=\""); at != std::string::npos; at = xml.find("PropData=\"", at + 1))
    out.push_back(xml.substr(at, xml.find('"', at + 10) - at));
  return out;
}

TEST(Pictures, DamagedPictureIsReportedAndKeptWhenTheTemplateIsRead) {
  Bitmap green;
  green.width = 16;
  green.height = 16;
  green.argb.assign(256, 0xFF00FF00u);
  const std::string jpeg = EncodeJpeg(green, 90);
  std::string flipped = jpeg;
  for (std::size_t i = 20; i < flipped.size(); ++i) flipped[i] = static_cast<char>(flipped[i] ^ 0x5A);
  std::string huge = SolidBmp(2, 2, 0);
  for (std::size_t at : {18u, 22u}) {  // width and height: 2,000,000,000 each
    const std::uint32_t v = 2000000000u;
    for (int i = 0; i < 4; ++i) huge[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  }
  const std::string bmp = SolidBmp(30, 20, 0xFF0000);
  struct Case {
    std::string graphicClass, data;
    const char* error;  // the reason after "Invalid picture data: ", empty when none
    const char* why;
  };
  const Case cases[] = {
      {"TBitmap", Sized(bmp), "", "a sound bitmap reads back without an error"},
      {"TJPEGImage", Sized(jpeg), "", "a sound JPEG image"},
      {"TBitmap", Sized(bmp.substr(0, 60)), "The picture data is truncated", "a bitmap cut short"},
      {"TBitmap", Sized(huge), "The picture is too large", "a bitmap declaring 2e9 x 2e9 pixels"},
      {"TBitmap", Sized("BN" + bmp.substr(2)), "Not a bitmap file", "no longer a bitmap file"},
      {"TJPEGImage", Sized(jpeg.substr(0, jpeg.size() / 2)), "Invalid JPEG image", "a JPEG image cut in half"},
      {"TJPEGImage", Sized(flipped), "Invalid JPEG image", "a JPEG image with its data scrambled"},
      {"TJPEGImage", jpeg, "Invalid picture data", "a JPEG image without its length in front"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const std::string xml = PictureTemplate(c.graphicClass, c.data);
    TfrxReport loaded;
    loaded.EngineOptions.NewSilentMode = TfrxSilentMode::simSilent;
    TMemoryStream in(xml);
    loaded.LoadFromStream(in);
    std::vector<std::string> errors(loaded.Errors().begin(), loaded.Errors().end());
    if (*c.error == '\0') {
      EXPECT_TRUE(errors.empty());
    } else {
      ASSERT_EQ(errors.size(), 2u);
      // Sorted: the page's picture, then the report's own.
      EXPECT_EQ(errors[0].rfind(std::string("Picture1: Invalid picture data: ") + c.error, 0), 0u) << errors[0];
      EXPECT_EQ(errors[1].rfind(std::string("TfrxReport: Invalid picture data: ") + c.error, 0), 0u) << errors[1];
    }
    auto* p = dynamic_cast<TfrxPictureView*>(loaded.FindObject("Picture1"));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Picture.GraphicClass, c.graphicClass);
    EXPECT_EQ(p->Picture.Data, c.data) << "the stored bytes are kept";
    TMemoryStream again;
    loaded.SaveToStream(again);
    EXPECT_EQ(PropDataOf(again.Data()), PropDataOf(xml)) << "saving again keeps both pictures' bytes";
    ASSERT_EQ(PropDataOf(xml).size(), 2u);

    // A damaged picture draws as its frame; the page still draws.
    auto canvas = Paper(80, 80);
    EXPECT_NO_THROW(p->Draw(*canvas, 1, 1, 0, 0));
    EXPECT_EQ(Mark(*canvas, 10, 30), '#');
    if (*c.error != '\0') {
      EXPECT_EQ(Row(*canvas, 30, 11, 49), std::string(39, '.'));
    }
  }
}

}  // namespace
}  // namespace zentavo
