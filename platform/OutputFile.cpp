// Output files over POSIX descriptors: created with O_EXCL inside a folder
// opened once, never reopened by name, removed by that folder and name only
// while the name still holds the file we made.
#include "platform/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>
#include <stdexcept>
#include <utility>

#include "platform/Files.h"

namespace zentavo {
namespace {

constexpr std::size_t kBufferBytes = 64 * 1024;
constexpr int kCreateFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
// Read and write for the owner, read for the others, less the umask: what
// any program's new file gets.
constexpr mode_t kFileMode = 0644;

std::string Reason(int error) { return std::strerror(error); }

[[noreturn]] void CannotCreate(const std::string& path, int error) {
  throw std::runtime_error("Cannot create " + path + ": " + Reason(error));
}

int OpenFolder(const std::string& dir) {
  return ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

std::string RandomTag() {
  std::random_device random;
  static constexpr char kHex[] = "0123456789abcdef";
  std::string tag;
  for (int i = 0; i < 12; ++i) tag += kHex[random() % 16];
  return tag;
}

}  // namespace

// ---------------------------------------------------------------- FileWriter

FileWriter::FileWriter(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}

FileWriter::~FileWriter() { Release(); }

FileWriter::FileWriter(FileWriter&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      path_(std::move(other.path_)),
      buffer_(std::move(other.buffer_)),
      error_(std::move(other.error_)) {}

FileWriter& FileWriter::operator=(FileWriter&& other) noexcept {
  if (this != &other) {
    Release();
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
    buffer_ = std::move(other.buffer_);
    error_ = std::move(other.error_);
  }
  return *this;
}

void FileWriter::Release() noexcept {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void FileWriter::Fail(int error) {
  error_ = "Cannot write " + path_ + ": " + Reason(error);
  throw std::runtime_error(error_);
}

void FileWriter::WriteAll(const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd_, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail(errno);
    }
    // A file that takes no byte and reports no error is full.
    if (n == 0) Fail(ENOSPC);
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

void FileWriter::Flush() {
  if (buffer_.empty()) return;
  WriteAll(buffer_.data(), buffer_.size());
  buffer_.clear();
}

void FileWriter::Write(std::string_view bytes) {
  if (Failed()) throw std::runtime_error(error_);
  if (fd_ < 0) throw std::logic_error("Cannot write " + path_ + ": the file is closed");
  if (buffer_.size() + bytes.size() <= kBufferBytes) {
    if (buffer_.capacity() < kBufferBytes) buffer_.reserve(kBufferBytes);
    buffer_.append(bytes);
    return;
  }
  Flush();
  if (bytes.size() >= kBufferBytes) {
    WriteAll(bytes.data(), bytes.size());
  } else {
    buffer_.append(bytes);
  }
}

void FileWriter::Close() {
  if (Failed()) throw std::runtime_error(error_);
  if (fd_ < 0) return;
  Flush();
  // The bytes are on the disk before the file counts as written; devices and
  // pipes that cannot be synced have nothing to lose.
  if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP) Fail(errno);
  const int fd = std::exchange(fd_, -1);
  // After close, even with EINTR, the descriptor is gone on Linux; only a
  // real error (a network file system's late ENOSPC or EIO) fails the file.
  if (::close(fd) != 0 && errno != EINTR) Fail(errno);
}

// ---------------------------------------------------------------- OutputFile

OutputFile::OutputFile(int dirFd, std::string entry, std::string target, std::string path, FileWriter writer,
                       bool created)
    : dirFd_(dirFd),
      entry_(std::move(entry)),
      target_(std::move(target)),
      path_(std::move(path)),
      writer_(std::move(writer)),
      created_(created),
      open_(true) {
  struct stat st;
  if (created_ && ::fstat(writer_.Descriptor(), &st) == 0) {
    device_ = st.st_dev;
    inode_ = st.st_ino;
  }
}

OutputFile::~OutputFile() { Abort(); }

OutputFile::OutputFile(OutputFile&& other) noexcept
    : dirFd_(std::exchange(other.dirFd_, -1)),
      entry_(std::move(other.entry_)),
      target_(std::move(other.target_)),
      path_(std::move(other.path_)),
      writer_(std::move(other.writer_)),
      failure_(std::move(other.failure_)),
      device_(other.device_),
      inode_(other.inode_),
      created_(std::exchange(other.created_, false)),
      open_(std::exchange(other.open_, false)) {}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
  if (this != &other) {
    Abort();
    dirFd_ = std::exchange(other.dirFd_, -1);
    entry_ = std::move(other.entry_);
    target_ = std::move(other.target_);
    path_ = std::move(other.path_);
    writer_ = std::move(other.writer_);
    failure_ = std::move(other.failure_);
    device_ = other.device_;
    inode_ = other.inode_;
    created_ = std::exchange(other.created_, false);
    open_ = std::exchange(other.open_, false);
  }
  return *this;
}

OutputFile OutputFile::CreateUnique(const std::string& dir, const std::string& name, const std::string& ext) {
  if (!MakeFolders(dir, 0755)) throw std::runtime_error("Cannot create the folder " + dir);
  FileHandle folder(OpenFolder(dir));
  if (folder.get() < 0) throw std::runtime_error("Cannot open the folder " + dir + ": " + Reason(errno));
  const std::string stem = SafeFileName(name);
  const std::string suffix = ext.empty() ? std::string() : "." + ext;
  for (int n = 1; n < 100000; ++n) {
    std::string entry = stem + (n == 1 ? std::string() : "-" + std::to_string(n)) + suffix;
    // O_EXCL: a name already there, whatever it is, even a dangling link, is
    // never opened; O_NOFOLLOW says the same once more.
    const int fd = ::openat(folder.get(), entry.c_str(), kCreateFlags, kFileMode);
    std::string path = dir + "/" + entry;
    if (fd >= 0) {
      FileWriter writer(fd, path);
      return OutputFile(folder.release(), std::move(entry), {}, std::move(path), std::move(writer), true);
    }
    if (errno != EEXIST) CannotCreate(path, errno);
  }
  throw std::runtime_error("Too many files named " + stem + " in " + dir);
}

OutputFile OutputFile::Replace(const std::string& path) {
  if (path.empty()) throw std::runtime_error("Cannot create a file without a name");
  std::string target = path;
  struct stat st;
  // The user named this path: a link to a file means that file. A dangling
  // link is replaced itself, never followed into a file created elsewhere.
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && ::stat(path.c_str(), &st) == 0) {
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
      target = resolved;
      std::free(resolved);
    }
  }
  if (::stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    if (S_ISDIR(st.st_mode)) CannotCreate(path, EISDIR);
    // A device or a pipe takes the bytes as they come; there is nothing to
    // replace and nothing to remove.
    const int fd = ::open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) CannotCreate(path, errno);
    return OutputFile(-1, {}, {}, path, FileWriter(fd, path), false);
  }
  const std::size_t slash = target.find_last_of('/');
  const std::string dir = slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/")
                                                                                     : target.substr(0, slash);
  std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  if (base.empty()) CannotCreate(path, EISDIR);
  FileHandle folder(OpenFolder(dir));
  if (folder.get() < 0) CannotCreate(path, errno);
  // The hidden name must fit the folder's limit whatever the target's length.
  const std::string hiddenStem = "." + base.substr(0, 200) + ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string entry = hiddenStem + RandomTag() + ".part";
    const int fd = ::openat(folder.get(), entry.c_str(), kCreateFlags, kFileMode);
    if (fd >= 0) {
      FileWriter writer(fd, path);
      return OutputFile(folder.release(), std::move(entry), std::move(base), path, std::move(writer), true);
    }
    if (errno != EEXIST) CannotCreate(path, errno);
  }
  CannotCreate(path, EEXIST);
}

void OutputFile::Write(std::string_view bytes) {
  if (!open_) throw std::runtime_error(failure_.empty() ? "Cannot write " + path_ + ": the file was discarded" : failure_);
  try {
    writer_.Write(bytes);
  } catch (const std::exception& e) {
    failure_ = e.what();
    Abort();
    throw;
  }
}

void OutputFile::Commit() {
  if (!open_) throw std::runtime_error(failure_.empty() ? "Cannot write " + path_ + ": the file was discarded" : failure_);
  try {
    writer_.Close();
    // Something put under our name while we wrote (a link, another file) is
    // not our output: neither announced as written nor moved into place.
    if (created_ && !HoldsOurFile())
      throw std::runtime_error("Cannot write " + path_ + ": another file took its place while it was written");
    if (!target_.empty() && ::renameat(dirFd_, entry_.c_str(), dirFd_, target_.c_str()) != 0)
      throw std::runtime_error("Cannot write " + path_ + ": " + Reason(errno));
  } catch (const std::exception& e) {
    failure_ = e.what();
    Abort();
    throw;
  }
  created_ = false;  // the file is the caller's now
  open_ = false;
  Release();
}

void OutputFile::Abort() noexcept {
  if (!open_) return;
  open_ = false;
  RemoveEntry();
  Release();
}

void OutputFile::RemoveEntry() noexcept {
  if (!created_ || dirFd_ < 0) return;
  created_ = false;
  // Only while the name still holds our file: whatever someone else put in
  // its place stays.
  if (HoldsOurFile()) ::unlinkat(dirFd_, entry_.c_str(), 0);
}

bool OutputFile::HoldsOurFile() const noexcept {
  struct stat st;
  return dirFd_ >= 0 && ::fstatat(dirFd_, entry_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && st.st_dev == device_ &&
         st.st_ino == inode_;
}

void OutputFile::Release() noexcept {
  writer_ = FileWriter(-1, path_);
  if (dirFd_ >= 0) ::close(dirFd_);
  dirFd_ = -1;
}

std::size_t TOutputFileStream::Read(void*, std::size_t) {
  throw std::runtime_error("Cannot read " + file_.Path() + ": it is being written");
}

void TOutputFileStream::Write(const void* buffer, std::size_t n) {
  file_.Write(std::string_view(static_cast<const char*>(buffer), n));
  written_ += n;
}

void TOutputFileStream::Seek(std::uint64_t position) {
  if (position != written_) throw std::runtime_error("Cannot write " + file_.Path() + ": it is written in order");
}

void CopyFileInto(const FileHandle& from, const std::string& fromName, OutputFile& to) {
  char buffer[65536];
  for (off_t offset = 0;;) {
    const ssize_t n = ::pread(from.get(), buffer, sizeof buffer, offset);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error("Cannot read " + fromName + ": " + Reason(errno));
    }
    offset += n;
    to.Write(std::string_view(buffer, static_cast<std::size_t>(n)));
  }
}

void CopyFileInto(const std::string& from, OutputFile& to) {
  FileHandle in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (in.get() < 0) throw std::runtime_error("Cannot read " + from + ": " + Reason(errno));
  CopyFileInto(in, from, to);
}

}  // namespace zentavo
