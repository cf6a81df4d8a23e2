#include "print/DocumentFinisher.h"

#include <exception>
#include <utility>

#include "print/frxPrinter.h"

namespace zentavo {

DocumentFinisher::~DocumentFinisher() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void DocumentFinisher::Post(std::string document, std::unique_ptr<DocumentSink> sink) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back({std::move(document), std::move(sink)});
    if (!worker_.joinable()) worker_ = std::thread([this] { Run(); });
  }
  changed_.notify_all();
}

std::vector<DocumentFinisher::Failure> DocumentFinisher::TakeFailures() {
  std::lock_guard lock(mutex_);
  return std::exchange(failures_, {});
}

std::vector<DocumentFinisher::Failure> DocumentFinisher::Wait() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return queue_.empty() && !busy_; });
  return std::exchange(failures_, {});
}

void DocumentFinisher::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    // The queue is drained before stopping: a posted document is never lost.
    changed_.wait(lock, [this] { return !queue_.empty() || stopping_; });
    if (queue_.empty()) return;
    Item item = std::move(queue_.front());
    queue_.pop_front();
    busy_ = true;
    lock.unlock();
    std::string error;
    try {
      item.sink->Finish();
    } catch (const std::exception& e) {
      error = e.what();
    } catch (...) {
      error = "Unknown error while handing the document over";
    }
    item.sink.reset();
    lock.lock();
    if (!error.empty()) failures_.push_back({std::move(item.document), std::move(error)});
    busy_ = false;
    changed_.notify_all();
  }
}

}  // namespace zentavo
