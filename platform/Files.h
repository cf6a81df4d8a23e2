// File system services the programs need: the state folder and its bounded
// log, report documents opened for printing, and safe names for output files
// (which are written through platform/OutputFile.h).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zentavo {

// $XDG_STATE_HOME/zentavo (default ~/.local/state/zentavo), created mode 0700.
// Empty when no such folder can be made.
std::string StateDirectory();

// Appends one line to a log file of mode 0600. When the file would grow past
// `maxBytes`, it is moved to "<path>.1" (replacing an older one) first.
void AppendToBoundedLog(const std::string& path, const std::string& line, std::size_t maxBytes);

// An open file, closed with its owner.
class FileHandle {
 public:
  explicit FileHandle(int fd = -1) : fd_(fd) {}
  ~FileHandle();
  FileHandle(FileHandle&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  FileHandle& operator=(FileHandle&& other) noexcept;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  int get() const { return fd_; }
  // Gives the descriptor up to the caller.
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

// A report document opened for printing.
struct PrintableDocument {
  FileHandle file;       // open for reading
  std::string mimeType;  // what its first bytes say it is, e.g. "application/pdf"
};

// Opens `path` as a report document to print. Throws std::runtime_error with
// a message for the user unless, after symbolic links are resolved, it names a
// regular file this process can read, outside /proc, /sys and /dev and on no
// kernel file system (proc, sysfs, debugfs, cgroup ...), whose first bytes are
// those of a document a print queue prints (PrintableDocumentType). What is
// printed is read from the returned handle: the file checked is the file sent.
PrintableDocument OpenPrintableDocument(const std::string& path);

// The MIME type of a document a print queue prints, told by its first bytes
// as CUPS's own type rules tell it: PDF, PostScript, or a PNG, JPEG, GIF, TIFF,
// PWG raster, CUPS raster or Apple raster image. Empty for anything else.
std::string PrintableDocumentType(std::string_view head);

// True for a file-system type (statfs f_type) of the kernel's own view of
// itself (proc, sysfs, debugfs, securityfs, cgroup ...), whose files are no
// documents.
bool IsKernelFileSystem(unsigned long type);

// A file name made safe for any folder: path separators, control characters
// and the characters file managers choke on become "_"; never empty.
std::string SafeFileName(const std::string& name);

// Creates the folder and its missing parents; `mode` for the folder itself.
// False when it cannot be made or is no folder.
bool MakeFolders(const std::string& path, unsigned mode);

std::string BaseName(const std::string& path);

}  // namespace zentavo
