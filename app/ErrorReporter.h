// The program's last line of defence: every error that ends a job is reported
// once, on stderr, in a message box when a window is up, and in the log.
#pragma once

#include <string>

namespace zentavo {

class Ui;

class ErrorReporter {
 public:
  // `logPath` empty: no log.
  ErrorReporter(Ui& ui, std::string logPath);

  // `job` is the handler's name; `document` the document name when known.
  // Patient fields never go into the log: only time, job, document and error.
  // The box carries the application's title, or `caption` when given.
  void Report(const std::string& job, const std::string& document, const std::string& message);
  void Report(const std::string& job, const std::string& document, const std::string& message,
              const std::string& caption);

  static std::string DefaultLogPath();  // StateDirectory()/zentavo.log, or empty
  static constexpr std::size_t kMaxLogBytes = 256 * 1024;

 private:
  Ui& ui_;
  std::string logPath_;
};

}  // namespace zentavo
