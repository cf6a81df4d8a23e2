// The connection every request of the print system module goes through. Each
// wait for the server is bounded: a server that accepts the connection and
// never answers, or stops in the middle of a run, ends the request with an
// error naming it instead of holding the program forever.
#pragma once

#include <cups/cups.h>

#include <mutex>
#include <stdexcept>
#include <string>

namespace zentavo::cups {

// The print server failed, not the request: it cannot be reached, or it did
// not answer in time. What it said no to is an ordinary std::runtime_error.
class ServerFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// ZENTAVO_CUPS_TIMEOUT: seconds each answer of the print server may take, a
// positive number; anything else keeps the default.
inline constexpr double kDefaultAnswerSeconds = 30;
// Opening the connection never waits longer than this (nor than the answer bound).
inline constexpr double kMaxConnectSeconds = 10;
inline constexpr const char* kTimeoutVariable = "ZENTAVO_CUPS_TIMEOUT";
double AnswerSecondsFrom(const char* value);

// "/run/cups/cups.sock", or "printhost:631" for a server on the network.
std::string ServerName();

class CupsServer {
 public:
  CupsServer();
  ~CupsServer();
  CupsServer(const CupsServer&) = delete;
  CupsServer& operator=(const CupsServer&) = delete;

  // One request at a time: the documents of a run are handed over on a thread
  // of their own while the next label asks for its queue.
  std::unique_lock<std::mutex> Lock() { return std::unique_lock<std::mutex>(mutex_); }

  // The connection for the next request, opened when there is none. Throws
  // ServerFailure when the server cannot be reached, or when it let a request
  // of this run go unanswered: the rest of the run is not kept waiting again.
  http_t* Connection();

  // After a libcups call that failed or found nothing: throws ServerFailure
  // when the server did not answer or the connection broke, so that "the
  // server is gone" is never taken for "the server said no".
  void ThrowIfFailed();

  // Reads the answer to a document streamed to `queue` and returns its status.
  // libcups's own finishing calls return the status of the last answer they
  // had when none came, so a document the server never confirmed passed for
  // accepted: here a missing answer throws ServerFailure.
  ipp_status_t FinishDocument(const std::string& queue);

  // Why the last request did not reach the server; empty when it answered.
  const std::string& Problem() const { return problem_; }

  const std::string& Name() const { return name_; }

 private:
  static int OnTimeout(http_t* http, void* self);
  [[noreturn]] void Fail(std::string message);
  [[noreturn]] void GiveUp();
  int ConnectMs() const;
  void Drop();

  std::mutex mutex_;
  http_t* http_ = nullptr;
  std::string name_;
  double answerSeconds_;
  bool timedOut_ = false;  // the current request's wait ran out
  std::string gaveUp_;     // why no further request is made
  std::string problem_;
};

}  // namespace zentavo::cups
