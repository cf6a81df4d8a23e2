// The window toolkit and the print system pull in dozens of shared libraries
// whose loading alone costs more than laying out and drawing a label. They
// live in modules of their own, loaded the first time a run needs them, so
// printing into files, explaining a request or running the report tools starts
// without them.
#pragma once

namespace zentavo {

// The address of `entry` in our module `file` (e.g. "zentavo-cups.so"). The
// module is looked for beside an installed program (PREFIX/LIBDIR/zentavo),
// then in the build tree; never along a search path, so no other folder can supply
// it. Throws with the loader's reason when the module or the entry is
// missing. Modules stay loaded until the process ends.
void* ModuleEntry(const char* file, const char* entry);

}  // namespace zentavo
