// The report's table of message and caption texts by key. A key the table
// lacks reads as the key itself ("prDupl").
#pragma once

#include <string>
#include <string_view>

namespace zentavo {

class TfrxResources {
 public:
  std::string Get(std::string_view key) const;
};

const TfrxResources& frxResources();

// "clDSNotExist" with its %s (or %d) replaced by `arg`, and friends.
std::string FormatResource(std::string_view key, std::string_view arg);
std::string FormatResource(std::string_view key, std::string_view arg1, std::string_view arg2);

}  // namespace zentavo
