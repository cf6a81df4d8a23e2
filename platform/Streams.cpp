// Memory and file streams.
#include "platform/Streams.h"

#include <sys/stat.h>

#include <cstring>
#include <stdexcept>

namespace zentavo {

std::string TStream::ReadRest() {
  std::string out;
  char buffer[4096];
  for (;;) {
    std::size_t n = Read(buffer, sizeof buffer);
    if (n == 0) break;
    out.append(buffer, n);
  }
  return out;
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t n) {
  if (pos_ >= data_.size()) return 0;
  n = std::min(n, data_.size() - pos_);
  std::memcpy(buffer, data_.data() + pos_, n);
  pos_ += n;
  return n;
}

void TMemoryStream::Write(const void* buffer, std::size_t n) {
  if (pos_ > data_.size()) data_.resize(pos_);
  if (pos_ == data_.size()) {
    data_.append(static_cast<const char*>(buffer), n);
  } else {
    if (pos_ + n > data_.size()) data_.resize(pos_ + n);
    std::memcpy(data_.data() + pos_, buffer, n);
  }
  pos_ += n;
}

void TMemoryStream::Seek(std::uint64_t position) { pos_ = static_cast<std::size_t>(position); }

TFileStream::TFileStream(const std::string& path, Mode mode) : path_(path) {
  const char* how = mode == kRead ? "rb" : mode == kCreate ? "w+b" : "r+b";
  file_ = std::fopen(path.c_str(), how);
  if (file_ == nullptr) throw std::runtime_error("Cannot open file \"" + path + "\"");
}

TFileStream::TFileStream(int fd, const std::string& path) : path_(path) {
  file_ = fdopen(fd, "w+b");
  if (file_ == nullptr) throw std::runtime_error("Cannot open file \"" + path + "\"");
}

TFileStream::~TFileStream() {
  if (file_ != nullptr) std::fclose(file_);
}

std::size_t TFileStream::Read(void* buffer, std::size_t n) { return std::fread(buffer, 1, n, file_); }

void TFileStream::Write(const void* buffer, std::size_t n) {
  if (std::fwrite(buffer, 1, n, file_) != n)
    throw std::runtime_error("Cannot write to file \"" + path_ + "\"");
}

std::uint64_t TFileStream::Position() const {
  off_t p = ftello(file_);
  return p < 0 ? 0 : static_cast<std::uint64_t>(p);
}

void TFileStream::Seek(std::uint64_t position) { fseeko(file_, static_cast<off_t>(position), SEEK_SET); }

std::uint64_t TFileStream::Size() const {
  std::fflush(file_);
  struct stat st;
  if (fstat(fileno(file_), &st) != 0) return 0;
  return static_cast<std::uint64_t>(st.st_size);
}

bool FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace zentavo
