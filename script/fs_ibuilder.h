// The program builder: turns a syntax tree into the items, designators and
// statements of a TfsScript; and the call of a compiled script procedure.
#pragma once

#include "script/fs_iilparser.h"
#include "script/fs_iinterpreter.h"

namespace zentavo {

// Builds the parser's syntax tree into the program. On a build error the
// program's ErrorMessage, ErrorPosition and ErrorUnitName describe it.
void BuildProgram(TfsILParser& parser, TfsScript& program);

// Calls a script procedure: the first `argc` parameters take `args` (the
// others keep their values); when `out` is given it receives every
// parameter's final value, also when an error leaves the body. An outer call
// of the same procedure has its values saved and restored around this one,
// also when an error leaves it.
Variant CallScriptProc(TfsItem& procItem, const Variant* args, int argc, Variant* out);

}  // namespace zentavo
