// What a label job does with a request, worked out before anything is
// printed: for each label, the template, the value each object receives, the
// document name and the printer. --explain shows it; the jobs carry it out.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/CommandLine.h"

namespace zentavo {

struct LabelFill {
  enum class Kind { Memo, Barcode };
  std::string object;
  Kind kind;
  std::string value;  // Windows-1254, as the request carries it
};

struct LabelPlan {
  std::string templateName;
  std::vector<LabelFill> fills;  // in the order the job sets them
  std::string documentName;      // empty: the report's own
  // The printer name to set; nothing keeps the template's ("Default").
  std::optional<std::string> printer;
};

// The labels one button job prints from a request text. The automatic job
// prints one label per test triple, at most 51; the "$" jobs one label each;
// the file job none.
std::vector<LabelPlan> PlanLabels(ButtonJob job, const std::string& requestText);

// The barcode number as a barcode should encode it: leading and trailing
// blanks and control characters removed (the memo shows it as sent).
std::string TrimBarcodeNumber(const std::string& value);

constexpr int kMaxLabelsPerRequest = 51;

}  // namespace zentavo
