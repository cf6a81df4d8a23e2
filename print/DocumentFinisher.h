// Hands finished documents over on a thread of their own, one after another
// in the order they came, while the caller lays out the next one. Closing a
// PDF (subsetting and compressing its fonts) costs about as much as laying a
// label out and drawing it; a run of labels overlaps the two.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zentavo {

class DocumentSink;

class DocumentFinisher {
 public:
  struct Failure {
    std::string document;  // the document's name
    std::string message;   // why it did not reach its destination
  };

  DocumentFinisher() = default;
  // Waits for every document still on its way.
  ~DocumentFinisher();
  DocumentFinisher(const DocumentFinisher&) = delete;
  DocumentFinisher& operator=(const DocumentFinisher&) = delete;

  // Queues `sink` for its Finish; documents are handed over in the order posted.
  void Post(std::string document, std::unique_ptr<DocumentSink> sink);
  // The failures known so far, without waiting; each is returned once.
  std::vector<Failure> TakeFailures();
  // Waits until every posted document was handed over; then as TakeFailures.
  std::vector<Failure> Wait();

 private:
  struct Item {
    std::string document;
    std::unique_ptr<DocumentSink> sink;
  };
  void Run();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Item> queue_;
  std::vector<Failure> failures_;
  bool busy_ = false;  // an item is being finished
  bool stopping_ = false;
  std::thread worker_;  // started with the first document
};

}  // namespace zentavo
