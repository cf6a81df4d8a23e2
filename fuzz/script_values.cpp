// Fuzz target for script values: arbitrary bytes drive a small stack machine
// of value constructors, operators, conversions, text parsers, picture
// formats and expression assembly. Errors must be ScriptErrors, never crashes
// or undefined behaviour.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "script/fs_ierror.h"
#include "script/fs_iexpression.h"
#include "script/fs_iformat.h"
#include "script/fs_isysrtti.h"
#include "script/fs_ivariant.h"

using namespace zentavo;

namespace {

// Parameters of a system function call; by-reference results land back here.
// System functions take no objects and show nothing; the call still has a
// script to run in.
struct FuzzContext : TfsRunContext {
  ObjectTable objects;
  std::mt19937_64 random{1};
  ObjectTable& Objects() override { return objects; }
  void ShowMessage(const std::string&) override {}
  std::mt19937_64& Random() override { return random; }
};

struct FuzzCall : TfsMethodCall {
  explicit FuzzCall(TfsRunContext& context) : TfsMethodCall(context) {}
  std::vector<Variant> params;
  int ParamCount() const override { return static_cast<int>(params.size()); }
  Variant Param(int i) const override {
    return i >= 0 && static_cast<std::size_t>(i) < params.size() ? params[static_cast<std::size_t>(i)] : Variant();
  }
  void SetParam(int i, const Variant& v) override {
    if (i >= 0 && static_cast<std::size_t>(i) < params.size()) params[static_cast<std::size_t>(i)] = v;
  }
};

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool More() const { return pos_ < size_; }
  std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  std::int64_t Int64() {
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v = v << 8 | Byte();
    return static_cast<std::int64_t>(v);
  }
  double Double() {
    std::uint64_t bits = static_cast<std::uint64_t>(Int64());
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
  }
  std::string Text() {
    std::size_t n = Byte() % 24;
    std::string s;
    for (std::size_t i = 0; i < n && More(); ++i) s += static_cast<char>(Byte());
    return s;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

Variant MakeValue(Input& in) {
  switch (in.Byte() % 12) {
    case 0: return Variant();
    case 1: return Variant::Null();
    case 2: return Variant::Boolean(in.Byte() & 1);
    case 3: return Variant::Int(static_cast<std::int32_t>(in.Int64()));
    case 4: return Variant::Int64(in.Int64());
    case 5: return Variant::Double(in.Double());
    case 6: return Variant::CurrencyScaled(in.Int64());
    case 7: return Variant::Date(in.Double());
    case 8: return Variant::String(in.Text());
    case 9: {
      std::int32_t low = static_cast<std::int8_t>(in.Byte());
      std::int32_t high = low + in.Byte() % 8 - 1;
      return Variant::Array1(low, high);
    }
    case 10: return Variant::Single(static_cast<float>(in.Double()));
    default: return Variant::Object(ObjectHandle{in.Byte(), in.Byte(), in.Byte()});
  }
}

void Step(Input& in, std::vector<Variant>& stack) {
  auto pop = [&]() {
    if (stack.empty()) return Variant();
    Variant v = stack.back();
    stack.pop_back();
    return v;
  };
  const FormatSettings& fs = CurrentFormatSettings();
  switch (in.Byte() % 15) {
    case 14: {
      std::size_t count;
      const TfsSystemFunction* functions = SystemFunctions(count);
      const TfsSystemFunction& f = functions[in.Byte() % count];
      std::string name = f.declaration;
      // Functions with outside effects or unbounded waits stay out.
      if (name.find("ShowMessage") != std::string::npos || name.find("Randomize") != std::string::npos) break;
      FuzzContext context;
      FuzzCall call(context);
      for (int n = 0; n < 5; ++n) {
        Variant v = in.Byte() & 1 ? MakeValue(in) : pop();
        // Lengths and bounds stay small: huge but legal sizes only cost time.
        if (v.IsIntegral()) v = Variant::Int(static_cast<std::int32_t>(v.ToInt64() % 4096));
        call.params.push_back(v);
      }
      stack.push_back(f.handler(call));
      for (const Variant& v : call.params)
        if (stack.size() < 16) stack.push_back(v);
      break;
    }
    case 0:
      if (stack.size() < 16) stack.push_back(MakeValue(in));
      break;
    case 1: {
      Variant b = pop(), a = pop();
      stack.push_back(VarBinary(static_cast<VariantOp>(in.Byte() % 11), a, b));
      break;
    }
    case 2: {
      Variant b = pop(), a = pop();
      stack.push_back(Variant::Boolean(VarCompareOp(static_cast<CompareOp>(in.Byte() % 6), a, b)));
      break;
    }
    case 3: stack.push_back(in.Byte() & 1 ? VarNeg(pop()) : VarNot(pop())); break;
    case 4: {
      Variant a = pop();
      switch (in.Byte() % 6) {
        case 0: stack.push_back(Variant::Int(a.ToInt32())); break;
        case 1: stack.push_back(Variant::Int64(a.ToInt64())); break;
        case 2: stack.push_back(Variant::Double(a.ToDouble())); break;
        case 3: stack.push_back(Variant::Boolean(a.ToBool())); break;
        case 4: stack.push_back(Variant::String(a.ToString())); break;
        default: stack.push_back(Variant::String(VarToStr(a))); break;
      }
      break;
    }
    case 5: {
      Variant a = pop();
      std::int32_t idx[3] = {static_cast<std::int8_t>(in.Byte()), 0, 0};
      if (in.Byte() & 1) {
        Variant v = MakeValue(in);
        SetArrayElement(a, 1, idx, v);
        stack.push_back(a);
      } else {
        stack.push_back(ArrayElement(a, 1, idx));
      }
      break;
    }
    case 6: {
      Variant a = pop();
      ArrayRedim(a, static_cast<std::int8_t>(in.Byte()));
      stack.push_back(a);
      break;
    }
    case 7: {
      std::string t = in.Text();
      TryStrToInt64(t);
      TryStrToFloat(t, fs);
      TryStrToDate(t, fs);
      TryStrToTime(t, fs);
      TryStrToDateTime(t, fs);
      stack.push_back(ParseConstant(t));
      break;
    }
    case 8: stack.push_back(Variant::String(FormatFloat(in.Text(), in.Double(), fs))); break;
    case 9: stack.push_back(Variant::String(FormatDateTime(in.Text(), in.Double(), fs))); break;
    case 10: {
      std::vector<Variant> args;
      for (int n = in.Byte() % 4; n > 0; --n) args.push_back(MakeValue(in));
      stack.push_back(Variant::String(Format(in.Text(), args, fs)));
      break;
    }
    case 11: stack.push_back(Variant::String(FormatMaskText(in.Text(), in.Text()))); break;
    case 12: {
      // An expression from operands and operator texts in arbitrary order.
      static const char* const kOps[] = {"(", ")", ">", "<", "<=", ">=", "<>", "=", "in", "is", "+",
                                         "strcat", "-", "or", "xor", "*", "/", "div", "mod", "and",
                                         "shl", "shr", "not", "unminus"};
      TfsExpression e;
      for (int n = in.Byte() % 24; n > 0; --n) {
        if (in.Byte() & 1) e.AddOperand(MakeValue(in));
        else e.AddOperator(kOps[in.Byte() % std::size(kOps)]);
      }
      e.Finish();
      stack.push_back(e.Value());
      break;
    }
    default: {
      int y, m, d, h, n, s, ms;
      double date = in.Double();
      DecodeDate(date, y, m, d);
      DecodeTime(date, h, n, s, ms);
      DayOfWeek(date);
      double r;
      TryEncodeDate(static_cast<std::int16_t>(in.Int64()), in.Byte(), in.Byte(), r);
      stack.push_back(Variant::String(DateTimeToStr(date, fs)));
      break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input in(data, size);
  std::vector<Variant> stack;
  for (int steps = 0; in.More() && steps < 200; ++steps) {
    try {
      Step(in, stack);
    } catch (const ScriptError&) {
    }
  }
  return 0;
}
