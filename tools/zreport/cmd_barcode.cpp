// zreport barcode: encode a text with one of the 23 symbologies and print its
// module string, or draw the symbol into a PNG.
#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "barcode/frxBarcod.h"
#include "platform/Cp1254.h"
#include "tools/zreport/Arguments.h"
#include "tools/zreport/Commands.h"

namespace zreport {
namespace {

double RatioOption(const Arguments& a) {
  auto v = a.Value("ratio");
  if (!v) return 2.0;
  double r = 0;
  auto [end, ec] = std::from_chars(v->data(), v->data() + v->size(), r);
  if (ec != std::errc() || end != v->data() + v->size())
    throw UsageError("--ratio wants a number, not \"" + *v + "\"");
  return r;
}

}  // namespace

const char* const kBarcodeUsage =
    "usage: zreport barcode --type TYPE --text TEXT [--ratio R] [--checksum] --modules\n"
    "\n"
    "Encodes TEXT (UTF-8; taken as Windows-1254) with the symbology TYPE, one of\n"
    "bcCode_2_5_interleaved, bcCode_2_5_industrial, bcCode_2_5_matrix, bcCode39,\n"
    "bcCode39Extended, bcCode128A, bcCode128B, bcCode128C, bcCode93, bcCode93Extended,\n"
    "bcCodeMSI, bcCodePostNet, bcCodeCodabar, bcCodeEAN8, bcCodeEAN13, bcCodeUPC_A,\n"
    "bcCodeUPC_E0, bcCodeUPC_E1, bcCodeUPC_Supp2, bcCodeUPC_Supp5, bcCodeEAN128A,\n"
    "bcCodeEAN128B, bcCodeEAN128C.\n"
    "\n"
    "  --ratio R     wide-to-narrow ratio (default 2; clamped per symbology)\n"
    "  --checksum    add the symbology's optional check character\n"
    "  --modules     print the module string on one line: 0-3 spaces, 5-8 bars,\n"
    "                A-D short bars, of width class 0-3\n";

int RunBarcode(const std::vector<std::string>& args) {
  Arguments a(args, {"type", "text", "ratio"}, {"checksum", "modules"});
  if (!a.Positional().empty()) throw UsageError("unexpected argument \"" + a.Positional()[0] + "\"");
  auto typeName = a.Value("type");
  if (!typeName) throw UsageError("--type is required");
  zentavo::TfrxBarcode barcode;
  if (!zentavo::BarcodeTypeFromName(*typeName, barcode.Typ))
    throw UsageError("unknown barcode type \"" + *typeName + "\"");
  auto text = a.Value("text");
  if (!text) throw UsageError("--text is required");
  barcode.Text = zentavo::cp1254::FromUtf8(*text);
  barcode.Ratio = RatioOption(a);
  barcode.Checksum = a.Has("checksum");
  if (!a.Has("modules")) throw UsageError("nothing to do: give --modules");
  std::string modules = barcode.EncodeText();
  std::printf("%s\n", modules.c_str());
  return 0;
}

}  // namespace zreport
