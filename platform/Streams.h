// Byte streams the XML document and the template format read and write:
// memory buffers and files, with a 64-bit position like the stream class the
// report engine was designed around.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace zentavo {

class TStream {
 public:
  virtual ~TStream() = default;
  // Reads up to n bytes; returns how many were read (0 at the end).
  virtual std::size_t Read(void* buffer, std::size_t n) = 0;
  virtual void Write(const void* buffer, std::size_t n) = 0;
  virtual std::uint64_t Position() const = 0;
  virtual void Seek(std::uint64_t position) = 0;
  virtual std::uint64_t Size() const = 0;

  void WriteString(std::string_view s) { Write(s.data(), s.size()); }
  // Everything from the current position to the end.
  std::string ReadRest();
};

class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::string data) : data_(std::move(data)) {}
  std::size_t Read(void* buffer, std::size_t n) override;
  void Write(const void* buffer, std::size_t n) override;
  std::uint64_t Position() const override { return pos_; }
  void Seek(std::uint64_t position) override;
  std::uint64_t Size() const override { return data_.size(); }
  const std::string& Data() const { return data_; }
  void Clear() { data_.clear(); pos_ = 0; }

 private:
  std::string data_;
  std::size_t pos_ = 0;
};

// A file opened for reading, created (truncated) for writing, or both.
class TFileStream : public TStream {
 public:
  enum Mode { kRead, kCreate, kReadWrite };
  // Throws std::runtime_error "Cannot open file "NAME"" when the file cannot be opened.
  TFileStream(const std::string& path, Mode mode);
  // Takes over an already open descriptor (a temporary file).
  TFileStream(int fd, const std::string& path);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  std::size_t Read(void* buffer, std::size_t n) override;
  void Write(const void* buffer, std::size_t n) override;
  std::uint64_t Position() const override;
  void Seek(std::uint64_t position) override;
  std::uint64_t Size() const override;

 private:
  std::FILE* file_ = nullptr;
  std::string path_;
};

bool FileExists(const std::string& path);

}  // namespace zentavo
