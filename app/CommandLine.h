// The label program's command line: options first, then the one request.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zentavo {

struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

enum class ButtonJob { Lab, Result, Lab3050, File };

struct ProgramOptions {
  std::string request;  // the raw first argument; empty when none was given
  std::optional<std::string> outputDir;
  std::string format = "pdf";
  int dpi = 300;
  std::optional<ButtonJob> job;
  bool explain = false;
  bool listPrinters = false;
  bool help = false;
  bool version = false;
  std::vector<std::string> ignoredArguments;  // words after the request
};

// `args` excludes the program name. Throws UsageError.
ProgramOptions ParseProgramArguments(const std::vector<std::string>& args);

const char* ProgramUsage();

}  // namespace zentavo
