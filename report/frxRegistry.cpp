// The classes the template format creates by element name, in one table.
#include <map>
#include <memory>
#include <mutex>

#include "barcode/frxBarcode.h"
#include "report/frxBands.h"
#include "report/frxReport.h"
#include "report/frxViews.h"
#include "report/frxXMLSerializer.h"

namespace zentavo {

namespace {

template <class T>
TfrxComponent* Create(const ClassInfo&) {
  return new T(nullptr);
}
template <>
TfrxComponent* Create<TfrxReport>(const ClassInfo&) {
  return new TfrxReport();
}
TfrxComponent* CreateVerbatim(const ClassInfo& info) { return new TfrxVerbatimObject(info, nullptr); }

// Dialog and dot-matrix classes: accepted and kept verbatim.
const ClassInfo& VerbatimInfo(const char* name) {
  static std::map<std::string, std::unique_ptr<ClassInfo>> infos;
  static std::mutex lock;
  std::lock_guard<std::mutex> guard(lock);
  auto& slot = infos[name];
  if (!slot) slot = std::make_unique<ClassInfo>(name, &TfrxReportComponent::StaticClassInfo());
  return *slot;
}

template <class T>
RegisteredClass Entry() {
  return {&T::StaticClassInfo(), &Create<T>};
}

}  // namespace

const std::vector<RegisteredClass>& RegisteredClasses() {
  static const std::vector<RegisteredClass> classes = {
      Entry<TfrxReport>(),
      Entry<TfrxReportPage>(),
      {&VerbatimInfo("TfrxDialogPage"), &CreateVerbatim},
      Entry<TfrxReportTitle>(),
      Entry<TfrxReportSummary>(),
      Entry<TfrxPageHeader>(),
      Entry<TfrxPageFooter>(),
      Entry<TfrxHeader>(),
      Entry<TfrxFooter>(),
      Entry<TfrxMasterData>(),
      Entry<TfrxDetailData>(),
      Entry<TfrxSubdetailData>(),
      Entry<TfrxDataBand4>(),
      Entry<TfrxDataBand5>(),
      Entry<TfrxDataBand6>(),
      Entry<TfrxGroupHeader>(),
      Entry<TfrxGroupFooter>(),
      Entry<TfrxChild>(),
      Entry<TfrxColumnHeader>(),
      Entry<TfrxColumnFooter>(),
      Entry<TfrxOverlay>(),
      Entry<TfrxNullBand>(),
      Entry<TfrxCustomMemoView>(),
      Entry<TfrxMemoView>(),
      Entry<TfrxSysMemoView>(),
      Entry<TfrxCustomLineView>(),
      Entry<TfrxLineView>(),
      Entry<TfrxShapeView>(),
      Entry<TfrxPictureView>(),
      Entry<TfrxSubreport>(),
      Entry<TfrxBarCodeView>(),
      {&TfrxFrame::StaticClassInfo(), nullptr},
      {&TfrxHighlight::StaticClassInfo(), nullptr},
      {&TfrxStyleItem::StaticClassInfo(), nullptr},
      {&VerbatimInfo("TfrxDMPPage"), &CreateVerbatim},
      {&VerbatimInfo("TfrxDMPMemoView"), &CreateVerbatim},
      {&VerbatimInfo("TfrxDMPLineView"), &CreateVerbatim},
      {&VerbatimInfo("TfrxDMPCommand"), &CreateVerbatim},
  };
  return classes;
}

const RegisteredClass* FindRegisteredClass(std::string_view name) {
  for (const RegisteredClass& rc : RegisteredClasses()) {
    const std::string& n = rc.info->Name();
    if (n.size() != name.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < n.size() && same; ++i) {
      char a = n[i], b = name[i];
      if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 32);
      if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 32);
      same = a == b;
    }
    if (same) return &rc;
  }
  return nullptr;
}

}  // namespace zentavo
