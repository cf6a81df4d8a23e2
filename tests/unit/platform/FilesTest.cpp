// File services: safe file names, the bounded private log, report documents
// that are documents (output files that never overwrite: OutputFileTest.cpp).
#include "platform/Files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/OutputFile.h"

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

TEST(Files, PrintableDocumentType) {
  using namespace std::string_view_literals;
  // Expected types are those of CUPS's own rules (/usr/share/cups/mime/mime.types).
  struct Row {
    std::string_view head;
    const char* expected;
    const char* why;
  };
  const Row rows[] = {
      {"%PDF-1.7\n%\xE2\xE3"sv, "application/pdf", "a PDF header"},
      {"\r\n\n%PDF-1.4"sv, "application/pdf", "blank lines may stand before the header"},
      {" %PDF-1.4"sv, "", "a blank may not"},
      {"%PD"sv, "", "a header cut short"},
      {"%!PS-Adobe-3.0\n"sv, "application/postscript", "PostScript"},
      {"\x04%!PS"sv, "application/postscript", "PostScript after a control-D"},
      {"\x89PNG\r\n\x1A\n"sv, "image/png", "PNG signature"},
      {"\xFF\xD8\xFF\xE0\0\x10JFIF"sv, "image/jpeg", "JFIF JPEG"},
      {"\xFF\xD8\xFF\xE1\0\x10" "Exif"sv, "image/jpeg", "Exif JPEG"},
      {"\xFF\xD8\xFF\xDB"sv, "", "a JPEG stream without an application marker is not CUPS's JPEG"},
      {"\xFF\xD8\xFF"sv, "", "too short to tell"},
      {"GIF87a"sv, "image/gif", "old GIF"},
      {"GIF89a\x01\0"sv, "image/gif", "GIF"},
      {"GIF90a"sv, "", "no such GIF"},
      {"MM\0\x2A\0\0\0\x08"sv, "image/tiff", "big-endian TIFF"},
      {"II\x2A\0\x08\0\0\0"sv, "image/tiff", "little-endian TIFF"},
      {"II\0\x2A"sv, "", "byte order and magic mixed up"},
      {"RaS2PwgRaster\0"sv, "image/pwg-raster", "PWG raster"},
      {"RaS2\0\0\0\0\0\0\0\0\0\0"sv, "application/vnd.cups-raster", "CUPS raster v2"},
      {"RaSt"sv, "application/vnd.cups-raster", "CUPS raster v1"},
      {"3SaR"sv, "application/vnd.cups-raster", "CUPS raster v3, other byte order"},
      {"UNIRAST\0"sv, "image/urf", "Apple raster"},
      {"UNIRAST"sv, "", "Apple raster needs its NUL"},
      {"root:x:0:0:root:/root:/bin/bash\n"sv, "", "a text file"},
      {"HOME=/root\0PATH=/usr/bin\0"sv, "", "an environment block"},
      {"#!/bin/sh\n"sv, "", "a script"},
      {"<!DOCTYPE html>"sv, "", "a web page"},
      {"BM\x36\0\x0C\0"sv, "", "a Windows bitmap is no report document"},
      {""sv, "", "an empty file"},
  };
  for (const Row& r : rows) EXPECT_EQ(PrintableDocumentType(r.head), r.expected) << r.why;
}

TEST(Files, KernelFileSystems) {
  struct Row {
    const char* path;
    bool kernel;
    const char* why;
  };
  const std::string temp = std::filesystem::temp_directory_path().string();
  const Row rows[] = {
      {"/proc", true, "proc"},
      {"/sys", true, "sysfs"},
      {"/sys/kernel/security", true, "securityfs (where mounted)"},
      {"/sys/kernel/debug", true, "debugfs (where mounted)"},
      {temp.c_str(), false, "the temp folder holds documents"},
      {"/", false, "the root file system"},
  };
  for (const Row& r : rows) {
    struct statfs fs;
    if (::statfs(r.path, &fs) != 0) continue;
    // An unmounted folder in /sys is sysfs itself; what counts is that it is the kernel's.
    EXPECT_EQ(IsKernelFileSystem(static_cast<unsigned long>(fs.f_type)), r.kernel) << r.why;
  }
  EXPECT_FALSE(IsKernelFileSystem(0xEF53)) << "ext4";
  EXPECT_FALSE(IsKernelFileSystem(0x01021994)) << "tmpfs";
  EXPECT_TRUE(IsKernelFileSystem(0x63677270)) << "cgroup2";
}

TEST_F(FilesTest, OpenPrintableDocument) {
  const std::string pdfBytes = "%PDF-1.4\n1 0 obj\n";
  std::ofstream(dir_ / "r.pdf") << pdfBytes;
  std::ofstream(dir_ / "p.png") << "\x89PNG\r\n\x1A\n";
  std::ofstream(dir_ / "notes.pdf") << "Ad Soyad\n";
  std::filesystem::create_symlink(dir_ / "r.pdf", dir_ / "link.pdf");
  std::filesystem::create_symlink("/proc/self/environ", dir_ / "environ.pdf");
  std::filesystem::create_directory_symlink("/proc/self", dir_ / "self");
  ASSERT_EQ(::mkfifo((dir_ / "pipe.pdf").c_str(), 0600), 0);
  const std::string d = dir_.string();
  struct Row {
    std::string path;
    const char* type;   // accepted with this type, or
    const char* error;  // refused with a message holding this
    const char* why;
  };
  const Row rows[] = {
      {d + "/r.pdf", "application/pdf", nullptr, "a PDF"},
      {d + "/p.png", "image/png", nullptr, "a picture"},
      {d + "/link.pdf", "application/pdf", nullptr, "a link to a PDF"},
      {d + "/missing.pdf", nullptr, "File not found: ", "missing"},
      {d + "/r.pdf/x", nullptr, "File not found: ", "a file used as a folder"},
      {d, nullptr, " is a folder, not a file", "a folder"},
      {d + "/pipe.pdf", nullptr, " is not a regular file", "a FIFO, never waited on"},
      {d + "/notes.pdf", nullptr, " is not a printable document", "text named .pdf"},
      {"/proc/self/environ", nullptr, " is a system file, not a report document", "the environment"},
      {d + "/environ.pdf", nullptr, " is a system file, not a report document", "a link to the environment"},
      {d + "/self/status", nullptr, " is a system file, not a report document", "through a linked folder"},
      {"/dev/null", nullptr, " is a system file, not a report document", "a device"},
      {"/sys/kernel/mm/transparent_hugepage/enabled", nullptr, " is a system file", "a kernel setting"},
  };
  for (const Row& r : rows) {
    if (r.path.rfind("/sys/", 0) == 0 && !std::filesystem::exists(r.path)) continue;
    if (r.type != nullptr) {
      PrintableDocument doc = OpenPrintableDocument(r.path);
      EXPECT_EQ(doc.mimeType, r.type) << r.why;
      EXPECT_GE(doc.file.get(), 0) << r.why;
      continue;
    }
    try {
      OpenPrintableDocument(r.path);
      ADD_FAILURE() << r.why << ": accepted";
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(r.path), std::string::npos) << r.why << ": " << e.what();
      EXPECT_NE(std::string(e.what()).find(r.error), std::string::npos) << r.why << ": " << e.what();
    }
  }
  // What is printed is read from the handle the checks were made on.
  PrintableDocument doc = OpenPrintableDocument(d + "/link.pdf");
  OutputFile copy = OutputFile::CreateUnique(d, "copy", "pdf");
  CopyFileInto(doc.file, d + "/link.pdf", copy);
  copy.Commit();
  std::ifstream in(copy.Path());
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), pdfBytes);
}

}  // namespace
}  // namespace zentavo
