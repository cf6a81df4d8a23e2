// PostNet: five bars per digit, two full and three short, with the standard's
// correction digit that brings the digit sum to a multiple of ten.
#include "barcode/Symbologies.h"

namespace zentavo::barcode {
namespace {

constexpr const char* kDigits[10] = {"5151A1A1A1", "A1A1A15151", "A1A151A151", "A1A15151A1",
                                     "A151A1A151", "A151A151A1", "A15151A1A1", "51A1A1A151",
                                     "51A1A151A1", "51A151A1A1"};

}  // namespace

void EncodePostNet(const EncodeRequest& request, BarcodeSymbol& out) {
  std::string& m = out.modules;
  m += "51";
  int sum = 0;
  for (char c : request.text) {
    m += kDigits[DigitValue(c)];
    sum += DigitValue(c);
  }
  // Mail sorters reject a PostNet symbol without its correction digit.
  m += kDigits[(10 - sum % 10) % 10];
  m += '5';
  out.text = request.text;
}

}  // namespace zentavo::barcode
