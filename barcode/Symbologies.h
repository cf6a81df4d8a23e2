// What the symbology families share inside the encoder: the request each one
// receives, its entry points, and the small helpers for digits and errors.
#pragma once

#include <string>
#include <string_view>

#include "barcode/frxBarcod.h"

namespace zentavo::barcode {

struct EncodeRequest {
  TfrxBarcodeType type;
  std::string_view text;
  bool checksum;
  TfrxCheckSumMethod method;
};

// Each fills out.modules and out.text. One per family file.
void EncodeCode2of5(const EncodeRequest& request, BarcodeSymbol& out);
void EncodeCode39(const EncodeRequest& request, BarcodeSymbol& out);
void EncodeCode128(const EncodeRequest& request, BarcodeSymbol& out);
void EncodeCode93(const EncodeRequest& request, BarcodeSymbol& out);
void EncodeMsi(const EncodeRequest& request, BarcodeSymbol& out);
void EncodePostNet(const EncodeRequest& request, BarcodeSymbol& out);
void EncodeCodabar(const EncodeRequest& request, BarcodeSymbol& out);
void EncodeEanUpc(const EncodeRequest& request, BarcodeSymbol& out);

// Name of the symbology in messages ("Code 39").
const char* SymbologyTitle(TfrxBarcodeType type);

// "Code 39 cannot encode "a"" (control and high bytes as #NN).
[[noreturn]] void ThrowCannotEncode(TfrxBarcodeType type, char c);

// The text with its control and high bytes as #NN, for messages.
std::string ShownText(std::string_view text);

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline int DigitValue(char c) { return c - '0'; }

// Widths "1".."4" of a bar/space pattern (bar first) as module characters.
void AppendWidthPattern(std::string& modules, std::string_view widths, bool barFirst = true);

}  // namespace zentavo::barcode
