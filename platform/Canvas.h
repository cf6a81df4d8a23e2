// The drawing surface the engine draws on: device pixels, GDI's conventions.
// Backends: CairoCanvas (image, PDF, PostScript) and RecordingCanvas (tests).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Color.h"
#include "platform/Font.h"

namespace zentavo {

// What the canvas stands for. The text engine sizes its device font by the
// canvas's own resolution on a printer and by the drawing scale elsewhere.
enum class CanvasKind { Screen, Printer, Recording };

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// Left and top are inside, right and bottom outside, as in GDI.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

Rect Intersect(const Rect& a, const Rect& b);

// Pen styles in the order of the frame styles (solid, dash, dot, dash-dot,
// dash-dot-dot), then the empty pen.
enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Clear };

// A pen of width w covers w rows (columns) around its line the way GDI's
// wide pens do: odd widths centred on the pixel, even ones one more above
// (left). Wide pens end and join round. Dash patterns are GDI's cosmetic
// ones (dash 18-6, dot 3-3, dash-dot 9-6-3-6, dash-dot-dot 9-3-3-3-3-3
// pixels) times the width; their gaps show the background colour.
struct Pen {
  PenStyle style = PenStyle::Solid;
  int width = 1;  // device pixels; 0 draws as 1
  Rgb color{0, 0, 0};
  friend bool operator==(const Pen&, const Pen&) = default;
};

// Brush styles in the order of the views' BrushStyle.
enum class BrushStyle { Solid, Clear, Horizontal, Vertical, FDiagonal, BDiagonal, Cross, DiagCross };

// Hatch brushes are GDI's 8 x 8 patterns anchored at the device origin;
// their gaps show the background colour.
struct Brush {
  BrushStyle style = BrushStyle::Solid;
  Rgb color{255, 255, 255};
  friend bool operator==(const Brush&, const Brush&) = default;
};

// A picture in memory: straight (not premultiplied) 0xAARRGGBB, rows top down.
struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;
  bool Empty() const { return width <= 0 || height <= 0; }
};

struct TextOptions {
  std::optional<Rect> clip;    // device rectangle the glyphs are clipped to
  bool rightToLeft = false;    // first character at the right end of the run
};

class Canvas {
 public:
  virtual ~Canvas() = default;
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  CanvasKind Kind() const { return kind_; }
  int DpiX() const { return dpiX_; }
  int DpiY() const { return dpiY_; }
  // Size of the current page in device pixels.
  int Width() const { return width_; }
  int Height() const { return height_; }

  // Drawing state, kept like a GDI device context's selected objects.
  void SetPen(const Pen& pen) { state_.pen = pen; }
  void SetBrush(const Brush& brush) { state_.brush = brush; }
  // Colour shown in the gaps of dashed pens and hatch brushes; none leaves
  // them transparent (GDI's background mode).
  void SetBackground(std::optional<Rgb> color) { state_.background = color; }
  // Smoothing of edges and glyphs; barcodes switch it off.
  void SetAntialias(bool on) { state_.antialias = on; }
  const Pen& GetPen() const { return state_.pen; }
  const Brush& GetBrush() const { return state_.brush; }
  std::optional<Rgb> GetBackground() const { return state_.background; }
  bool GetAntialias() const { return state_.antialias; }

  // Save and Restore nest; Restore brings back pen, brush, background,
  // smoothing and clipping.
  void Save();
  void Restore();
  // Narrows the clipping to the rectangle.
  void IntersectClip(const Rect& rect);
  // The clipping rectangle (the page when nothing clips).
  Rect ClipBox() const;
  // Whether any pixel of the rectangle can be drawn.
  bool RectVisible(const Rect& rect) const;

  // Fills [left, right) x [top, bottom) with the brush; no outline.
  virtual void FillRect(const Rect& rect) = 0;
  // A line with the pen; the end point is not drawn.
  virtual void Line(Point from, Point to) = 0;
  // Open figure through the points with the pen.
  virtual void Polyline(std::span<const Point> points) = 0;
  // Closed shapes: interior with the brush, outline with the pen. The box
  // excludes its right and bottom edges: a one-pixel outline of
  // Rectangle({0,0,10,10}) covers columns 0 to 9.
  virtual void Rectangle(const Rect& rect) = 0;
  // Corner radii in device pixels.
  virtual void RoundRect(const Rect& rect, int radiusX, int radiusY) = 0;
  virtual void Ellipse(const Rect& rect) = 0;
  // Filled alternately (even-odd), as GDI's default fill mode.
  virtual void Polygon(std::span<const Point> points) = 0;
  // The bitmap scaled into the rectangle with smooth filtering.
  virtual void DrawBitmap(const Bitmap& bitmap, const Rect& dest) = 0;
  // Glyphs placed one by one: character i is drawn at the origin plus the
  // sum of advances[0..i-1] along the font's escapement. The origin is the
  // top-left corner of the first character cell. No shaping, no kerning.
  // advances.size() must equal text.size() (a surrogate pair's low half
  // carries the advance 0 or adds to its pair).
  virtual void DrawText(const FontSpec& font, Point origin, std::u16string_view text,
                        std::span<const int> advances, const TextOptions& options) = 0;

 protected:
  Canvas(CanvasKind kind, int dpiX, int dpiY, int width, int height);
  void SetPageSize(int width, int height);
  // Backends apply clipping changes here; the base keeps the rectangle.
  virtual void OnSave() {}
  virtual void OnRestore() {}
  virtual void OnIntersectClip(const Rect& /*rect*/) {}

 private:
  struct State {
    Pen pen;
    Brush brush;
    std::optional<Rgb> background;
    bool antialias = true;
    std::optional<Rect> clip;
  };
  CanvasKind kind_;
  int dpiX_;
  int dpiY_;
  int width_;
  int height_;
  State state_;
  std::vector<State> saved_;
};

// Saves the canvas state for a scope, so every path out restores it.
class CanvasStateGuard {
 public:
  explicit CanvasStateGuard(Canvas& canvas) : canvas_(canvas) { canvas_.Save(); }
  ~CanvasStateGuard() { canvas_.Restore(); }
  CanvasStateGuard(const CanvasStateGuard&) = delete;
  CanvasStateGuard& operator=(const CanvasStateGuard&) = delete;

 private:
  Canvas& canvas_;
};

}  // namespace zentavo
