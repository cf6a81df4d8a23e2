// Data files compiled into the program: each layer that carries files (the
// script grammars, the label templates) has a generated table of its own.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace zentavo {

struct EmbeddedFile {
  const char* key;        // path relative to the source tree, "/" separated
  std::string_view data;
};

// A generated table; it ends with an entry whose key is null.
using EmbeddedTable = const EmbeddedFile* (*)();

std::optional<std::string_view> FindEmbeddedFile(EmbeddedTable table, std::string_view key);

// Keys that start with the given folder prefix, e.g. "templates/".
std::vector<std::string_view> ListEmbeddedFiles(EmbeddedTable table, std::string_view prefix);

}  // namespace zentavo
