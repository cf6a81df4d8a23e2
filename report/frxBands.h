// Bands: horizontal (or vertical) strips of a page placed by the engine as a
// whole. The class decides the band's role; the properties tune it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "report/frxComponent.h"
#include "script/fs_ivariant.h"

namespace zentavo {

class TfrxChild;
class TfrxUserDataSet;

class TfrxBand : public TfrxReportComponent {
 public:
  explicit TfrxBand(TfrxComponent* owner = nullptr);
  ~TfrxBand() override;
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
  bool AcceptsChild(const TfrxComponent& child) const override;
  std::string GetDescription() const override;

  bool Vertical = false;
  std::string OnAfterCalcHeight, OnAfterPrint, OnBeforePrint;
  // Options some kinds publish.
  bool AllowSplit = false;
  bool KeepChild = false;
  std::string OutlineText;
  bool PrintChildIfInvisible = false;
  bool StartNewPage = false;
  bool Stretched = false;
  bool PrintOnFirstPage = true;   // page header and footer
  bool PrintOnLastPage = true;    // page footer
  bool ReprintOnNewPage = false;  // header, group header
  bool KeepTogether = false;      // group header, data band
  std::string Condition;          // group header
  bool HideIfSingleDataRecord = false;  // group footer
  bool PrintOnTop = false;              // overlay

  // The band shown right after this one. Refuses a chain that leads back here
  // with "Circular child reference is not allowed".
  TfrxChild* Child() const;
  void SetChild(TfrxChild* child);

  // Band number of the engine's table (0 for kinds outside it).
  int BandNumber() const;

  // Runtime state of the engine (not stored).
  std::vector<TfrxBand*> Details;
  TfrxBand* LinkedHeader = nullptr;
  TfrxBand* LinkedFooter = nullptr;
  TfrxBand* LinkedGroup = nullptr;
  int SavedObjectCount = -1;
  // Row counters of a data band or a group header, from 1.
  int RowNo = 0, RowNoThrough = 0;
  // A group header's condition value when it was last shown.
  Variant GroupValue = Variant::Null();

 private:
  TfrxObjectRef<TfrxChild> child_;
};

class TfrxDataBand : public TfrxBand {
 public:
  explicit TfrxDataBand(TfrxComponent* owner = nullptr);
  ~TfrxDataBand() override;
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
  std::string GetDescription() const override;

  int Columns = 0;
  double ColumnWidth = 0;
  double ColumnGap = 0;
  bool FooterAfterEach = false;
  bool KeepFooter = false;
  bool KeepHeader = false;
  bool PrintIfDetailEmpty = false;
  std::string OnMasterDetail;
  int RowCount() const { return rowCount_; }
  void SetRowCount(int n);

  TfrxDataSet* DataSet() const;
  void SetDataSet(TfrxDataSet* dataSet);
  std::string DataSetName() const;
  void SetDataSetName(const std::string& name);
  // RowCount empty records, used when the band has no data set.
  TfrxUserDataSet& VirtualDataSet();

  // Runtime state of the engine.
  int ColumnNo = 0;
  double ColumnBottom = 0;

 private:
  int rowCount_ = 0;
  TfrxDataSetLink dataSet_;
  std::unique_ptr<TfrxUserDataSet> virtualDataSet_;
};

#define ZENTAVO_BAND(NAME, BASE)                                        \
  class NAME : public BASE {                                            \
   public:                                                              \
    using BASE::BASE;                                                   \
    static const ClassInfo& StaticClassInfo();                          \
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); } \
  };

ZENTAVO_BAND(TfrxReportTitle, TfrxBand)
ZENTAVO_BAND(TfrxReportSummary, TfrxBand)
ZENTAVO_BAND(TfrxPageHeader, TfrxBand)
ZENTAVO_BAND(TfrxPageFooter, TfrxBand)
ZENTAVO_BAND(TfrxHeader, TfrxBand)
ZENTAVO_BAND(TfrxFooter, TfrxBand)
ZENTAVO_BAND(TfrxMasterData, TfrxDataBand)
ZENTAVO_BAND(TfrxDetailData, TfrxDataBand)
ZENTAVO_BAND(TfrxSubdetailData, TfrxDataBand)
ZENTAVO_BAND(TfrxDataBand4, TfrxDataBand)
ZENTAVO_BAND(TfrxDataBand5, TfrxDataBand)
ZENTAVO_BAND(TfrxDataBand6, TfrxDataBand)
ZENTAVO_BAND(TfrxGroupHeader, TfrxBand)
ZENTAVO_BAND(TfrxGroupFooter, TfrxBand)
ZENTAVO_BAND(TfrxChild, TfrxBand)
ZENTAVO_BAND(TfrxColumnHeader, TfrxBand)
ZENTAVO_BAND(TfrxColumnFooter, TfrxBand)
ZENTAVO_BAND(TfrxOverlay, TfrxBand)
ZENTAVO_BAND(TfrxNullBand, TfrxBand)

#undef ZENTAVO_BAND

}  // namespace zentavo
