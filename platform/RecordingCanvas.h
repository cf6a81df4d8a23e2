// A canvas that draws nothing and writes down every drawing call with the
// state it used, one line each, so tests can check what a view drew.
#pragma once

#include <string>
#include <vector>

#include "platform/Canvas.h"

namespace zentavo {

class RecordingCanvas final : public Canvas {
 public:
  RecordingCanvas(int dpi, int width, int height, CanvasKind kind = CanvasKind::Recording);

  // Lines such as
  //   FillRect 0 0 10 10 brush=Solid #FF0000
  //   Line 0 5 10 5 pen=Solid 1 #000000 bk=none
  //   Text 3 4 "AYŞE" font=Arial -13 0 #000000 0 adv=9,9,9,9 clip=2 2 40 20
  const std::vector<std::string>& Calls() const { return calls_; }
  void Clear() { calls_.clear(); }

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
  void OnIntersectClip(const Rect& rect) override;

 private:
  std::string PenText() const;
  std::string BrushText() const;
  std::vector<std::string> calls_;
};

// "#RRGGBB".
std::string HexColor(Rgb color);

}  // namespace zentavo
