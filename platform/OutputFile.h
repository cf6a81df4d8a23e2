// Files the programs write for the user (labels, renders, copied reports):
// written through the one descriptor that created them, every write and the
// close checked, and removed again when anything fails, so a full disk or a
// broken folder never leaves an empty or partial file looking like output.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Files.h"
#include "platform/Streams.h"

namespace zentavo {

// Buffered writes into an open descriptor. The first failure is kept: that
// write and every later one throw std::runtime_error "Cannot write PATH:
// REASON" (the system's text for the error, e.g. "No space left on device").
class FileWriter {
 public:
  // Takes over `fd`; `path` names the file in messages.
  FileWriter(int fd, std::string path);
  // Closes the descriptor; unwritten bytes are dropped, errors unreported.
  ~FileWriter();
  FileWriter(FileWriter&& other) noexcept;
  FileWriter& operator=(FileWriter&& other) noexcept;
  FileWriter(const FileWriter&) = delete;
  FileWriter& operator=(const FileWriter&) = delete;

  void Write(std::string_view bytes);
  // Writes what is buffered, flushes it to the disk and closes; throws as Write.
  void Close();
  bool Failed() const { return !error_.empty(); }
  int Descriptor() const { return fd_; }
  const std::string& Path() const { return path_; }

 private:
  void Flush();
  void WriteAll(const char* data, std::size_t size);
  [[noreturn]] void Fail(int error);
  void Release() noexcept;

  int fd_ = -1;
  std::string path_;
  std::string buffer_;
  std::string error_;
};

// A file being written. Until Commit succeeds it is not output: a failed
// write, a failed Commit, Abort, or destruction without Commit removes the
// file this object created (never one it did not create).
class OutputFile {
 public:
  // A new file DIR/NAME.EXT, or NAME-2.EXT, NAME-3.EXT ... when the name is
  // taken, by anything: a file, a folder, a symbolic link (never followed,
  // so a link planted in a shared folder cannot redirect a label). NAME is
  // made safe first (SafeFileName); DIR is created when missing. Throws
  // "Cannot create PATH: REASON".
  static OutputFile CreateUnique(const std::string& dir, const std::string& name, const std::string& ext);
  // The file the user named. The bytes go to a new hidden file beside it
  // that replaces PATH only at Commit, so a failure leaves an older PATH as it
  // was and no new file behind. A PATH that is a link to a file replaces that
  // file; a device or pipe (/dev/stdout) is written in place.
  static OutputFile Replace(const std::string& path);

  ~OutputFile();
  OutputFile(OutputFile&& other) noexcept;
  OutputFile& operator=(OutputFile&& other) noexcept;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Where the bytes end up.
  const std::string& Path() const { return path_; }
  // Throws "Cannot write PATH: REASON" after removing the file.
  void Write(std::string_view bytes);
  // Flushes, closes and (Replace) puts the file in place; throws as Write,
  // the file removed. Also throws when the name no longer holds our file
  // (swapped for a link while we wrote). Afterwards the file is the caller's.
  void Commit();
  // Removes the file unless committed. Never throws.
  void Abort() noexcept;

 private:
  OutputFile(int dirFd, std::string entry, std::string target, std::string path, FileWriter writer, bool created);
  void RemoveEntry() noexcept;
  // The folder's entry is still the file we created.
  bool HoldsOurFile() const noexcept;
  void Release() noexcept;

  int dirFd_ = -1;
  std::string entry_;   // the name we created in the folder
  std::string target_;  // the name it takes at Commit (Replace), else empty
  std::string path_;
  FileWriter writer_;
  std::string failure_;  // the first error, repeated by later calls
  std::uint64_t device_ = 0, inode_ = 0;  // the file we created
  bool created_ = false;  // we made the entry and may remove it
  bool open_ = false;
};

// A saved template, prepared report or XML document as a stream: the file
// the user named, replaced only by a save that was written whole (Commit).
class TOutputFileStream : public TStream {
 public:
  explicit TOutputFileStream(const std::string& path) : file_(OutputFile::Replace(path)) {}
  std::size_t Read(void* buffer, std::size_t n) override;
  void Write(const void* buffer, std::size_t n) override;
  std::uint64_t Position() const override { return written_; }
  // Only to where it stands: the file is written front to back.
  void Seek(std::uint64_t position) override;
  std::uint64_t Size() const override { return written_; }
  void Commit() { file_.Commit(); }

 private:
  OutputFile file_;
  std::uint64_t written_ = 0;
};

// Copies a file's bytes into `to` (not committed).
void CopyFileInto(const std::string& from, OutputFile& to);
// The same from an open file, from its start; `fromName` names it in messages.
void CopyFileInto(const FileHandle& from, const std::string& fromName, OutputFile& to);

}  // namespace zentavo
