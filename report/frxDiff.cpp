// One differ for every class, reading the attributes its class declares.
#include "report/frxDiff.h"

#include <cmath>
#include <mutex>
#include <vector>

#include "report/frxProps.h"
#include "report/frxXML.h"

namespace zentavo {
namespace {

bool Differs(const TfrxPersistent& a, const PropInfo& pa, const TfrxPersistent& b, const PropInfo& pb) {
  switch (pa.kind) {
    case PropKind::Float:
    case PropKind::DateTime: return std::abs(pa.getFloat(a) - pb.getFloat(b)) > 0.0001;
    case PropKind::String:
    case PropKind::Event:
    case PropKind::Variant: return pa.getStr(a) != pb.getStr(b);
    default: return pa.IsOrdinal() && pa.getOrd(a) != pb.getOrd(b);
  }
}

std::string DiffValue(const TfrxPersistent& object, const PropInfo& p) {
  switch (p.kind) {
    case PropKind::Float:
    case PropKind::DateTime: return FloatToText(p.getFloat(object));
    case PropKind::Boolean: return p.getOrd(object) != 0 ? "1" : "0";
    case PropKind::String:
    case PropKind::Event:
    case PropKind::Variant: return StrToXML(p.getStr(object));
    default: return std::to_string(p.getOrd(object));
  }
}

// Kinds a difference is written for: numbers, flags, names and texts.
bool Diffable(const PropInfo& p) {
  switch (p.kind) {
    case PropKind::StringList:
    case PropKind::Object:
    case PropKind::Reference: return false;
    default: return true;
  }
}

// The chain of properties from an object of the class down to the value at
// `path`; empty where a part is not published or not a value Diff writes.
std::vector<const PropInfo*> ChainOf(const TfrxPersistent& sample, std::string_view path) {
  std::vector<const PropInfo*> chain;
  const TfrxPersistent* target = &sample;
  for (;;) {
    std::size_t dot = path.find('.');
    const PropInfo* p = target->GetClassInfo().Find(path.substr(0, dot));
    if (p == nullptr) return {};
    chain.push_back(p);
    if (dot == std::string_view::npos) return Diffable(*p) ? chain : std::vector<const PropInfo*>();
    if (p->kind != PropKind::Object) return {};
    target = p->getObject(const_cast<TfrxPersistent&>(*target));
    if (target == nullptr) return {};
    path.remove_prefix(dot + 1);
  }
}

// The object holding the chain's last property, or null.
const TfrxPersistent* Holder(const TfrxPersistent& object, const std::vector<const PropInfo*>& chain) {
  const TfrxPersistent* target = &object;
  for (std::size_t i = 0; i + 1 < chain.size() && target != nullptr; ++i)
    target = chain[i]->getObject(const_cast<TfrxPersistent&>(*target));
  return target;
}

// Preparation diffs every printed object; the paths are looked up once per
// class, not once per object.
const std::vector<std::vector<const PropInfo*>>& ResolvedChains(const TfrxPersistent& object) {
  const ClassInfo& info = object.GetClassInfo();
  ClassRuntime& runtime = info.Runtime();
  std::call_once(runtime.diffResolved, [&] {
    for (const DiffAttribute& a : info.DiffAttributes())
      runtime.diffChains.push_back(a.lines ? std::vector<const PropInfo*>() : ChainOf(object, a.path));
  });
  return runtime.diffChains;
}

}  // namespace

std::string PropertyAttributes(const TfrxPersistent& object, std::span<const char* const> paths) {
  std::string out;
  for (const char* path : paths) {
    PropTarget p = ResolveProp(const_cast<TfrxPersistent&>(object), path);
    if (p.prop != nullptr && Diffable(*p.prop)) AppendAttribute(out, path, DiffValue(*p.object, *p.prop));
  }
  return out;
}

std::string DiffText(const TfrxPersistent& object, const TfrxPersistent& reference, bool baseOnly) {
  std::string out;
  const ClassInfo& info = object.GetClassInfo();
  const std::vector<DiffAttribute>& attributes = info.DiffAttributes();
  const auto& chains = ResolvedChains(object);
  const bool sameClass = &reference.GetClassInfo() == &info;
  for (std::size_t i = 0; i < attributes.size(); ++i) {
    const DiffAttribute& a = attributes[i];
    if (baseOnly && !a.base) continue;
    if (a.when && !a.when(object)) continue;
    if (a.lines) {
      if (const LinesAccess* lines = info.Lines()) AppendAttribute(out, a.name, StrToXML(lines->utf8(object)));
      continue;
    }
    const std::vector<const PropInfo*>& chain = chains[i];
    if (chain.empty()) continue;
    const TfrxPersistent* mine = Holder(object, chain);
    if (mine == nullptr) continue;
    const PropInfo& prop = *chain.back();
    if (!a.always) {
      const TfrxPersistent* theirs = nullptr;
      const PropInfo* theirProp = nullptr;
      if (sameClass) {
        theirs = Holder(reference, chain);
        theirProp = &prop;
      } else {
        PropTarget t = ResolveProp(const_cast<TfrxPersistent&>(reference), a.path);
        theirs = t.object;
        theirProp = t.prop;
      }
      if (theirs == nullptr || theirProp == nullptr || theirProp->kind != prop.kind) continue;
      if (!Differs(*mine, prop, *theirs, *theirProp)) continue;
    }
    AppendAttribute(out, a.name, DiffValue(*mine, prop));
  }
  return out;
}

}  // namespace zentavo
