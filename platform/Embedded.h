// Data files compiled into the program: label templates and script grammars.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace zentavo {

struct EmbeddedFile {
  const char* key;        // path relative to the source tree, "/" separated
  std::string_view data;
};

// The table the build generates; ends with an entry whose key is null.
const EmbeddedFile* EmbeddedFiles();

std::optional<std::string_view> FindEmbeddedFile(std::string_view key);

// Keys that start with the given folder prefix, e.g. "templates/".
std::vector<std::string_view> ListEmbeddedFiles(std::string_view prefix);

}  // namespace zentavo
