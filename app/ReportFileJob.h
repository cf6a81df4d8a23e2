// The report file job: a report produced elsewhere, printed as it is.
#pragma once

#include <string>

#include "app/CommandLine.h"

namespace zentavo {

// `field` is field 3 of "$" as the request carries it (Windows-1254). Prints
// the file on the default printer, or copies it into --output's folder.
// Throws with a message for the user when the path names no printable report
// document, or when it did not reach the printer (the message names it).
void PrintReportFile(const std::string& field, const ProgramOptions& options);

}  // namespace zentavo
