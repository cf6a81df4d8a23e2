// One differ for every class, reading the attributes its class declares.
#include "report/frxDiff.h"

#include <cmath>

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

}  // namespace

std::string PropertyAttributes(const TfrxPersistent& object, std::span<const char* const> paths) {
  std::string out;
  for (const char* path : paths) {
    PropTarget p = ResolveProp(const_cast<TfrxPersistent&>(object), path);
    if (p.prop != nullptr) AppendAttribute(out, path, DiffValue(*p.object, *p.prop));
  }
  return out;
}

std::string DiffText(const TfrxPersistent& object, const TfrxPersistent& reference, bool baseOnly) {
  std::string out;
  const ClassInfo& info = object.GetClassInfo();
  for (const DiffAttribute& a : info.DiffAttributes()) {
    if (baseOnly && !a.base) continue;
    if (a.when && !a.when(object)) continue;
    if (a.lines) {
      if (const LinesAccess* lines = info.Lines()) AppendAttribute(out, a.name, StrToXML(lines->utf8(object)));
      continue;
    }
    // Properties are read, never changed, through the shared path resolution.
    PropTarget mine = ResolveProp(const_cast<TfrxPersistent&>(object), a.path);
    if (mine.prop == nullptr) continue;
    if (!a.always) {
      PropTarget theirs = ResolveProp(const_cast<TfrxPersistent&>(reference), a.path);
      if (theirs.prop == nullptr || theirs.prop->kind != mine.prop->kind) continue;
      if (!Differs(*mine.object, *mine.prop, *theirs.object, *theirs.prop)) continue;
    }
    AppendAttribute(out, a.name, DiffValue(*mine.object, *mine.prop));
  }
  return out;
}

}  // namespace zentavo
