// Micro benchmarks of script values and expressions: the integer fast path
// against the general variant operations, copies of shared strings, and a
// plain C++ loop doing the same arithmetic as the yardstick.
#include <benchmark/benchmark.h>

#include "script/fs_iexpression.h"
#include "script/fs_ivariant.h"

using namespace zentavo;

namespace {

struct BenchVar {
  TypeRef type;
  Variant value;
};

class BenchDesignator : public TfsExprDesignator {
 public:
  explicit BenchDesignator(BenchVar& v) : v_(v) {}
  Variant GetValue() override { return v_.value; }
  void SetValue(const Variant& value) override { v_.value = value; }
  TypeRef Type() const override { return v_.type; }
  bool IsReadOnly() const override { return false; }
  const void* DirectVariable() const override { return &v_; }

 private:
  BenchVar& v_;
};

// (i * 3 + j) mod 7 over variables of the given type.
void Build(TfsExpression& e, BenchVar& i, BenchVar& j) {
  e.AddOperator("(");
  e.AddOperand(std::make_unique<BenchDesignator>(i));
  e.AddOperator("*");
  e.AddOperand(Variant::Int(3));
  e.AddOperator("+");
  e.AddOperand(std::make_unique<BenchDesignator>(j));
  e.AddOperator(")");
  e.AddOperator("mod");
  e.AddOperand(Variant::Int(7));
  e.Finish();
}

void ExpressionIntegerFastPath(benchmark::State& state) {
  BenchVar i{{tcInteger, {}}, Variant::Int(0)}, j{{tcInteger, {}}, Variant::Int(5)};
  TfsExpression e;
  Build(e, i, j);
  std::int32_t n = 0;
  for (auto _ : state) {
    i.value = Variant::Int(n++);
    benchmark::DoNotOptimize(e.Value());
  }
}
BENCHMARK(ExpressionIntegerFastPath);

void ExpressionVariantOperands(benchmark::State& state) {
  BenchVar i{{tcVariant, {}}, Variant::Int(0)}, j{{tcVariant, {}}, Variant::Int(5)};
  TfsExpression e;
  Build(e, i, j);
  std::int32_t n = 0;
  for (auto _ : state) {
    i.value = Variant::Int(n++);
    benchmark::DoNotOptimize(e.Value());
  }
}
BENCHMARK(ExpressionVariantOperands);

void NativeLoop(benchmark::State& state) {
  std::int32_t n = 0, j = 5;
  for (auto _ : state) {
    std::int32_t i = n++;
    benchmark::DoNotOptimize((i * 3 + j) % 7);
  }
}
BENCHMARK(NativeLoop);

void CopySharedString(benchmark::State& state) {
  Variant s = Variant::String(std::string(1000, 'x'));
  for (auto _ : state) {
    Variant copy = s;
    benchmark::DoNotOptimize(copy);
  }
}
BENCHMARK(CopySharedString);

void DoubleArithmetic(benchmark::State& state) {
  Variant a = Variant::Double(1.5), b = Variant::Double(2.25);
  for (auto _ : state) {
    a = VarBinary(VariantOp::Add, VarBinary(VariantOp::Mul, a, b), b);
    if (a.RawDouble() > 1e100) a = Variant::Double(1.5);
    benchmark::DoNotOptimize(a);
  }
}
BENCHMARK(DoubleArithmetic);

void FloatToText(benchmark::State& state) {
  Variant a = Variant::Double(1234.5678);
  for (auto _ : state) benchmark::DoNotOptimize(a.ToString());
}
BENCHMARK(FloatToText);

}  // namespace

BENCHMARK_MAIN();
