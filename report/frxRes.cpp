// Message and caption texts of the report engine.
#include "report/frxRes.h"

#include <utility>

namespace zentavo {

namespace {
constexpr std::pair<std::string_view, std::string_view> kTexts[] = {
    {"mbError", "Error"},
    {"clErrors", "The following error(s) have occured:"},
    {"clScrError", "Script error at %s: %s"},
    {"clDSNotExist", "Dataset \"%s\" does not exist"},
    {"clUnknownVar", "Unknown variable or datafield:"},
    {"clExprError", "Error in expression"},
    {"enUnconnGroup", "No data band for the group"},
    {"enUnconnGFooter", "No group header for"},
    {"enUnconnHeader", "Unconnected header/footer"},
    {"enBandPos", "Incorrect band position:"},
    {"clDecompressError", "Stream decompress error"},
    {"prDefault", "Default"},
    {"prCustom", "Custom"},
    {"prVirtual", "Virtual"},
    {"clNoPrinters", "No printers installed in your system"},
    {"prRunningFirst", "First pass: page %d"},
    {"prRunning", "Preparing page %d"},
    {"prPrinting", "Printing page %d"},
    {"prExporting", "Exporting page %d"},
    {"xrCantFindClass", "Couldn't find class"},
    {"obBand", "Band"},
    {"obDataBand", "Data band"},
    {"obBarC", "Barcode"},
    {"obSysText", "System text"},
    {"obPicture", "Picture"},
};

std::string ReplaceFirst(std::string text, std::string_view value) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i)
    if (text[i] == '%' && (text[i + 1] == 's' || text[i + 1] == 'd')) {
      text.replace(i, 2, value);
      break;
    }
  return text;
}
}  // namespace

std::string TfrxResources::Get(std::string_view key) const {
  for (const auto& [k, text] : kTexts)
    if (k == key) return std::string(text);
  return std::string(key);
}

const TfrxResources& frxResources() {
  static const TfrxResources resources;
  return resources;
}

std::string FormatResource(std::string_view key, std::string_view arg) {
  return ReplaceFirst(frxResources().Get(key), arg);
}

std::string FormatResource(std::string_view key, std::string_view arg1, std::string_view arg2) {
  // The first value goes in first, so a "%s" inside it is not filled again.
  std::string text = frxResources().Get(key);
  std::size_t p = text.find("%s");
  if (p == std::string::npos) return text;
  std::string head = text.substr(0, p) + std::string(arg1);
  return head + ReplaceFirst(text.substr(p + 2), arg2);
}

}  // namespace zentavo
