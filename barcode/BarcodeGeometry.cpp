// The drawing of a symbol as plain geometry: the drawing space, bars and the
// human-readable groups, rotated by quadrants and put on whole device dots.
#include <algorithm>
#include <cmath>

#include "barcode/frxBarcod.h"
#include "platform/Rounding.h"

namespace zentavo {
namespace {


bool IsEanUpc(TfrxBarcodeType type) {
  return type == bcCodeEAN8 || type == bcCodeEAN13 || type == bcCodeUPC_A ||
         type == bcCodeUPC_E0 || type == bcCodeUPC_E1;
}

// A group of the human-readable line: characters [first, first+count) of the
// text, written at x, blanking the symbol from `from` to `to` (drawing units).
struct TextGroup {
  int first;
  int count;
  int x;
  int from;
  int to;
  bool centred;  // x is computed from the text width
};

std::vector<TextGroup> TextGroups(TfrxBarcodeType type, const std::string& text, int w) {
  auto len = static_cast<int>(text.size());
  switch (type) {
    case bcCodeEAN8: return {{0, 4, 3, 3, 30, false}, {4, 4, 35, 35, w - 4, false}};
    case bcCodeEAN13: {
      std::vector<TextGroup> g;
      if (text[0] != '0') g.push_back({0, 1, -8, -8, -2, false});
      g.push_back({1, 6, 3, 3, 44, false});
      g.push_back({7, 6, 49, 49, w - 4, false});
      return g;
    }
    case bcCodeUPC_A:
      return {{0, 1, -8, -8, -2, false},
              {1, 5, 10, 10, 44, false},
              {6, 5, 49, 49, 83, false},
              {11, 1, w + 1, w + 1, w + 8, false}};
    case bcCodeUPC_E0:
    case bcCodeUPC_E1: return {{0, 6, 3, 3, 44, false}, {6, 1, w + 1, w + 1, w + 8, false}};
    default: return {{0, len, 0, 0, w, true}};
  }
}

// The unrotated symbol runs along U (from its start) and across V (from the
// top of the bars to the text); the quadrant turns it counter-clockwise into
// the device rectangle, the symbol starting `offset` dots from the near edge.
struct Placement {
  Rect rect;
  int quadrant;
  int offset;
  int length;  // dots along
  int cross;   // dots across

  Rect Map(int u0, int u1, int v0, int v1) const {
    const int l = rect.left, t = rect.top, o = offset, n = length, x = cross;
    switch (quadrant) {
      case 1: return {l + v0, t + o + n - u1, l + v1, t + o + n - u0};
      case 2: return {l + o + n - u1, t + x - v1, l + o + n - u0, t + x - v0};
      case 3: return {l + x - v1, t + o + u0, l + x - v0, t + o + u1};
      default: return {l + o + u0, t + v0, l + o + u1, t + v1};
    }
  }
  void MapPoint(int u, int v, int& px, int& py) const {
    const int l = rect.left, t = rect.top, o = offset, n = length, x = cross;
    switch (quadrant) {
      case 1: px = l + v, py = t + o + n - u; break;
      case 2: px = l + o + n - u, py = t + x - v; break;
      case 3: px = l + x - v, py = t + o + u; break;
      default: px = l + o + u, py = t + v; break;
    }
  }
};

}  // namespace

BarcodeDrawing TfrxBarcode::Layout(const Rect& rect, bool showText, BarcodeAlign align,
                                   const BarcodeTextWidth& textWidth) {
  BarcodeSymbol symbol = Encode();
  Ratio = symbol.ratio;
  const int w = symbol.width;

  // Only quadrants are drawn (the barcode object passes 0, 90, 180 or 270);
  // any other angle takes the nearest one.
  double a = std::fmod(std::isfinite(Angle) ? Angle : 0.0, 360.0);
  if (a < 0) a += 360.0;
  const int quadrant = RoundHalfEven(a / 90.0) % 4;
  const bool vertical = quadrant % 2 == 1;

  const int rectW = std::max(0, rect.right - rect.left);
  const int rectH = std::max(0, rect.bottom - rect.top);
  const int along = vertical ? rectH : rectW;
  const int across = vertical ? rectW : rectH;

  // The drawing space: W units along, stretched by k onto the rectangle.
  const double k = along > 0 ? static_cast<double>(along) / w : 1.0;
  // A long symbol in a short rectangle makes k tiny; bound the units across
  // so they stay an int.
  const int crossUnits = static_cast<int>(std::clamp(std::nearbyint(across / k), 1.0, 1e7));

  // Whole device dots per unit, so every bar and space is an exact multiple
  // of the narrow module and the ratios survive on a 203 dpi printer. Round,
  // but down when rounding up would make the symbol longer than its object;
  // never below one dot.
  int dots = RoundHalfEven(k);
  if (static_cast<long long>(dots) * w > along) dots = static_cast<int>(std::floor(k));
  if (dots < 1) dots = 1;

  const bool ean = IsEanUpc(Typ);
  int barUnits = crossUnits;
  OriginX = 0;
  OriginY = 0;
  if (showText) {
    barUnits = std::max(0, crossUnits - (ean ? 7 : 16));
    int origin = ean ? 8 : 16;
    if (quadrant == 2) OriginY = origin;
    if (quadrant == 3) OriginX = origin;
  }
  Height = barUnits;

  // Across, the symbol keeps the full height of its rectangle; edges are
  // rounded to whole dots.
  const double crossScale = static_cast<double>(across) / crossUnits;
  auto crossDots = [&](int units) { return RoundHalfEven(units * crossScale); };

  BarcodeDrawing d;
  d.moduleDots = dots;
  d.drawingLength = w;
  d.drawingCross = crossUnits;
  d.barHeight = barUnits;
  d.angle = quadrant * 90;

  const int length = dots * w;
  int offset = 0;
  if (align == BarcodeAlign::Far) offset = along - length;
  if (align == BarcodeAlign::Center) offset = (along - length) / 2;
  const Placement place{rect, quadrant, offset, length, across};

  const int barDots = crossDots(barUnits);
  d.symbol = place.Map(0, length, 0, barDots);
  d.fills.push_back({d.symbol, Color});
  const auto& widths = symbol.widths;
  int x = 0;
  for (char c : symbol.modules) {
    int width = widths[ModuleClass(c)] * dots;
    if (IsBarModule(c)) {
      // Short bars stand on the baseline with the full bars, as PostNet's
      // standard draws them (hung from the top, sorters misread them).
      int top = IsShortBarModule(c) ? barDots - barDots * 2 / 5 : 0;
      d.fills.push_back({place.Map(x, x + width, top, barDots), ColorBar});
    }
    x += width;
  }

  if (showText) {
    const int fontHeight = std::max(1, RoundHalfEven(12 * crossScale));
    const int band = vertical ? 14 : 16;
    const int fillTop = crossDots(crossUnits - band);
    const int textTop = crossDots(crossUnits - 14);
    for (const TextGroup& g : TextGroups(Typ, symbol.text, w)) {
      std::string text = symbol.text.substr(g.first, g.count);
      int u = g.x * dots;
      if (g.centred) {
        int tw = textWidth ? textWidth(text, fontHeight) : 0;
        u = (length - tw) / 2;
      }
      d.fills.push_back({place.Map(g.from * dots, (g.to + 1) * dots, fillTop, across), Color});
      BarcodeLabel label{std::move(text), 0, 0, d.angle, fontHeight};
      place.MapPoint(u, textTop, label.x, label.y);
      d.labels.push_back(std::move(label));
    }
  }
  return d;
}

}  // namespace zentavo
