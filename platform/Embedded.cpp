// Look-up in a table of embedded data files.
#include "platform/Embedded.h"

namespace zentavo {

std::optional<std::string_view> FindEmbeddedFile(EmbeddedTable table, std::string_view key) {
  for (const EmbeddedFile* f = table(); f->key != nullptr; ++f)
    if (key == f->key) return f->data;
  return std::nullopt;
}

std::vector<std::string_view> ListEmbeddedFiles(EmbeddedTable table, std::string_view prefix) {
  std::vector<std::string_view> keys;
  for (const EmbeddedFile* f = table(); f->key != nullptr; ++f) {
    std::string_view key = f->key;
    if (key.substr(0, prefix.size()) == prefix) keys.push_back(key);
  }
  return keys;
}

}  // namespace zentavo
