// References between report objects are checked: an object destroyed reads
// as none, even when a new object of the same class now lives at its address.
#include <gtest/gtest.h>

#include <new>

#include "report/frxClass.h"

namespace zentavo {
namespace {

// Storage that hands out the same address to one object after another, the
// way an allocator may reuse a freed block.
template <class T>
class ReusedSlot {
 public:
  template <class... A>
  T* Make(A&&... args) {
    Drop();
    object_ = new (storage_) T(std::forward<A>(args)...);
    return object_;
  }
  void Drop() {
    if (object_ != nullptr) object_->~T();
    object_ = nullptr;
  }
  ~ReusedSlot() { Drop(); }

 private:
  alignas(T) unsigned char storage_[sizeof(T)];
  T* object_ = nullptr;
};

TEST(References, AChildBandDestroyedReadsAsNoneAtItsOldAddress) {
  TfrxReport report;
  auto* page = new TfrxReportPage(&report);
  auto* band = new TfrxMasterData(page);
  ReusedSlot<TfrxChild> slot;
  TfrxChild* first = slot.Make(nullptr);
  band->SetChild(first);
  EXPECT_EQ(band->Child(), first);
  TfrxChild* second = slot.Make(nullptr);
  ASSERT_EQ(static_cast<void*>(second), static_cast<void*>(first)) << "the new band lives where the old one did";
  EXPECT_EQ(band->Child(), nullptr);
}

TEST(References, ADataSetDestroyedReadsAsNoneAtItsOldAddress) {
  TfrxReport report;
  auto* page = new TfrxReportPage(&report);
  auto* band = new TfrxMasterData(page);
  auto* memo = new TfrxMemoView(band);
  ReusedSlot<TfrxUserDataSet> slot;
  TfrxUserDataSet* first = slot.Make(&report);
  first->SetUserName("Hastalar");
  memo->SetDataSet(first);
  band->SetDataSet(first);
  page->SetDataSet(first);
  report.SetDataSet(first);
  report.AddDataSet(first);
  EXPECT_EQ(memo->DataSet(), first);
  EXPECT_EQ(report.GetDataset("Hastalar"), first);

  TfrxUserDataSet* second = slot.Make(&report);
  second->SetUserName("Hastalar");
  ASSERT_EQ(static_cast<void*>(second), static_cast<void*>(first));
  struct Row {
    const char* what;
    TfrxDataSet* found;
  };
  const Row rows[] = {
      {"a view's data set", memo->DataSet()},
      {"a data band's data set", band->DataSet()},
      {"a page's data set", page->DataSet()},
      {"the report's data set", report.DataSet()},
      {"the report's data-set list", report.GetDataset("Hastalar")},
  };
  for (const Row& r : rows) EXPECT_EQ(r.found, nullptr) << r.what;
  // The name stays and finds the new data set when it is looked up again.
  EXPECT_EQ(memo->DataSetName(), "Hastalar");
  memo->SetDataSetName("Hastalar");
  EXPECT_EQ(memo->DataSet(), second);
}

TEST(References, AFlowToMemoDestroyedReadsAsNone) {
  TfrxReport report;
  auto* page = new TfrxReportPage(&report);
  auto* from = new TfrxMemoView(page);
  auto* to = new TfrxMemoView(page);
  from->SetFlowTo(to);
  EXPECT_EQ(from->FlowTo(), to);
  delete to;
  EXPECT_EQ(from->FlowTo(), nullptr);
}

TEST(References, AReportDestroyedNoLongerOwnsItsDataSets) {
  ReusedSlot<TfrxReport> slot;
  TfrxReport* first = slot.Make();
  TfrxUserDataSet data(first);
  EXPECT_EQ(data.OwnerReport(), first);
  TfrxReport* second = slot.Make();
  ASSERT_EQ(static_cast<void*>(second), static_cast<void*>(first));
  EXPECT_EQ(data.OwnerReport(), nullptr) << "a new report at the old address is not the owner";
}

}  // namespace
}  // namespace zentavo
