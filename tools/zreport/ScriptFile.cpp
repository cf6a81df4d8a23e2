// Reading script files.
#include "tools/zreport/ScriptFile.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/Cp1254.h"

namespace zreport {

std::string ReadScriptFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  std::ostringstream buffer;
  buffer << in.rdbuf();
  return zentavo::cp1254::FromUtf8(buffer.str());
}

}  // namespace zreport
