// File services: safe file names, the bounded private log, readable-file checks
// (output files that never overwrite: OutputFileTest.cpp).
#include "platform/Files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

namespace zentavo {
namespace {

class FilesTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("zentavo-files-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) +
            "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
};

TEST(Files, SafeFileName) {
  struct Row {
    const char* name;
    const char* expected;
    const char* why;
  };
  const Row rows[] = {
      {"T1_123", "T1_123", "ordinary document name"},
      {"a/b\\c", "a_b_c", "path separators"},
      {"x:y*z?\"<>|", "x_y_z_____", "characters file managers reject"},
      {"tab\there", "tab_here", "control characters"},
      {"..", "_.", "no parent folder"},
      {".hidden", "_hidden", "no hidden files"},
      {"", "document", "never empty"},
      {"Şükrü Işık", "Şükrü Işık", "UTF-8 letters stay"},
  };
  for (const Row& r : rows) EXPECT_EQ(SafeFileName(r.name), r.expected) << r.why;
}

TEST(Files, LongFileNamesKeepTheirEnd) {
  std::string longTest;
  for (int i = 0; i < 150; ++i) longTest += "Ş";  // 300 bytes of two-byte letters
  struct Row {
    std::string name, start, end;
    const char* why;
  };
  const Row rows[] = {
      {longTest + "_12345678", "ŞŞŞŞ", "ŞŞ_12345678", "the barcode number after a long test name survives"},
      {std::string(250, 'a') + "_9", "aaaa", "aaaa_9", "ASCII"},
      {std::string(199, 'b') + "Ş", "bbbb", "bbŞ", "Ş across the 200th byte is not split"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    const std::string safe = SafeFileName(r.name);
    EXPECT_LE(safe.size(), 200u);
    EXPECT_EQ(safe.rfind(r.start, 0), 0u) << safe;
    ASSERT_GE(safe.size(), r.end.size());
    EXPECT_EQ(safe.substr(safe.size() - r.end.size()), r.end) << safe;
    EXPECT_NE(safe.find("\xE2\x80\xA6"), std::string::npos) << "the cut is marked";
    // Whole characters only: every lead byte of Ş has its second byte.
    std::size_t leads = 0, seconds = 0;
    for (unsigned char c : safe) {
      leads += c == 0xC5;
      seconds += c == 0x9E;
    }
    EXPECT_EQ(leads, seconds) << safe;
  }
}

TEST_F(FilesTest, LogIsPrivateAndBounded) {
  const std::string log = (dir_ / "z.log").string();
  const std::string line(100, 'x');
  for (int i = 0; i < 30; ++i) AppendToBoundedLog(log, line, 1000);
  struct stat st;
  ASSERT_EQ(::stat(log.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_LE(st.st_size, 1000);
  EXPECT_GT(st.st_size, 0);
  ASSERT_EQ(::stat((log + ".1").c_str(), &st), 0) << "older lines move aside";
  EXPECT_LE(st.st_size, 1000);
}

TEST_F(FilesTest, CheckReadableFile) {
  const auto file = dir_ / "r.pdf";
  std::ofstream(file) << "x";
  EXPECT_NO_THROW(CheckReadableFile(file.string()));
  EXPECT_THROW(CheckReadableFile((dir_ / "missing.pdf").string()), std::runtime_error);
  EXPECT_THROW(CheckReadableFile(dir_.string()), std::runtime_error) << "a folder";
  EXPECT_THROW(CheckReadableFile("/dev/null"), std::runtime_error) << "not a regular file";
  EXPECT_THROW(CheckReadableFile((file / "x").string()), std::runtime_error) << "file used as folder";
}

}  // namespace
}  // namespace zentavo
