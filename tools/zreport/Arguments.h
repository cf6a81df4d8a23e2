// Command-line parsing shared by zreport's subcommands.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zreport {

// Bad usage: printed with the subcommand's usage line, exit status 2.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Options of the form "--name value" or "--name=value", flags "--name",
// and positional words. Options may repeat ("--set A=1 --set B=2").
class Arguments {
 public:
  // `valued` lists the options that take a value; `flags` those that don't.
  Arguments(const std::vector<std::string>& args, const std::vector<std::string>& valued,
            const std::vector<std::string>& flags);

  bool Has(const std::string& name) const;
  std::optional<std::string> Value(const std::string& name) const;  // last given
  std::vector<std::string> Values(const std::string& name) const;   // all, in order
  int IntValue(const std::string& name, int fallback, int min, int max) const;
  const std::vector<std::string>& Positional() const { return positional_; }
  // The single positional argument, or a usage error.
  const std::string& OnlyPositional(const char* what) const;

 private:
  std::vector<std::pair<std::string, std::string>> options_;
  std::vector<std::string> positional_;
};

}  // namespace zreport
