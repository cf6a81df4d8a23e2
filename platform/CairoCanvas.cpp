// Cairo backend of the canvas. GDI's pixel conventions are kept by placing
// paths on pixel edges or centres: one-pixel lines and outlines exclude
// their end point and the right and bottom edge, fills cover
// [left, right) x [top, bottom).
#include "platform/CairoCanvas.h"

#include <cairo-pdf.h>
#include <cairo-ps.h>
#include <cairo.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <numbers>
#include <stdexcept>
#include <vector>

#include "platform/FontFace.h"
#include "platform/FontProvider.h"
#include "platform/OutputFile.h"

namespace zentavo {
namespace {

void Check(cairo_status_t status, const char* what) {
  if (status != CAIRO_STATUS_SUCCESS) {
    throw std::runtime_error(std::string(what) + ": " + cairo_status_to_string(status));
  }
}

void SetSource(cairo_t* cr, Rgb c) {
  cairo_set_source_rgb(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0);
}

// Dash patterns of GDI's cosmetic pens in pixels, scaled by the pen width so
// wide dashed outlines keep their look on printers.
std::vector<double> DashPattern(PenStyle style, int width) {
  std::vector<double> d;
  switch (style) {
    case PenStyle::Dash: d = {18, 6}; break;
    case PenStyle::Dot: d = {3, 3}; break;
    case PenStyle::DashDot: d = {9, 6, 3, 6}; break;
    case PenStyle::DashDotDot: d = {9, 3, 3, 3, 3, 3}; break;
    default: break;
  }
  for (double& v : d) v *= width;
  return d;
}

// One row of 8 bits per hatch line, top row first, as GDI's hatch brushes.
using HatchRows = std::array<std::uint8_t, 8>;
HatchRows HatchPattern(BrushStyle style) {
  switch (style) {
    case BrushStyle::Horizontal: return {0, 0, 0, 0xFF, 0, 0, 0, 0};
    case BrushStyle::Vertical: return {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08};
    case BrushStyle::FDiagonal: return {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};
    case BrushStyle::BDiagonal: return {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80};
    case BrushStyle::Cross: return {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08};
    case BrushStyle::DiagCross: return {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81};
    default: return {};
  }
}

std::uint32_t Premultiplied(std::uint32_t argb) {
  const std::uint32_t a = argb >> 24;
  auto mul = [a](std::uint32_t c) { return (c * a + 127) / 255; };
  return (a << 24) | (mul((argb >> 16) & 0xFF) << 16) | (mul((argb >> 8) & 0xFF) << 8) | mul(argb & 0xFF);
}

std::uint32_t PackRgb(Rgb c) {
  return 0xFF000000u | (std::uint32_t{c.red} << 16) | (std::uint32_t{c.green} << 8) | c.blue;
}

// Where a wide pen's centre line lies for a coordinate: odd widths on the
// pixel centre, even widths on the pixel's leading edge, so a width w covers
// w rows the way GDI's wide pens do.
constexpr int kMaxEmPixels = 32768;

double PenCentre(int v, int width) { return width % 2 == 1 ? v + 0.5 : static_cast<double>(v); }

// A sink and the first error it threw; after that no byte reaches it.
struct SinkCall {
  const CairoCanvas::ByteSink* sink;
  std::exception_ptr* error;
};

cairo_status_t WriteToSink(void* closure, const unsigned char* data, unsigned int length) {
  auto* call = static_cast<SinkCall*>(closure);
  if (*call->error) return CAIRO_STATUS_WRITE_ERROR;
  try {
    (*call->sink)(std::string_view(reinterpret_cast<const char*>(data), length));
  } catch (...) {
    *call->error = std::current_exception();
    return CAIRO_STATUS_WRITE_ERROR;
  }
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

struct CairoCanvas::Impl {
  Format format = Format::Image;
  cairo_surface_t* surface = nullptr;
  cairo_t* cr = nullptr;
  double unitScale = 1.0;  // user units (device pixels) to surface units
  ByteSink sink;
  // Cairo only learns that a write failed; the sink's own error (the file
  // and the system's reason) is kept to be thrown instead.
  std::exception_ptr sinkError;
  // A document written to a path; kept only when Finish succeeds.
  std::unique_ptr<OutputFile> file;
  SinkCall call{&sink, &sinkError};
  bool finished = false;

  ~Impl() {
    if (cr != nullptr) cairo_destroy(cr);
    if (surface != nullptr) cairo_surface_destroy(surface);
  }

  void Start(cairo_surface_t* s) {
    surface = s;
    Check(cairo_surface_status(surface), "Cannot create the drawing surface");
    cr = cairo_create(surface);
    Check(cairo_status(cr), "Cannot create the drawing context");
    cairo_scale(cr, unitScale, unitScale);
  }

  void Live() const {
    if (finished) throw std::logic_error("Canvas does not allow drawing");
  }
};

namespace {
void CheckSize(int width, int height, int dpi) {
  // Cairo's image surfaces stop at 32767 pixels a side; documents too are
  // kept in that range so a forged page size cannot exhaust memory.
  if (width <= 0 || height <= 0 || width > 32767 || height > 32767) {
    throw std::invalid_argument("Page size out of range");
  }
  if (dpi <= 0 || dpi > 9600) throw std::invalid_argument("Resolution out of range");
}
}  // namespace

CairoCanvas::CairoCanvas(CanvasKind kind, int dpi, int width, int height, std::unique_ptr<Impl> impl)
    : Canvas(kind, dpi, dpi, width, height), impl_(std::move(impl)) {}

CairoCanvas::~CairoCanvas() {
  // A document file never finished on purpose is incomplete: it goes.
  if (impl_->file && !impl_->finished) impl_->file->Abort();
  try {
    Finish();
  } catch (...) {
    // Destructors never throw; callers that care call Finish themselves.
  }
}

std::unique_ptr<CairoCanvas> CairoCanvas::CreateImage(int width, int height, int dpi, CanvasKind kind,
                                                      std::optional<Rgb> paper) {
  CheckSize(width, height, dpi);
  auto impl = std::make_unique<Impl>();
  impl->format = Format::Image;
  impl->Start(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
  if (paper) {
    SetSource(impl->cr, *paper);
    cairo_paint(impl->cr);
  }
  return std::unique_ptr<CairoCanvas>(new CairoCanvas(kind, dpi, width, height, std::move(impl)));
}

std::unique_ptr<CairoCanvas> CairoCanvas::Open(Format format, const std::string* path, ByteSink sink,
                                               double widthPt, double heightPt, int dpi, CanvasKind kind) {
  const int width = static_cast<int>(std::nearbyint(widthPt / 72.0 * dpi));
  const int height = static_cast<int>(std::nearbyint(heightPt / 72.0 * dpi));
  CheckSize(width, height, dpi);
  auto impl = std::make_unique<Impl>();
  impl->format = format;
  impl->unitScale = 72.0 / dpi;
  if (format == Format::Image) throw std::invalid_argument("An image is not a document");
  if (path != nullptr) {
    // Cairo's own file surfaces report success after failed writes; our
    // file checks every write and leaves nothing behind when one fails.
    impl->file = std::make_unique<OutputFile>(OutputFile::Replace(*path));
    impl->sink = [file = impl->file.get()](std::string_view bytes) { file->Write(bytes); };
  } else {
    impl->sink = std::move(sink);
  }
  cairo_surface_t* surface = format == Format::Pdf
                                 ? cairo_pdf_surface_create_for_stream(WriteToSink, &impl->call, widthPt, heightPt)
                                 : cairo_ps_surface_create_for_stream(WriteToSink, &impl->call, widthPt, heightPt);
  impl->Start(surface);
  cairo_surface_set_fallback_resolution(impl->surface, dpi, dpi);
  return std::unique_ptr<CairoCanvas>(new CairoCanvas(kind, dpi, width, height, std::move(impl)));
}

namespace {
double PixelsToPoints(int pixels, int dpi) { return pixels * 72.0 / dpi; }
double MmToPoints(double mm) { return mm / 25.4 * 72.0; }
void CheckPaper(PaperSize paper) {
  if (!(paper.widthMm > 0) || !(paper.heightMm > 0)) throw std::invalid_argument("Page size out of range");
}
}  // namespace

std::unique_ptr<CairoCanvas> CairoCanvas::CreateDocument(Format format, const std::string& path, int width,
                                                         int height, int dpi, CanvasKind kind) {
  CheckSize(width, height, dpi);
  return Open(format, &path, nullptr, PixelsToPoints(width, dpi), PixelsToPoints(height, dpi), dpi, kind);
}

std::unique_ptr<CairoCanvas> CairoCanvas::CreateDocument(Format format, ByteSink sink, int width, int height,
                                                         int dpi, CanvasKind kind) {
  CheckSize(width, height, dpi);
  return Open(format, nullptr, std::move(sink), PixelsToPoints(width, dpi), PixelsToPoints(height, dpi), dpi, kind);
}

std::unique_ptr<CairoCanvas> CairoCanvas::CreateDocument(Format format, const std::string& path, PaperSize paper,
                                                         int dpi, CanvasKind kind) {
  CheckPaper(paper);
  return Open(format, &path, nullptr, MmToPoints(paper.widthMm), MmToPoints(paper.heightMm), dpi, kind);
}

std::unique_ptr<CairoCanvas> CairoCanvas::CreateDocument(Format format, ByteSink sink, PaperSize paper, int dpi,
                                                         CanvasKind kind) {
  CheckPaper(paper);
  return Open(format, nullptr, std::move(sink), MmToPoints(paper.widthMm), MmToPoints(paper.heightMm), dpi, kind);
}

CairoCanvas::Format CairoCanvas::GetFormat() const { return impl_->format; }

void CairoCanvas::StartPage(double widthPt, double heightPt) {
  impl_->Live();
  if (impl_->format == Format::Image) throw std::logic_error("An image has one page");
  const int width = static_cast<int>(std::nearbyint(widthPt / 72.0 * DpiX()));
  const int height = static_cast<int>(std::nearbyint(heightPt / 72.0 * DpiY()));
  CheckSize(width, height, DpiX());
  cairo_show_page(impl_->cr);
  if (impl_->format == Format::Pdf) {
    cairo_pdf_surface_set_size(impl_->surface, widthPt, heightPt);
  } else {
    cairo_ps_surface_set_size(impl_->surface, widthPt, heightPt);
  }
  SetPageSize(width, height);
}

void CairoCanvas::NewPage(int width, int height) {
  CheckSize(width, height, DpiX());
  StartPage(PixelsToPoints(width, DpiX()), PixelsToPoints(height, DpiY()));
}

void CairoCanvas::NewPage(PaperSize paper) {
  CheckPaper(paper);
  StartPage(MmToPoints(paper.widthMm), MmToPoints(paper.heightMm));
}

void CairoCanvas::Finish() {
  if (impl_->finished) return;
  impl_->finished = true;
  if (impl_->format == Format::Image) return;
  cairo_show_page(impl_->cr);
  cairo_surface_finish(impl_->surface);
  try {
    if (impl_->sinkError) std::rethrow_exception(impl_->sinkError);
    Check(cairo_surface_status(impl_->surface), "Cannot write the document");
    if (impl_->file) impl_->file->Commit();
  } catch (...) {
    if (impl_->file) impl_->file->Abort();
    throw;
  }
}

void CairoCanvas::WritePng(const ByteSink& sink) {
  if (impl_->format != Format::Image) throw std::logic_error("Only an image is saved as PNG");
  cairo_surface_flush(impl_->surface);
  std::exception_ptr error;
  SinkCall call{&sink, &error};
  const cairo_status_t status = cairo_surface_write_to_png_stream(impl_->surface, WriteToSink, &call);
  if (error) std::rethrow_exception(error);
  Check(status, "Cannot encode the PNG image");
}

void CairoCanvas::WritePng(const std::string& path) {
  OutputFile file = OutputFile::Replace(path);
  WritePng([&file](std::string_view bytes) { file.Write(bytes); });
  file.Commit();
}

std::string CairoCanvas::EncodePng() {
  std::string out;
  WritePng([&out](std::string_view bytes) { out.append(bytes); });
  return out;
}

int CairoCanvas::AlphaAt(int x, int y) {
  if (impl_->format != Format::Image) throw std::logic_error("Only an image has pixels");
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
  cairo_surface_flush(impl_->surface);
  const unsigned char* data = cairo_image_surface_get_data(impl_->surface);
  const int stride = cairo_image_surface_get_stride(impl_->surface);
  const auto pixel = *reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride + x * 4);
  return static_cast<int>(pixel >> 24);
}

Rgb CairoCanvas::PixelAt(int x, int y) {
  if (impl_->format != Format::Image) throw std::logic_error("Only an image has pixels");
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return Rgb{255, 255, 255};
  cairo_surface_flush(impl_->surface);
  const unsigned char* data = cairo_image_surface_get_data(impl_->surface);
  const int stride = cairo_image_surface_get_stride(impl_->surface);
  const auto pixel = *reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride + x * 4);
  const std::uint32_t a = pixel >> 24;
  // Premultiplied colour over white.
  auto over = [a](std::uint32_t c) { return static_cast<std::uint8_t>(std::min<std::uint32_t>(255, c + 255 - a)); };
  return Rgb{over((pixel >> 16) & 0xFF), over((pixel >> 8) & 0xFF), over(pixel & 0xFF)};
}

void CairoCanvas::OnSave() { cairo_save(impl_->cr); }
void CairoCanvas::OnRestore() { cairo_restore(impl_->cr); }

void CairoCanvas::OnIntersectClip(const Rect& rect) {
  cairo_rectangle(impl_->cr, rect.left, rect.top, std::max(0, rect.Width()), std::max(0, rect.Height()));
  cairo_clip(impl_->cr);
}

// ---- drawing helpers ------------------------------------------------------

namespace {

struct Drawing {
  cairo_t* cr;
  const Canvas& canvas;

  Drawing(cairo_t* c, const Canvas& cv) : cr(c), canvas(cv) {
    cairo_save(cr);
    cairo_set_antialias(cr, canvas.GetAntialias() ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    cairo_new_path(cr);
  }
  ~Drawing() { cairo_restore(cr); }
  Drawing(const Drawing&) = delete;
  Drawing& operator=(const Drawing&) = delete;

  bool HasPen() const { return canvas.GetPen().style != PenStyle::Clear; }
  bool HasBrush() const { return canvas.GetBrush().style != BrushStyle::Clear; }
  int PenWidth() const { return std::max(1, canvas.GetPen().width); }

  // Fills the current path with the brush, keeping the path.
  void FillPreserve() {
    const Brush& brush = canvas.GetBrush();
    if (brush.style == BrushStyle::Clear) return;
    if (brush.style == BrushStyle::Solid) {
      SetSource(cr, brush.color);
      cairo_fill_preserve(cr);
      return;
    }
    // Hatch: an 8 x 8 tile anchored at the device origin; the gaps show the
    // background colour in opaque mode.
    cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
    cairo_surface_flush(tile);
    unsigned char* data = cairo_image_surface_get_data(tile);
    const int stride = cairo_image_surface_get_stride(tile);
    const HatchRows rows = HatchPattern(brush.style);
    const auto background = canvas.GetBackground();
    for (int y = 0; y < 8; ++y) {
      auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
      for (int x = 0; x < 8; ++x) {
        const bool ink = (rows[y] >> (7 - x)) & 1;
        row[x] = ink ? PackRgb(brush.color) : (background ? PackRgb(*background) : 0u);
      }
    }
    cairo_surface_mark_dirty(tile);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(tile);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
    cairo_set_source(cr, pattern);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(pattern);
    cairo_surface_destroy(tile);
  }

  // Strokes the current path with the pen; dashed gaps in the background
  // colour when there is one.
  void StrokePreserve() {
    const Pen& pen = canvas.GetPen();
    if (pen.style == PenStyle::Clear) return;
    const int width = PenWidth();
    cairo_set_line_width(cr, width);
    if (width == 1) {
      cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    } else {
      // GDI's wide pens end and join round.
      cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    }
    const std::vector<double> dashes = DashPattern(pen.style, width);
    if (!dashes.empty()) {
      if (const auto background = canvas.GetBackground()) {
        SetSource(cr, *background);
        cairo_stroke_preserve(cr);
      }
      if (width > 1) cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
      cairo_set_dash(cr, dashes.data(), static_cast<int>(dashes.size()), 0);
    }
    SetSource(cr, pen.color);
    cairo_stroke_preserve(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
  }
};

}  // namespace

void CairoCanvas::FillRect(const Rect& rect) {
  impl_->Live();
  if (rect.Empty()) return;
  Drawing d(impl_->cr, *this);
  cairo_rectangle(impl_->cr, rect.left, rect.top, rect.Width(), rect.Height());
  d.FillPreserve();
}

void CairoCanvas::Line(Point from, Point to) {
  impl_->Live();
  Drawing d(impl_->cr, *this);
  if (!d.HasPen() || from == to) return;
  cairo_t* cr = impl_->cr;
  const int w = d.PenWidth();
  double x1, y1, x2, y2;
  if (w == 1) {
    if (from.y == to.y) {
      // Covers [from.x, to.x) or (to.x, from.x]: the end point stays out.
      const double shift = to.x < from.x ? 1 : 0;
      x1 = from.x + shift;
      x2 = to.x + shift;
      y1 = y2 = from.y + 0.5;
    } else if (from.x == to.x) {
      const double shift = to.y < from.y ? 1 : 0;
      y1 = from.y + shift;
      y2 = to.y + shift;
      x1 = x2 = from.x + 0.5;
    } else {
      // Through the pixel centres, shifted back half a pixel along the major
      // axis: the first pixel is drawn whole and the end pixel not at all.
      const double dx = to.x - from.x;
      const double dy = to.y - from.y;
      const double major = std::max(std::abs(dx), std::abs(dy));
      x1 = from.x + 0.5 - 0.5 * dx / major;
      y1 = from.y + 0.5 - 0.5 * dy / major;
      x2 = x1 + dx;
      y2 = y1 + dy;
    }
  } else {
    x1 = PenCentre(from.x, w);
    y1 = PenCentre(from.y, w);
    x2 = PenCentre(to.x, w);
    y2 = PenCentre(to.y, w);
  }
  cairo_move_to(cr, x1, y1);
  cairo_line_to(cr, x2, y2);
  d.StrokePreserve();
}

void CairoCanvas::Polyline(std::span<const Point> points) {
  impl_->Live();
  if (points.size() < 2) return;
  Drawing d(impl_->cr, *this);
  if (!d.HasPen()) return;
  const int w = d.PenWidth();
  cairo_move_to(impl_->cr, PenCentre(points[0].x, w | 1), PenCentre(points[0].y, w | 1));
  for (std::size_t i = 1; i < points.size(); ++i) {
    cairo_line_to(impl_->cr, PenCentre(points[i].x, w | 1), PenCentre(points[i].y, w | 1));
  }
  d.StrokePreserve();
}

void CairoCanvas::Rectangle(const Rect& rect) {
  impl_->Live();
  if (rect.Empty()) return;
  Drawing d(impl_->cr, *this);
  cairo_t* cr = impl_->cr;
  cairo_rectangle(cr, rect.left, rect.top, rect.Width(), rect.Height());
  d.FillPreserve();
  if (!d.HasPen()) return;
  cairo_new_path(cr);
  // The outline runs through the centres of the outermost pixels inside.
  cairo_rectangle(cr, rect.left + 0.5, rect.top + 0.5, rect.Width() - 1, rect.Height() - 1);
  d.StrokePreserve();
}

void CairoCanvas::RoundRect(const Rect& rect, int radiusX, int radiusY) {
  impl_->Live();
  if (rect.Empty()) return;
  Drawing d(impl_->cr, *this);
  cairo_t* cr = impl_->cr;
  const double l = rect.left + 0.5, t = rect.top + 0.5;
  const double w = rect.Width() - 1.0, h = rect.Height() - 1.0;
  const double rx = std::clamp<double>(radiusX, 0, w / 2);
  const double ry = std::clamp<double>(radiusY, 0, h / 2);
  auto corner = [cr](double cx, double cy, double rx_, double ry_, double from) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, std::max(rx_, 1e-9), std::max(ry_, 1e-9));
    cairo_arc(cr, 0, 0, 1, from, from + std::numbers::pi / 2);
    cairo_restore(cr);
  };
  auto path = [&](double inset) {
    cairo_new_path(cr);
    const double L = l - inset, T = t - inset, W = w + 2 * inset, H = h + 2 * inset;
    const double RX = std::max(0.0, rx + inset), RY = std::max(0.0, ry + inset);
    corner(L + W - RX, T + RY, RX, RY, -std::numbers::pi / 2);
    corner(L + W - RX, T + H - RY, RX, RY, 0);
    corner(L + RX, T + H - RY, RX, RY, std::numbers::pi / 2);
    corner(L + RX, T + RY, RX, RY, std::numbers::pi);
    cairo_close_path(cr);
  };
  path(0.5);  // the interior reaches the box edges, as a rectangle's does
  d.FillPreserve();
  if (!d.HasPen()) return;
  path(0);
  d.StrokePreserve();
}

void CairoCanvas::Ellipse(const Rect& rect) {
  impl_->Live();
  if (rect.Empty()) return;
  Drawing d(impl_->cr, *this);
  cairo_t* cr = impl_->cr;
  const double cx = (rect.left + rect.right) / 2.0;
  const double cy = (rect.top + rect.bottom) / 2.0;
  auto path = [&](double rx, double ry) {
    cairo_new_path(cr);
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, std::max(rx, 1e-9), std::max(ry, 1e-9));
    cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
    cairo_restore(cr);
  };
  path(rect.Width() / 2.0, rect.Height() / 2.0);
  d.FillPreserve();
  if (!d.HasPen()) return;
  path((rect.Width() - 1) / 2.0, (rect.Height() - 1) / 2.0);
  d.StrokePreserve();
}

void CairoCanvas::Polygon(std::span<const Point> points) {
  impl_->Live();
  if (points.size() < 2) return;
  Drawing d(impl_->cr, *this);
  cairo_t* cr = impl_->cr;
  // GDI fills polygons alternately (even-odd).
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_move_to(cr, points[0].x + 0.5, points[0].y + 0.5);
  for (std::size_t i = 1; i < points.size(); ++i) cairo_line_to(cr, points[i].x + 0.5, points[i].y + 0.5);
  cairo_close_path(cr);
  d.FillPreserve();
  d.StrokePreserve();
}

void CairoCanvas::DrawBitmap(const Bitmap& bitmap, const Rect& dest) {
  impl_->Live();
  if (bitmap.Empty() || dest.Empty()) return;
  if (bitmap.argb.size() < static_cast<std::size_t>(bitmap.width) * static_cast<std::size_t>(bitmap.height)) {
    throw std::invalid_argument("Bitmap data is shorter than its size");
  }
  cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, bitmap.width, bitmap.height);
  Check(cairo_surface_status(image), "Cannot create the bitmap");
  cairo_surface_flush(image);
  unsigned char* data = cairo_image_surface_get_data(image);
  const int stride = cairo_image_surface_get_stride(image);
  for (int y = 0; y < bitmap.height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    const std::uint32_t* src = bitmap.argb.data() + static_cast<std::size_t>(y) * bitmap.width;
    for (int x = 0; x < bitmap.width; ++x) row[x] = Premultiplied(src[x]);
  }
  cairo_surface_mark_dirty(image);
  Drawing d(impl_->cr, *this);
  cairo_t* cr = impl_->cr;
  cairo_rectangle(cr, dest.left, dest.top, dest.Width(), dest.Height());
  cairo_clip(cr);
  cairo_translate(cr, dest.left, dest.top);
  cairo_scale(cr, static_cast<double>(dest.Width()) / bitmap.width,
              static_cast<double>(dest.Height()) / bitmap.height);
  cairo_set_source_surface(cr, image, 0, 0);
  cairo_pattern_t* pattern = cairo_get_source(cr);
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
  cairo_pattern_set_filter(pattern, CAIRO_FILTER_GOOD);
  cairo_paint(cr);
  cairo_surface_destroy(image);
}

void CairoCanvas::DrawText(const FontSpec& font, Point origin, std::u16string_view text,
                           std::span<const int> advances, const TextOptions& options) {
  impl_->Live();
  if (advances.size() != text.size()) throw std::invalid_argument("One advance per character is needed");
  if (text.empty()) return;
  FontProvider& fonts = FontProvider::Shared();
  const FontFaceData& primary = fonts.Face(font);
  const FontMetrics metrics = fonts.Metrics(font);
  // FreeType stops near 65535 pixels per em and its failure would leave the
  // drawing context unusable; no page needs glyphs larger than this.
  if (metrics.em > kMaxEmPixels) throw std::invalid_argument("Font size out of range");
  Drawing d(impl_->cr, *this);
  cairo_t* cr = impl_->cr;
  if (options.clip) {
    const Rect& c = *options.clip;
    cairo_rectangle(cr, c.left, c.top, std::max(0, c.Width()), std::max(0, c.Height()));
    cairo_clip(cr);
  }
  cairo_translate(cr, origin.x, origin.y);
  if (font.escapement % 3600 != 0) cairo_rotate(cr, -font.escapement / 10.0 * std::numbers::pi / 180.0);
  SetSource(cr, font.color);

  cairo_font_options_t* fo = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(fo, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(fo, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_antialias(fo, GetAntialias() ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
  cairo_set_font_options(cr, fo);
  cairo_font_options_destroy(fo);
  cairo_set_font_size(cr, metrics.em);

  long total = 0;
  for (int a : advances) total += a;

  // Glyphs in text order, each with its face, so runs can share a face.
  struct Placed {
    const FontFaceData* face;
    cairo_glyph_t glyph;
    std::string utf8;
  };
  std::vector<Placed> placed;
  placed.reserve(text.size());
  long pen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t ch = CodePointAt(text, i);
    const int advance = advances[i];
    const double x = options.rightToLeft ? static_cast<double>(total - pen - advance) : static_cast<double>(pen);
    pen += advance;
    if (ch < 0x20 || (ch >= 0x7F && ch < 0xA0)) continue;  // controls and low surrogate halves draw nothing
    const GlyphInfo g = fonts.Glyph(primary, ch);
    Placed p{g.face, cairo_glyph_t{g.index, x, static_cast<double>(metrics.ascent)}, {}};
    // UTF-8 of the character, so PDF text can be searched and copied.
    // Cairo refuses noncharacters (and would then refuse every later call
    // on this canvas): they are copied as U+FFFD, their glyph still drawn.
    const char32_t copied = (ch >= 0xFDD0 && ch <= 0xFDEF) || (ch & 0xFFFE) == 0xFFFE ? 0xFFFD : ch;
    if (copied < 0x80) {
      p.utf8.push_back(static_cast<char>(copied));
    } else if (copied < 0x800) {
      p.utf8.push_back(static_cast<char>(0xC0 | (copied >> 6)));
      p.utf8.push_back(static_cast<char>(0x80 | (copied & 0x3F)));
    } else if (copied < 0x10000) {
      p.utf8.push_back(static_cast<char>(0xE0 | (copied >> 12)));
      p.utf8.push_back(static_cast<char>(0x80 | ((copied >> 6) & 0x3F)));
      p.utf8.push_back(static_cast<char>(0x80 | (copied & 0x3F)));
    } else {
      p.utf8.push_back(static_cast<char>(0xF0 | (copied >> 18)));
      p.utf8.push_back(static_cast<char>(0x80 | ((copied >> 12) & 0x3F)));
      p.utf8.push_back(static_cast<char>(0x80 | ((copied >> 6) & 0x3F)));
      p.utf8.push_back(static_cast<char>(0x80 | (copied & 0x3F)));
    }
    placed.push_back(std::move(p));
  }
  for (std::size_t start = 0; start < placed.size();) {
    std::size_t end = start;
    while (end < placed.size() && placed[end].face == placed[start].face) ++end;
    std::vector<cairo_glyph_t> glyphs;
    std::vector<cairo_text_cluster_t> clusters;
    std::string utf8;
    for (std::size_t i = start; i < end; ++i) {
      glyphs.push_back(placed[i].glyph);
      clusters.push_back(cairo_text_cluster_t{static_cast<int>(placed[i].utf8.size()), 1});
      utf8 += placed[i].utf8;
    }
    cairo_set_font_face(cr, placed[start].face->cairo);
    cairo_show_text_glyphs(cr, utf8.data(), static_cast<int>(utf8.size()), glyphs.data(),
                           static_cast<int>(glyphs.size()), clusters.data(), static_cast<int>(clusters.size()),
                           static_cast<cairo_text_cluster_flags_t>(0));
    start = end;
  }
  if ((font.style & (kFontUnderline | kFontStrikeOut)) != 0 && total > 0) {
    if (font.style & kFontUnderline) {
      cairo_rectangle(cr, 0, metrics.ascent + metrics.underlinePosition - metrics.underlineThickness / 2.0,
                      static_cast<double>(total), metrics.underlineThickness);
    }
    if (font.style & kFontStrikeOut) {
      cairo_rectangle(cr, 0, metrics.ascent - metrics.strikeoutPosition - metrics.strikeoutThickness / 2.0,
                      static_cast<double>(total), metrics.strikeoutThickness);
    }
    cairo_fill(cr);
  }
  Check(cairo_status(cr), "Cannot draw text");
}

}  // namespace zentavo
