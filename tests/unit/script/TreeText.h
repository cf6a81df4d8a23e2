// Test helper: a syntax tree as one compact line, so expected fragments can
// be written by hand: nodes "name(children)", leaves "name=text", with
// "@line:col" positions when asked for. The trailing types element is left out.
#pragma once

#include <string>

#include "script/fs_iilparser.h"
#include "script/fs_ilanguages.h"
#include "script/fs_xml.h"

namespace zentavo::testing {

inline void AppendItem(const TfsXMLItem& item, bool positions, std::string& out) {
  bool leaf = item.Text.find("text=\"") != std::string::npos;
  out += item.Name;
  if (leaf) {
    out += "=" + item.Prop("text");
    if (positions) out += "@" + item.Prop("pos");
    return;
  }
  if (positions && !item.Prop("pos").empty()) {
    out += "@" + item.Prop("pos");
    if (!item.Prop("pos1").empty()) out += "-" + item.Prop("pos1");
  }
  out += "(";
  for (int i = 0; i < item.Count(); ++i) {
    if (i > 0) out += " ";
    AppendItem(*item[i], positions, out);
  }
  out += ")";
}

inline std::string TreeText(const TfsXMLItem& root, bool positions = false) {
  std::string out;
  for (int i = 0; i < root.Count(); ++i) {
    if (root[i]->Name == "types" && i + 1 == root.Count()) break;
    if (!out.empty()) out += " ";
    AppendItem(*root[i], positions, out);
  }
  return out;
}

struct ParseResult {
  bool ok;
  std::string tree;     // TreeText of the syntax tree
  std::string message;  // "message at line:col" on failure
};

inline ParseResult Parse(const std::string& language, const std::string& text,
                         bool positions = false, TfsParseTarget* target = nullptr) {
  TfsParseTarget local;
  TfsParseTarget& program = target ? *target : local;
  TfsILParser parser(program);
  parser.LoadLanguage(language);
  bool ok = parser.BuildSyntaxTree(text);
  ParseResult r{ok, {}, {}};
  if (ok)
    r.tree = TreeText(parser.SyntaxTree().Root(), positions);
  else
    r.message = program.ErrorMsg + " at " + program.ErrorPos;
  return r;
}

}  // namespace zentavo::testing
