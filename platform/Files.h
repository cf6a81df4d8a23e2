// File system services the programs need: the state folder and its bounded
// log, readable-file checks, and safe names for output files (which are
// written through platform/OutputFile.h).
#pragma once

#include <cstddef>
#include <string>

namespace zentavo {

// $XDG_STATE_HOME/zentavo (default ~/.local/state/zentavo), created mode 0700.
// Empty when no such folder can be made.
std::string StateDirectory();

// Appends one line to a log file of mode 0600. When the file would grow past
// `maxBytes`, it is moved to "<path>.1" (replacing an older one) first.
void AppendToBoundedLog(const std::string& path, const std::string& line, std::size_t maxBytes);

// Throws std::runtime_error with a message for the user unless `path` names a
// regular file this process can read.
void CheckReadableFile(const std::string& path);

// A file name made safe for any folder: path separators, control characters
// and the characters file managers choke on become "_"; never empty.
std::string SafeFileName(const std::string& name);

// Creates the folder and its missing parents; `mode` for the folder itself.
// False when it cannot be made or is no folder.
bool MakeFolders(const std::string& path, unsigned mode);

std::string BaseName(const std::string& path);

}  // namespace zentavo
