// Property metadata: lookup, generic text access and number conversions.
#include "report/frxProps.h"
#include "platform/Cp1254.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

#include "report/frxTypes.h"

namespace zentavo {

int EnumInfo::Find(std::string_view name) const {
  for (std::size_t i = 0; i < names.size(); ++i)
    if (SameTextAscii(names[i], name)) return static_cast<int>(i);
  return -1;
}

bool PropInfo::IsOrdinal() const {
  return kind == PropKind::Integer || kind == PropKind::Color || kind == PropKind::Boolean ||
         kind == PropKind::Enum || kind == PropKind::Set;
}

bool PropInfo::ReadOnly() const {
  switch (kind) {
    case PropKind::Float:
    case PropKind::DateTime: return !setFloat;
    case PropKind::String:
    case PropKind::Event:
    case PropKind::Variant: return !setStr;
    case PropKind::StringList:
    case PropKind::Object: return false;
    case PropKind::Reference: return !setRef;
    default: return !setOrd;
  }
}


std::size_t AsciiCaseHash::operator()(std::string_view s) const noexcept {
  std::size_t h = 14695981039346656037u;
  for (char c : s) h = (h ^ static_cast<unsigned char>(LowerAscii(c))) * 1099511628211u;
  return h;
}

bool AsciiCaseEqual::operator()(std::string_view a, std::string_view b) const noexcept {
  return SameTextAscii(a, b);
}

const PropInfo* ClassInfo::Find(std::string_view name) const {
  auto it = index_.find(name);
  return it == index_.end() ? nullptr : &props_[it->second];
}

void ClassInfo::Reindex() {
  index_.clear();
  for (std::size_t i = 0; i < props_.size(); ++i) index_.emplace(props_[i].name, i);
}

bool ClassInfo::InheritsFrom(const ClassInfo& other) const {
  for (const ClassInfo* c = this; c != nullptr; c = c->parent_)
    if (c == &other) return true;
  return false;
}

bool ClassInfo::InheritsFrom(std::string_view className) const {
  for (const ClassInfo* c = this; c != nullptr; c = c->parent_)
    if (SameTextAscii(c->name_, className)) return true;
  return false;
}

const DiffAttribute* ClassInfo::FindDiffAttribute(std::string_view name) const {
  for (const DiffAttribute& a : diff_)
    if (SameTextAscii(a.name, name)) return &a;
  return nullptr;
}

void ClassInfo::Add(PropInfo prop) {
  if (index_.find(std::string_view(prop.name)) != index_.end()) return;
  index_.emplace(prop.name, props_.size());
  props_.push_back(std::move(prop));
}

void ClassInfo::Remove(std::string_view name) {
  for (auto it = props_.begin(); it != props_.end(); ++it)
    if (SameTextAscii(it->name, name)) {
      props_.erase(it);
      Reindex();
      return;
    }
}

PropTarget ResolveProp(TfrxPersistent& object, std::string_view path) {
  TfrxPersistent* target = &object;
  for (;;) {
    std::size_t dot = path.find('.');
    if (dot == std::string_view::npos) break;
    const PropInfo* p = target->GetClassInfo().Find(path.substr(0, dot));
    if (p == nullptr || p->kind != PropKind::Object) {
      // "ScriptText.Text": the lines of a string list.
      if (p != nullptr && p->kind == PropKind::StringList && SameTextAscii(path.substr(dot + 1), "Text"))
        return {target, p};
      return {};
    }
    target = p->getObject(*target);
    if (target == nullptr) return {};
    path.remove_prefix(dot + 1);
  }
  const PropInfo* p = target->GetClassInfo().Find(path);
  if (p == nullptr) return {};
  return {target, p};
}

std::string GetPropText(const TfrxPersistent& object, const PropInfo& prop) {
  switch (prop.kind) {
    case PropKind::Integer:
    case PropKind::Color:
    case PropKind::Set: return std::to_string(prop.getOrd(object));
    case PropKind::Boolean: return prop.getOrd(object) != 0 ? "True" : "False";
    case PropKind::Enum: {
      std::int64_t v = prop.getOrd(object);
      if (prop.enumInfo != nullptr && v >= 0 && v < static_cast<std::int64_t>(prop.enumInfo->names.size()))
        return prop.enumInfo->names[static_cast<std::size_t>(v)];
      return std::to_string(v);
    }
    case PropKind::Float:
    case PropKind::DateTime: return FloatToText(prop.getFloat(object));
    case PropKind::String:
    case PropKind::Event:
    case PropKind::Variant: return prop.getStr(object);
    case PropKind::StringList:
      return prop.getList(const_cast<TfrxPersistent&>(object))->Text();
    case PropKind::Object: return {};
    case PropKind::Reference: {
      TfrxComponent* c = prop.getRef(object);
      return c != nullptr ? ComponentName(*c) : std::string();
    }
  }
  return {};
}

void SetPropText(TfrxPersistent& object, const PropInfo& prop, std::string_view text) {
  switch (prop.kind) {
    case PropKind::Integer:
    case PropKind::Color:
    case PropKind::Set:
      if (prop.setOrd) prop.setOrd(object, TextToInt(text));
      return;
    case PropKind::Boolean:
      if (!prop.setOrd) return;
      if (SameTextAscii(text, "True")) prop.setOrd(object, 1);
      else if (SameTextAscii(text, "False")) prop.setOrd(object, 0);
      else prop.setOrd(object, TextToInt(text) != 0);
      return;
    case PropKind::Enum: {
      if (!prop.setOrd) return;
      int index = prop.enumInfo != nullptr ? prop.enumInfo->Find(text) : -1;
      if (index >= 0) {
        prop.setOrd(object, index);
        return;
      }
      // A number must name one of the values; a foreign name is refused
      // rather than leaving an ordinal no code expects.
      std::int64_t v = 0;
      try {
        v = TextToInt(text);
      } catch (const std::exception&) {
        throw std::runtime_error("Invalid property value " + std::string(text) + " for " + prop.name);
      }
      if (prop.enumInfo != nullptr && (v < 0 || v >= static_cast<std::int64_t>(prop.enumInfo->names.size())))
        throw std::runtime_error("Invalid property value " + std::string(text) + " for " + prop.name);
      prop.setOrd(object, v);
      return;
    }
    case PropKind::Float:
    case PropKind::DateTime:
      if (prop.setFloat) prop.setFloat(object, TextToFloat(text));
      return;
    case PropKind::String:
    case PropKind::Event:
    case PropKind::Variant:
      if (prop.setStr) prop.setStr(object, std::string(text));
      return;
    case PropKind::StringList: prop.getList(object)->SetText(text); return;
    case PropKind::Object:
    case PropKind::Reference: return;
  }
}

std::string FloatToText(double value) {
  if (value == 0) return "0";  // also -0
  char buf[64];
  auto [p, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  if (ec != std::errc()) return "0";
  std::string s(buf, p);
  // "1e+20" → "1E20", the form the format has always carried.
  std::size_t e = s.find('e');
  if (e != std::string::npos) {
    std::string exp = s.substr(e + 1);
    bool negative = exp[0] == '-';
    exp.erase(0, 1);
    while (exp.size() > 1 && exp[0] == '0') exp.erase(0, 1);
    s = s.substr(0, e) + "E" + (negative ? "-" : "") + exp;
  }
  return s;
}

double TextToFloat(std::string_view text) {
  std::string s;
  s.reserve(text.size());
  for (char c : text) {
    if (c == ' ') continue;
    s += c == ',' ? '.' : c;
  }
  std::string_view v = s;
  if (!v.empty() && v[0] == '+') v.remove_prefix(1);
  double value = 0;
  auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
  if (v.empty() || ec != std::errc() || p != v.data() + v.size() || !std::isfinite(value))
    throw std::runtime_error("'" + std::string(text) + "' is not a valid floating point value");
  return value;
}

std::int64_t TextToInt(std::string_view text) {
  std::string_view v = text;
  while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
  while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
  bool negative = false;
  if (!v.empty() && (v[0] == '+' || v[0] == '-')) {
    negative = v[0] == '-';
    v.remove_prefix(1);
  }
  int base = 10;
  if (!v.empty() && v[0] == '$') {  // Pascal hexadecimal, as old files may hold colours
    base = 16;
    v.remove_prefix(1);
  }
  std::int64_t value = 0;
  auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), value, base);
  if (v.empty() || ec != std::errc() || p != v.data() + v.size())
    throw std::runtime_error("'" + std::string(text) + "' is not a valid integer value");
  return negative ? -value : value;
}

}  // namespace zentavo
