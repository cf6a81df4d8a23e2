// The 2 of 5 family: interleaved, industrial and matrix. Digits only, no
// check digit; five elements per digit, two of them wide.
#include "barcode/Symbologies.h"

namespace zentavo::barcode {
namespace {

// Bit 1 means wide.
constexpr const char* kDigitBits[10] = {"00110", "10001", "01001", "11000", "00101",
                                        "10100", "01100", "00011", "10010", "01010"};

const char* Bits(char digit) { return kDigitBits[DigitValue(digit)]; }

void Interleaved(std::string_view text, std::string& m) {
  // A last unpaired digit would be silently left out of the symbol; the
  // caller must give whole pairs instead.
  if (text.size() % 2 != 0)
    throw BarcodeError("Interleaved 2 of 5 needs an even number of digits");
  m += "5050";
  for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
    const char* bars = Bits(text[i]);
    const char* spaces = Bits(text[i + 1]);
    for (int k = 0; k < 5; ++k) {
      m += bars[k] == '1' ? '6' : '5';
      m += spaces[k] == '1' ? '1' : '0';
    }
  }
  m += "605";
}

void Industrial(std::string_view text, std::string& m) {
  m += "606050";
  for (char c : text)
    for (const char* b = Bits(c); *b; ++b) m += *b == '1' ? "60" : "50";
  m += "605060";
}

void Matrix(std::string_view text, std::string& m) {
  m += "705050";
  for (char c : text) {
    const char* b = Bits(c);
    for (int k = 0; k < 5; ++k) {
      bool bar = k % 2 == 0;
      m += bar ? (b[k] == '1' ? '6' : '5') : (b[k] == '1' ? '1' : '0');
    }
    m += '0';
  }
  m += "70505";
}

}  // namespace

void EncodeCode2of5(const EncodeRequest& request, BarcodeSymbol& out) {
  out.text = request.text;
  switch (request.type) {
    case bcCode_2_5_interleaved: Interleaved(request.text, out.modules); break;
    case bcCode_2_5_industrial: Industrial(request.text, out.modules); break;
    default: Matrix(request.text, out.modules); break;
  }
}

}  // namespace zentavo::barcode
