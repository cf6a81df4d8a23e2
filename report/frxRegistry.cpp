// The class registry: the model's own classes, the classes and painters the
// layers above add when they are installed.
#include "report/frxClassRegistry.h"

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/Cp1254.h"
#include "report/frxBands.h"
#include "report/frxPainter.h"
#include "report/frxReport.h"
#include "report/frxViews.h"

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

template <class T>
RegisteredClass Entry() {
  return {&T::StaticClassInfo(), &Create<T>};
}

class Registry {
 public:
  Registry() {
    // Dialog and dot-matrix classes: accepted and kept verbatim.
    auto verbatim = [this](const char* name) -> RegisteredClass {
      auto& slot = verbatimInfos_[name];
      slot = std::make_unique<ClassInfo>(name, &TfrxReportComponent::StaticClassInfo());
      return {slot.get(), &CreateVerbatim};
    };
    classes_ = {
        Entry<TfrxReport>(),
        Entry<TfrxReportPage>(),
        verbatim("TfrxDialogPage"),
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
        {&TfrxFrame::StaticClassInfo(), nullptr},
        {&TfrxHighlight::StaticClassInfo(), nullptr},
        {&TfrxStyleItem::StaticClassInfo(), nullptr},
        verbatim("TfrxDMPPage"),
        verbatim("TfrxDMPMemoView"),
        verbatim("TfrxDMPLineView"),
        verbatim("TfrxDMPCommand"),
    };
    modelCount = classes_.size();
  }

  std::mutex lock;
  std::size_t modelCount = 0;  // the model's own classes come first
  // A deque: entries keep their addresses while classes are added.
  std::deque<RegisteredClass> classes_;

 private:
  std::map<std::string, std::unique_ptr<ClassInfo>> verbatimInfos_;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

void RegisterClass(const RegisteredClass& entry) {
  Registry& r = TheRegistry();
  std::lock_guard guard(r.lock);
  for (const RegisteredClass& rc : r.classes_)
    if (SameTextAscii(rc.info->Name(), entry.info->Name())) return;
  r.classes_.push_back(entry);
}

const RegisteredClass* FindRegisteredClass(std::string_view name) {
  Registry& r = TheRegistry();
  std::lock_guard guard(r.lock);
  for (const RegisteredClass& rc : r.classes_)
    if (SameTextAscii(rc.info->Name(), name)) return &rc;
  return nullptr;
}

std::vector<RegisteredClass> RegisteredClasses() {
  Registry& r = TheRegistry();
  std::lock_guard guard(r.lock);
  return {r.classes_.begin(), r.classes_.end()};
}

std::vector<RegisteredClass> ModelClasses() {
  Registry& r = TheRegistry();
  std::lock_guard guard(r.lock);
  return {r.classes_.begin(), r.classes_.begin() + static_cast<std::ptrdiff_t>(r.modelCount)};
}

// The painter stands beside the class's description: every drawing asks for
// it, several times per object.
void RegisterPainter(const ClassInfo& cls, const TfrxPainter& painter) {
  cls.Runtime().painter.store(&painter, std::memory_order_release);
}

const TfrxPainter& PainterOf(const ClassInfo& cls) {
  for (const ClassInfo* c = &cls; c != nullptr; c = c->Parent())
    if (const TfrxPainter* p = c->Runtime().painter.load(std::memory_order_acquire)) return *p;
  return PlainPainter();
}

}  // namespace zentavo
