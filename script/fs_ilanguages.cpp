// The language registry, filled with the shipped grammars, and its cache of
// compiled grammars.
#include "script/fs_ilanguages.h"

#include <mutex>
#include <stdexcept>

#include "platform/Cp1254.h"
#include "platform/Embedded.h"

namespace zentavo {

// The grammar files, compiled in by the build.
const EmbeddedFile* EmbeddedGrammars();

namespace {

constexpr const char* kShippedLanguages[] = {"VadoziDaruro", "R++Izozev", "DarozOzuziz", "JScript"};

struct Entry {
  std::string name;
  std::string grammar;
  std::shared_ptr<const TfsGrammar> compiled;  // filled on first use
};

struct Registry {
  std::mutex lock;
  std::vector<Entry> entries;

  Registry() {
    for (const char* name : kShippedLanguages) {
      auto text = FindEmbeddedFile(EmbeddedGrammars, std::string("script/languages/") + name + ".xml");
      if (text) entries.push_back({name, std::string(*text), nullptr});
    }
  }

  Entry* Find(const std::string& name) {
    std::string lowered = cp1254::LowerCase(name);
    for (Entry& e : entries)
      if (cp1254::LowerCase(e.name) == lowered) return &e;
    return nullptr;
  }
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

std::runtime_error NotFound(const std::string& name) {
  return std::runtime_error("Language '" + name + "' not found");
}

}  // namespace

void RegisterLanguage(const std::string& name, const std::string& grammarText) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  if (Entry* e = r.Find(name)) {
    e->grammar = grammarText;
    e->compiled.reset();
  } else {
    r.entries.push_back({name, grammarText, nullptr});
  }
}

std::string GetLanguageGrammar(const std::string& name) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  if (Entry* e = r.Find(name)) return e->grammar;
  throw NotFound(name);
}

std::vector<std::string> RegisteredLanguages() {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  std::vector<std::string> names;
  for (const Entry& e : r.entries) names.push_back(e.name);
  return names;
}

std::shared_ptr<const TfsGrammar> GetCompiledGrammar(const std::string& name) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  Entry* e = r.Find(name);
  if (e == nullptr) throw NotFound(name);
  if (!e->compiled) e->compiled = std::make_shared<const TfsGrammar>(e->grammar);
  return e->compiled;
}

}  // namespace zentavo
