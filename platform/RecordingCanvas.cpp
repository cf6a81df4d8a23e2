// The recording canvas: each call becomes one line of text.
#include "platform/RecordingCanvas.h"

#include <array>
#include <stdexcept>

#include "platform/Cp1254.h"

namespace zentavo {
namespace {

constexpr std::array<const char*, 6> kPenStyles = {"Solid", "Dash", "Dot", "DashDot", "DashDotDot", "Clear"};
constexpr std::array<const char*, 8> kBrushStyles = {"Solid",     "Clear",     "Horizontal", "Vertical",
                                                     "FDiagonal", "BDiagonal", "Cross",      "DiagCross"};

std::string RectText(const Rect& r) {
  return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
         std::to_string(r.bottom);
}

std::string PointsText(std::span<const Point> points) {
  std::string out;
  for (const Point& p : points) out += " " + std::to_string(p.x) + "," + std::to_string(p.y);
  return out;
}

std::string Utf8(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t u = text[i];
    char32_t cp = u;
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      cp = 0xFFFD;
    }
    cp1254::AppendUtf8(out, cp);
  }
  return out;
}

}  // namespace

std::string HexColor(Rgb c) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out = "#";
  for (std::uint8_t v : {c.red, c.green, c.blue}) {
    out.push_back(kDigits[v >> 4]);
    out.push_back(kDigits[v & 15]);
  }
  return out;
}

RecordingCanvas::RecordingCanvas(int dpi, int width, int height, CanvasKind kind)
    : Canvas(kind, dpi, dpi, width, height) {}

std::string RecordingCanvas::PenText() const {
  const Pen& p = GetPen();
  const auto bk = GetBackground();
  return std::string("pen=") + kPenStyles[static_cast<int>(p.style)] + " " + std::to_string(p.width) + " " +
         HexColor(p.color) + " bk=" + (bk ? HexColor(*bk) : std::string("none"));
}

std::string RecordingCanvas::BrushText() const {
  const Brush& b = GetBrush();
  return std::string("brush=") + kBrushStyles[static_cast<int>(b.style)] + " " + HexColor(b.color);
}

void RecordingCanvas::OnIntersectClip(const Rect& rect) { calls_.push_back("Clip " + RectText(rect)); }

void RecordingCanvas::FillRect(const Rect& rect) { calls_.push_back("FillRect " + RectText(rect) + " " + BrushText()); }

void RecordingCanvas::Line(Point from, Point to) {
  calls_.push_back("Line " + std::to_string(from.x) + " " + std::to_string(from.y) + " " + std::to_string(to.x) +
                   " " + std::to_string(to.y) + " " + PenText());
}

void RecordingCanvas::Polyline(std::span<const Point> points) {
  calls_.push_back("Polyline" + PointsText(points) + " " + PenText());
}

void RecordingCanvas::Rectangle(const Rect& rect) {
  calls_.push_back("Rectangle " + RectText(rect) + " " + PenText() + " " + BrushText());
}

void RecordingCanvas::RoundRect(const Rect& rect, int radiusX, int radiusY) {
  calls_.push_back("RoundRect " + RectText(rect) + " r=" + std::to_string(radiusX) + "," + std::to_string(radiusY) +
                   " " + PenText() + " " + BrushText());
}

void RecordingCanvas::Ellipse(const Rect& rect) {
  calls_.push_back("Ellipse " + RectText(rect) + " " + PenText() + " " + BrushText());
}

void RecordingCanvas::Polygon(std::span<const Point> points) {
  calls_.push_back("Polygon" + PointsText(points) + " " + PenText() + " " + BrushText());
}

void RecordingCanvas::DrawBitmap(const Bitmap& bitmap, const Rect& dest) {
  calls_.push_back("Bitmap " + std::to_string(bitmap.width) + "x" + std::to_string(bitmap.height) + " " +
                   RectText(dest));
}

void RecordingCanvas::DrawText(const FontSpec& font, Point origin, std::u16string_view text,
                               std::span<const int> advances, const TextOptions& options) {
  if (advances.size() != text.size()) throw std::invalid_argument("One advance per character is needed");
  std::string line = "Text " + std::to_string(origin.x) + " " + std::to_string(origin.y) + " \"" + Utf8(text) +
                     "\" font=" + font.name + " " + std::to_string(font.height) + " " +
                     std::to_string(font.style) + " " + HexColor(font.color) + " " +
                     std::to_string(font.escapement) + " adv=";
  for (std::size_t i = 0; i < advances.size(); ++i) {
    if (i > 0) line += ",";
    line += std::to_string(advances[i]);
  }
  if (options.clip) line += " clip=" + RectText(*options.clip);
  if (options.rightToLeft) line += " rtl";
  calls_.push_back(std::move(line));
}

}  // namespace zentavo
