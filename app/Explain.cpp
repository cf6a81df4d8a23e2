// The decoded request as one JSON object.
#include "app/Explain.h"

#include "app/LabelPlan.h"
#include "app/MainForm.h"
#include "app/Request.h"
#include "platform/Cp1254.h"
#include "platform/Escaping.h"

namespace zentavo {
namespace {

std::string FieldList(const std::string& text, char separator) {
  std::string out = "[";
  bool first = true;
  for (const std::string& field : RequestFields(text, separator)) {
    if (!first) out += ",";
    first = false;
    out += JsonString(field);
  }
  return out + "]";
}

const char* JobName(ButtonJob job) {
  switch (job) {
    case ButtonJob::Lab: return "lab";
    case ButtonJob::Result: return "result";
    case ButtonJob::Lab3050: return "lab3050";
    case ButtonJob::File: return "file";
  }
  return "";
}

std::string LabelList(const std::vector<LabelPlan>& plans) {
  if (plans.empty()) return "[]";
  std::string out = "[\n";
  for (std::size_t i = 0; i < plans.size(); ++i) {
    const LabelPlan& p = plans[i];
    out += "    {\n      \"template\": " + JsonString(p.templateName) + ",\n";
    out += "      \"document\": " + JsonString(p.documentName) + ",\n";
    out += "      \"printer\": " + (p.printer ? JsonString(*p.printer) : std::string("null")) + ",\n";
    out += "      \"objects\": {";
    for (std::size_t k = 0; k < p.fills.size(); ++k)
      out += (k ? ", " : "") + JsonString(p.fills[k].object) + ": " + JsonString(p.fills[k].value);
    out += "}\n    }";
    out += i + 1 < plans.size() ? ",\n" : "\n";
  }
  return out + "  ]";
}

}  // namespace

std::string JsonString(const std::string& cp1254Text) {
  static const char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  const std::string utf8 = cp1254::ToUtf8(cp1254Text);
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const char c = utf8[i];
    // Controls as escapes, the C1 controls too: the code page's unassigned
    // bytes become them (U+0081, U+008D ...), and a terminal may obey them.
    if (const std::size_t n = ControlCharacterAt(utf8, i); n > 0) {
      i += n - 1;
      const auto u = static_cast<unsigned char>(utf8[i]);
      out += "\\u00";
      out += kHex[u >> 4];
      out += kHex[u & 15];
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string ExplainRequest(const std::string& requestText, std::optional<ButtonJob> job) {
  if (!job && DispatchFor(requestText) == Dispatch::Automatic) job = ButtonJob::Lab3050;
  std::string json = "{\n";
  json += "  \"request\": " + JsonString(requestText) + ",\n";
  json += std::string("  \"dispatch\": \"") +
          (DispatchFor(requestText) == Dispatch::Automatic ? "automatic" : "window") + "\",\n";
  json += "  \"fields\": {\n";
  json += "    \"|\": " + FieldList(requestText, '|') + ",\n";
  json += "    \"$\": " + FieldList(requestText, '$') + "\n";
  json += "  },\n";
  json += std::string("  \"job\": ") + (job ? "\"" + std::string(JobName(*job)) + "\"" : "null") + ",\n";
  json += "  \"labels\": " + LabelList(job ? PlanLabels(*job, requestText) : std::vector<LabelPlan>{}) + "\n";
  json += "}\n";
  return json;
}

}  // namespace zentavo
