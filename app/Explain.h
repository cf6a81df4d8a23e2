// `zentavo --explain`: what a request says and what it would start, as JSON.
#pragma once

#include <optional>
#include <string>

#include "app/CommandLine.h"

namespace zentavo {

// `requestText` is the decoded (Windows-1254) request text; `job` the job
// asked for on the command line, else the one the request starts, if any.
std::string ExplainRequest(const std::string& requestText, std::optional<ButtonJob> job = std::nullopt);

// A JSON string literal of Windows-1254 text, as UTF-8.
std::string JsonString(const std::string& cp1254Text);

}  // namespace zentavo
