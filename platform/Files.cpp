// POSIX file services.
#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

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

}  // namespace

bool MakeFolders(const std::string& path, unsigned mode) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  if (ec) return false;
  ::chmod(path.c_str(), static_cast<mode_t>(mode));
  return std::filesystem::is_directory(path, ec);
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
  FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (fd.get() < 0) return;  // a log that cannot be written must not stop a print
  ::fchmod(fd.get(), 0600);
  std::string text = line + "\n";
  WriteAll(fd.get(), text.data(), text.size());
}

void CheckReadableFile(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR)
      throw std::runtime_error("File not found: " + path);
    throw std::runtime_error("Cannot open " + path + ": " + ErrnoText());
  }
  if (S_ISDIR(st.st_mode)) throw std::runtime_error(path + " is a folder, not a file");
  if (!S_ISREG(st.st_mode)) throw std::runtime_error(path + " is not a regular file");
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) throw std::runtime_error("Cannot read " + path + ": " + ErrnoText());
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
