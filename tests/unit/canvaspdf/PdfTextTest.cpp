// PDF text read back with poppler: the words and the Liberation faces must
// be what we drew. Skipped when poppler-utils is not installed.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "platform/CairoCanvas.h"
#include "platform/FontProvider.h"
#include "tests/support/Command.h"

namespace zentavo {
namespace {

bool HavePoppler() { return testing::ProgramsInstalled("pdftotext pdffonts"); }

TEST(PdfText, TurkishWordsAndLiberationFacesReadBack) {
  if (!HavePoppler()) GTEST_SKIP() << "poppler-utils not installed";
  const auto path = std::filesystem::temp_directory_path() / ("zentavo_pdftext_" + std::to_string(getpid()) + ".pdf");
  {
    auto doc = CairoCanvas::CreateDocument(CairoCanvas::Format::Pdf, path.string(), 591, 354, 300);
    struct Line {
      std::u16string text;
      const char* font;
      std::uint8_t style;
    } lines[] = {
        {u"AYŞE ÖZTÜRK", "Arial", 0},
        {u"ÇAĞRI İŞ SAĞLIĞI", "Times New Roman", kFontBold},
        {u"ığüşöç", "Arial", kFontItalic},
    };
    int y = 10;
    for (const Line& line : lines) {
      FontSpec f;
      f.name = line.font;
      f.height = -33;
      f.style = line.style;
      const auto adv = FontProvider::Shared().Advances(f, line.text);
      doc->DrawText(f, {10, y}, line.text, adv, {});
      y += 60;
    }
    doc->Finish();
  }
  const std::string text = testing::CommandOutput("pdftotext -enc UTF-8 '" + path.string() + "' -");
  EXPECT_NE(text.find("AYŞE ÖZTÜRK"), std::string::npos) << text;
  EXPECT_NE(text.find("ÇAĞRI İŞ SAĞLIĞI"), std::string::npos) << text;
  EXPECT_NE(text.find("ığüşöç"), std::string::npos) << text;
  const std::string fonts = testing::CommandOutput("pdffonts '" + path.string() + "'");
  EXPECT_NE(fonts.find("LiberationSans"), std::string::npos) << fonts;
  EXPECT_NE(fonts.find("LiberationSerif-Bold"), std::string::npos) << fonts;
  EXPECT_NE(fonts.find("LiberationSans-Italic"), std::string::npos) << fonts;
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace zentavo
