// Code 128 (code sets A, B, C) and EAN 128: six-element symbols of 11 modules,
// the modulo 103 check symbol, and FNC1 after the start for EAN 128.
#include "barcode/Symbologies.h"

namespace zentavo::barcode {
namespace {

// Values 0..105: data symbols, then FNC1 (102) and the three start codes.
constexpr const char* kCode128[106] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212",
    "221213", "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221",
    "223211", "221132", "221231", "213212", "223112", "312131", "311222", "321122", "321221",
    "312212", "322112", "322211", "212123", "212321", "232121", "111323", "131123", "131321",
    "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331", "132131",
    "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311", "213131",
    "311123", "311321", "331121", "312113", "312311", "332111", "314111", "221411", "431111",
    "111224", "111422", "121124", "121421", "141122", "141221", "112214", "112412", "122114",
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111", "111242",
    "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232",
};
constexpr int kFnc1 = 102;
constexpr int kStartA = 103;
constexpr const char* kStop = "2331112";

enum class CodeSet { A, B, C };

CodeSet SetOf(TfrxBarcodeType type) {
  switch (type) {
    case bcCode128A:
    case bcCodeEAN128A: return CodeSet::A;
    case bcCode128B:
    case bcCodeEAN128B: return CodeSet::B;
    case bcCode128C:
    case bcCodeEAN128C: return CodeSet::C;
    default: throw BarcodeError("TfrxBarcode: wrong BarcodeType in Code_128");
  }
}

// Value of a character in code set A or B, or -1. Set A carries the control
// characters 0..31 as values 64..95, as the standard has them, so a text
// with a control character is encoded as given rather than as a blank.
int ValueIn(CodeSet set, char c) {
  int code = static_cast<unsigned char>(c);
  if (set == CodeSet::A) {
    if (code >= 32 && code <= 95) return code - 32;
    if (code < 32) return code + 64;
    return -1;
  }
  return code >= 32 && code <= 126 ? code - 32 : -1;
}

}  // namespace

void EncodeCode128(const EncodeRequest& request, BarcodeSymbol& out) {
  CodeSet set = SetOf(request.type);
  bool ean = request.type == bcCodeEAN128A || request.type == bcCodeEAN128B ||
             request.type == bcCodeEAN128C;
  std::string text(request.text);
  std::string& m = out.modules;
  int start = kStartA + static_cast<int>(set);
  AppendWidthPattern(m, kCode128[start]);
  int sum = start;
  int weight = 1;
  auto put = [&](int value) {
    AppendWidthPattern(m, kCode128[value]);
    sum += value * weight;
    ++weight;
  };
  if (ean) {
    put(kFnc1);
    if (request.checksum && request.method == csmModulo10) text = AppendModulo10(text);
  }
  if (set == CodeSet::C) {
    // The documented left "0" of an odd-length text stays: it changes no
    // digit's value and the human-readable line shows it.
    if (text.size() % 2 != 0) text.insert(text.begin(), '0');
    for (std::size_t i = 0; i < text.size(); i += 2) {
      // A pair that is not two digits used to become "00"; refuse it instead.
      for (std::size_t k = i; k < i + 2; ++k)
        if (!IsDigit(text[k])) ThrowCannotEncode(request.type, text[k]);
      put(DigitValue(text[i]) * 10 + DigitValue(text[i + 1]));
    }
  } else {
    for (char c : text) {
      int v = ValueIn(set, c);
      if (v < 0) ThrowCannotEncode(request.type, c);
      put(v);
    }
  }
  AppendWidthPattern(m, kCode128[sum % 103]);
  AppendWidthPattern(m, kStop);
  out.text = std::move(text);
}

}  // namespace zentavo::barcode
