// Codabar: seven elements per character, a narrow gap between characters,
// start and stop characters from A, B, C, D.
#include <string>

#include "barcode/Symbologies.h"

namespace zentavo::barcode {
namespace {

struct CodabarChar {
  char c;
  const char* modules;
};

constexpr CodabarChar kCodabar[] = {
    {'1', "5050615"}, {'2', "5051506"}, {'3', "6150505"}, {'4', "5060515"}, {'5', "6050515"},
    {'6', "5150506"}, {'7', "5150605"}, {'8', "5160505"}, {'9', "6051505"}, {'0', "5050516"},
    {'-', "5051605"}, {'$', "5061505"}, {':', "6050606"}, {'/', "6060506"}, {'.', "6060605"},
    {'+', "5060606"}, {'A', "5061515"}, {'B', "5151506"}, {'C', "5051516"}, {'D', "5051615"},
};

const char* Pattern(char c) {
  for (const auto& row : kCodabar)
    if (row.c == c) return row.modules;
  return nullptr;
}

bool IsStartStop(char c) { return c >= 'A' && c <= 'D'; }

}  // namespace

void EncodeCodabar(const EncodeRequest& request, BarcodeSymbol& out) {
  std::string_view data = request.text;
  char start = 'A';
  char stop = 'B';
  // A text that brings its own start and stop characters keeps them;
  // otherwise the symbol is framed by A and B. A start/stop character in the
  // middle would end the symbol early in any scanner, so it is refused.
  if (data.size() >= 2 && IsStartStop(data.front()) && IsStartStop(data.back())) {
    start = data.front();
    stop = data.back();
    data = data.substr(1, data.size() - 2);
  }
  std::string& m = out.modules;
  m += Pattern(start);
  m += '0';
  for (char c : data) {
    const char* p = IsStartStop(c) ? nullptr : Pattern(c);
    if (!p) ThrowCannotEncode(request.type, c);
    m += p;
    m += '0';
  }
  m += Pattern(stop);
  out.text = request.text;
}

}  // namespace zentavo::barcode
