// EAN-8, EAN-13, UPC-A, UPC-E and the two- and five-digit add-ons: the digit
// codes L, G and R, the parity rows, and the check digits of the standards.
#include <string>

#include "barcode/Symbologies.h"

namespace zentavo::barcode {
namespace {

// Odd parity (code set A), even parity (B) and right-hand (C) digit codes.
constexpr const char* kL[10] = {"2605", "1615", "1516", "0805", "0526",
                                "0625", "0508", "0706", "0607", "2506"};
constexpr const char* kG[10] = {"0517", "0616", "1606", "0535", "1705",
                                "0715", "3505", "1525", "2515", "1507"};
constexpr const char* kR[10] = {"7150", "6160", "6061", "5350", "5071",
                                "5170", "5053", "5251", "5152", "7051"};
// EAN-13: the first digit picks L ("A") or G ("B") for digits 2..7.
constexpr const char* kEan13Parity[10] = {"AAAAAA", "AABABB", "AABBAB", "AABBBA", "ABAABB",
                                          "ABBAAB", "ABBBAA", "ABABAB", "ABABBA", "ABBABA"};
// UPC-E and the five-digit add-on: the check digit picks even ("E") or odd ("o").
constexpr const char* kUpcEParity[10] = {"EEEooo", "EEoEoo", "EEooEo", "EEoooE", "EoEEoo",
                                         "EooEEo", "EoooEE", "EoEoEo", "EoEooE", "EooEoE"};
constexpr const char* kSupp2Parity[4] = {"oo", "oE", "Eo", "EE"};

[[noreturn]] void ThrowLength(TfrxBarcodeType type) {
  const char* name = "";
  switch (type) {
    case bcCodeEAN8: name = "EAN8"; break;
    case bcCodeEAN13: name = "EAN13"; break;
    case bcCodeUPC_A: name = "UPC-A"; break;
    case bcCodeUPC_E0:
    case bcCodeUPC_E1: name = "UPC-E"; break;
    case bcCodeUPC_Supp2: name = "UPC Supp2"; break;
    default: name = "UPC Supp5"; break;
  }
  throw BarcodeError(std::string("Invalid Text len (") + name + ")");
}

// The text padded with zeros on the left to `length`; a longer text would
// lose digits, so it is an error rather than cut.
std::string Padded(TfrxBarcodeType type, std::string_view text, std::size_t length) {
  if (text.size() > length) ThrowLength(type);
  return PadLeftZeros(text, length);
}

// The data digits of a symbol with a check digit at its end: `dataLength`
// digits plus the check digit computed over them when one is requested,
// else the whole text as given (which then carries its own check digit).
std::string WithCheckDigit(const EncodeRequest& r, std::size_t dataLength) {
  if (r.checksum && r.method == csmModulo10)
    return AppendModulo10(Padded(r.type, r.text, dataLength));
  return Padded(r.type, r.text, dataLength + 1);
}

// The UPC-A number a UPC-E symbol stands for (number system, then the six
// digits spread out by the last one); its check digit is the UPC-E's.
std::string ExpandUpcE(char numberSystem, std::string_view d) {
  std::string a(1, numberSystem);
  switch (d[5]) {
    case '0':
    case '1':
    case '2': a += std::string{d[0], d[1], d[5]} + "0000" + std::string{d[2], d[3], d[4]}; break;
    case '3': a += std::string{d[0], d[1], d[2]} + "00000" + std::string{d[3], d[4]}; break;
    case '4': a += std::string{d[0], d[1], d[2], d[3]} + "00000" + d[4]; break;
    default: a += std::string(d.substr(0, 5)) + "0000" + d[5]; break;
  }
  return a;
}

void Digit(std::string& m, const char* const table[10], char c) { m += table[DigitValue(c)]; }

void Ean8(const EncodeRequest& r, BarcodeSymbol& out) {
  std::string t = WithCheckDigit(r, 7);
  std::string& m = out.modules;
  m += "505";
  for (int i = 0; i < 4; ++i) Digit(m, kL, t[i]);
  m += "05050";
  for (int i = 4; i < 8; ++i) Digit(m, kR, t[i]);
  m += "505";
  out.text = std::move(t);
}

void Ean13(const EncodeRequest& r, BarcodeSymbol& out) {
  // Thirteen digits already carry their check digit and are used as given.
  std::string t = r.text.size() == 13 ? std::string(r.text) : WithCheckDigit(r, 12);
  std::string& m = out.modules;
  m += "505";
  const char* parity = kEan13Parity[DigitValue(t[0])];
  for (int i = 1; i < 7; ++i) Digit(m, parity[i - 1] == 'A' ? kL : kG, t[i]);
  m += "05050";
  for (int i = 7; i < 13; ++i) Digit(m, kR, t[i]);
  m += "505";
  out.text = std::move(t);
}

void UpcA(const EncodeRequest& r, BarcodeSymbol& out) {
  std::string t = WithCheckDigit(r, 11);
  std::string& m = out.modules;
  m += "505";
  for (int i = 0; i < 6; ++i) Digit(m, kL, t[i]);
  m += "05050";
  for (int i = 6; i < 12; ++i) Digit(m, kR, t[i]);
  m += "505";
  out.text = std::move(t);
}

void UpcE(const EncodeRequest& r, BarcodeSymbol& out) {
  bool e1 = r.type == bcCodeUPC_E1;
  std::string t;
  if (r.checksum && r.method == csmModulo10) {
    // The check digit of a UPC-E symbol is that of the UPC-A number it
    // stands for (number system 0 for UPC-E0, 1 for UPC-E1).
    t = Padded(r.type, r.text, 6);
    t += AppendModulo10(ExpandUpcE(e1 ? '1' : '0', t)).back();
  } else {
    t = Padded(r.type, r.text, 7);
  }
  const char* parity = kUpcEParity[DigitValue(t[6])];
  std::string& m = out.modules;
  m += "505";
  for (int i = 0; i < 6; ++i) {
    bool even = (parity[i] == 'E') != e1;
    Digit(m, even ? kG : kL, t[i]);
  }
  m += "050505";
  out.text = std::move(t);
}

void Supp5(const EncodeRequest& r, BarcodeSymbol& out) {
  std::string t = Padded(r.type, r.text, 5);
  char check = AddOnCheckDigit(t).back();
  const char* parity = kUpcEParity[DigitValue(check)] + 1;
  std::string& m = out.modules;
  m += "506";
  for (int i = 0; i < 5; ++i) {
    if (i > 0) m += "05";
    Digit(m, parity[i] == 'E' ? kG : kL, t[i]);
  }
  // The check digit is only shown; the parity pattern carries it.
  if (r.checksum) t += check;
  out.text = std::move(t);
}

void Supp2(const EncodeRequest& r, BarcodeSymbol& out) {
  std::string t = Padded(r.type, r.text, 2);
  const char* parity = kSupp2Parity[(DigitValue(t[0]) * 10 + DigitValue(t[1])) % 4];
  std::string& m = out.modules;
  m += "506";
  Digit(m, parity[0] == 'E' ? kG : kL, t[0]);
  m += "05";
  Digit(m, parity[1] == 'E' ? kG : kL, t[1]);
  if (r.checksum) t = AddOnCheckDigit(t);
  out.text = std::move(t);
}

}  // namespace

void EncodeEanUpc(const EncodeRequest& request, BarcodeSymbol& out) {
  switch (request.type) {
    case bcCodeEAN8: Ean8(request, out); break;
    case bcCodeEAN13: Ean13(request, out); break;
    case bcCodeUPC_A: UpcA(request, out); break;
    case bcCodeUPC_E0:
    case bcCodeUPC_E1: UpcE(request, out); break;
    case bcCodeUPC_Supp5: Supp5(request, out); break;
    default: Supp2(request, out); break;
  }
}

}  // namespace zentavo::barcode
