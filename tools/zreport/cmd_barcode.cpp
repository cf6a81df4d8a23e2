// zreport barcode: encode a text with one of the 23 symbologies and print its
// module string, or draw the symbol into a PNG.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "barcode/frxBarcod.h"
#include "platform/CairoCanvas.h"
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

// The symbol at Zoom 1 (one module is one report pixel, 96 per inch) on whole
// device dots, bars 48 report pixels high with the human-readable line
// below, framed by a quiet zone of ten modules; drawn without smoothing.
void WritePng(zentavo::TfrxBarcode& barcode, const std::string& path, int dpi, int rotation) {
  const int modules = barcode.Width();  // throws the encoding error first
  const double scale = dpi / 96.0;
  int dots = static_cast<int>(scale);
  if (dots < 1) dots = 1;
  const int along = modules * dots;
  const int across = static_cast<int>(std::lround(64 * scale));
  const int quiet = 10 * dots;
  const bool vertical = rotation == 90 || rotation == 270;
  const int w = (vertical ? across : along) + 2 * quiet;
  const int h = (vertical ? along : across) + 2 * quiet;
  auto canvas = zentavo::CairoCanvas::CreateImage(w, h, dpi);
  barcode.Angle = rotation;
  barcode.DrawSymbol(*canvas, zentavo::Rect{quiet, quiet, w - quiet, h - quiet}, true);
  canvas->WritePng(path);
}

}  // namespace

const char* const kBarcodeUsage =
    "usage: zreport barcode --type TYPE --text TEXT [--ratio R] [--checksum]\n"
    "                      (--modules | --png FILE [--dpi N] [--rotation 0|90|180|270])\n"
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
    "                A-D short bars, of width class 0-3\n"
    "  --png FILE    draw the symbol at one module per report pixel (whole device\n"
    "                dots) with its digits and a quiet zone of ten modules\n"
    "  --dpi N       resolution of the PNG (default 300)\n"
    "  --rotation R  counter-clockwise rotation of the symbol (default 0)\n";

int RunBarcode(const std::vector<std::string>& args) {
  Arguments a(args, {"type", "text", "ratio", "png", "dpi", "rotation"}, {"checksum", "modules"});
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
  auto png = a.Value("png");
  if (!a.Has("modules") && !png) throw UsageError("nothing to do: give --modules or --png FILE");
  int dpi = a.IntValue("dpi", 300, 24, 2400);
  int rotation = a.IntValue("rotation", 0, 0, 270);
  if (rotation % 90 != 0) throw UsageError("--rotation wants 0, 90, 180 or 270");
  if (a.Has("modules")) {
    std::string modules = barcode.EncodeText();
    std::printf("%s\n", modules.c_str());
  }
  if (png) WritePng(barcode, *png, dpi, rotation);
  return 0;
}

}  // namespace zreport
