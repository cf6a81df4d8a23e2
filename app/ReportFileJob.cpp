// The report file job. The path goes to CUPS as a file name, never through a
// shell, so whatever characters it holds it names exactly one file.
#include "app/ReportFileJob.h"

#include <cctype>
#include <cstdio>
#include <stdexcept>

#include "platform/Cp1254.h"
#include "platform/CupsQueues.h"
#include "platform/Files.h"
#include "platform/OutputFile.h"

namespace zentavo {
namespace {

// "C:\lab\r.pdf" or "\\server\share\r.pdf": the clinic system still thinks it
// talks to a Windows machine.
bool IsWindowsPath(const std::string& path) {
  if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
      (path[2] == '\\' || path[2] == '/'))
    return true;
  return path.compare(0, 2, "\\\\") == 0;
}

}  // namespace

void PrintReportFile(const std::string& field, const ProgramOptions& options) {
  const std::string path = cp1254::ToUtf8(field);
  if (path.empty()) throw std::runtime_error("The request names no report file to print");
  if (IsWindowsPath(path))
    throw std::runtime_error(path + " is a Windows path, not a file on this machine");
  // A web page can start us with a "$" request: only a report document is
  // printed, never whatever else the path names (the environment in /proc,
  // a key file).
  const PrintableDocument file = OpenPrintableDocument(path);
  const std::string document = BaseName(path);
  if (options.outputDir) {
    auto dot = document.find_last_of('.');
    const bool hasExt = dot != std::string::npos && dot > 0;
    // No half-copied report is left behind: the copy is removed unless whole.
    OutputFile target = OutputFile::CreateUnique(*options.outputDir, hasExt ? document.substr(0, dot) : document,
                                                 hasExt ? document.substr(dot + 1) : std::string());
    CopyFileInto(file.file, path, target);
    target.Commit();
    std::printf("%s\n", target.Path().c_str());
    return;
  }
  try {
    PrintFileOnDefaultQueue(file.file.get(), document, file.mimeType);
  } catch (const std::exception& e) {
    throw std::runtime_error("The report " + document + " was not printed: " + e.what());
  }
}

}  // namespace zentavo
