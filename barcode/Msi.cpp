// MSI (Modified Plessey): four bits per digit and one modulo 10 check digit.
#include "barcode/Symbologies.h"

namespace zentavo::barcode {
namespace {

// Bit 0 is a narrow bar and a wide space, bit 1 a wide bar and a narrow space.
void AppendDigit(std::string& m, int digit) {
  for (int bit = 3; bit >= 0; --bit) m += (digit >> bit) & 1 ? "60" : "51";
}

// The standard's modulo 10 (Luhn): counting from the rightmost digit, every
// first, third, ... digit is doubled and its digit sum taken. Counting from
// the left instead, as older encoders did, gives a check digit scanners
// reject whenever the text has an odd number of digits.
int CheckDigit(std::string_view digits) {
  int sum = 0;
  bool doubled = true;
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    int d = DigitValue(*it);
    if (doubled) {
      d *= 2;
      d = d / 10 + d % 10;
    }
    sum += d;
    doubled = !doubled;
  }
  return (10 - sum % 10) % 10;
}

}  // namespace

void EncodeMsi(const EncodeRequest& request, BarcodeSymbol& out) {
  std::string& m = out.modules;
  m += "60";
  for (char c : request.text) AppendDigit(m, DigitValue(c));
  AppendDigit(m, CheckDigit(request.text));
  m += "515";
  out.text = request.text;
}

}  // namespace zentavo::barcode
