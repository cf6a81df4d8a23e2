// The label templates' barcode objects as a 203 dpi thermal printer prints
// them (no smoothing, scale 203/96), read back by zbarimg, an independent
// decoder: every drawing must decode to the number the label carries.
#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "barcode/frxBarcode.h"
#include "platform/CairoCanvas.h"
#include "templates/Templates.h"

namespace zentavo {
namespace {

bool HaveZbar() { return std::system("zbarimg --version >/dev/null 2>&1") == 0; }

// What zbarimg reads in a PNG, one symbol per line, without the type prefix.
std::string Decode(const std::string& path) {
  std::string out;
  std::string cmd = "zbarimg -q --raw '" + path + "' 2>/dev/null";
  if (FILE* p = popen(cmd.c_str(), "r")) {
    std::array<char, 256> buf{};
    while (fgets(buf.data(), buf.size(), p)) out += buf.data();
    pclose(p);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

class LabelDecode : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveZbar()) GTEST_SKIP() << "zbarimg not installed";
    char dir[] = "/tmp/zentavo-bcview-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    dir_ = dir;
  }
  void TearDown() override {
    if (!dir_.empty()) {
      std::remove((dir_ + "/label.png").c_str());
      rmdir(dir_.c_str());
    }
  }

  // The object drawn alone on a label-sized image with a quiet margin, as
  // the print job draws it: scale = dpi / 96, a printer canvas.
  std::string DrawAndDecode(const char* tmpl, const char* object, const std::string& text, int rotation,
                            std::string* error) {
    auto report = LoadBuiltInTemplate(tmpl);
    auto* bc = dynamic_cast<TfrxBarCodeView*>(report->FindObject(object));
    if (bc == nullptr) return "no object";
    bc->Text = text;
    if (rotation == 90 || rotation == 270) {
      const double w = bc->Width();
      bc->SetWidth(bc->Height());
      bc->SetHeight(w);
    }
    bc->Rotation = rotation;
    constexpr int kDpi = 203;
    const double scale = kDpi / 96.0;
    auto canvas = CairoCanvas::CreateImage(800, 800, kDpi, CanvasKind::Printer);
    canvas->SetAntialias(false);
    // A margin of 40 dots around the object's place on the label.
    bc->Draw(*canvas, scale, scale, 40, 40);
    *error = bc->ErrorText;
    const std::string path = dir_ + "/label.png";
    canvas->WritePng(path);
    return Decode(path);
  }

  std::string dir_;
};

TEST_F(LabelDecode, LabelObjectsDecodeToTheirNumbers) {
  struct Row {
    const char* tmpl;
    const char* object;
    const char* text;
    int rotation;
    const char* expected;
    const char* why;
  } rows[] = {
      {"LabBarkod3050", "BBarkodNo", "123", 0, "0123", "odd Code 128 C gets the documented left 0"},
      {"LabBarkod3050", "BBarkodNo", "1500483197", 0, "1500483197", "the label's 10-digit number"},
      {"LabBarkod3050", "BBarkodNo", "15004831970", 0, "015004831970", "11 digits padded"},
      {"LabBarkod3050", "BBarkodNo", "1500483197", 90, "1500483197", "a quarter turn"},
      {"LabBarkod3050", "BBarkodNo", "1500483197", 180, "1500483197", "upside down"},
      {"LabBarkod", "BarCode1", "12345678901", 0, "12345678901", "Code 39 ratio 2 with its digits"},
      {"LabBarkod", "BarCode1", "12345678901", 270, "12345678901", "three quarters"},
      {"SonucBarkodu", "BarCode1", "10020030040", 0, "10020030040", "the result label"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.tmpl) + " " + r.why);
    std::string error;
    EXPECT_EQ(DrawAndDecode(r.tmpl, r.object, r.text, r.rotation, &error), r.expected);
    EXPECT_EQ(error, "");
  }
}

TEST_F(LabelDecode, RandomLabelNumbers) {
  std::mt19937 random(20261209);
  std::uniform_int_distribution<int> digit(0, 9);
  for (int i = 0; i < 40; ++i) {
    const bool code128 = i % 2 == 0;
    const int length = code128 ? 10 : 11;
    std::string number;
    for (int k = 0; k < length; ++k) number += static_cast<char>('0' + digit(random));
    std::string error;
    const std::string got = code128 ? DrawAndDecode("LabBarkod3050", "BBarkodNo", number, 0, &error)
                                    : DrawAndDecode("LabBarkod", "BarCode1", number, 0, &error);
    EXPECT_EQ(got, number) << (code128 ? "Code 128 C " : "Code 39 ") << number;
  }
}

// A failed text prints no symbol at all, only its message.
TEST_F(LabelDecode, FailedTextDecodesToNothing) {
  std::string error;
  EXPECT_EQ(DrawAndDecode("LabBarkod3050", "BBarkodNo", "12A45", 0, &error), "");
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace zentavo
