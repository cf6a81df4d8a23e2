// Parsing of zentavo's options.
#include "app/CommandLine.h"

#include <charconv>

namespace zentavo {
namespace {

struct JobName {
  const char* name;
  ButtonJob job;
};
constexpr JobName kJobNames[] = {
    {"lab", ButtonJob::Lab}, {"result", ButtonJob::Result},
    {"lab3050", ButtonJob::Lab3050}, {"file", ButtonJob::File}};

int ParseDpi(const std::string& text) {
  int dpi = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), dpi);
  if (ec != std::errc() || end != text.data() + text.size() || dpi < 72 || dpi > 2400)
    throw UsageError("--dpi wants a resolution from 72 to 2400, not \"" + text + "\"");
  return dpi;
}

}  // namespace

const char* ProgramUsage() {
  return "usage: zentavo [OPTIONS] REQUEST\n"
         "\n"
         "Prints laboratory labels from one URL-encoded request. Without the automatic\n"
         "flag in the request, a window offers the four jobs.\n"
         "\n"
         "  --output DIR          print into files in DIR instead of a printer\n"
         "  --format pdf|png|ps   file format with --output (default pdf)\n"
         "  --dpi N               resolution of the file printer (default 300)\n"
         "  --job lab|result|lab3050|file\n"
         "                        run a button job without the window\n"
         "  --explain             print the decoded request and what it would do; print nothing\n"
         "  --list-printers       the printers as the program sees them\n"
         "  --help, --version\n"
         "\n"
         "CUPS_SERVER names the print server; ZENTAVO_CUPS_TIMEOUT the seconds each of its\n"
         "answers may take (default 30).\n";
}

ProgramOptions ParseProgramArguments(const std::vector<std::string>& args) {
  ProgramOptions o;
  bool haveRequest = false;
  bool optionsEnded = false;
  bool formatGiven = false, dpiGiven = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool looksLikeOption = a.size() > 2 && a.compare(0, 2, "--") == 0;
    if (haveRequest) {
      if (looksLikeOption || a == "--")
        throw UsageError("options go before the request: \"" + a + "\"");
      o.ignoredArguments.push_back(a);
      continue;
    }
    if (optionsEnded || !looksLikeOption) {
      if (!optionsEnded && a == "--") {
        optionsEnded = true;
        continue;
      }
      o.request = a;
      haveRequest = true;
      continue;
    }
    std::string name = a.substr(2), value;
    bool hasValue = false;
    if (auto eq = name.find('='); eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.erase(eq);
      hasValue = true;
    }
    auto takeValue = [&]() -> std::string {
      if (hasValue) return value;
      if (i + 1 >= args.size()) throw UsageError("--" + name + " needs a value");
      return args[++i];
    };
    auto noValue = [&] {
      if (hasValue) throw UsageError("--" + name + " takes no value");
    };
    if (name == "output") {
      o.outputDir = takeValue();
      if (o.outputDir->empty()) throw UsageError("--output needs a folder");
    } else if (name == "format") {
      o.format = takeValue();
      formatGiven = true;
      if (o.format != "pdf" && o.format != "png" && o.format != "ps")
        throw UsageError("--format is pdf, png or ps, not \"" + o.format + "\"");
    } else if (name == "dpi") {
      o.dpi = ParseDpi(takeValue());
      dpiGiven = true;
    } else if (name == "job") {
      std::string job = takeValue();
      for (const JobName& j : kJobNames)
        if (job == j.name) o.job = j.job;
      if (!o.job) throw UsageError("--job is lab, result, lab3050 or file, not \"" + job + "\"");
    } else if (name == "explain") {
      noValue();
      o.explain = true;
    } else if (name == "list-printers") {
      noValue();
      o.listPrinters = true;
    } else if (name == "help") {
      noValue();
      o.help = true;
    } else if (name == "version") {
      noValue();
      o.version = true;
    } else {
      throw UsageError("unknown option --" + name);
    }
  }
  if ((formatGiven || dpiGiven) && !o.outputDir)
    throw UsageError("--format and --dpi describe the files of --output; give --output DIR too");
  return o;
}

}  // namespace zentavo
