// Documents handed over on the finisher's thread: in the order posted, every
// one of them, and each failure named after its document.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "print/DocumentFinisher.h"
#include "print/frxPrinter.h"

namespace zentavo {
namespace {

struct Log {
  std::mutex mutex;
  std::vector<std::string> finished;
};

// A sink that records its Finish, after a pause that lets later posts pile
// up, and refuses when told to.
class SlowSink final : public DocumentSink {
 public:
  SlowSink(Log& log, std::string name, bool refuse) : log_(log), name_(std::move(name)), refuse_(refuse) {}
  Canvas& BeginPage(int, int, double, double) override { throw std::logic_error("no pages here"); }
  void EndPage() override {}
  void Finish() override {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (refuse_) throw std::runtime_error("Printer Q did not take the document: queue stopped");
    std::lock_guard lock(log_.mutex);
    log_.finished.push_back(name_);
  }
  void Abort() override {}

 private:
  Log& log_;
  std::string name_;
  bool refuse_;
};

TEST(DocumentFinisher, HandsOverInOrderAndNamesEachFailure) {
  Log log;
  DocumentFinisher finisher;
  std::vector<std::string> expected;
  for (int i = 1; i <= 20; ++i) {
    const std::string name = "T" + std::to_string(i);
    const bool refuse = i % 7 == 0;
    finisher.Post(name, std::make_unique<SlowSink>(log, name, refuse));
    if (!refuse) expected.push_back(name);
  }
  std::vector<DocumentFinisher::Failure> failures = finisher.TakeFailures();
  for (const auto& f : finisher.Wait()) failures.push_back(f);
  EXPECT_EQ(log.finished, expected);
  ASSERT_EQ(failures.size(), 2u);
  EXPECT_EQ(failures[0].document, "T7");
  EXPECT_EQ(failures[1].document, "T14");
  EXPECT_EQ(failures[0].message, "Printer Q did not take the document: queue stopped");
  // Each failure is reported once.
  EXPECT_TRUE(finisher.Wait().empty());
}

TEST(DocumentFinisher, DestroyingItStillHandsOverWhatWasPosted) {
  Log log;
  {
    DocumentFinisher finisher;
    for (const char* name : {"A", "B", "C"}) finisher.Post(name, std::make_unique<SlowSink>(log, name, false));
  }
  EXPECT_EQ(log.finished, (std::vector<std::string>{"A", "B", "C"}));
}

TEST(DocumentFinisher, WaitWithNothingPostedReturnsAtOnce) {
  DocumentFinisher finisher;
  EXPECT_TRUE(finisher.Wait().empty());
}

}  // namespace
}  // namespace zentavo
