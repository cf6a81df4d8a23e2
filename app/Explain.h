// `zentavo --explain`: what a request says and what it would start, as JSON.
#pragma once

#include <string>

namespace zentavo {

// `requestText` is the decoded (Windows-1254) request text.
std::string ExplainRequest(const std::string& requestText);

// A JSON string literal of Windows-1254 text, as UTF-8.
std::string JsonString(const std::string& cp1254Text);

}  // namespace zentavo
