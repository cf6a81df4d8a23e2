// Running the independent tools the tests compare against (compilers, PDF
// and barcode readers).
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace zentavo::testing {

// Everything `command` (a shell command line) writes to its standard output.
inline std::string CommandOutput(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
  pclose(pipe);
  return out;
}

// Whether each of the space-separated programs is on the PATH.
inline bool ProgramsInstalled(const std::string& programs) {
  return std::system(("command -v " + programs + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace zentavo::testing
