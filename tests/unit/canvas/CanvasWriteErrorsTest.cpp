// Writing documents and images: a failed write is the writer's own error,
// not Cairo's "error while writing to output stream", and a file that could
// not be written whole is not left behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>

#include "platform/CairoCanvas.h"
#include "tests/support/FileSizeLimit.h"

namespace zentavo {
namespace {

namespace fs = std::filesystem;
using Format = CairoCanvas::Format;

struct Kind {
  Format format;
  const char* ext;
  const char* magic;  // how the format's files begin
};
constexpr Kind kKinds[] = {
    {Format::Pdf, "pdf", "%PDF-"},
    {Format::PostScript, "ps", "%!PS"},
    {Format::Image, "png", "\x89PNG"},
};

void Draw(Canvas& canvas) {
  canvas.SetBrush({BrushStyle::Solid, Rgb{0, 0, 0}});
  canvas.FillRect({10, 10, 200, 100});
}

// Draws a page and completes the document or saves the image through `sink`.
void WriteThrough(const Kind& k, const CairoCanvas::ByteSink& sink) {
  if (k.format == Format::Image) {
    auto image = CairoCanvas::CreateImage(400, 240, 203, CanvasKind::Printer);
    Draw(*image);
    image->WritePng(sink);
    return;
  }
  auto doc = CairoCanvas::CreateDocument(k.format, sink, PaperSize{50, 30}, 203);
  Draw(*doc);
  doc->Finish();
}

void WriteTo(const Kind& k, const std::string& path, bool finish = true) {
  if (k.format == Format::Image) {
    auto image = CairoCanvas::CreateImage(400, 240, 203, CanvasKind::Printer);
    Draw(*image);
    image->WritePng(path);
    return;
  }
  auto doc = CairoCanvas::CreateDocument(k.format, path, PaperSize{50, 30}, 203);
  Draw(*doc);
  if (finish) doc->Finish();
}

class CanvasWriteErrors : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("zentavo-canvas-write-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
            "-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  bool Empty() const { return fs::is_empty(dir_); }
  fs::path dir_;
};

TEST_F(CanvasWriteErrors, TheSinksErrorIsThrownAndTheSinkHearsNoMore) {
  for (const Kind& k : kKinds) {
    int calls = 0;
    std::string message;
    try {
      WriteThrough(k, [&](std::string_view) {
        ++calls;
        throw std::runtime_error("the spooler went away");
      });
    } catch (const std::runtime_error& e) {
      message = e.what();
    }
    EXPECT_EQ(message, "the spooler went away") << k.ext << ": the sink's own words reach the user";
    EXPECT_EQ(calls, 1) << k.ext << ": after the first failure nothing more is written";
  }
}

TEST_F(CanvasWriteErrors, AFileNotWrittenWholeIsNotLeft) {
  struct Row {
    std::optional<std::size_t> limit;  // bytes a file may hold
    bool finish;
    bool kept;
    const char* why;
  };
  const Row rows[] = {
      {std::nullopt, true, true, "written whole: the file is there"},
      {500, true, false, "the disk fills up: the error names the file, nothing is left"},
      {std::nullopt, false, false, "a document never finished may lack pages: it goes"},
  };
  for (const Row& r : rows) {
    for (const Kind& k : kKinds) {
      if (!r.finish && k.format == Format::Image) continue;  // an image is written in one call
      const std::string path = (dir_ / (std::string("out.") + k.ext)).string();
      std::string message;
      {
        std::optional<testing::FileSizeLimit> limit;
        if (r.limit) limit.emplace(*r.limit);
        try {
          WriteTo(k, path, r.finish);
        } catch (const std::runtime_error& e) {
          message = e.what();
        }
      }
      const std::string expected = r.limit ? "Cannot write " + path + ": " + std::strerror(EFBIG) : "";
      EXPECT_EQ(message, expected) << k.ext << ": " << r.why;
      EXPECT_EQ(fs::exists(path), r.kept) << k.ext << ": " << r.why;
      if (r.kept) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        EXPECT_EQ(bytes.str().substr(0, std::strlen(k.magic)), k.magic) << k.ext << ": " << r.why;
      }
      fs::remove(path);
      EXPECT_TRUE(Empty()) << k.ext << ": no part file left: " << r.why;
    }
  }
}

}  // namespace
}  // namespace zentavo
