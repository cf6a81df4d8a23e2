// The five label templates the program carries: XML files in templates/,
// embedded into the program at build time.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "report/frxReport.h"

namespace zentavo {

// "LabBarkod3050", "LabBarkod", "SonucBarkodu", "frxReport1", "RaporODYO".
const std::vector<std::string>& BuiltInTemplateNames();
bool IsBuiltInTemplate(std::string_view name);

// The stored XML of a built-in template ("templates/NAME.xml"); throws when unknown.
std::string_view BuiltInTemplateXml(std::string_view name);
// A report loaded from the embedded file; its FileName stays empty.
std::unique_ptr<TfrxReport> LoadBuiltInTemplate(std::string_view name);

// A template given on a command line: a built-in name or a file path. A
// protected file is opened with `password` (none: loading it fails). Error
// lines of the load are handed to `onErrors`.
std::unique_ptr<TfrxReport> LoadTemplateArgument(const std::string& nameOrPath, const std::string* password,
                                                 const std::function<void(const std::string&)>& onErrors);

}  // namespace zentavo
