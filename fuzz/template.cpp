// Fuzz target: the XML reader, attribute access and the template loader on
// untrusted bytes. Every failure must be an exception with a message.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "report/frxClass.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  try {
    zentavo::TfrxXMLDocument doc;
    doc.LoadFromString(text);
    zentavo::TfrxXMLItem& root = doc.Root();
    (void)root.Prop("Name");
    root.SetProp("Left", text.substr(0, 16));
    (void)doc.SaveToString();
  } catch (const std::exception&) {
  }
  try {
    (void)zentavo::XMLToStr(text);
  } catch (const std::exception&) {
  }
  try {
    zentavo::TfrxReport report;
    report.EngineOptions.NewSilentMode = zentavo::TfrxSilentMode::simSilent;
    report.OnAskPassword = [](zentavo::TfrxReport&) { return std::optional<std::string>(); };
    zentavo::TMemoryStream stream(text);
    report.LoadFromStream(stream);
    for (zentavo::TfrxComponent* c : report.Objects()) c->AlignChildren();
    zentavo::TMemoryStream out;
    report.SaveToStream(out);
  } catch (const std::exception&) {
  }
  return 0;
}
