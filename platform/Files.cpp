// POSIX file services.
#include "platform/Files.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "platform/Escaping.h"

namespace zentavo {
namespace {

std::string ErrnoText() { return std::strerror(errno); }

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// Under /proc, /sys and /dev lie the kernel's and the devices' files: the
// process's environment, memory maps, a disk. None of them is a report.
bool InSystemFolder(const std::string& realPath) {
  for (std::string_view root : {"/proc", "/sys", "/dev"})
    if (realPath == root || StartsWith(realPath, std::string(root) + "/")) return true;
  return false;
}

std::string SystemFileMessage(const std::string& path) { return path + " is a system file, not a report document"; }

}  // namespace

bool MakeFolders(const std::string& path, unsigned mode) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  if (ec) return false;
  ::chmod(path.c_str(), static_cast<mode_t>(mode));
  return std::filesystem::is_directory(path, ec);
}

FileHandle::~FileHandle() {
  if (fd_ >= 0) ::close(fd_);
}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

std::string StateDirectory() {
  std::string base;
  if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg != nullptr && xdg[0] == '/') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
    base = std::string(home) + "/.local/state";
  } else {
    return {};
  }
  std::string dir = base + "/zentavo";
  return MakeFolders(dir, 0700) ? dir : std::string();
}

void AppendToBoundedLog(const std::string& path, const std::string& line, std::size_t maxBytes) {
  struct stat st;
  if (::stat(path.c_str(), &st) == 0 &&
      static_cast<std::size_t>(st.st_size) + line.size() + 1 > maxBytes)
    ::rename(path.c_str(), (path + ".1").c_str());
  FileHandle fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (fd.get() < 0) return;  // a log that cannot be written must not stop a print
  ::fchmod(fd.get(), 0600);
  std::string text = line + "\n";
  WriteAll(fd.get(), text.data(), text.size());
}

bool IsKernelFileSystem(unsigned long type) {
  // The kernel's own views of itself. devtmpfs says it is a tmpfs, so /dev is
  // refused by its place instead.
  static constexpr unsigned long kKernelTypes[] = {
      PROC_SUPER_MAGIC, SYSFS_MAGIC,   DEBUGFS_MAGIC,    SECURITYFS_MAGIC, CGROUP_SUPER_MAGIC,
      CGROUP2_SUPER_MAGIC, TRACEFS_MAGIC, DEVPTS_SUPER_MAGIC, BPF_FS_MAGIC, PSTOREFS_MAGIC,
      EFIVARFS_MAGIC,   SELINUX_MAGIC, SMACK_MAGIC,      NSFS_MAGIC,       BINFMTFS_MAGIC,
      0x62656570UL /* configfs */, 0x65735543UL /* fusectl */, 0x19800202UL /* mqueue */};
  const unsigned long t = type & 0xFFFFFFFFUL;
  for (unsigned long k : kKernelTypes)
    if (t == k) return true;
  return false;
}

std::string PrintableDocumentType(std::string_view head) {
  auto at = [&](std::size_t offset, std::string_view bytes) {
    return head.size() >= offset + bytes.size() && head.substr(offset, bytes.size()) == bytes;
  };
  using namespace std::string_view_literals;
  // PDF readers, and CUPS, allow blank lines before the header.
  const std::size_t pdf = std::min(head.find_first_not_of("\r\n"), head.size());
  if (at(pdf, "%PDF")) return "application/pdf";
  if (at(0, "%!") || at(0, "\x04%!")) return "application/postscript";
  if (at(0, "\x89PNG")) return "image/png";
  if (at(0, "\xFF\xD8\xFF") && head.size() > 3 && (static_cast<unsigned char>(head[3]) & 0xF0) == 0xE0)
    return "image/jpeg";
  if (at(0, "GIF87a") || at(0, "GIF89a")) return "image/gif";
  if (at(0, "MM\0\x2A"sv) || at(0, "II\x2A\0"sv)) return "image/tiff";
  if (at(0, "RaS2") && at(4, "PwgRaster\0"sv)) return "image/pwg-raster";
  for (std::string_view sync : {"RaSt", "tSaR", "RaS2", "2SaR", "RaS3", "3SaR"})
    if (at(0, sync)) return "application/vnd.cups-raster";
  if (at(0, "UNIRAST\0"sv)) return "image/urf";
  return {};
}

PrintableDocument OpenPrintableDocument(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) throw std::runtime_error("File not found: " + path);
    throw std::runtime_error("Cannot open " + path + ": " + ErrnoText());
  }
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) == nullptr)
    throw std::runtime_error("Cannot open " + path + ": " + ErrnoText());
  const std::string real = resolved;
  if (InSystemFolder(real)) throw std::runtime_error(SystemFileMessage(path));
  if (S_ISDIR(st.st_mode)) throw std::runtime_error(path + " is a folder, not a file");
  if (!S_ISREG(st.st_mode)) throw std::runtime_error(path + " is not a regular file");

  // The resolved path, never following a link that appeared since, and never
  // waiting on a FIFO put in the file's place.
  FileHandle file(::open(real.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW));
  if (file.get() < 0) throw std::runtime_error("Cannot read " + path + ": " + ErrnoText());
  struct stat opened;
  struct statfs fs;
  if (::fstat(file.get(), &opened) != 0 || ::fstatfs(file.get(), &fs) != 0)
    throw std::runtime_error("Cannot read " + path + ": " + ErrnoText());
  if (!S_ISREG(opened.st_mode) || opened.st_dev != st.st_dev || opened.st_ino != st.st_ino)
    throw std::runtime_error(path + " changed while it was being opened");
  if (IsKernelFileSystem(static_cast<unsigned long>(fs.f_type))) throw std::runtime_error(SystemFileMessage(path));
  ::fcntl(file.get(), F_SETFL, ::fcntl(file.get(), F_GETFL) & ~O_NONBLOCK);

  char head[512];
  ssize_t n;
  do {
    n = ::pread(file.get(), head, sizeof head, 0);
  } while (n < 0 && errno == EINTR);
  if (n < 0) throw std::runtime_error("Cannot read " + path + ": " + ErrnoText());
  std::string type = PrintableDocumentType(std::string_view(head, static_cast<std::size_t>(n)));
  if (type.empty())
    throw std::runtime_error(path +
                             " is not a printable document: only PDF, PostScript and PNG, JPEG, GIF, TIFF or "
                             "raster images are printed");
  return {std::move(file), std::move(type)};
}

std::string SafeFileName(const std::string& name) {
  std::string out;
  out.reserve(name.size());
  for (unsigned char c : name) {
    bool unsafe = c < 0x20 || c == 0x7F || std::strchr("/\\:*?\"<>|", c) != nullptr;
    out += unsafe ? '_' : static_cast<char>(c);
  }
  // No hidden files, no "." or "..".
  if (!out.empty() && out.front() == '.') out.front() = '_';
  if (out.empty()) out = "document";
  // A long name loses its middle, cut at characters: the end of a document
  // name is what tells labels apart (the barcode number after the test).
  constexpr std::size_t kMaxBytes = 200, kKeptEnd = 64;
  constexpr std::string_view kCut = "\xE2\x80\xA6";  // an ellipsis in UTF-8
  if (out.size() > kMaxBytes) {
    const std::string_view end = Utf8Suffix(out, kKeptEnd);
    const std::string_view start = Utf8Prefix(out, kMaxBytes - kCut.size() - end.size());
    out = std::string(start) + std::string(kCut) + std::string(end);
  }
  return out;
}

std::string BaseName(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace zentavo
