// Component tree, names, geometry, fonts, alignment and the view base.
#include "report/frxComponent.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <stdexcept>

#include "platform/Rounding.h"
#include "platform/ScopeGuard.h"
#include "platform/Text.h"

#include "report/frxBands.h"
#include "report/frxClassRegistry.h"
#include "report/frxDataSet.h"
#include "report/frxDiff.h"
#include "report/frxExpressions.h"
#include "report/frxPainter.h"
#include "report/frxReport.h"
#include "report/frxRes.h"
#include "report/frxServices.h"
#include "report/frxViews.h"
#include "report/frxXML.h"
#include "report/frxXMLSerializer.h"

namespace zentavo {

namespace {

bool IsIdentifier(std::string_view s) {
  if (s.empty()) return false;
  auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  if (!letter(s[0])) return false;
  for (char c : s)
    if (!letter(c) && !(c >= '0' && c <= '9')) return false;
  return true;
}

}  // namespace

std::string ComponentName(const TfrxComponent& component) { return component.Name(); }

// ---------------------------------------------------------------- TfrxComponent

TfrxComponent::TfrxComponent(TfrxComponent* owner) {
  font_.OnChange = [this] { FontChanged(); };
  if (owner != nullptr) SetParent(owner);
}

TfrxComponent::~TfrxComponent() {
  // References to this object read as none from here on, also while the
  // children go.
  life_.reset();
  font_.OnChange = nullptr;
  if (parent_ != nullptr) {
    auto& siblings = parent_->objects_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    parent_ = nullptr;
  }
  Clear();
}

const ClassInfo& TfrxComponent::StaticClassInfo() {
  using C = TfrxComponent;
  static const ClassInfo info = ClassBuilder<C>("TfrxComponent", nullptr)
                                    .String("Name", &C::GetName, &C::SetName)
                                    .NotStored()  // written first by the template writer itself
                                    .Int("Tag", &C::Tag, 0)
                                    // Font.Height, not the spelled Font.Size: a
                                    // size in whole points would turn -10 into -11.
                                    .Diff({{"l", "Left"},
                                           {"t", "Top"},
                                           {"w", "Width"},
                                           {"h", "Height"},
                                           {"Visible", "Visible"},
                                           {"Font.Name", "Font.Name"},
                                           {"Font.Height", "Font.Height"},
                                           {"Font.Color", "Font.Color"},
                                           {"Font.Style", "Font.Style"},
                                           {"Font.Charset", "Font.Charset"},
                                           {"ParentFont", "ParentFont"},
                                           {"Tag", "Tag"}},
                                          /*base=*/true)
                                    .DiffWhen({"Font.Name", "Font.Height", "Font.Color", "Font.Style", "Font.Charset"},
                                              [](const C& c) { return !c.ParentFont(); })
                                    .Build();
  return info;
}

void TfrxComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (!name.empty() && !IsIdentifier(name))
    throw std::runtime_error("''" + name + "'' is not a valid component name");
  if (!name.empty() && !IsLoading()) {
    if (TfrxReport* report = Report()) {
      TfrxComponent* other = SameTextAscii(report->Name(), name) && report != this
                                 ? report
                                 : report->FindObject(name);
      if (other != nullptr && other != this) throw std::runtime_error(frxResources().Get("prDupl"));
    }
  }
  name_ = name;
}

std::string TfrxComponent::BaseName() const {
  std::string n = ClassName();
  if (auto p = n.find("Tfrx"); p != std::string::npos) n.erase(p, 4);
  if (auto p = n.find("View"); p != std::string::npos) n.erase(p, 4);
  return n;
}

void TfrxComponent::CreateUniqueName() {
  std::set<std::string> taken;
  auto add = [&](const std::string& n) { taken.insert(UpperAscii(n)); };
  add(name_);
  if (TfrxReport* report = Report()) {
    for (TfrxComponent* c : report->AllObjects()) add(c->Name());
  } else if (parent_ != nullptr) {
    for (TfrxComponent* c : parent_->AllObjects()) add(c->Name());
  }
  std::string base = BaseName();
  const std::string upperBase = UpperAscii(base);
  for (int n = 1;; ++n) {
    if (taken.count(upperBase + std::to_string(n)) == 0) {
      SetName(base + std::to_string(n));
      return;
    }
  }
}

void TfrxComponent::SetParent(TfrxComponent* parent) {
  if (parent == parent_) return;
  for (TfrxComponent* p = parent; p != nullptr; p = p->parent_)
    if (p == this) throw std::runtime_error("Circular parent reference is not allowed");
  if (parent_ != nullptr) {
    auto& siblings = parent_->objects_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  parent_ = parent;
  if (parent_ != nullptr) {
    parent_->objects_.push_back(this);
    if (parentFont_) {
      font_.CopyValues(parent_->font_);
      PropagateFont();
    }
  }
}

void TfrxComponent::CollectAll(std::vector<TfrxComponent*>& out) const {
  for (TfrxComponent* c : objects_) {
    out.push_back(c);
    c->CollectAll(out);
  }
}

const std::vector<TfrxComponent*>& TfrxComponent::AllObjects() {
  allObjects_.clear();
  CollectAll(allObjects_);
  return allObjects_;
}

TfrxComponent* TfrxComponent::FindObject(std::string_view name) {
  for (TfrxComponent* c : AllObjects())
    if (SameTextAscii(c->Name(), name)) return c;
  return nullptr;
}

TfrxPage* TfrxComponent::Page() {
  for (TfrxComponent* c = this; c != nullptr; c = c->parent_)
    if (auto* p = dynamic_cast<TfrxPage*>(c)) return p;
  return nullptr;
}

TfrxReport* TfrxComponent::Report() {
  for (TfrxComponent* c = this; c != nullptr; c = c->parent_)
    if (auto* r = dynamic_cast<TfrxReport*>(c)) return r;
  return nullptr;
}

const TfrxReport* TfrxComponent::Report() const { return const_cast<TfrxComponent*>(this)->Report(); }

bool TfrxComponent::AcceptsChild(const TfrxComponent&) const { return false; }

bool TfrxComponent::IsLoading() const { return IsLoadingFlag; }

void TfrxComponent::SetLeft(double v) {
  if (!(IsDesigning && (Restrictions & rfDontMove))) left_ = v;
}
void TfrxComponent::SetTop(double v) {
  if (!(IsDesigning && (Restrictions & rfDontMove))) top_ = v;
}
void TfrxComponent::SetWidth(double v) {
  if (!(IsDesigning && (Restrictions & rfDontSize))) width_ = v;
}
void TfrxComponent::SetHeight(double v) {
  if (!(IsDesigning && (Restrictions & rfDontSize))) height_ = v;
}

void TfrxComponent::SetBounds(double left, double top, double width, double height) {
  SetLeft(left);
  SetTop(top);
  SetWidth(width);
  SetHeight(height);
}

double TfrxComponent::AbsLeft() const {
  if (parent_ == nullptr || parent_->ClassName() == "TfrxDialogPage") return left_;
  return parent_->AbsLeft() + left_;
}

double TfrxComponent::AbsTop() const {
  if (parent_ == nullptr || parent_->ClassName() == "TfrxDialogPage") return top_;
  return parent_->AbsTop() + top_;
}

void TfrxComponent::SetFont(const TfrxFont& font) {
  font_ = font;  // announces the change: ParentFont becomes false
}

void TfrxComponent::SetParentFont(bool value) {
  if (value && parent_ != nullptr) {
    font_.CopyValues(parent_->font_);
    PropagateFont();
  }
  parentFont_ = value;
}

void TfrxComponent::FontChanged() {
  // While loading, the stored ParentFont attribute decides, not the order in
  // which the font's attributes happen to arrive.
  if (!IsLoading()) parentFont_ = false;
  PropagateFont();
}

void TfrxComponent::PropagateFont() {
  for (TfrxComponent* c : objects_)
    if (c->parentFont_) {
      c->font_.CopyValues(font_);
      c->PropagateFont();
    }
}

void TfrxComponent::Clear() {
  std::vector<TfrxComponent*> children;
  children.swap(objects_);
  for (TfrxComponent* c : children) {
    c->parent_ = nullptr;
    delete c;
  }
}

void TfrxComponent::LoadFromStream(TStream& stream) {
  std::vector<std::string> errors;
  {
    // The object keeps its own name whatever the stream says.
    Clear();
    ScopedValue<std::string> name(name_, std::string());
    errors = ReadComponent(*this, stream);
  }
  if (TfrxReport* report = Report())
    for (const auto& e : errors) report->AddError(e);
}

void TfrxComponent::SaveToStream(TStream& stream, bool saveChildren, bool saveDefaultValues) {
  WriteComponent(*this, stream, saveChildren, saveDefaultValues);
}

void TfrxComponent::Assign(TfrxComponent& source) {
  TMemoryStream stream;
  source.SaveToStream(stream, false, true);
  stream.Seek(0);
  LoadFromStream(stream);
}

TfrxRenderContext& TfrxComponent::RenderContext() {
  TfrxComponent* root = this;
  while (root->parent_ != nullptr) root = root->parent_;
  if (root->contextReport_ != nullptr && root->contextReport_ != root) return root->contextReport_->RenderContext();
  if (!root->ownContext_) root->ownContext_ = NewRenderContext();
  return *root->ownContext_;
}

void TfrxComponent::AssignAll(TfrxComponent& source) {
  TMemoryStream stream;
  source.SaveToStream(stream, true, true);
  stream.Seek(0);
  LoadFromStream(stream);
}

// ---------------------------------------------------------------- alignment

namespace {

bool OverlapsVertically(const TfrxComponent& v, const TfrxComponent& q) {
  double vt = v.AbsTop(), qt = q.AbsTop();
  if (qt >= vt + v.Height() - 0.0001) return false;
  if (vt >= qt + q.Height() - 0.0001) return false;
  return true;
}

// The view met first from list position i in steps of −d that lies on V's
// row; d = +1 walks towards smaller Left, d = −1 towards larger.
TfrxView* Neighbour(const std::vector<TfrxView*>& list, int i, int d) {
  TfrxView* v = list[static_cast<std::size_t>(i)];
  for (int k = i; k >= 0 && k < static_cast<int>(list.size()); k -= d) {
    TfrxView* q = list[static_cast<std::size_t>(k)];
    if (q == v || !OverlapsVertically(*v, *q)) continue;
    if (v->Align == TfrxAlign::baWidth) {
      if (d == 1 && v->Left() < q->Left()) continue;
      if (d == -1 && v->Left() + v->Width() > q->Left() + q->Width()) continue;
    }
    return q;
  }
  return nullptr;
}

}  // namespace

void TfrxComponent::AlignChildren() {
  // Sorted by the numeric Left. (The old text key "%9.2f" put -3 after -10 only
  // by a trick, and merged positions closer than a hundredth.) Equal positions
  // end in the reverse of their child order, as they always did.
  std::vector<TfrxView*> list;
  bool numbers = true;
  for (auto it = objects_.rbegin(); it != objects_.rend(); ++it)
    if (auto* v = dynamic_cast<TfrxView*>(*it)) {
      list.push_back(v);
      numbers = numbers && !std::isnan(v->Left());
    }
  if (numbers) {
    // One sort of the children taken last to first: the order the inserting
    // below gives, in n log n rather than quadratic time.
    std::stable_sort(list.begin(), list.end(),
                     [](const TfrxView* a, const TfrxView* b) { return a->Left() < b->Left(); });
  } else {
    // A Left that is no number has no place in a sort; each child goes where
    // the search for its place ends, as it always did.
    std::vector<TfrxView*> children(list.rbegin(), list.rend());
    list.clear();
    for (TfrxView* v : children) {
      auto at = std::lower_bound(list.begin(), list.end(), v->Left(),
                                 [](const TfrxView* a, double left) { return a->Left() < left; });
      list.insert(at, v);
    }
  }
  const int n = static_cast<int>(list.size());
  for (int i = 0; i < n; ++i) {
    TfrxView* v = list[static_cast<std::size_t>(i)];
    if (v->Align != TfrxAlign::baLeft && v->Align != TfrxAlign::baWidth) continue;
    TfrxView* nb = Neighbour(list, i, 1);
    v->SetLeft(nb != nullptr ? nb->Left() + nb->Width() : 0);
  }
  for (int i = n - 1; i >= 0; --i) {
    TfrxView* v = list[static_cast<std::size_t>(i)];
    if (v->Align != TfrxAlign::baRight && v->Align != TfrxAlign::baWidth) continue;
    TfrxView* nb = Neighbour(list, i, -1);
    if (v->Align == TfrxAlign::baRight)
      v->SetLeft(nb != nullptr ? nb->Left() - v->Width() : Width() - v->Width());
    else
      v->SetWidth(nb != nullptr ? nb->Left() - v->Left() : Width() - v->Left());
  }
  for (TfrxComponent* c : objects_) {
    auto* v = dynamic_cast<TfrxView*>(c);
    if (v == nullptr) continue;
    switch (v->Align) {
      case TfrxAlign::baCenter: v->SetLeft((Width() - v->Width()) / 2); break;
      case TfrxAlign::baBottom: v->SetTop(Height() - v->Height()); break;
      case TfrxAlign::baClient:
        v->SetLeft(0);
        v->SetTop(0);
        v->SetWidth(Width());
        v->SetHeight(Height());
        break;
      default: break;
    }
  }
}

std::string TfrxComponent::Diff(const TfrxComponent& ref) const { return DiffText(*this, ref); }

// ---------------------------------------------------------------- TfrxReportComponent

const ClassInfo& TfrxReportComponent::StaticClassInfo() {
  using C = TfrxReportComponent;
  static const ClassInfo info =
      ClassBuilder<C>("TfrxReportComponent", &TfrxComponent::StaticClassInfo()).String("Description", &C::Description).Build();
  return info;
}

void TfrxReportComponent::Draw(Canvas&, double, double, double, double) {}

void TfrxReportComponent::BeforePrint() {
  savedLeft_ = Left();
  savedTop_ = Top();
  savedWidth_ = Width();
  savedHeight_ = Height();
}

void TfrxReportComponent::AfterPrint() {
  left_ = savedLeft_;
  top_ = savedTop_;
  width_ = savedWidth_;
  height_ = savedHeight_;
}

TfrxReportComponent::Rect TfrxReportComponent::GetRealBounds() {
  double l = AbsLeft(), t = AbsTop();
  return {l, t, l + Width(), t + Height()};
}

// ---------------------------------------------------------------- TfrxView

TfrxView::TfrxView(TfrxComponent* owner) : TfrxReportComponent(owner) {}

const ClassInfo& TfrxView::StaticClassInfo() {
  using V = TfrxView;
  static const ClassInfo info =
      ClassBuilder<V>("TfrxView", &TfrxReportComponent::StaticClassInfo())
          .Enum("Align", &V::Align, kAlignInfo, TfrxAlign::baNone)
          .Bool("Printable", &V::Printable, true)
          .Enum("ShiftMode", &V::ShiftMode, kShiftModeInfo, TfrxShiftMode::smAlways)
          .Float("Left", &V::Left, &V::SetLeft)
          .Float("Top", &V::Top, &V::SetTop)
          .Float("Width", &V::Width, &V::SetWidth)
          .Float("Height", &V::Height, &V::SetHeight)
          .Int("GroupIndex", &V::GroupIndex, 0)
          .Set("Restrictions", &V::Restrictions, kRestrictionsInfo, 0)
          .OrdinalAccess("Visible", PropKind::Boolean, "Boolean", nullptr, &V::Visible, &V::SetVisible, true, 1)
          .Event("OnAfterData", &V::OnAfterData)
          .Event("OnAfterPrint", &V::OnAfterPrint)
          .Event("OnBeforePrint", &V::OnBeforePrint)
          .Event("OnPreviewClick", &V::OnPreviewClick)
          // An aligned view's Left follows from its parent.
          .DiffWhen({"l"}, [](const V& v) { return v.Align == TfrxAlign::baNone; })
          .Diff({{"BrushStyle", "BrushStyle"},
                 {"Align", "Align"},
                 {"Color", "Color"},
                 {"Frame.Color", "Frame.Color"},
                 {"Frame.DropShadow", "Frame.DropShadow"},
                 {"Frame.ShadowColor", "Frame.ShadowColor"},
                 {"Frame.ShadowWidth", "Frame.ShadowWidth"},
                 {"Frame.Style", "Frame.Style"},
                 {"Frame.Typ", "Frame.Typ"},
                 {"Frame.Width", "Frame.Width"},
                 {"Cursor", "Cursor"},
                 {"Printable", "Printable"},
                 {"TagStr", "TagStr"},
                 {"URL", "URL"}})
          .Build();
  return info;
}

bool TfrxView::AcceptsChild(const TfrxComponent& child) const {
  return dynamic_cast<const TfrxView*>(&child) != nullptr;
}

TfrxDataSet* TfrxView::DataSet() const { return dataSet_.Get(); }
void TfrxView::SetDataSet(TfrxDataSet* dataSet) { dataSet_.Set(dataSet); }
std::string TfrxView::DataSetName() const { return dataSet_.Name(); }
void TfrxView::SetDataSetName(const std::string& name) { dataSet_.SetName(this, name); }

void TfrxView::Draw(Canvas& canvas, double scaleX, double scaleY, double offsetX, double offsetY) {
  PainterOf(GetClassInfo()).Draw(*this, canvas, scaleX, scaleY, offsetX, offsetY);
}

void TfrxView::DrawBackground() { PainterOf(GetClassInfo()).DrawBackground(*this); }

void TfrxView::DrawFrame() { PainterOf(GetClassInfo()).DrawFrame(*this); }

void TfrxView::BeginDraw(Canvas& canvas, double scaleX, double scaleY, double offsetX, double offsetY) {
  DrawCanvas = &canvas;
  ScaleX = scaleX;
  ScaleY = scaleY;
  OffsetX = offsetX;
  OffsetY = offsetY;
  double l = AbsLeft(), t = AbsTop();
  Device.left = RoundHalfEven(offsetX + l * scaleX);
  Device.top = RoundHalfEven(offsetY + t * scaleY);
  Device.right = RoundHalfEven(offsetX + (l + Width()) * scaleX);
  Device.bottom = RoundHalfEven(offsetY + (t + Height()) * scaleY);
  if (Frame.DropShadow) {
    Device.right -= RoundHalfEven(Frame.ShadowWidth * scaleX);
    Device.bottom -= RoundHalfEven(Frame.ShadowWidth * scaleY);
  }
  FrameWidthPx = RoundHalfEven(Frame.Width * scaleX);
}

void TfrxView::BeforePrint() {
  TfrxReportComponent::BeforePrint();
  savedTagStr_ = TagStr;
  savedURL_ = URL;
}

void TfrxView::AfterPrint() {
  TfrxReportComponent::AfterPrint();
  TagStr = savedTagStr_;
  URL = savedURL_;
}

void TfrxView::GetData() {
  TfrxReport* report = Report();
  if (report == nullptr) return;
  const ExpressionDelimiters brackets{u"[", u"]"};
  auto evaluate = [report](const std::string& expression) { return VarToStr(report->Calc(expression)); };
  for (std::string* text : {&TagStr, &URL})
    if (text->find('[') != std::string::npos)
      *text = Utf16ToSingleByte(ExpandExpressions(SingleByteToUtf16(*text), brackets, evaluate));
}

// ---------------------------------------------------------------- TfrxStretcheable

double TfrxStretcheable::CalcHeight() { return PainterOf(GetClassInfo()).CalcHeight(*this); }

double TfrxStretcheable::DrawPart() { return PainterOf(GetClassInfo()).DrawPart(*this); }

const ClassInfo& TfrxStretcheable::StaticClassInfo() {
  using S = TfrxStretcheable;
  static const ClassInfo info = ClassBuilder<S>("TfrxStretcheable", &TfrxView::StaticClassInfo())
                                    .Enum("StretchMode", &S::StretchMode, kStretchModeInfo,
                                          TfrxStretchMode::smDontStretch)
                                    .Build();
  return info;
}

}  // namespace zentavo
