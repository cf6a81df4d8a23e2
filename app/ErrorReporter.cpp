// Reporting of errors that end a job.
#include "app/ErrorReporter.h"

#include <chrono>
#include <cstdio>
#include <ctime>

#include "app/MainForm.h"
#include "platform/Escaping.h"
#include "platform/Files.h"
#include "platform/Ui.h"

namespace zentavo {
namespace {

std::string UtcTimestamp() {
  std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm tm{};
  gmtime_r(&now, &tm);
  char buffer[32];
  std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%SZ", &tm);
  return buffer;
}

}  // namespace

ErrorReporter::ErrorReporter(Ui& ui, std::string logPath) : ui_(ui), logPath_(std::move(logPath)) {}

std::string ErrorReporter::DefaultLogPath() {
  std::string dir = StateDirectory();
  return dir.empty() ? std::string() : dir + "/zentavo.log";
}

void ErrorReporter::Report(const std::string& job, const std::string& document,
                           const std::string& message) {
  Report(job, document, message, TForm1::kApplicationTitle);
}

void ErrorReporter::Report(const std::string& job, const std::string& document, const std::string& message,
                           const std::string& caption) {
  // One line per entry whatever the message holds, and no control character
  // from a request reaches the terminal or the log as itself.
  std::fprintf(stderr, "zentavo: %s\n", EscapeControls(message).c_str());
  if (!logPath_.empty()) {
    std::string line = UtcTimestamp() + "\t" + EscapeControls(job) + "\t" + EscapeControls(document) + "\t" +
                       EscapeControls(message);
    AppendToBoundedLog(logPath_, line, kMaxLogBytes);
  }
  if (ui_.WindowIsUp()) ui_.ShowMessage(message, caption, MessageKind::Error);
}

}  // namespace zentavo
