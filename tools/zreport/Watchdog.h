// A time limit for a command: when it runs out, the flags given to it are
// raised, so a script stops at its next statement and a report between its
// bands, and the command reports that it did not finish.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace zreport {

class Watchdog {
 public:
  // No limit when `seconds` is empty: nothing is ever raised.
  explicit Watchdog(std::optional<double> seconds);
  ~Watchdog();
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

  // Raised when the time is up, and kept raised until the watchdog goes,
  // so a run that clears its flag on starting is stopped all the same.
  void Watch(std::atomic<bool>& flag);
  // The watchdog's own flag, for a script's stop flag.
  const std::atomic<bool>& Flag() const { return expired_; }
  bool Expired() const { return expired_.load(); }
  // "did not finish within 2 seconds"
  std::string Overrun() const;

 private:
  void Run();
  std::optional<double> seconds_;
  std::atomic<bool> expired_{false};
  std::mutex lock_;
  std::condition_variable wake_;
  bool leaving_ = false;
  std::vector<std::atomic<bool>*> flags_;
  std::thread thread_;
};

// The value of --timeout: seconds, more than zero; empty when not given.
std::optional<double> ParseTimeout(const std::optional<std::string>& value);

}  // namespace zreport
