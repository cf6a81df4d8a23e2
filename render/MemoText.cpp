// Memo text on plain inputs: rectangles, gaps and the engine's call order.
#include "render/MemoText.h"
#include "platform/Rounding.h"

#include <algorithm>
#include <cmath>

namespace zentavo {
namespace {

constexpr double kUnbounded = 10000;

LayoutBounds BoundsOf(const Rect& r) { return LayoutBounds{double(r.left), double(r.top), double(r.right), double(r.bottom)}; }

// The text rectangle at scale 1, offset 0: the layout bounds in report pixels.
Rect LayoutRect(const MemoTextProps& p, const MemoGeometry& g) {
  return MemoTextRect(MemoDeviceRect(g, p.frame, 1, 1, 0, 0), p, 1, 1);
}

}  // namespace

Rect MemoDeviceRect(const MemoGeometry& g, const MemoFrame& frame, double scaleX, double scaleY, double offsetX,
                    double offsetY) {
  Rect r{RoundHalfEven(g.absLeft * scaleX + offsetX), RoundHalfEven(g.absTop * scaleY + offsetY),
         RoundHalfEven((g.absLeft + g.width) * scaleX + offsetX),
         RoundHalfEven((g.absTop + g.height) * scaleY + offsetY)};
  if (frame.dropShadow) {
    r.right -= RoundHalfEven(frame.shadowWidth * scaleX);
    r.bottom -= RoundHalfEven(frame.shadowWidth * scaleY);
  }
  return r;
}

Rect MemoTextRect(const Rect& d, const MemoTextProps& p, double scaleX, double scaleY) {
  const double w = p.frame.width;
  const std::uint8_t typ = p.frame.typ;
  Rect r = d;
  r.left += ((typ & kFrameLeft) ? RoundHalfEven((scaleX * w - 1) / 2) : 0) + RoundHalfEven(scaleX * p.gapX);
  r.top += ((typ & kFrameTop) ? RoundHalfEven((scaleY * w - 1) / 2) : 0) + RoundHalfEven(scaleY * p.gapY);
  r.right -= ((typ & kFrameRight) ? RoundHalfEven(scaleX * w / 2) : 0) + RoundHalfEven(scaleX * p.gapX) - 1;
  r.bottom -= ((typ & kFrameBottom) ? RoundHalfEven(scaleY * w / 2) : 0) + RoundHalfEven(scaleY * p.gapY) - 1;
  return r;
}

double HorizontalGaps(const MemoTextProps& p) {
  const double w = p.frame.width;
  return p.gapX * 2 + ((p.frame.typ & kFrameLeft) ? (w - 1) / 2 : 0) + ((p.frame.typ & kFrameRight) ? w / 2 : 0) +
         (p.frame.dropShadow ? p.frame.shadowWidth : 0);
}

double VerticalGaps(const MemoTextProps& p) {
  const double w = p.frame.width;
  return p.gapY * 2 + ((p.frame.typ & kFrameTop) ? (w - 1) / 2 : 0) + ((p.frame.typ & kFrameBottom) ? w / 2 : 0) +
         (p.frame.dropShadow ? p.frame.shadowWidth : 0);
}

void PrepareText(TfrxDrawText& engine, const MemoTextProps& p, const LayoutBounds& bounds, const Rect& deviceTextRect,
                 double scaleX, double scaleY, bool forSplit) {
  engine.SetFont(p.font);
  engine.SetOptions(p.wordWrap, p.allowHTMLTags, p.rotation, p.clipped, p.wordBreak, p.rtlReading);
  engine.SetGaps(p.lineSpacing, p.charSpacing, p.paragraphGap);
  engine.SetDimensions(bounds, deviceTextRect, scaleX, scaleY);
  // A part of a long text is found without wrapping all the rest of it.
  engine.SetText(p.memo, forSplit ? engine.LinesInBounds() + 1 : TfrxDrawText::kAllLines);
}

double MemoCalcHeight(TfrxDrawText& engine, const MemoTextProps& p, const MemoGeometry& g) {
  auto lock = engine.Acquire();
  const Rect layout = LayoutRect(p, g);
  const LayoutBounds bounds = p.autoWidth ? LayoutBounds{0, 0, kUnbounded, kUnbounded} : BoundsOf(layout);
  PrepareText(engine, p, bounds, layout, 1, 1);
  return RoundHalfEven(engine.TextHeight() + VerticalGaps(p));
}

double MemoCalcWidth(TfrxDrawText& engine, const MemoTextProps& p) {
  auto lock = engine.Acquire();
  PrepareText(engine, p, LayoutBounds{0, 0, kUnbounded, kUnbounded}, Rect{0, 0, 10000, 10000}, 1, 1);
  return RoundHalfEven(engine.TextWidth() + HorizontalGaps(p));
}

double MemoAutoWidth(TfrxDrawText& engine, const MemoTextProps& p) {
  auto lock = engine.Acquire();
  PrepareText(engine, p, LayoutBounds{0, 0, kUnbounded, kUnbounded}, Rect{0, 0, 10000, 10000}, 1, 1);
  return engine.TextWidth() + HorizontalGaps(p);
}

MemoPart MemoDrawPart(TfrxDrawText& engine, const MemoTextProps& p, const MemoGeometry& g,
                      const std::u16string& remembered) {
  auto lock = engine.Acquire();
  MemoTextProps whole = p;
  whole.memo = SplitWideText(remembered);
  const Rect layout = LayoutRect(p, g);
  PrepareText(engine, whole, BoundsOf(layout), layout, 1, 1, /*forSplit=*/true);
  MemoPart part;
  part.remaining = engine.RemainingText();
  part.fitting = SplitWideText(engine.FittingText());
  part.result = engine.UnusedSpace();
  if (part.result == 0) part.result = g.height;
  return part;
}

void MemoDrawText(Canvas& canvas, TfrxDrawText& engine, const MemoTextProps& p, const MemoGeometry& g, double scaleX,
                  double scaleY, double offsetX, double offsetY) {
  auto lock = engine.Acquire();
  const Rect device = MemoDeviceRect(g, p.frame, scaleX, scaleY, offsetX, offsetY);
  const Rect textRect = MemoTextRect(device, p, scaleX, scaleY);
  PrepareText(engine, p, BoundsOf(LayoutRect(p, g)), textRect, scaleX, scaleY);
  if (p.underlines && p.rotation % 360 == 0) {
    if (const auto color = RgbFromColor(p.frame.color)) {
      CanvasStateGuard guard(canvas);
      canvas.SetPen(Pen{PenStyle::Solid, RoundHalfEven(p.frame.width * scaleX), *color});
      const double step = engine.LineHeight() * scaleY;
      // A step below one device pixel would rule the box solid for ever.
      if (step >= 1) {
        for (double y = textRect.top + step; y < device.bottom; y += step) {
          canvas.Line({device.left, RoundHalfEven(y)}, {device.right, RoundHalfEven(y)});
        }
      }
    }
  }
  engine.RenderLines(canvas, p.hAlign, p.vAlign);
}

bool ReplaceTotalPages(std::vector<std::u16string>& lines, int totalPages) {
  static constexpr std::u16string_view kToken = u"[totalpages#]";
  for (std::u16string& line : lines) {
    for (std::size_t i = 0; i + kToken.size() <= line.size(); ++i) {
      bool match = true;
      for (std::size_t k = 0; k < kToken.size() && match; ++k) {
        char16_t c = line[i + k];
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        match = c == kToken[k];
      }
      if (!match) continue;
      const std::string digits = std::to_string(totalPages);
      line.replace(i, kToken.size(), std::u16string(digits.begin(), digits.end()));
      return true;
    }
  }
  return false;
}

}  // namespace zentavo
