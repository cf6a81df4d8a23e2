// Canvases over Cairo surfaces: an image (saved as PNG), a PDF or a
// PostScript document. User units are device pixels at the canvas's dpi.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Canvas.h"

namespace zentavo {

// A sheet's size in millimetres.
struct PaperSize {
  double widthMm = 0;
  double heightMm = 0;
};

class CairoCanvas final : public Canvas {
 public:
  enum class Format { Image, Pdf, PostScript };
  // Receives the bytes of a document as Cairo writes them.
  using ByteSink = std::function<void(std::string_view bytes)>;

  // An image of width x height device pixels, painted with `paper` first
  // (nothing: transparent). Kind Screen unless told otherwise.
  static std::unique_ptr<CairoCanvas> CreateImage(int width, int height, int dpi,
                                                  CanvasKind kind = CanvasKind::Screen,
                                                  std::optional<Rgb> paper = Rgb{255, 255, 255});
  // Documents whose first page is width x height device pixels at dpi; the
  // page's physical size is that many pixels at that resolution. Kind
  // Printer unless told otherwise. Finish() completes the file; a file
  // (OutputFile::Replace) is there only once Finish succeeded. An error of
  // the sink, or of writing the file, is what Finish throws.
  static std::unique_ptr<CairoCanvas> CreateDocument(Format format, const std::string& path, int width,
                                                     int height, int dpi,
                                                     CanvasKind kind = CanvasKind::Printer);
  static std::unique_ptr<CairoCanvas> CreateDocument(Format format, ByteSink sink, int width, int height,
                                                     int dpi, CanvasKind kind = CanvasKind::Printer);
  // Documents whose pages have exactly the paper's size (a 50 x 30 mm label
  // is not 591 x 354 pixels at 300 dpi but 590.55 x 354.33); drawing is
  // still in device pixels at dpi, Width() and Height() rounded.
  static std::unique_ptr<CairoCanvas> CreateDocument(Format format, const std::string& path, PaperSize paper,
                                                     int dpi, CanvasKind kind = CanvasKind::Printer);
  static std::unique_ptr<CairoCanvas> CreateDocument(Format format, ByteSink sink, PaperSize paper, int dpi,
                                                     CanvasKind kind = CanvasKind::Printer);
  ~CairoCanvas() override;

  Format GetFormat() const;
  // Documents: ends the current page and starts the next one of this size.
  void NewPage(int width, int height);
  void NewPage(PaperSize paper);
  // Documents: ends the last page and writes the rest of the file. Further
  // drawing is an error. Called by the destructor when forgotten (errors
  // then go unreported; a document file is then discarded, as it may lack
  // pages).
  void Finish();

  // Images only. The file is replaced only when written whole; the sink's
  // errors are thrown as they are.
  void WritePng(const std::string& path);
  void WritePng(const ByteSink& sink);
  std::string EncodePng();
  // The colour at a pixel, composited over white; alpha separately.
  Rgb PixelAt(int x, int y);
  int AlphaAt(int x, int y);

  void FillRect(const Rect& rect) override;
  void Line(Point from, Point to) override;
  void Polyline(std::span<const Point> points) override;
  void Rectangle(const Rect& rect) override;
  void RoundRect(const Rect& rect, int radiusX, int radiusY) override;
  void Ellipse(const Rect& rect) override;
  void Polygon(std::span<const Point> points) override;
  void DrawBitmap(const Bitmap& bitmap, const Rect& dest) override;
  void DrawText(const FontSpec& font, Point origin, std::u16string_view text, std::span<const int> advances,
                const TextOptions& options) override;

 protected:
  void OnSave() override;
  void OnRestore() override;
  void OnIntersectClip(const Rect& rect) override;

 private:
  struct Impl;
  CairoCanvas(CanvasKind kind, int dpi, int width, int height, std::unique_ptr<Impl> impl);
  static std::unique_ptr<CairoCanvas> Open(Format format, const std::string* path, ByteSink sink, double widthPt,
                                           double heightPt, int dpi, CanvasKind kind);
  void StartPage(double widthPt, double heightPt);
  std::unique_ptr<Impl> impl_;
};

}  // namespace zentavo
