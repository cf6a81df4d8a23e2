// Small reports and helpers shared by the engine tests.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/frxEngine.h"
#include "engine/frxObjectTree.h"
#include "engine/frxPreviewPages.h"
#include "report/frxClass.h"

namespace zentavo::testing {

// A stretchable view that needs `Extra` more pixels than it has. Not a
// registered class: tests using it turn ReloadAfterPrepare off.
class GrowView : public TfrxStretcheable {
 public:
  using TfrxStretcheable::TfrxStretcheable;
  double Extra = 0;
  double CalcHeight() override { return Height() + Extra; }
};

inline TfrxReportPage* AddPage(TfrxReport& report, const char* name = "Page1") {
  auto* page = new TfrxReportPage(&report);
  page->SetName(name);
  page->SetPaperWidth(50);
  page->SetPaperHeight(30);
  return page;
}

inline TfrxMemoView* AddMemo(TfrxComponent& parent, const char* name, double left, double top, double width,
                             double height, const char* text = "x") {
  auto* memo = new TfrxMemoView(&parent);
  memo->SetName(name);
  memo->SetBounds(left, top, width, height);
  memo->SetText(text);
  return memo;
}

template <class Band>
Band* AddBand(TfrxComponent& page, const char* name, double top, double height) {
  auto* band = new Band(&page);
  band->SetName(name);
  band->SetTop(top);
  band->SetHeight(height);
  return band;
}

// A report read from template text, as a template file would give it.
inline std::unique_ptr<TfrxReport> LoadReport(const std::string& xml) {
  auto report = std::make_unique<TfrxReport>();
  TMemoryStream stream(xml);
  report->LoadFromStream(stream);
  return report;
}

inline std::string Bytes(TfrxReport& report) {
  TMemoryStream s;
  report.SaveToStream(s, true, false);
  return s.Data();
}

// A stored element with the name of its source object (or its class name).
struct Stored {
  std::string name;
  const TfrxXMLItem* item;
  const TfrxComponent* source;
  double Top() const { return ParseStoredFloat(item->Prop("t"), source != nullptr ? source->Top() : 0); }
  double Height() const { return ParseStoredFloat(item->Prop("h"), source != nullptr ? source->Height() : 0); }
};

inline void CollectStored(TfrxPreviewPages& pages, const TfrxXMLItem& parent, std::vector<Stored>& out) {
  for (int i = 0; i < parent.Count(); ++i) {
    const TfrxXMLItem& item = *parent.Items(i);
    const TfrxDictionary::Entry* e = pages.Dictionary().Find(item.Name);
    if (e != nullptr && e->source != nullptr)
      out.push_back({e->source->Name(), &item, e->source});
    else
      out.push_back({item.Name, &item, nullptr});
    CollectStored(pages, item, out);
  }
}

// Every element stored on a page, all levels, in order.
inline std::vector<Stored> StoredOn(TfrxReport& report, int page) {
  TfrxPreviewPages& pages = PreviewPagesOf(report);
  TfrxXMLItem& all = pages.Section("previewpages");
  std::vector<Stored> out;
  if (page < all.Count()) {
    if (!all.Items(page)->Loaded) pages.Document().LoadItem(*all.Items(page));
    CollectStored(pages, *all.Items(page), out);
  }
  return out;
}

inline const Stored* FindStored(const std::vector<Stored>& list, const std::string& name) {
  for (const auto& s : list)
    if (s.name == name) return &s;
  return nullptr;
}

// A report data source of `count` empty records.
inline std::unique_ptr<TfrxUserDataSet> Records(TfrxReport& report, int count, const char* name = "Records") {
  auto ds = std::make_unique<TfrxUserDataSet>(&report);
  ds->SetUserName(name);
  ds->RangeEnd = TfrxRangeEnd::reCount;
  ds->RangeEndCount = count;
  report.AddDataSet(ds.get());
  return ds;
}

}  // namespace zentavo::testing
