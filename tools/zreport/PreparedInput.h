// Shared by zreport prepare and render: a template (file or built-in name) or
// a saved prepared report, with --set values applied and prepared.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "report/frxReport.h"
#include "tools/zreport/Watchdog.h"

namespace zreport {

// Whether the file is a saved prepared report (root "preparedreport").
bool IsPreparedReportFile(const std::string& path);

// Sets "Name=Text" on the named memo (its text) or barcode (its data).
void ApplySetting(zentavo::TfrxReport& report, const std::string& setting);

// Loads INPUT; a template gets the settings and is prepared, a prepared
// report is loaded as it is (settings then are a usage error). Failures
// throw with the report's error text; so does a preparation the watchdog
// (when given) stopped.
std::unique_ptr<zentavo::TfrxReport> LoadPrepared(const std::string& input, const std::vector<std::string>& settings,
                                                  const std::string* password, Watchdog* watchdog = nullptr);

// Removes "-o OUT" (or "-oOUT", "--output OUT") from the arguments; the last
// one given wins.
std::optional<std::string> TakeOutput(std::vector<std::string>& args);

// "NAME.EXT" in the current folder for a template name or path.
std::string DefaultOutput(const std::string& input, const std::string& extension);

}  // namespace zreport
