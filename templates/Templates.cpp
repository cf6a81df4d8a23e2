// Built-in templates: lookup of the embedded files.
#include "templates/Templates.h"

#include <stdexcept>

#include "platform/Embedded.h"

namespace zentavo {

// The template files, compiled in by the build.
const EmbeddedFile* EmbeddedTemplates();

const std::vector<std::string>& BuiltInTemplateNames() {
  static const std::vector<std::string> names = {"LabBarkod3050", "LabBarkod", "SonucBarkodu", "frxReport1",
                                                 "RaporODYO"};
  return names;
}

bool IsBuiltInTemplate(std::string_view name) {
  for (const auto& n : BuiltInTemplateNames())
    if (n == name) return true;
  return false;
}

std::string_view BuiltInTemplateXml(std::string_view name) {
  if (!IsBuiltInTemplate(name)) throw std::runtime_error("No built-in template named \"" + std::string(name) + "\"");
  auto data = FindEmbeddedFile(EmbeddedTemplates, "templates/" + std::string(name) + ".xml");
  if (!data) throw std::runtime_error("Built-in template \"" + std::string(name) + "\" is missing from this build");
  return *data;
}

std::unique_ptr<TfrxReport> LoadBuiltInTemplate(std::string_view name) {
  std::string_view xml = BuiltInTemplateXml(name);
  auto report = std::make_unique<TfrxReport>();
  report->SetName(std::string(name));
  TMemoryStream stream{std::string(xml)};
  report->LoadFromStream(stream);
  return report;
}

std::unique_ptr<TfrxReport> LoadTemplateArgument(const std::string& nameOrPath, const std::string* password,
                                                 const std::function<void(const std::string&)>& onErrors) {
  auto report = std::make_unique<TfrxReport>();
  report->OnShowMessage = [&onErrors](const std::string&, const std::string& text) { onErrors(text); };
  bool refused = false;
  if (password != nullptr) {
    std::string given = *password;
    report->OnAskPassword = [given, &refused](TfrxReport& r) {
      if (given != r.ReportOptions.Password) refused = true;
      return std::optional<std::string>(given);
    };
  }
  if (IsBuiltInTemplate(nameOrPath) && !FileExists(nameOrPath)) {
    report->SetName(nameOrPath);
    TMemoryStream stream{std::string(BuiltInTemplateXml(nameOrPath))};
    report->LoadFromStream(stream);
  } else {
    if (!FileExists(nameOrPath))
      throw std::runtime_error("\"" + nameOrPath + "\" is neither a file nor a built-in template");
    report->LoadFromFile(nameOrPath, true);
  }
  report->OnAskPassword = nullptr;
  if (refused)
    throw std::runtime_error("Wrong password for \"" + nameOrPath + "\"");
  return report;
}

}  // namespace zentavo
