// Bands: property lists of every kind, the child chain and data links.
#include "report/frxBands.h"

#include <algorithm>
#include <mutex>
#include <set>
#include <stdexcept>

#include "report/frxDataSet.h"
#include "report/frxRes.h"
#include "report/frxViews.h"

namespace zentavo {

TfrxBand::TfrxBand(TfrxComponent* owner) : TfrxReportComponent(owner) {}

TfrxBand::~TfrxBand() = default;

const ClassInfo& TfrxBand::StaticClassInfo() {
  using B = TfrxBand;
  static const ClassInfo info =
      ClassBuilder<B>("TfrxBand", &TfrxReportComponent::StaticClassInfo())
          .ObjectAccess("Font", &B::FontObject, "TFont")
          .StoredIf([](const B& b) { return !b.ParentFont(); })
          .Float("Height", &B::Height, &B::SetHeight)
          .Float("Left", &B::Left, &B::SetLeft)
          .OrdinalAccess("ParentFont", PropKind::Boolean, "Boolean", nullptr, &B::ParentFont, &B::SetParentFont, true, 1)
          .Set("Restrictions", &B::Restrictions, kRestrictionsInfo, 0)
          .Float("Top", &B::Top, &B::SetTop)
          .Bool("Vertical", &B::Vertical, false)
          .OrdinalAccess("Visible", PropKind::Boolean, "Boolean", nullptr, &B::Visible, &B::SetVisible, true, 1)
          .Float("Width", &B::Width, &B::SetWidth)
          .Event("OnAfterCalcHeight", &B::OnAfterCalcHeight)
          .Event("OnAfterPrint", &B::OnAfterPrint)
          .Event("OnBeforePrint", &B::OnBeforePrint)
          // The engine places every band: its top is always stored.
          .DiffAlways("t")
          .OwnDiff()
          .Build();
  return info;
}

bool TfrxBand::AcceptsChild(const TfrxComponent& child) const {
  if (dynamic_cast<const TfrxView*>(&child) != nullptr) return true;
  auto* v = dynamic_cast<const TfrxVerbatimObject*>(&child);
  return v != nullptr && !v->IsPage();
}

std::string TfrxBand::GetDescription() const { return frxResources().Get("obBand"); }

TfrxChild* TfrxBand::Child() const { return child_.Get(); }

void TfrxBand::SetChild(TfrxChild* child) {
  const char* kCircular = "Circular child reference is not allowed";
  // Every link is checked when it is made, so a chain can only loop through
  // the band being linked; the bound is a second guard, far above any report.
  constexpr int kMaxChain = 100000;
  int steps = 0;
  for (const TfrxBand* b = child; b != nullptr; b = b->Child()) {
    if (b == this || ++steps > kMaxChain) throw std::runtime_error(kCircular);
  }
  child_.Reset(child);
}

int TfrxBand::BandNumber() const {
  static const ClassInfo* const kTable[] = {
      &TfrxReportTitle::StaticClassInfo(),  &TfrxReportSummary::StaticClassInfo(),
      &TfrxPageHeader::StaticClassInfo(),   &TfrxPageFooter::StaticClassInfo(),
      &TfrxHeader::StaticClassInfo(),       &TfrxFooter::StaticClassInfo(),
      &TfrxMasterData::StaticClassInfo(),   &TfrxDetailData::StaticClassInfo(),
      &TfrxSubdetailData::StaticClassInfo(), &TfrxDataBand4::StaticClassInfo(),
      &TfrxDataBand5::StaticClassInfo(),    &TfrxDataBand6::StaticClassInfo(),
      &TfrxGroupHeader::StaticClassInfo(),  &TfrxGroupFooter::StaticClassInfo(),
      &TfrxChild::StaticClassInfo(),        &TfrxColumnHeader::StaticClassInfo(),
      &TfrxColumnFooter::StaticClassInfo(), &TfrxOverlay::StaticClassInfo(),
  };
  int number = 0;
  for (int i = 0; i < static_cast<int>(std::size(kTable)); ++i)
    if (GetClassInfo().InheritsFrom(*kTable[i])) number = i;
  return number;
}

// ---------------------------------------------------------------- data band

TfrxDataBand::TfrxDataBand(TfrxComponent* owner) : TfrxBand(owner) {}

TfrxDataBand::~TfrxDataBand() = default;

std::string TfrxDataBand::GetDescription() const { return frxResources().Get("obDataBand"); }

void TfrxDataBand::SetRowCount(int n) {
  rowCount_ = n;
  if (virtualDataSet_) virtualDataSet_->RangeEndCount = n;
}

TfrxUserDataSet& TfrxDataBand::VirtualDataSet() {
  // Made on first use: the copies of a band on every rebuilt page never run
  // rows, and each data set made enters the program-wide registry.
  if (!virtualDataSet_) {
    virtualDataSet_ = std::make_unique<TfrxUserDataSet>();
    virtualDataSet_->RangeEnd = TfrxRangeEnd::reCount;
    virtualDataSet_->RangeEndCount = rowCount_;
  }
  return *virtualDataSet_;
}

TfrxDataSet* TfrxDataBand::DataSet() const { return dataSet_.Get(); }

void TfrxDataBand::SetDataSet(TfrxDataSet* dataSet) { dataSet_.Set(dataSet); }
std::string TfrxDataBand::DataSetName() const { return dataSet_.Name(); }
void TfrxDataBand::SetDataSetName(const std::string& name) { dataSet_.SetName(this, name); }

namespace {

// The options each kind publishes beyond TfrxBand, in writing order.
template <class B>
ClassBuilder<B>& BandOptions(ClassBuilder<B>& b, std::initializer_list<const char*> names) {
  for (std::string_view n : names) {
    if (n == "AllowSplit") b.Bool("AllowSplit", &TfrxBand::AllowSplit, false);
    else if (n == "Child") b.Reference("Child", &TfrxBand::Child, &TfrxBand::SetChild, "TfrxChild");
    else if (n == "Condition") b.String("Condition", &TfrxBand::Condition);
    else if (n == "HideIfSingleDataRecord") b.Bool("HideIfSingleDataRecord", &TfrxBand::HideIfSingleDataRecord, false);
    else if (n == "KeepChild") b.Bool("KeepChild", &TfrxBand::KeepChild, false);
    else if (n == "KeepTogether") b.Bool("KeepTogether", &TfrxBand::KeepTogether, false);
    else if (n == "OutlineText") b.String("OutlineText", &TfrxBand::OutlineText);
    else if (n == "PrintChildIfInvisible") b.Bool("PrintChildIfInvisible", &TfrxBand::PrintChildIfInvisible, false);
    else if (n == "PrintOnFirstPage") b.Bool("PrintOnFirstPage", &TfrxBand::PrintOnFirstPage, true);
    else if (n == "PrintOnLastPage") b.Bool("PrintOnLastPage", &TfrxBand::PrintOnLastPage, true);
    else if (n == "PrintOnTop") b.Bool("PrintOnTop", &TfrxBand::PrintOnTop, false);
    else if (n == "ReprintOnNewPage") b.Bool("ReprintOnNewPage", &TfrxBand::ReprintOnNewPage, false);
    else if (n == "StartNewPage") b.Bool("StartNewPage", &TfrxBand::StartNewPage, false);
    else if (n == "Stretched") b.Bool("Stretched", &TfrxBand::Stretched, false);
    else throw std::logic_error("unknown band option");
  }
  return b;
}

template <class B>
ClassInfo BandInfo(const char* name, const ClassInfo& base, std::initializer_list<const char*> options) {
  ClassBuilder<B> b(name, &base);
  return BandOptions(b, options).Build();
}

#define TITLE_LIKE {"AllowSplit", "Child", "KeepChild", "PrintChildIfInvisible", "StartNewPage", "Stretched"}

}  // namespace

const ClassInfo& TfrxDataBand::StaticClassInfo() {
  using D = TfrxDataBand;
  static const ClassInfo info = [] {
    ClassBuilder<D> b("TfrxDataBand", &TfrxBand::StaticClassInfo());
    BandOptions(b, {"AllowSplit", "Child"});
    b.Int("Columns", &D::Columns, 0)
        .Float("ColumnWidth", &D::ColumnWidth)
        .Float("ColumnGap", &D::ColumnGap)
        .Reference("DataSet", &D::DataSet, &D::SetDataSet, "TfrxDataSet")
        .String("DataSetName", &D::DataSetName, &D::SetDataSetName)
        .Bool("FooterAfterEach", &D::FooterAfterEach, false);
    BandOptions(b, {"KeepChild"});
    b.Bool("KeepFooter", &D::KeepFooter, false).Bool("KeepHeader", &D::KeepHeader, false);
    BandOptions(b, {"KeepTogether", "OutlineText", "PrintChildIfInvisible"});
    b.Bool("PrintIfDetailEmpty", &D::PrintIfDetailEmpty, false)
        .OrdinalAccess("RowCount", PropKind::Integer, "Integer", nullptr, &D::RowCount, &D::SetRowCount, false, 0);
    BandOptions(b, {"StartNewPage", "Stretched"});
    b.Event("OnMasterDetail", &D::OnMasterDetail);
    return b.Build();
  }();
  return info;
}

#define BAND_INFO(NAME, BASE, ...)                                                   \
  const ClassInfo& NAME::StaticClassInfo() {                                         \
    static const ClassInfo info = BandInfo<NAME>(#NAME, BASE::StaticClassInfo(), __VA_ARGS__); \
    return info;                                                                     \
  }

BAND_INFO(TfrxReportTitle, TfrxBand, TITLE_LIKE)
BAND_INFO(TfrxReportSummary, TfrxBand, TITLE_LIKE)
BAND_INFO(TfrxPageHeader, TfrxBand, {"Child", "PrintChildIfInvisible", "PrintOnFirstPage", "Stretched"})
BAND_INFO(TfrxPageFooter, TfrxBand, {"PrintOnFirstPage", "PrintOnLastPage"})
BAND_INFO(TfrxHeader, TfrxBand,
          {"AllowSplit", "Child", "KeepChild", "PrintChildIfInvisible", "ReprintOnNewPage", "StartNewPage", "Stretched"})
BAND_INFO(TfrxFooter, TfrxBand, {"AllowSplit", "Child", "KeepChild", "PrintChildIfInvisible", "Stretched"})
BAND_INFO(TfrxMasterData, TfrxDataBand, {})
BAND_INFO(TfrxDetailData, TfrxDataBand, {})
BAND_INFO(TfrxSubdetailData, TfrxDataBand, {})
BAND_INFO(TfrxDataBand4, TfrxDataBand, {})
BAND_INFO(TfrxDataBand5, TfrxDataBand, {})
BAND_INFO(TfrxDataBand6, TfrxDataBand, {})
BAND_INFO(TfrxGroupHeader, TfrxBand,
          {"AllowSplit", "Child", "Condition", "KeepChild", "KeepTogether", "ReprintOnNewPage", "OutlineText",
           "PrintChildIfInvisible", "StartNewPage", "Stretched"})
BAND_INFO(TfrxGroupFooter, TfrxBand,
          {"AllowSplit", "Child", "HideIfSingleDataRecord", "KeepChild", "PrintChildIfInvisible", "Stretched"})
BAND_INFO(TfrxChild, TfrxBand, TITLE_LIKE)
BAND_INFO(TfrxColumnHeader, TfrxBand, {"Stretched"})
BAND_INFO(TfrxColumnFooter, TfrxBand, {})
BAND_INFO(TfrxOverlay, TfrxBand, {"PrintOnTop"})
BAND_INFO(TfrxNullBand, TfrxBand, {})

}  // namespace zentavo
