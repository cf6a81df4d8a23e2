// `zentavo --explain` on requests of many fields: decoding the argument and
// explaining the request at N and 2N fields, for the automatic job ("|1|")
// and for a "$" request. Linear work doubles its time when N doubles;
// quadratic work quadruples it.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/Explain.h"
#include "app/Request.h"

namespace {

using namespace zentavo;
using Clock = std::chrono::steady_clock;

// A request argument as a caller sends it: percent escapes and UTF-8
// letters included, so decoding has work to do on every field.
std::string Argument(char separator, int fields) {
  std::string out(1, separator);
  out += separator == '|' ? "1" : "0";
  for (int i = 0; i < fields; ++i) {
    out += separator;
    out += "Al%C4%B0 \xC5\x9E" + std::to_string(i);
  }
  return out + separator;
}

double ExplainSeconds(char separator, int fields, std::size_t& bytes) {
  const std::string argument = Argument(separator, fields);
  const auto start = Clock::now();
  const std::string json = ExplainRequest(DecodeRequest(argument));
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  bytes = json.size();
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  const int n = argc > 1 ? std::atoi(argv[1]) : 65000;
  for (char separator : {'|', '$'}) {
    std::size_t small = 0, large = 0;
    const double a = ExplainSeconds(separator, n, small);
    const double b = ExplainSeconds(separator, 2 * n, large);
    std::printf("explain \"%c\" request of %d fields: %.3f s, %d: %.3f s, ratio %.2f (linear 2, quadratic 4); "
                "%zu and %zu bytes of JSON\n",
                separator, n, a, 2 * n, b, a > 0 ? b / a : 0.0, small, large);
  }
  return 0;
}
