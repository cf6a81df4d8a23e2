// Local date and time as days since 30.12.1899.
#include "platform/Clock.h"

#include <chrono>
#include <ctime>

namespace zentavo {

double DateTimeOf(int year, int month, int day, int hour, int minute, int second, int millisecond) {
  using namespace std::chrono;
  const sys_days date = year_month_day{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                                       std::chrono::day{static_cast<unsigned>(day)}};
  constexpr sys_days kEpoch = year_month_day{std::chrono::year{1899}, December, std::chrono::day{30}};
  const double days = static_cast<double>((date - kEpoch).count());
  return days + (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond) / 86400000.0;
}

double NowAsDateTime() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t t = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  const int ms = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
  // A leap second reads as the last second of its minute.
  return DateTimeOf(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                    local.tm_sec > 59 ? 59 : local.tm_sec, ms);
}

}  // namespace zentavo
