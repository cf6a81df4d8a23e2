// Option parsing for zreport.
#include "tools/zreport/Arguments.h"

#include <algorithm>
#include <charconv>

namespace zreport {
namespace {
bool Contains(const std::vector<std::string>& list, const std::string& s) {
  return std::find(list.begin(), list.end(), s) != list.end();
}
}  // namespace

Arguments::Arguments(const std::vector<std::string>& args, const std::vector<std::string>& valued,
                     const std::vector<std::string>& flags) {
  bool onlyPositional = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (onlyPositional || a.size() < 3 || a.compare(0, 2, "--") != 0) {
      if (a == "--") {
        onlyPositional = true;
        continue;
      }
      positional_.push_back(a);
      continue;
    }
    std::string name = a.substr(2);
    std::optional<std::string> value;
    if (auto eq = name.find('='); eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.erase(eq);
    }
    if (Contains(valued, name)) {
      if (!value) {
        if (i + 1 >= args.size()) throw UsageError("option --" + name + " needs a value");
        value = args[++i];
      }
      options_.emplace_back(name, *value);
    } else if (Contains(flags, name)) {
      if (value) throw UsageError("option --" + name + " takes no value");
      options_.emplace_back(name, "");
    } else {
      throw UsageError("unknown option --" + name);
    }
  }
}

bool Arguments::Has(const std::string& name) const {
  return std::any_of(options_.begin(), options_.end(), [&](auto& o) { return o.first == name; });
}

std::optional<std::string> Arguments::Value(const std::string& name) const {
  std::optional<std::string> v;
  for (auto& o : options_)
    if (o.first == name) v = o.second;
  return v;
}

std::vector<std::string> Arguments::Values(const std::string& name) const {
  std::vector<std::string> v;
  for (auto& o : options_)
    if (o.first == name) v.push_back(o.second);
  return v;
}

int Arguments::IntValue(const std::string& name, int fallback, int min, int max) const {
  auto v = Value(name);
  if (!v) return fallback;
  int n = 0;
  auto [end, ec] = std::from_chars(v->data(), v->data() + v->size(), n);
  if (ec != std::errc() || end != v->data() + v->size() || n < min || n > max)
    throw UsageError("--" + name + " wants a whole number from " + std::to_string(min) + " to " +
                     std::to_string(max) + ", not \"" + *v + "\"");
  return n;
}

const std::string& Arguments::OnlyPositional(const char* what) const {
  if (positional_.size() != 1) throw UsageError(std::string("expected one ") + what);
  return positional_.front();
}

}  // namespace zreport
