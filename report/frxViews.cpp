// Property lists and bookkeeping of the view classes.
#include "report/frxViews.h"
#include "report/frxXML.h"

#include <algorithm>
#include <cmath>

#include "report/frxBands.h"
#include "report/frxClassRegistry.h"
#include "report/frxPainter.h"
#include "report/frxReport.h"
#include "report/frxDataSet.h"
#include "report/frxRes.h"

namespace zentavo {

namespace {

bool InReport(const TfrxComponent* self, const TfrxComponent* target) {
  if (target == nullptr) return false;
  auto* report = const_cast<TfrxComponent*>(self)->Report();
  if (report == nullptr) return false;
  const auto& all = report->AllObjects();
  return std::find(all.begin(), all.end(), target) != all.end();
}

// View properties that each printable class publishes for itself.
template <class V>
void Appearance(ClassBuilder<V>& b) {
  b.Int("Cursor", &TfrxView::Cursor, 0, "TCursor").String("TagStr", &TfrxView::TagStr).String("URL", &TfrxView::URL);
}
template <class V>
void Fill(ClassBuilder<V>& b) {
  b.Enum("BrushStyle", &TfrxView::BrushStyle, kBrushStyleInfo, TBrushStyle::bsSolid)
      .Color("Color", &TfrxView::Color, clNone);
}
template <class V>
void DataBinding(ClassBuilder<V>& b) {
  b.String("DataField", &TfrxView::DataField)
      .Reference("DataSet", &TfrxView::DataSet, &TfrxView::SetDataSet, "TfrxDataSet")
      .String("DataSetName", &TfrxView::DataSetName, &TfrxView::SetDataSetName);
}
template <class V>
void FontProps(ClassBuilder<V>& b) {
  b.ObjectAccess("Font", &TfrxComponent::FontObject, "TFont").StoredIf([](const V& v) { return !v.ParentFont(); });
}
template <class V>
void ParentFontProp(ClassBuilder<V>& b) {
  b.OrdinalAccess("ParentFont", PropKind::Boolean, "Boolean", nullptr, &TfrxComponent::ParentFont,
                  &TfrxComponent::SetParentFont, true, 1);
}

template <class M>
ClassInfo MemoInfo(const char* name) {
  using C = TfrxCustomMemoView;
  ClassBuilder<M> b(name, &TfrxCustomMemoView::StaticClassInfo());
  Appearance(b);
  b.Bool("AutoWidth", &C::AutoWidth, false)
      .Bool("AllowExpressions", &C::AllowExpressions, true)
      .Bool("AllowHTMLTags", &C::AllowHTMLTags, false);
  Fill(b);
  b.Float("CharSpacing", &C::CharSpacing).Bool("Clipped", &C::Clipped, true);
  DataBinding(b);
  b.Object("DisplayFormat", &C::DisplayFormat, "TfrxFormat")
      .String("ExpressionDelimiters", &C::ExpressionDelimiters)
      .Reference("FlowTo", &C::FlowTo, &C::SetFlowTo, "TfrxCustomMemoView");
  FontProps(b);
  b.Object("Frame", &TfrxView::Frame, "TfrxFrame")
      .Float("GapX", &C::GapX)
      .Float("GapY", &C::GapY)
      .Enum("HAlign", &C::HAlign, kHAlignInfo, TfrxHAlign::haLeft)
      .Bool("HideZeros", &C::HideZeros, false)
      .Object("Highlight", &C::Highlight, "TfrxHighlight")
      .Float("LineSpacing", &C::LineSpacing)
      .Float("ParagraphGap", &C::ParagraphGap);
  ParentFontProp(b);
  b.OrdinalAccess("Rotation", PropKind::Integer, "Integer", nullptr, &C::Rotation, &C::SetRotation, true, 0)
      .Bool("RTLReading", &C::RTLReading, false)
      .String("Style", &C::Style)
      .Bool("SuppressRepeated", &C::SuppressRepeated, false)
      .Bool("Underlines", &C::Underlines, false)
      .Bool("WordBreak", &C::WordBreak, false)
      .Bool("WordWrap", &C::WordWrap, true)
      .Enum("VAlign", &C::VAlign, kVAlignInfo, TfrxVAlign::vaTop);
  return b.Build();
}

}  // namespace

// ---------------------------------------------------------------- memo

TfrxCustomMemoView::TfrxCustomMemoView(TfrxComponent* owner) : TfrxStretcheable(owner) {}

const ClassInfo& TfrxCustomMemoView::StaticClassInfo() {
  using M = TfrxCustomMemoView;
  static const ClassInfo info = ClassBuilder<M>("TfrxCustomMemoView", &TfrxStretcheable::StaticClassInfo())
                                    .Lines(&M::Memo)
                                    // A memo that sizes itself to its text takes no stored width.
                                    .DiffWhen({"w"}, [](const M& m) { return !m.AutoWidth; })
                                    .Diff({{"AutoWidth", "AutoWidth"},
                                           {"CharSpacing", "CharSpacing"},
                                           {"GapX", "GapX"},
                                           {"GapY", "GapY"},
                                           {"HAlign", "HAlign"},
                                           {"Highlight.Active", "Highlight.Active"},
                                           {"LineSpacing", "LineSpacing"}})
                                    .DiffLines("u")
                                    .Diff({{"ParagraphGap", "ParagraphGap"},
                                           {"Rotation", "Rotation"},
                                           {"RTLReading", "RTLReading"},
                                           {"Underlines", "Underlines"},
                                           {"VAlign", "VAlign"},
                                           {"WordWrap", "WordWrap"}})
                                    .OwnDiff()
                                    .Build();
  return info;
}

const ClassInfo& TfrxMemoView::StaticClassInfo() {
  static const ClassInfo info = MemoInfo<TfrxMemoView>("TfrxMemoView");
  return info;
}

const ClassInfo& TfrxSysMemoView::StaticClassInfo() {
  static const ClassInfo info = [] {
    ClassInfo i = MemoInfo<TfrxSysMemoView>("TfrxSysMemoView");
    for (const char* n : {"AllowExpressions", "AllowHTMLTags", "Clipped", "LineSpacing", "ParagraphGap", "Underlines",
                          "WordBreak", "DataSet", "DataSetName", "DataField", "ExpressionDelimiters", "FlowTo"})
      i.Remove(n);
    return i;
  }();
  return info;
}

std::string TfrxSysMemoView::GetDescription() const { return frxResources().Get("obSysText"); }

double TfrxCustomMemoView::CalcWidth() { return PainterOf(GetClassInfo()).CalcWidth(*this); }

void TfrxCustomMemoView::InitPart() { partText_ = Memo.Text(); }

void TfrxCustomMemoView::SetRotation(int degrees) { rotation_ = ((degrees % 360) + 360) % 360; }

TfrxCustomMemoView* TfrxCustomMemoView::FlowTo() const {
  TfrxCustomMemoView* target = flowTo_.Get();
  return InReport(this, target) ? target : nullptr;
}

void TfrxCustomMemoView::BeforePrint() {
  TfrxStretcheable::BeforePrint();
  savedMemo_ = Memo;
}

void TfrxCustomMemoView::AfterPrint() {
  // A memo bound to a data field shows the field; its text is not put back.
  if (DataSet() == nullptr || DataField.empty()) Memo = savedMemo_;
  TfrxStretcheable::AfterPrint();
}

// ---------------------------------------------------------------- lines, shapes, pictures

const ClassInfo& TfrxCustomLineView::StaticClassInfo() {
  static const ClassInfo info =
      ClassBuilder<TfrxCustomLineView>("TfrxCustomLineView", &TfrxStretcheable::StaticClassInfo()).OwnDiff().Build();
  return info;
}

const ClassInfo& TfrxLineView::StaticClassInfo() {
  static const ClassInfo info = [] {
    ClassBuilder<TfrxLineView> b("TfrxLineView", &TfrxCustomLineView::StaticClassInfo());
    Appearance(b);
    b.Enum("BrushStyle", &TfrxView::BrushStyle, kBrushStyleInfo, TBrushStyle::bsSolid)
        .Bool("Diagonal", &TfrxLineView::Diagonal, false)
        .Object("Frame", &TfrxView::Frame, "TfrxFrame");
    return b.Build();
  }();
  return info;
}

const ClassInfo& TfrxShapeView::StaticClassInfo() {
  static const ClassInfo info = [] {
    using S = TfrxShapeView;
    ClassBuilder<S> b("TfrxShapeView", &TfrxView::StaticClassInfo());
    Appearance(b);
    Fill(b);
    b.Int("Curve", &S::Curve, 0)
        .Object("Frame", &TfrxView::Frame, "TfrxFrame")
        .Enum("Shape", &S::Shape, kShapeKindInfo, TfrxShapeKind::skRectangle)
        .OwnDiff();
    return b.Build();
  }();
  return info;
}

const ClassInfo& TfrxPictureView::StaticClassInfo() {
  static const ClassInfo info = [] {
    using P = TfrxPictureView;
    ClassBuilder<P> b("TfrxPictureView", &TfrxView::StaticClassInfo());
    Appearance(b);
    b.Bool("AutoSize", &P::AutoSize, false).Bool("Center", &P::Center, false);
    DataBinding(b);
    b.Object("Frame", &TfrxView::Frame, "TfrxFrame")
        .Bool("KeepAspectRatio", &P::KeepAspectRatio, true)
        .Object("Picture", &P::Picture, "TPicture")
        .Bool("Stretched", &P::Stretched, true)
        // A picture that preparation changed travels whole with its page.
        .OwnDiff([](const P& p) { return !p.PictureChanged; });
    return b.Build();
  }();
  return info;
}

std::string TfrxPictureView::GetDescription() const { return frxResources().Get("obPicture"); }

// ---------------------------------------------------------------- subreport

const ClassInfo& TfrxSubreport::StaticClassInfo() {
  static const ClassInfo info = [] {
    using S = TfrxSubreport;
    ClassBuilder<S> b("TfrxSubreport", &TfrxView::StaticClassInfo());
    b.Reference("Page", &S::SubPage, &S::SetSubPage, "TfrxReportPage").Bool("PrintOnParent", &S::PrintOnParent, false);
    return b.Build();
  }();
  return info;
}

TfrxReportPage* TfrxSubreport::SubPage() const {
  TfrxReportPage* page = page_.Get();
  return InReport(this, page) ? page : nullptr;
}

void TfrxSubreport::SetSubPage(TfrxReportPage* page) { page_.Reset(page); }

// ---------------------------------------------------------------- verbatim

TfrxVerbatimObject::TfrxVerbatimObject(const ClassInfo& info, TfrxComponent* owner)
    : TfrxReportComponent(owner), info_(info) {}

bool TfrxVerbatimObject::IsPage() const {
  const std::string& n = info_.Name();
  return n.size() >= 4 && n.compare(n.size() - 4, 4, "Page") == 0;
}

bool TfrxVerbatimObject::AcceptsChild(const TfrxComponent& child) const {
  // Dot-matrix pages hold bands and dot-matrix views; anything but a report
  // or a page may sit inside.
  if (dynamic_cast<const TfrxReport*>(&child) != nullptr || dynamic_cast<const TfrxPage*>(&child) != nullptr)
    return false;
  auto* v = dynamic_cast<const TfrxVerbatimObject*>(&child);
  return v == nullptr || !v->IsPage();
}

}  // namespace zentavo
