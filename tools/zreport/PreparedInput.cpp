// Loading and preparing zreport's input.
#include "tools/zreport/PreparedInput.h"

#include <fstream>
#include <stdexcept>

#include "engine/frxPreviewPages.h"
#include "platform/Cp1254.h"
#include "barcode/frxBarcode.h"
#include "report/frxClass.h"
#include "templates/Templates.h"
#include "tools/zreport/Arguments.h"

namespace zreport {

bool IsPreparedReportFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string head(512, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(in.gcount()));
  return head.find("<preparedreport") != std::string::npos;
}

void ApplySetting(zentavo::TfrxReport& report, const std::string& setting) {
  std::size_t eq = setting.find('=');
  if (eq == std::string::npos || eq == 0) throw UsageError("--set needs Name=Text, got \"" + setting + "\"");
  std::string name = setting.substr(0, eq), text = setting.substr(eq + 1);
  zentavo::TfrxComponent* object = report.FindObject(name);
  if (object == nullptr) throw std::runtime_error("no object named \"" + name + "\"");
  if (auto* memo = dynamic_cast<zentavo::TfrxCustomMemoView*>(object)) {
    memo->SetText(text);
    // Text given on the command line is data: no expression in it is
    // evaluated, no page-count token replaced.
    memo->AllowExpressions = false;
  } else if (auto* barcode = dynamic_cast<zentavo::TfrxBarCodeView*>(object)) {
    barcode->Text = zentavo::cp1254::FromUtf8(text);
  } else {
    throw std::runtime_error("\"" + name + "\" is a " + object->ClassName() + ", neither a memo nor a barcode");
  }
}

std::unique_ptr<zentavo::TfrxReport> LoadPrepared(const std::string& input, const std::vector<std::string>& settings,
                                                  const std::string* password, Watchdog* watchdog) {
  if (!zentavo::IsBuiltInTemplate(input) && IsPreparedReportFile(input)) {
    if (!settings.empty()) throw UsageError("--set applies to templates, not to prepared reports");
    auto report = std::make_unique<zentavo::TfrxReport>();
    report->PreviewPages().LoadFromFile(input, true);
    return report;
  }
  std::string loadErrors;
  auto report = zentavo::LoadTemplateArgument(input, password, [&](const std::string& text) { loadErrors += text; });
  report->OnShowMessage = nullptr;  // the collector above does not outlive this call
  if (!loadErrors.empty()) throw std::runtime_error(loadErrors);
  for (const auto& s : settings) ApplySetting(*report, s);
  report->EngineOptions.NewSilentMode = zentavo::TfrxSilentMode::simReThrow;
  if (watchdog != nullptr) {
    watchdog->Watch(report->Terminated);
    watchdog->Watch(report->Interrupt);
  }
  report->PrepareReport(true);
  // A stopped preparation left pages, but not the report's: none is output.
  if (watchdog != nullptr && watchdog->Expired())
    throw std::runtime_error("the report " + watchdog->Overrun() + "; nothing was written");
  return report;
}

std::optional<std::string> TakeOutput(std::vector<std::string>& args) {
  std::optional<std::string> out;
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--") {
      rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
      break;
    }
    if (a == "-o" || a == "--output") {
      if (i + 1 >= args.size()) throw UsageError("option -o needs a value");
      out = args[++i];
    } else if (a.size() > 2 && a.compare(0, 2, "-o") == 0) {
      out = a.substr(2);
    } else if (a.compare(0, 9, "--output=") == 0) {
      out = a.substr(9);
    } else {
      rest.push_back(a);
    }
  }
  args = std::move(rest);
  return out;
}

std::string DefaultOutput(const std::string& input, const std::string& extension) {
  std::string name = input;
  if (std::size_t slash = name.find_last_of('/'); slash != std::string::npos) name = name.substr(slash + 1);
  if (std::size_t dot = name.find_last_of('.'); dot != std::string::npos && dot > 0) name = name.substr(0, dot);
  return name + extension;
}

}  // namespace zreport
