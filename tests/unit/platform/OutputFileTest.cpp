// Output files: names that never overwrite and never follow a link, writes
// and closes that are checked, and nothing left behind when one fails.
#include "platform/OutputFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include "tests/support/FileSizeLimit.h"

namespace zentavo {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// Every entry of a folder, hidden ones too, sorted.
std::vector<std::string> Entries(const fs::path& dir) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(dir, ec)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string TooLarge(const std::string& path) { return "Cannot write " + path + ": " + std::strerror(EFBIG); }

class OutputFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("zentavo-output-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
            std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

// What is already in the folder under the name a file would take.
enum class Planted { Nothing, File, Folder, LinkToFile, DanglingLink };

TEST_F(OutputFileTest, CreateUniqueTakesTheFirstFreeNameAndFollowsNoLink) {
  struct Row {
    Planted planted;
    const char* name;
    const char* ext;
    const char* expected;
    const char* why;
  };
  const Row rows[] = {
      {Planted::Nothing, "T1_123", "pdf", "T1_123.pdf", "a free name is taken as it is; the folder is made"},
      {Planted::File, "T1_123", "pdf", "T1_123-2.pdf", "an existing file is never overwritten"},
      {Planted::Folder, "T1_123", "png", "T1_123-2.png", "a folder of that name is passed over"},
      {Planted::LinkToFile, "T1_123", "pdf", "T1_123-2.pdf", "a link planted in the folder is not written through"},
      {Planted::DanglingLink, "T1_123", "ps", "T1_123-2.ps", "a dangling link does not make a file where it points"},
      {Planted::Nothing, "a/b", "", "a_b", "the name is made safe; no extension, no dot"},
  };
  int n = 0;
  for (const Row& r : rows) {
    const fs::path out = dir_ / ("row" + std::to_string(++n)) / "out";
    const fs::path victim = dir_ / ("victim" + std::to_string(n));
    const fs::path taken = out / (std::string(r.name) + "." + r.ext);
    if (r.planted != Planted::Nothing) fs::create_directories(out);
    switch (r.planted) {
      case Planted::Nothing: break;
      case Planted::File: WriteText(taken, "older"); break;
      case Planted::Folder: fs::create_directory(taken); break;
      case Planted::LinkToFile:
        WriteText(victim, "victim");
        fs::create_symlink(victim, taken);
        break;
      case Planted::DanglingLink: fs::create_symlink(victim, taken); break;
    }
    {
      OutputFile file = OutputFile::CreateUnique(out.string(), r.name, r.ext);
      EXPECT_EQ(file.Path(), (out / r.expected).string()) << r.why;
      file.Write("label");
      file.Commit();
    }
    EXPECT_EQ(Read(out / r.expected), "label") << r.why;
    EXPECT_FALSE(fs::is_symlink(out / r.expected)) << r.why;
    if (r.planted == Planted::File) {
      EXPECT_EQ(Read(taken), "older") << r.why;
    }
    if (r.planted == Planted::LinkToFile) {
      EXPECT_EQ(Read(victim), "victim") << r.why;
      EXPECT_TRUE(fs::is_symlink(taken)) << r.why;
    }
    if (r.planted == Planted::DanglingLink) {
      EXPECT_FALSE(fs::exists(victim)) << r.why;
    }
  }
}

TEST_F(OutputFileTest, NamesCountUpWhileTheirFilesAreOpen) {
  // The name is taken when the file is made, not when it is committed: two
  // labels of one name written side by side never share a file.
  const std::string out = (dir_ / "out").string();
  OutputFile first = OutputFile::CreateUnique(out, "T1_123", "pdf");
  OutputFile second = OutputFile::CreateUnique(out, "T1_123", "pdf");
  OutputFile third = OutputFile::CreateUnique(out, "T1_123", "pdf");
  EXPECT_EQ(first.Path(), out + "/T1_123.pdf");
  EXPECT_EQ(second.Path(), out + "/T1_123-2.pdf");
  EXPECT_EQ(third.Path(), out + "/T1_123-3.pdf");
  third.Write("3");
  first.Write("1");
  second.Write("2");
  for (OutputFile* f : {&first, &second, &third}) f->Commit();
  EXPECT_EQ(Read(out + "/T1_123.pdf"), "1");
  EXPECT_EQ(Read(out + "/T1_123-2.pdf"), "2");
  EXPECT_EQ(Read(out + "/T1_123-3.pdf"), "3");
}

TEST_F(OutputFileTest, ANameSwappedForALinkWhileWritingIsNotFollowed) {
  // Someone with write access to a shared folder replaces the file we are
  // writing with a link to a file of theirs: our bytes keep going into the
  // file we created, never through the link, and the label is not announced.
  struct Row {
    bool replace;
    const char* why;
  };
  const Row rows[] = {
      {false, "a new label file swapped for a link"},
      {true, "the hidden part file of a replacement swapped for a link"},
  };
  int n = 0;
  for (const Row& r : rows) {
    const fs::path out = dir_ / ("row" + std::to_string(++n));
    fs::create_directories(out);
    const fs::path victim = dir_ / ("victim" + std::to_string(n));
    WriteText(victim, "victim");
    OutputFile file = r.replace ? OutputFile::Replace((out / "r.pdf").string())
                                : OutputFile::CreateUnique(out.string(), "r", "pdf");
    file.Write("first bytes");
    const std::vector<std::string> entries = Entries(out);
    ASSERT_EQ(entries.size(), 1u) << r.why;
    const fs::path ours = out / entries.front();
    fs::remove(ours);
    fs::create_symlink(victim, ours);
    file.Write(std::string(100000, 'x'));
    try {
      file.Commit();
      ADD_FAILURE() << "committed through a swapped name: " << r.why;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()), "Cannot write " + file.Path() + ": another file took its place while it was written")
          << r.why;
    }
    EXPECT_EQ(Read(victim), "victim") << r.why;
    EXPECT_TRUE(fs::is_symlink(ours)) << r.why << ": what is not ours is not removed either";
    EXPECT_EQ(Entries(out), entries) << r.why << ": nothing moved into place";
  }
}

TEST_F(OutputFileTest, ModeIsReadableByAllLessTheUmask) {
  struct Row {
    mode_t umask;
    mode_t expected;
    const char* why;
  };
  const Row rows[] = {
      {022, 0644, "the usual umask: anyone may read the labels"},
      {077, 0600, "a private umask is kept"},
      {0, 0644, "never writable by others, whatever the umask"},
  };
  for (const Row& r : rows) {
    for (bool replace : {false, true}) {
      const mode_t saved = ::umask(r.umask);
      std::string path;
      {
        OutputFile file = replace ? OutputFile::Replace((dir_ / "replaced.pdf").string())
                                  : OutputFile::CreateUnique(dir_.string(), "new", "pdf");
        path = file.Path();
        file.Write("x");
        file.Commit();
      }
      ::umask(saved);
      struct stat st;
      ASSERT_EQ(::stat(path.c_str(), &st), 0);
      EXPECT_EQ(st.st_mode & 0777, r.expected) << r.why << (replace ? " (Replace)" : " (CreateUnique)");
      fs::remove(path);
    }
  }
}

TEST_F(OutputFileTest, AFileNotWrittenWholeLeavesNothingBehind) {
  enum class End { WriteFails, CommitFails, Abort, Destroyed };
  struct Row {
    bool replace;
    End end;
    std::size_t bytes;
    const char* why;
  };
  const Row rows[] = {
      {false, End::WriteFails, 200000, "a write larger than the buffer fails at once; the file goes"},
      {false, End::CommitFails, 2000, "buffered bytes fail (a short write, then none) when Commit writes them"},
      {false, End::Abort, 10, "Abort removes the file"},
      {false, End::Destroyed, 10, "an uncommitted file does not outlive its object"},
      {true, End::WriteFails, 200000, "replacing: the older file stays as it was"},
      {true, End::CommitFails, 2000, "replacing: no hidden part file is left"},
      {true, End::Abort, 10, "replacing: Abort keeps the older file"},
      {true, End::Destroyed, 10, "replacing: forgetting Commit keeps the older file"},
  };
  int n = 0;
  for (const Row& r : rows) {
    const fs::path out = dir_ / ("row" + std::to_string(++n));
    fs::create_directories(out);
    if (r.replace) WriteText(out / "r.pdf", "older");
    const bool fails = r.end == End::WriteFails || r.end == End::CommitFails;
    std::string message;
    std::string path;
    {
      std::optional<testing::FileSizeLimit> limit;
      if (fails) limit.emplace(1000);
      OutputFile file = r.replace ? OutputFile::Replace((out / "r.pdf").string())
                                  : OutputFile::CreateUnique(out.string(), "r", "pdf");
      path = file.Path();
      try {
        file.Write(std::string(r.bytes, 'x'));
        if (r.end == End::CommitFails) file.Commit();
        if (r.end == End::Abort) file.Abort();
      } catch (const std::runtime_error& e) {
        message = e.what();
      }
      if (fails) {
        // The first error stays the answer: nothing more is written, nothing committed.
        EXPECT_EQ(message, TooLarge(path)) << r.why;
        try {
          file.Write("y");
          ADD_FAILURE() << "a write after the failure: " << r.why;
        } catch (const std::runtime_error& e) {
          EXPECT_EQ(std::string(e.what()), TooLarge(path)) << r.why;
        }
        EXPECT_THROW(file.Commit(), std::runtime_error) << r.why;
      } else {
        EXPECT_EQ(message, "") << r.why;
      }
    }
    EXPECT_EQ(Entries(out), r.replace ? std::vector<std::string>{"r.pdf"} : std::vector<std::string>{}) << r.why;
    if (r.replace) {
      EXPECT_EQ(Read(out / "r.pdf"), "older") << r.why;
    }
  }
}

TEST_F(OutputFileTest, ReplaceWritesThePathTheUserNamed) {
  struct Row {
    Planted planted;
    std::vector<std::string> entries;  // the folder afterwards
    const char* why;
  };
  const Row rows[] = {
      {Planted::Nothing, {"r.pdf"}, "a missing file is created"},
      {Planted::File, {"r.pdf"}, "an older file is replaced whole, no part file left"},
      {Planted::LinkToFile, {"r.pdf", "victim.pdf"}, "a link the user named leads to its file and stays a link"},
      {Planted::DanglingLink, {"r.pdf"}, "a dangling link is replaced itself, nothing made where it points"},
  };
  int n = 0;
  for (const Row& r : rows) {
    const fs::path out = dir_ / ("row" + std::to_string(++n));
    fs::create_directories(out);
    const fs::path path = out / "r.pdf";
    const fs::path elsewhere = dir_ / ("nowhere" + std::to_string(n));
    switch (r.planted) {
      case Planted::File: WriteText(path, "older, and longer than the new bytes"); break;
      case Planted::LinkToFile:
        WriteText(out / "victim.pdf", "older");
        fs::create_symlink("victim.pdf", path);
        break;
      case Planted::DanglingLink: fs::create_symlink(elsewhere, path); break;
      default: break;
    }
    {
      OutputFile file = OutputFile::Replace(path.string());
      EXPECT_EQ(file.Path(), path.string()) << r.why;
      file.Write("new");
      file.Commit();
    }
    EXPECT_EQ(Read(path), "new") << r.why;
    EXPECT_EQ(Entries(out), r.entries) << r.why;
    EXPECT_EQ(fs::is_symlink(path), r.planted == Planted::LinkToFile) << r.why;
    EXPECT_FALSE(fs::exists(elsewhere)) << r.why;
  }

  // A device takes the bytes in place and is never replaced or removed.
  {
    OutputFile null = OutputFile::Replace("/dev/null");
    null.Write("discarded");
    null.Commit();
  }
  struct stat st;
  ASSERT_EQ(::stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
  try {
    OutputFile folder = OutputFile::Replace(dir_.string());
    ADD_FAILURE() << "a folder was opened as a file";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create " + dir_.string() + ": " + std::strerror(EISDIR));
  }
}

TEST(FileWriter, DeviceFullFailsTheWriteThatReachesIt) {
  struct Row {
    std::size_t bytes;
    bool failsAtWrite;
    const char* why;
  };
  const Row rows[] = {
      {10, false, "a small write waits in the buffer; Close reports the failure"},
      {200000, true, "a write larger than the buffer fails at once"},
  };
  const std::string full = "Cannot write /dev/full: " + std::string(std::strerror(ENOSPC));
  for (const Row& r : rows) {
    const int fd = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    if (fd < 0) GTEST_SKIP() << "no /dev/full";
    FileWriter writer(fd, "/dev/full");
    std::string message;
    try {
      writer.Write(std::string(r.bytes, 'x'));
      EXPECT_FALSE(r.failsAtWrite) << r.why;
      writer.Close();
    } catch (const std::runtime_error& e) {
      message = e.what();
    }
    EXPECT_EQ(message, full) << r.why;
    EXPECT_TRUE(writer.Failed()) << r.why;
    try {
      writer.Write("x");
      ADD_FAILURE() << "a write after the failure: " << r.why;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()), full) << r.why;
    }
  }
}

TEST_F(OutputFileTest, CopyFileIntoCopiesEveryByte) {
  std::string bytes;
  for (int i = 0; i < 200000; ++i) bytes += static_cast<char>(i * 7 % 256);
  WriteText(dir_ / "report.pdf", bytes);
  OutputFile copy = OutputFile::CreateUnique((dir_ / "out").string(), "report", "pdf");
  CopyFileInto((dir_ / "report.pdf").string(), copy);
  copy.Commit();
  EXPECT_EQ(Read(dir_ / "out" / "report.pdf"), bytes) << "NUL bytes and all, past the buffer's size";

  const std::string missing = (dir_ / "missing.pdf").string();
  OutputFile other = OutputFile::CreateUnique((dir_ / "out").string(), "missing", "pdf");
  try {
    CopyFileInto(missing, other);
    ADD_FAILURE() << "a missing file was copied";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot read " + missing + ": " + std::strerror(ENOENT));
  }
}

}  // namespace
}  // namespace zentavo
