// What the program builder's pieces share: reading the syntax tree, and the
// errors a build reports. Only the builder's own files include it.
#pragma once

#include <string>

#include "platform/Text.h"
#include "script/fs_iinterpreter.h"
#include "script/fs_imessages.h"
#include "script/fs_xml.h"

namespace zentavo::build {

inline std::string Quoted(ScriptMessage m, const std::string& name) { return MessageText(m) + "'" + name + "'"; }
[[noreturn]] inline void Fail(ScriptMessage m) { throw ScriptError(MessageText(m)); }
[[noreturn]] inline void Fail(ScriptMessage m, const std::string& name) { throw ScriptError(Quoted(m, name)); }

inline bool Is(const TfsXMLItem& e, const char* name) { return SameTextAscii(e.Name, name); }
inline std::string Text(const TfsXMLItem& e) { return e.Prop("text"); }
inline std::string Pos(const TfsXMLItem& e) { return e.Prop("pos"); }
// A child the grammar promises; a tree without it is refused, not indexed.
inline const TfsXMLItem& Child(const TfsXMLItem& e, int i) {
  if (i < 0 || i >= e.Count()) throw ScriptError("Invalid syntax tree: " + e.Name);
  return *e.Items(i);
}

inline Variant InitialValue(TypeCode code) {
  switch (code) {
    case tcBoolean: return Variant::Boolean(false);
    case tcChar:
    case tcString: return Variant::String("");
    case tcInteger:
    case tcFloat:
    case tcClass: return Variant::Int(0);
    default: return Variant::Null();
  }
}

}  // namespace zentavo::build
