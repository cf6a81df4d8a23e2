// The memo views' drawing and measuring: their properties handed to the
// text engine in the order it wants them (render/MemoText.h).
#include <utility>

#include "render/Frames.h"
#include "render/MemoText.h"
#include "render/Painters.h"
#include "render/RenderState.h"
#include "report/frxClassRegistry.h"
#include "report/frxViews.h"

namespace zentavo {
namespace {

DrawTextFont EngineFont(const TfrxFont& f) {
  return DrawTextFont{f.Name(), f.Height(), static_cast<std::uint8_t>(f.Style()), f.Color(), f.Charset()};
}

MemoTextProps PropsOf(const TfrxCustomMemoView& m) {
  MemoTextProps p;
  p.memo = m.Memo.Lines;
  p.font = EngineFont(m.Highlight.Active ? m.Highlight.Font : m.Font());
  p.hAlign = static_cast<TextHAlign>(m.HAlign);
  p.vAlign = static_cast<TextVAlign>(m.VAlign);
  p.rotation = m.Rotation();
  p.wordWrap = m.WordWrap;
  p.wordBreak = m.WordBreak;
  p.allowHTMLTags = m.AllowHTMLTags;
  p.rtlReading = m.RTLReading;
  p.clipped = m.Clipped;
  p.underlines = m.Underlines;
  p.autoWidth = m.AutoWidth;
  p.lineSpacing = m.LineSpacing;
  p.gapX = m.GapX;
  p.gapY = m.GapY;
  p.paragraphGap = m.ParagraphGap;
  p.charSpacing = m.CharSpacing;
  p.frame = MemoFrame{static_cast<std::uint8_t>(m.Frame.Typ & 0xF), m.Frame.Width, m.Frame.Color, m.Frame.DropShadow,
                      m.Frame.ShadowWidth};
  return p;
}

MemoGeometry GeometryOf(const TfrxCustomMemoView& m) {
  return MemoGeometry{m.AbsLeft(), m.AbsTop(), m.Width(), m.Height()};
}

// The memo's Color for the time of one drawing (Highlight's colour), put
// back on every way out.
class ColorSwap {
 public:
  ColorSwap(TColor& color, TColor drawn) : color_(color), saved_(std::exchange(color, drawn)) {}
  ~ColorSwap() { color_ = saved_; }
  ColorSwap(const ColorSwap&) = delete;
  ColorSwap& operator=(const ColorSwap&) = delete;

 private:
  TColor& color_;
  TColor saved_;
};

class MemoPainter final : public ViewPainter {
 public:
  void Draw(TfrxView& view, Canvas& canvas, double scaleX, double scaleY, double offsetX,
            double offsetY) const override {
    auto& m = static_cast<TfrxCustomMemoView&>(view);
    if (!m.IsDesigning && m.AllowExpressions) ReplaceTotalPages(m.Memo.Lines, m.TotalPages);
    ColorSwap color(m.Color, m.Highlight.Active ? m.Highlight.Color : m.Color);
    TfrxDrawText& engine = RenderStateOf(m).TextEngine();
    if (m.AutoWidth && !m.IsDesigning) {
      const double width = MemoAutoWidth(engine, PropsOf(m));
      const double oldWidth = m.Width();
      m.SetWidth(width);
      // haRight keeps the right edge, haCenter the centre, as barcodes do.
      if (m.HAlign == TfrxHAlign::haRight) m.SetLeft(m.Left() + oldWidth - width);
      if (m.HAlign == TfrxHAlign::haCenter) m.SetLeft(m.Left() + (oldWidth - width) / 2);
      if (m.Parent() != nullptr) m.Parent()->AlignChildren();
    }
    TfrxPainter::Draw(m, canvas, scaleX, scaleY, offsetX, offsetY);
    MemoDrawText(canvas, engine, PropsOf(m), GeometryOf(m), scaleX, scaleY, offsetX, offsetY);
  }

  double CalcHeight(TfrxStretcheable& object) const override {
    auto& m = static_cast<TfrxCustomMemoView&>(object);
    return MemoCalcHeight(RenderStateOf(m).TextEngine(), PropsOf(m), GeometryOf(m));
  }

  double CalcWidth(TfrxCustomMemoView& m) const override {
    return MemoCalcWidth(RenderStateOf(m).TextEngine(), PropsOf(m));
  }

  double DrawPart(TfrxStretcheable& object) const override {
    auto& m = static_cast<TfrxCustomMemoView&>(object);
    MemoPart part = MemoDrawPart(RenderStateOf(m).TextEngine(), PropsOf(m), GeometryOf(m), m.PartText());
    m.Memo.Lines = std::move(part.fitting);
    m.PartText() = std::move(part.remaining);
    return part.result;
  }
};

}  // namespace

void RegisterMemoPainter() {
  static const MemoPainter painter;
  RegisterPainter(TfrxCustomMemoView::StaticClassInfo(), painter);
}

}  // namespace zentavo
