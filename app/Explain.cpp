// The decoded request as one JSON object.
#include "app/Explain.h"

#include "app/MainForm.h"
#include "app/Request.h"
#include "platform/Cp1254.h"

namespace zentavo {
namespace {

std::string FieldList(const std::string& text, char separator) {
  std::string out = "[";
  const int n = RequestFieldCount(text, separator);
  for (int k = 1; k <= n; ++k) {
    if (k > 1) out += ",";
    out += JsonString(RequestField(text, separator, k));
  }
  return out + "]";
}

}  // namespace

std::string JsonString(const std::string& cp1254Text) {
  static const char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (char c : cp1254::ToUtf8(cp1254Text)) {
    auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20 || u == 0x7F) {
      out += "\\u00";
      out += kHex[u >> 4];
      out += kHex[u & 15];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string ExplainRequest(const std::string& requestText) {
  std::string json = "{\n";
  json += "  \"request\": " + JsonString(requestText) + ",\n";
  json += std::string("  \"dispatch\": \"") +
          (DispatchFor(requestText) == Dispatch::Automatic ? "automatic" : "window") + "\",\n";
  json += "  \"fields\": {\n";
  json += "    \"|\": " + FieldList(requestText, '|') + ",\n";
  json += "    \"$\": " + FieldList(requestText, '$') + "\n";
  json += "  }\n}\n";
  return json;
}

}  // namespace zentavo
