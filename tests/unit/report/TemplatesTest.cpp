// The built-in label templates: stored files load and save back unchanged,
// alignment leaves the labels as designed, names are found.
#include <gtest/gtest.h>

#include "report/frxClass.h"
#include "templates/Templates.h"

namespace zentavo {
namespace {

std::string Saved(TfrxReport& report) {
  TMemoryStream s;
  report.SaveToStream(s);
  return s.Data();
}

TEST(Templates, LoadAndSaveGivesTheStoredBytes) {
  for (const auto& name : BuiltInTemplateNames()) {
    SCOPED_TRACE(name);
    auto report = LoadBuiltInTemplate(name);
    EXPECT_TRUE(report->Errors().empty());
    EXPECT_EQ(Saved(*report), std::string(BuiltInTemplateXml(name)));
  }
}

// Every attribute value that is a decimal number gets "," for ".".
std::string WithCommaDecimals(std::string xml) {
  for (std::size_t p = xml.find("=\""); p != std::string::npos; p = xml.find("=\"", p + 2)) {
    std::size_t start = p + 2, end = xml.find('"', start);
    std::string value = xml.substr(start, end - start);
    std::size_t dot = value.find('.');
    bool number = dot != std::string::npos && dot > 0 && dot + 1 < value.size();
    for (std::size_t i = 0; i < value.size() && number; ++i)
      number = i == dot || (value[i] >= '0' && value[i] <= '9') || (i == 0 && value[i] == '-');
    if (number) xml[start + dot] = ',';
  }
  return xml;
}

TEST(Templates, CommaDecimalsLoadTheSameObjects) {
  // Files written where the decimal separator is a comma.
  for (const auto& name : BuiltInTemplateNames()) {
    SCOPED_TRACE(name);
    std::string xml(BuiltInTemplateXml(name));
    std::string comma = WithCommaDecimals(xml);
    ASSERT_NE(comma, xml);
    TfrxReport report;
    TMemoryStream in(comma);
    report.LoadFromStream(in);
    EXPECT_TRUE(report.Errors().empty());
    EXPECT_EQ(Saved(report), xml);  // and written back with "."
  }
}

struct Geometry {
  const char* name;
  const char* cls;
  double left, top, width, height;
};

// LabBarkod3050 as the label table gives it, in child order.
const Geometry kLabBarkod3050[] = {
    {"MmHastaAdi", "TfrxMemoView", 0, 30.23624, 128.50402, 11.33859},
    {"MmNumuneAlmaTarihi", "TfrxMemoView", 128.50402, 30.23624, 49.13389, 11.33859},
    {"MmFirmaAdi", "TfrxMemoView", 0, 18.89765, 204.09462, 11.33859},
    {"MmKurumLabAdi", "TfrxMemoView", -3.77953, 3.77953, 185.19697, 15.11812},
    {"BBarkodNo", "TfrxBarCodeView", 17.362245, 41.57483, 90, 49.13385827},
    {"MmTetkik", "TfrxMemoView", 0, 102.04731, 177.63791, 11.33859},
    {"MmBnoPno", "TfrxMemoView", 0, 90.70872, 102.04731, 11.33859},
    {"MmDogumTarihi", "TfrxMemoView", 102.04731, 90.70872, 52.91342, 11.33859},
    {"MmCinsiyet", "TfrxMemoView", 154.96073, 90.70872, 22.67718, 11.33859},
    {"MmLabAdi", "TfrxMemoView", 128.50402, 41.57483, 49.13389, 11.33859},
};

TEST(Templates, LabBarkod3050HasTheTableObjects) {
  auto report = LoadBuiltInTemplate("LabBarkod3050");
  ASSERT_EQ(report->PagesCount(), 1);
  TfrxReportPage* page = report->ReportPages().at(0);
  EXPECT_EQ(page->Name(), "Page1");
  EXPECT_EQ(page->PaperSize(), 256);
  EXPECT_DOUBLE_EQ(page->PaperWidth(), 50);
  EXPECT_DOUBLE_EQ(page->PaperHeight(), 30);
  EXPECT_DOUBLE_EQ(page->LeftMargin, 3);
  ASSERT_EQ(page->Objects().size(), std::size(kLabBarkod3050));
  for (std::size_t i = 0; i < std::size(kLabBarkod3050); ++i) {
    const Geometry& g = kLabBarkod3050[i];
    SCOPED_TRACE(g.name);
    TfrxComponent* c = page->Objects()[i];
    EXPECT_EQ(c->Name(), g.name);
    EXPECT_EQ(c->ClassName(), g.cls);
    EXPECT_DOUBLE_EQ(c->Left(), g.left);
    EXPECT_DOUBLE_EQ(c->Top(), g.top);
    EXPECT_DOUBLE_EQ(c->Width(), g.width);
    EXPECT_DOUBLE_EQ(c->Height(), g.height);
  }
  auto* bc = dynamic_cast<TfrxBarCodeView*>(report->FindObject("BBarkodNo"));
  ASSERT_NE(bc, nullptr);
  EXPECT_EQ(bc->BarType, TfrxBarcodeType::bcCode128C);
  EXPECT_FALSE(bc->ShowText);
  EXPECT_EQ(report->FindObject("BarCode1"), nullptr);
  auto* lab = dynamic_cast<TfrxMemoView*>(report->FindObject("MmKurumLabAdi"));
  ASSERT_NE(lab, nullptr);
  EXPECT_EQ(lab->Font().Color(), clWhite);
  EXPECT_EQ(lab->Color, clBlack);
  EXPECT_EQ(lab->HAlign, TfrxHAlign::haCenter);
  EXPECT_EQ(lab->Font().Charset(), 162);
  EXPECT_FALSE(lab->ParentFont());
  EXPECT_EQ(lab->Font().Style(), fsBold);
  EXPECT_EQ(report->ScriptText.Lines, (std::vector<std::string>{"begin", "", "end."}));
  EXPECT_EQ(report->PreviewOptions.Buttons, 4095u);
  EXPECT_EQ(report->PrintOptions.Printer, "Default");
}

TEST(Templates, AlignmentLeavesTheLabelsAsDesigned) {
  // The printable widths of the label table.
  const std::pair<const char*, double> kWidths[] = {
      {"LabBarkod3050", 177.63791}, {"LabBarkod", 215.43321}, {"SonucBarkodu", 215.43321}};
  for (auto [name, printable] : kWidths) {
    SCOPED_TRACE(name);
    auto report = LoadBuiltInTemplate(name);
    TfrxReportPage* page = report->ReportPages().at(0);
    std::vector<std::array<double, 4>> before;
    for (TfrxComponent* c : page->Objects()) before.push_back({c->Left(), c->Top(), c->Width(), c->Height()});
    // The page aligns against (paper width − left margin) × 3.77953.
    TfrxComponent plain;
    EXPECT_NEAR((page->PaperWidth() - page->LeftMargin) * fr01cm, printable, 1e-9);
    page->AlignChildren();
    for (std::size_t i = 0; i < before.size(); ++i) {
      TfrxComponent* c = page->Objects()[i];
      SCOPED_TRACE(c->Name());
      EXPECT_NEAR(c->Left(), before[i][0], 1e-9);
      EXPECT_NEAR(c->Top(), before[i][1], 1e-9);
      EXPECT_NEAR(c->Width(), before[i][2], 1e-9);
      EXPECT_NEAR(c->Height(), before[i][3], 1e-9);
    }
  }
}

TEST(Templates, CenteredLaboratoryBarHangsOffBothEdges) {
  auto report = LoadBuiltInTemplate("LabBarkod3050");
  auto* lab = report->FindObject("MmKurumLabAdi");
  lab->SetLeft(50);
  report->ReportPages().at(0)->AlignChildren();
  EXPECT_NEAR(lab->Left(), -3.77953, 1e-9);
}

TEST(Templates, UnusedTemplatesHaveTheirPages) {
  auto r1 = LoadBuiltInTemplate("frxReport1");
  TfrxReportPage* p1 = r1->ReportPages().at(0);
  EXPECT_DOUBLE_EQ(p1->PaperWidth(), 40);
  EXPECT_DOUBLE_EQ(p1->PaperHeight(), 25);
  EXPECT_EQ(p1->Objects().size(), 5u);
  auto odyo = LoadBuiltInTemplate("RaporODYO");
  TfrxReportPage* p2 = odyo->ReportPages().at(0);
  EXPECT_EQ(p2->PaperSize(), 9);
  EXPECT_DOUBLE_EQ(p2->TopMargin, 50);
  ASSERT_EQ(p2->Objects().size(), 1u);
  EXPECT_EQ(p2->Objects()[0]->ClassName(), "TfrxReportTitle");
  auto* pic = dynamic_cast<TfrxPictureView*>(odyo->FindObject("Picture1"));
  ASSERT_NE(pic, nullptr);
  EXPECT_EQ(pic->Picture.BitmapFile().substr(0, 2), "BM");
}

}  // namespace
}  // namespace zentavo
