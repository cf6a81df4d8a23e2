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
