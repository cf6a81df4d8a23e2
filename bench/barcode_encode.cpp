// Encoding the label symbols (10-digit Code 128 C, 11-digit Code 39) to
// module patterns, against libzint's ZBarcode_Encode on the same inputs in
// the same run. Prints the ratio ours / zint of CPU time per symbol (below 1:
// faster); CPU time, because the machine is shared.
// libzint is loaded at run time, so the benchmark needs no build change and
// runs ours alone where zint is not installed.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <zint.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "barcode/frxBarcod.h"

namespace {

struct Zint {
  zint_symbol* (*create)() = nullptr;
  void (*clear)(zint_symbol*) = nullptr;
  void (*destroy)(zint_symbol*) = nullptr;
  int (*encode)(zint_symbol*, const unsigned char*, int) = nullptr;
  bool ok = false;

  Zint() {
    void* lib = dlopen("libzint.so.2.11", RTLD_NOW);
    if (!lib) lib = dlopen("libzint.so", RTLD_NOW);
    if (!lib) return;
    create = reinterpret_cast<decltype(create)>(dlsym(lib, "ZBarcode_Create"));
    clear = reinterpret_cast<decltype(clear)>(dlsym(lib, "ZBarcode_Clear"));
    destroy = reinterpret_cast<decltype(destroy)>(dlsym(lib, "ZBarcode_Delete"));
    encode = reinterpret_cast<decltype(encode)>(dlsym(lib, "ZBarcode_Encode"));
    ok = create && clear && destroy && encode;
  }
};

const Zint& LoadedZint() {
  static const Zint z;
  return z;
}

std::vector<std::string> Numbers(int digits) {
  std::mt19937 rng(20261209);
  std::vector<std::string> v;
  for (int i = 0; i < 64; ++i) {
    std::string s;
    for (int k = 0; k < digits; ++k) s += static_cast<char>('0' + rng() % 10);
    v.push_back(s);
  }
  return v;
}

void Ours(benchmark::State& state, zentavo::TfrxBarcodeType type, int digits) {
  auto numbers = Numbers(digits);
  zentavo::TfrxBarcode b;
  b.Typ = type;
  b.Ratio = 2.0;
  std::size_t i = 0;
  for (auto _ : state) {
    b.Text = numbers[i++ & 63];
    std::string modules = b.EncodeText();
    benchmark::DoNotOptimize(modules.data());
  }
}

void Theirs(benchmark::State& state, int symbology, int digits) {
  const Zint& z = LoadedZint();
  if (!z.ok) {
    state.SkipWithError("libzint not found");
    return;
  }
  auto numbers = Numbers(digits);
  zint_symbol* symbol = z.create();
  std::size_t i = 0;
  for (auto _ : state) {
    const std::string& n = numbers[i++ & 63];
    z.clear(symbol);
    symbol->symbology = symbology;
    int rc = z.encode(symbol, reinterpret_cast<const unsigned char*>(n.data()), static_cast<int>(n.size()));
    benchmark::DoNotOptimize(rc);
    benchmark::DoNotOptimize(symbol->encoded_data[0][0]);
  }
  z.destroy(symbol);
}

BENCHMARK_CAPTURE(Ours, Code128C_10, zentavo::bcCode128C, 10);
BENCHMARK_CAPTURE(Theirs, Code128C_10, BARCODE_CODE128, 10);
BENCHMARK_CAPTURE(Ours, Code39_11, zentavo::bcCode39, 11);
BENCHMARK_CAPTURE(Theirs, Code39_11, BARCODE_CODE39, 11);

// Keeps the time per iteration of every run to print the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (!r.error_occurred && r.iterations > 0) times_[r.benchmark_name()] = r.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    for (const char* symbol : {"Code128C_10", "Code39_11"}) {
      auto ours = times_.find(std::string("Ours/") + symbol);
      auto theirs = times_.find(std::string("Theirs/") + symbol);
      if (ours == times_.end() || theirs == times_.end()) continue;
      std::printf("ratio ours / zint, %s: %.3f\n", symbol, ours->second / theirs->second);
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
