// Data bands as the engine runs them: the rows of each band's data set with
// its header and footer, its detail bands below every row, and the groups
// around it with their headers, footers and change test.
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "engine/frxBandLinks.h"
#include "engine/frxEngine.h"
#include "engine/frxPreviewPages.h"
#include "platform/ScopeGuard.h"
#include "platform/Text.h"
#include "report/frxClass.h"
#include "report/frxReportScript.h"

namespace zentavo {

namespace {

// Counts one more record of a band's data set, within the engine's bound.
void CountRecord(long& n, const TfrxDataBand& band) {
  if (++n > TfrxEngine::kMaxRecords) throw std::runtime_error(band.Name() + ": the data set has too many records");
}

// The memos of a band print their next text even when it repeats.
void ForgetPrinted(TfrxBand& band) {
  for (TfrxComponent* c : band.AllObjects())
    if (auto* memo = dynamic_cast<TfrxCustomMemoView*>(c)) memo->ForgetLastPrinted();
}

bool SameValue(const Variant& a, const Variant& b) {
  try {
    return VarEquals(a, b);
  } catch (const std::exception&) {
    return false;  // values that do not compare are a change
  }
}

}  // namespace

bool TfrxEngine::BandYieldsRows(TfrxBand& band, bool accept) {
  if (accept || band.Details.empty()) return true;
  return AnyBandYieldsRows(band.Details);
}

bool TfrxEngine::AnyBandYieldsRows(const std::vector<TfrxBand*>& bands) {
  for (TfrxBand* b : bands) {
    auto& data = static_cast<TfrxDataBand&>(*b);
    TfrxDataSet* ds = BandDataSet(data);
    if (ds == nullptr) continue;
    CallEvent(data.OnMasterDetail, &data);
    ds->First();
    for (long n = 0; !ds->Eof() && !report_.Terminated; ds->Next()) {
      CountRecord(n, data);
      if (BandYieldsRows(data, data.PrintIfDetailEmpty)) return true;
    }
  }
  return false;
}

Variant TfrxEngine::GroupCondition(TfrxBand& header) {
  ScopedValue current(report_.CurObject, header.Name());
  return report_.Calc(header.Condition);
}

void TfrxEngine::AddBandOutline(TfrxBand& band) {
  if (band.OutlineText.empty()) return;
  ScopedValue current(report_.CurObject, band.Name());
  std::string text = VarToStr(report_.Calc(band.OutlineText));
  Store().Outline().AddItem(text, static_cast<int>(std::round(CurY - band.Height())));
}

void TfrxEngine::RemoveFromHeaderList(const TfrxBand* band) {
  HeaderList.erase(std::remove_if(HeaderList.begin(), HeaderList.end(),
                                  [band](const TfrxHeaderListItem& e) { return e.HeaderBand == band; }),
                   HeaderList.end());
}

void TfrxEngine::OutputGroupHeaders(TfrxBand& group, std::size_t from, bool reset) {
  const std::vector<TfrxBand*>& chain = group.Details;
  for (std::size_t i = from; i < chain.size(); ++i) {
    TfrxBand& h = *chain[i];
    if (reset) {
      h.RowNo = 1;
      h.RowNoThrough = 1;
      ForgetPrinted(h);
    } else {
      ++h.RowNo;
      ++h.RowNoThrough;
      // The next header of the chain starts its count again.
      if (i + 1 < chain.size()) chain[i + 1]->RowNo = 0;
    }
    RowNumber = h.RowNo;
    RowNumberThrough = h.RowNoThrough;
    h.GroupValue = GroupCondition(h);
    if (h.KeepTogether) OpenKeep(&h, 0);
    ShowBand(&h);
    AddBandOutline(h);
    if (h.ReprintOnNewPage) HeaderList.push_back({&h, AreaLeft, KeepActive});
  }
}

void TfrxEngine::OutputGroupFooters(TfrxBand& group, std::size_t stop, TfrxDataBand& data) {
  const std::vector<TfrxBand*>& chain = group.Details;
  for (std::size_t i = chain.size(); i-- > stop;) {
    TfrxBand& h = *chain[i];
    if (TfrxBand* footer = h.LinkedFooter) {
      // A group of one row leaves RowNo at 2.
      if (footer->HideIfSingleDataRecord && data.RowNo < 3)
        aggregates_.Reset(*footer);
      else
        ShowBand(footer);
    }
    if (!h.OutlineText.empty()) Store().Outline().LevelUp();
    RemoveFromHeaderList(&h);
    CloseKeep(&h);
  }
}

void TfrxEngine::CheckGroupChange(TfrxDataBand& data, TfrxDataSet& ds) {
  TfrxBand& group = *data.LinkedGroup;
  const std::vector<TfrxBand*>& chain = group.Details;
  for (std::size_t i = 0; i < chain.size(); ++i) {
    if (SameValue(GroupCondition(*chain[i]), chain[i]->GroupValue)) continue;
    // The footers see the last row of the group that ended.
    const bool back = ds.RecNo > 0;
    if (back) ds.Prior();
    OutputGroupFooters(group, i, data);
    if (back) ds.Next();
    OutputGroupHeaders(group, i, false);
    data.RowNo = 1;
    ForgetPrinted(data);
    return;
  }
}

void TfrxEngine::ProcessMasterBands(const std::vector<TfrxBand*>& bands) {
  if (report_.OnProcessEvents) report_.OnProcessEvents();
  if (report_.Terminated) return;
  for (TfrxBand* b : bands) {
    auto& data = static_cast<TfrxDataBand&>(*b);
    TfrxDataSet* ds = BandDataSet(data);
    if (ds == nullptr) continue;
    ds->First();
    data.RowNo = 1;
    data.RowNoThrough = 1;
    data.ColumnNo = 1;
    ForgetPrinted(data);
    TfrxBand* header = data.LinkedHeader;
    TfrxBand* footer = data.LinkedFooter;
    TfrxBand* group = data.LinkedGroup;
    bool shown = false;
    int keepFooterFrom = 0;
    for (long n = 0; !ds->Eof(); ) {
      CountRecord(n, data);
      if (BandYieldsRows(data, data.PrintIfDetailEmpty)) {
        const bool firstRow = !shown;
        if (firstRow) {
          if (data.KeepTogether) OpenKeep(&data, 0);
          if (data.KeepHeader && header != nullptr) OpenKeep(header, 0);
          if (header != nullptr) {
            if (header->ReprintOnNewPage) HeaderList.push_back({header, AreaLeft, KeepActive});
            ShowBand(header);
          }
          if (group != nullptr) OutputGroupHeaders(*group, 0, true);
        } else {
          if (group == nullptr && data.KeepTogether) OpenKeep(&data, 0);
          if (group != nullptr) CheckGroupChange(data, *ds);
        }
        if (data.KeepFooter) keepFooterFrom = Store().ObjectCount();
        RowNumber = data.RowNo;
        RowNumberThrough = data.RowNoThrough;
        ShowBand(&data);
        if (firstRow && data.KeepHeader && header != nullptr) CloseKeep(header);
        ++data.RowNo;
        ++data.RowNoThrough;
        shown = true;
        AddBandOutline(data);
        ProcessMasterBands(data.Details);
        if (!data.OutlineText.empty()) Store().Outline().LevelUp();
      }
      NoKeep = false;
      if (data.FooterAfterEach) ShowBand(footer);
      if (group == nullptr && data.KeepTogether) CloseKeep(&data);
      ds->Next();
      if ((data.RowCount() != 0 && data.RowNo > data.RowCount()) || report_.Terminated) break;
    }
    if (shown) {
      if (group != nullptr) OutputGroupFooters(*group, 0, data);
      if (!data.FooterAfterEach && footer != nullptr) {
        if (data.KeepFooter) {
          // The footer takes the last row along to a new page.
          OpenKeep(&data, keepFooterFrom);
          ScopedValue showing(KeptFooterShowing, true);
          ShowBand(footer);
          CloseKeep(&data);
        } else {
          ShowBand(footer);
        }
      }
      RemoveFromHeaderList(header);
      if (group != nullptr && data.KeepTogether) CloseKeep(&data);
    }
    if (report_.Terminated) return;
    NoKeep = false;
  }
}

}  // namespace zentavo
