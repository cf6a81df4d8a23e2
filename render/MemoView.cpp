// The memo views' drawing and measuring: their properties handed to the
// text engine in the order it wants them (render/MemoText.h).
#include <utility>

#include "render/MemoText.h"
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

}  // namespace

void TfrxCustomMemoView::Draw(Canvas& canvas, double scaleX, double scaleY, double offsetX, double offsetY) {
  if (!IsDesigning && AllowExpressions) ReplaceTotalPages(Memo.Lines, TotalPages);
  ColorSwap color(Color, Highlight.Active ? Highlight.Color : Color);
  TfrxDrawText& engine = GlobalDrawText();
  if (AutoWidth && !IsDesigning) {
    const double width = MemoAutoWidth(engine, PropsOf(*this));
    const double oldWidth = Width();
    SetWidth(width);
    // haRight keeps the right edge, haCenter the centre, as barcodes do.
    if (HAlign == TfrxHAlign::haRight) SetLeft(Left() + oldWidth - width);
    if (HAlign == TfrxHAlign::haCenter) SetLeft(Left() + (oldWidth - width) / 2);
    if (Parent() != nullptr) Parent()->AlignChildren();
  }
  TfrxView::Draw(canvas, scaleX, scaleY, offsetX, offsetY);
  MemoDrawText(canvas, engine, PropsOf(*this), GeometryOf(*this), scaleX, scaleY, offsetX, offsetY);
}

double TfrxCustomMemoView::CalcHeight() { return MemoCalcHeight(GlobalDrawText(), PropsOf(*this), GeometryOf(*this)); }

double TfrxCustomMemoView::CalcWidth() { return MemoCalcWidth(GlobalDrawText(), PropsOf(*this)); }

void TfrxCustomMemoView::InitPart() { partText_ = Memo.Text(); }

double TfrxCustomMemoView::DrawPart() {
  MemoPart part = MemoDrawPart(GlobalDrawText(), PropsOf(*this), GeometryOf(*this), partText_);
  Memo.Lines = std::move(part.fitting);
  partText_ = std::move(part.remaining);
  return part.result;
}

}  // namespace zentavo
