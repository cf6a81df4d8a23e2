// The command's time limit on a thread of its own.
#include "tools/zreport/Watchdog.h"

#include <charconv>
#include <cmath>

#include "tools/zreport/Arguments.h"

namespace zreport {

Watchdog::Watchdog(std::optional<double> seconds) : seconds_(seconds) {
  if (seconds_) thread_ = std::thread([this] { Run(); });
}

Watchdog::~Watchdog() {
  {
    std::lock_guard guard(lock_);
    leaving_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void Watchdog::Watch(std::atomic<bool>& flag) {
  std::lock_guard guard(lock_);
  flags_.push_back(&flag);
  if (expired_) flag = true;
}

std::string Watchdog::Overrun() const {
  char text[32];
  auto [end, ec] = std::to_chars(text, text + sizeof text, seconds_.value_or(0));
  const std::string shown = ec == std::errc() ? std::string(text, end) : "?";
  return "did not finish within " + shown + (shown == "1" ? " second" : " seconds");
}

void Watchdog::Run() {
  std::unique_lock guard(lock_);
  const auto limit = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
      std::chrono::duration<double>(*seconds_));
  if (wake_.wait_for(guard, limit, [this] { return leaving_; })) return;
  expired_ = true;
  // A flag the run clears again (a report resets Terminated when it starts
  // preparing) is raised again until the command ends.
  do {
    for (std::atomic<bool>* flag : flags_) *flag = true;
  } while (!wake_.wait_for(guard, std::chrono::milliseconds(20), [this] { return leaving_; }));
}

std::optional<double> ParseTimeout(const std::optional<std::string>& value) {
  if (!value) return std::nullopt;
  double seconds = 0;
  auto [end, ec] = std::from_chars(value->data(), value->data() + value->size(), seconds);
  if (ec != std::errc() || end != value->data() + value->size() || !std::isfinite(seconds) || seconds <= 0 ||
      seconds > 1e6)
    throw UsageError("--timeout wants a number of seconds above zero, not \"" + *value + "\"");
  return seconds;
}

}  // namespace zreport
