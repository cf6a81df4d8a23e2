// The built-in templates as stored: every label object checked against the
// label tables typed here, the settings all five share, the two unused
// templates as far as they are described, and the loading edge cases.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "barcode/frxBarcode.h"
#include "report/frxClass.h"
#include "templates/Templates.h"

namespace zentavo {
namespace {

std::string Saved(TfrxReport& report) {
  TMemoryStream s;
  report.SaveToStream(s);
  return s.Data();
}

// ---- the label tables

// One object of a label table. Memos use the font fields, barcodes the
// barcode fields; the other half stays at its zero value.
struct LabelObject {
  const char* name;
  const char* cls;
  TfrxAlign align;
  double left, top, width, height;
  const char* fontName;
  int fontHeight;
  std::uint32_t fontStyle;
  bool whiteOnBlack;  // white text, black fill, centred
  TfrxBarcodeType barType;
  int rotation;
  bool showText;
  double wideBarRatio, zoom;
};

constexpr std::uint32_t kRegular = 0;
constexpr std::uint32_t kBold = fsBold;

constexpr LabelObject Memo(const char* name, TfrxAlign align, double left, double top, double width,
                           double height, int fontHeight, std::uint32_t style, bool whiteOnBlack = false) {
  return {name, "TfrxMemoView", align, left, top, width, height, "Times New Roman", fontHeight,
          style, whiteOnBlack, bcCode39, 0, false, 0, 0};
}

constexpr LabelObject BarCode(const char* name, TfrxAlign align, double left, double top, double width,
                              double height, TfrxBarcodeType type, int rotation, bool showText, double ratio,
                              double zoom) {
  return {name, "TfrxBarCodeView", align, left, top, width, height, nullptr, 0, 0, false,
          type, rotation, showText, ratio, zoom};
}

using A = TfrxAlign;
constexpr bool kBar = true;

// The automatic label job's 50 x 30 mm label, in child order.
constexpr LabelObject kLabBarkod3050[] = {
    // patient name, stretched over what the date leaves
    Memo("MmHastaAdi", A::baWidth, 0, 30.23624, 128.50402, 11.33859, -9, kBold),
    // sample-taking date at the right of the name, in the smallest font of all
    Memo("MmNumuneAlmaTarihi", A::baRight, 128.50402, 30.23624, 49.13389, 11.33859, -5, kRegular),
    // company line, wider than the page on purpose: the page edge cuts it
    Memo("MmFirmaAdi", A::baLeft, 0, 18.89765, 204.09462, 11.33859, -9, kRegular),
    // laboratory bar, centred, hanging off both edges of the printable width
    Memo("MmKurumLabAdi", A::baCenter, -3.77953, 3.77953, 185.19697, 15.11812, -9, kBold, kBar),
    // the only Code 128 C of the three labels, without digits under the bars
    BarCode("BBarkodNo", A::baNone, 17.362245, 41.57483, 90, 49.13385827, bcCode128C, 0, false, 2, 1),
    // test line at the bottom over the whole printable width
    Memo("MmTetkik", A::baLeft, 0, 102.04731, 177.63791, 11.33859, -7, kBold),
    // barcode and protocol numbers, one step larger than the lines around it
    Memo("MmBnoPno", A::baLeft, 0, 90.70872, 102.04731, 11.33859, -8, kBold),
    // date of birth, right-aligned but not at the right edge (the sex follows)
    Memo("MmDogumTarihi", A::baRight, 102.04731, 90.70872, 52.91342, 11.33859, -7, kBold),
    // sex, the rightmost of the row
    Memo("MmCinsiyet", A::baRight, 154.96073, 90.70872, 22.67718, 11.33859, -7, kBold),
    // laboratory short name at the barcode's top right, after the barcode in child order
    Memo("MmLabAdi", A::baRight, 128.50402, 41.57483, 49.13389, 11.33859, -7, kBold),
};

// The laboratory label job's 60 x 30 mm label, in child order.
constexpr LabelObject kLabBarkod[] = {
    // Code 39 with its text, first child although it is drawn lowest
    BarCode("BarCode1", A::baNone, 11.33859, 68.03154, 168, 47.05504, bcCode39, 0, true, 2, 1),
    // two full-width bold lines
    Memo("Memo1", A::baWidth, 0, 34.01577, 215.43321, 15.11812, -11, kBold),
    Memo("Memo2", A::baWidth, 0, 49.13389, 215.43321, 15.11812, -11, kBold),
    // left-aligned although it stands right of Memo4: baLeft keeps its Left
    Memo("Memo3", A::baLeft, 105.82684, 18.89765, 71.81107, 11.33859, -8, kRegular),
    Memo("Memo4", A::baLeft, 0, 22.67718, 105.82684, 11.33859, -11, kRegular),
    // laboratory bar, far wider than the page, centred
    Memo("Memo7", A::baCenter, -39.685065, 3.77953, 294.80334, 15.11812, -11, kBold, kBar),
};

// The result label job's 60 x 30 mm label, in child order.
constexpr LabelObject kSonucBarkodu[] = {
    // a lower Code 39 than on the laboratory label
    BarCode("BarCode1", A::baNone, 7.55906, 49.13389, 168, 39.49598, bcCode39, 0, true, 2, 1),
    Memo("Memo1", A::baWidth, 0, 34.01577, 215.43321, 15.11812, -11, kBold),
    // Memo3 before Memo2 in child order, side by side on one row
    Memo("Memo3", A::baLeft, 98.26778, 18.89765, 94.48825, 15.11812, -11, kRegular),
    Memo("Memo2", A::baLeft, 0, 18.89765, 98.26778, 15.11812, -11, kRegular),
    Memo("Memo7", A::baCenter, -20.787415, 3.77953, 257.00804, 15.11812, -11, kBold, kBar),
};

struct LabelTemplate {
  const char* name;
  double paperWidth, paperHeight, leftMargin;  // mm
  double printableWidth, printableHeight;      // px
  std::span<const LabelObject> objects;
};

const LabelTemplate kLabelTemplates[] = {
    {"LabBarkod3050", 50, 30, 3, 177.63791, 113.3859, kLabBarkod3050},
    {"LabBarkod", 60, 30, 3, 215.43321, 113.3859, kLabBarkod},
    {"SonucBarkodu", 60, 30, 3, 215.43321, 113.3859, kSonucBarkodu},
};

// Geometry is stored as the tables print it; only the conversion to binary
// may differ.
constexpr double kExact = 1e-9;

// ---- checks shared by the tests

// The moment as the format stores date-times: days since 30.12.1899.
double NowAsDateTime() {
  using namespace std::chrono;
  return duration<double>(system_clock::now().time_since_epoch()).count() / 86400.0 + 25569.0;
}

// The report settings every built-in template has.
void ExpectCommonSettings(const std::string& name, TfrxReport& report) {
  SCOPED_TRACE(name + " report settings");
  // Version is fixed in memory whatever a file says; the stored file must say it too.
  std::string xml(BuiltInTemplateXml(name));
  std::size_t root = xml.find("<TfrxReport ");
  ASSERT_NE(root, std::string::npos);
  std::string rootTag = xml.substr(root, xml.find('>', root) - root);
  EXPECT_NE(rootTag.find(" Version=\"3.22\""), std::string::npos) << rootTag;
  EXPECT_EQ(report.Version(), "3.22");

  EXPECT_FALSE(report.DotMatrixReport);
  EXPECT_EQ(report.ScriptLanguage, "VadoziDaruro");
  EXPECT_EQ(report.ScriptText.Lines, (std::vector<std::string>{"begin", "", "end."}));
  EXPECT_EQ(report.PrintOptions.Printer, "Default");
  // All twelve preview buttons, looked up by name rather than by the mask constant.
  const char* buttons[] = {"pbPrint", "pbFind",    "pbLoad",  "pbOutline", "pbSave",      "pbPageSetup",
                           "pbTools", "pbExport",  "pbEdit",  "pbZoom",    "pbNavigator", "pbExportQuick"};
  std::uint32_t all = 0;
  for (const char* b : buttons) {
    int bit = kPreviewButtonsInfo.Find(b);
    ASSERT_GE(bit, 0) << b;
    all |= 1u << bit;
  }
  EXPECT_EQ(std::popcount(all), 12);
  EXPECT_EQ(report.PreviewOptions.Buttons, all);
  EXPECT_DOUBLE_EQ(report.PreviewOptions.Zoom, 1.0);
  EXPECT_TRUE(report.DataSets.empty());
  EXPECT_EQ(report.DataSetName(), "");
  EXPECT_TRUE(report.Variables.empty());
  EXPECT_TRUE(report.Styles.empty());

  // The design tool's dates: kept, not the moment of loading.
  EXPECT_GT(report.ReportOptions.CreateDate, 0);
  EXPECT_LE(report.ReportOptions.CreateDate, report.ReportOptions.LastChange);
  EXPECT_LT(report.ReportOptions.LastChange, NowAsDateTime() - 1);

  // A representative set of the options left at their defaults.
  EXPECT_TRUE(report.EngineOptions.ConvertNulls);
  EXPECT_FALSE(report.EngineOptions.DoublePass);
  EXPECT_EQ(report.PrintOptions.Copies, 1);
  EXPECT_TRUE(report.PrintOptions.Collate);
  EXPECT_EQ(report.PrintOptions.PageNumbers, "");
  EXPECT_EQ(report.PrintOptions.PrintPages, TfrxPrintPages::ppAll);
  EXPECT_FALSE(report.PrintOptions.Reverse);
  EXPECT_TRUE(report.PrintOptions.ShowDialog);
  EXPECT_TRUE(report.PreviewOptions.AllowEdit);
  EXPECT_TRUE(report.PreviewOptions.OutlineExpand);
  EXPECT_FALSE(report.PreviewOptions.OutlineVisible);
  EXPECT_EQ(report.PreviewOptions.OutlineWidth, 120);
  EXPECT_EQ(report.PreviewOptions.ZoomMode, TfrxZoomMode::zmDefault);
  EXPECT_EQ(report.ReportOptions.Author, "");
  EXPECT_FALSE(report.ReportOptions.Compressed);
  EXPECT_EQ(report.ReportOptions.Name, "");
  EXPECT_EQ(report.ReportOptions.Password, "");
  EXPECT_TRUE(report.ReportOptions.Description.Lines.empty());
  EXPECT_TRUE(report.ReportOptions.Picture.Empty());

  // Exactly one page, a report page named Page1.
  ASSERT_EQ(report.PagesCount(), 1);
  ASSERT_EQ(report.ReportPages().size(), 1u);
  EXPECT_EQ(report.ReportPages()[0]->Name(), "Page1");
}

void ExpectMargins(const TfrxReportPage& page, double left, double right, double top, double bottom) {
  EXPECT_DOUBLE_EQ(page.LeftMargin, left);
  EXPECT_DOUBLE_EQ(page.RightMargin, right);
  EXPECT_DOUBLE_EQ(page.TopMargin, top);
  EXPECT_DOUBLE_EQ(page.BottomMargin, bottom);
}

// Properties no table lists keep the defaults of their classes.
void ExpectViewDefaults(const TfrxView& v) {
  EXPECT_TRUE(v.Visible());
  EXPECT_TRUE(v.Printable);
  EXPECT_EQ(v.Frame.Typ, 0u);
  EXPECT_EQ(v.ShiftMode, TfrxShiftMode::smAlways);
  EXPECT_EQ(v.BrushStyle, TBrushStyle::bsSolid);
  EXPECT_EQ(v.DataSetName(), "");
  EXPECT_EQ(v.DataField, "");
  EXPECT_EQ(v.TagStr, "");
  EXPECT_EQ(v.URL, "");
}

void ExpectMemoDefaults(const TfrxMemoView& m) {
  EXPECT_TRUE(m.WordWrap);
  EXPECT_TRUE(m.AllowExpressions);
  EXPECT_FALSE(m.AllowHTMLTags);
  EXPECT_FALSE(m.AutoWidth);
  EXPECT_TRUE(m.Clipped);
  EXPECT_DOUBLE_EQ(m.GapX, 2);
  EXPECT_DOUBLE_EQ(m.GapY, 1);
  EXPECT_DOUBLE_EQ(m.LineSpacing, 2);
  EXPECT_DOUBLE_EQ(m.CharSpacing, 0);
  EXPECT_DOUBLE_EQ(m.ParagraphGap, 0);
  EXPECT_EQ(m.VAlign, TfrxVAlign::vaTop);
  EXPECT_EQ(m.Rotation(), 0);
  EXPECT_FALSE(m.WordBreak);
  EXPECT_FALSE(m.Underlines);
  EXPECT_FALSE(m.RTLReading);
  EXPECT_FALSE(m.Highlight.Active);
  EXPECT_EQ(m.StretchMode, TfrxStretchMode::smDontStretch);
}

void ExpectBarcodeDefaults(const TfrxBarCodeView& b) {
  EXPECT_FALSE(b.CalcCheckSum);
  EXPECT_EQ(b.HAlign, TfrxHAlign::haLeft);
  EXPECT_EQ(b.Expression, "");
  EXPECT_EQ(b.Color, clNone);
}

void ExpectLabelObject(const LabelObject& row, TfrxComponent* c) {
  EXPECT_EQ(c->Name(), row.name);
  ASSERT_EQ(c->ClassName(), row.cls);
  auto* view = dynamic_cast<TfrxView*>(c);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->Align, row.align);
  EXPECT_NEAR(c->Left(), row.left, kExact);
  EXPECT_NEAR(c->Top(), row.top, kExact);
  EXPECT_NEAR(c->Width(), row.width, kExact);
  EXPECT_NEAR(c->Height(), row.height, kExact);
  ExpectViewDefaults(*view);

  if (auto* memo = dynamic_cast<TfrxMemoView*>(c)) {
    EXPECT_FALSE(memo->ParentFont());
    EXPECT_EQ(memo->Font().Name(), row.fontName);
    EXPECT_EQ(memo->Font().Height(), row.fontHeight);
    EXPECT_EQ(memo->Font().Style(), row.fontStyle);
    EXPECT_EQ(memo->Font().Charset(), 162);
    EXPECT_EQ(memo->Font().Color(), row.whiteOnBlack ? clWhite : clBlack);
    EXPECT_EQ(memo->Color, row.whiteOnBlack ? clBlack : clNone);
    EXPECT_EQ(memo->HAlign, row.whiteOnBlack ? TfrxHAlign::haCenter : TfrxHAlign::haLeft);
    ExpectMemoDefaults(*memo);
  } else if (auto* bc = dynamic_cast<TfrxBarCodeView*>(c)) {
    EXPECT_EQ(bc->BarType, row.barType);
    EXPECT_EQ(bc->Rotation, row.rotation);
    EXPECT_EQ(bc->ShowText, row.showText);
    EXPECT_DOUBLE_EQ(bc->WideBarRatio, row.wideBarRatio);
    EXPECT_DOUBLE_EQ(bc->Zoom, row.zoom);
    ExpectBarcodeDefaults(*bc);
    // A barcode sizes itself at every drawing: the stored sample must give
    // the stored width, or the designed label moves when it is drawn.
    TfrxBarcode encoder;
    encoder.Typ = bc->BarType;
    encoder.Ratio = bc->WideBarRatio;
    encoder.Text = bc->Text;
    EXPECT_NEAR(encoder.Width() * bc->Zoom, row.width, kExact) << "sample text \"" << bc->Text << "\"";
  } else {
    ADD_FAILURE() << "neither a memo nor a barcode";
  }
}

// ---- tests

TEST(Templates, LabelTemplatesMatchTheirTables) {
  for (const LabelTemplate& t : kLabelTemplates) {
    SCOPED_TRACE(t.name);
    auto report = LoadBuiltInTemplate(t.name);
    EXPECT_TRUE(report->Errors().empty());
    ExpectCommonSettings(t.name, *report);
    if (report->ReportPages().size() != 1) continue;
    TfrxReportPage* page = report->ReportPages()[0];
    EXPECT_EQ(page->PaperSize(), 256);
    EXPECT_DOUBLE_EQ(page->PaperWidth(), t.paperWidth);
    EXPECT_DOUBLE_EQ(page->PaperHeight(), t.paperHeight);
    ExpectMargins(*page, t.leftMargin, 0, 0, 0);
    EXPECT_EQ(page->Orientation(), TPrinterOrientation::poPortrait);
    // The parent width the objects align against, and the page's height.
    double margins = page->LeftMargin + page->RightMargin;
    EXPECT_NEAR((page->PaperWidth() - margins) * fr01cm, t.printableWidth, kExact);
    EXPECT_NEAR((page->PaperHeight() - page->TopMargin - page->BottomMargin) * fr01cm, t.printableHeight, kExact);

    // No bands: every object of the table is a direct child of the page.
    const auto& children = page->Objects();
    for (TfrxComponent* c : children) EXPECT_EQ(dynamic_cast<TfrxBand*>(c), nullptr) << c->Name() << " is a band";
    EXPECT_EQ(children.size(), t.objects.size());
    for (std::size_t i = 0; i < t.objects.size() && i < children.size(); ++i) {
      SCOPED_TRACE(std::string(t.name) + " object " + std::to_string(i) + " " + t.objects[i].name);
      ExpectLabelObject(t.objects[i], children[i]);
    }
  }
}

TEST(Templates, UnusedTemplatesHaveTheCommonSettings) {
  for (const char* name : {"frxReport1", "RaporODYO"}) {
    auto report = LoadBuiltInTemplate(name);
    EXPECT_TRUE(report->Errors().empty()) << name;
    ExpectCommonSettings(name, *report);
  }
}

// Counts the views (not bands) below `parent` by class.
struct ViewCensus {
  std::vector<TfrxMemoView*> memos;
  std::vector<TfrxBarCodeView*> barcodes;
  std::vector<TfrxPictureView*> pictures;
  std::vector<TfrxView*> all;
};

ViewCensus CountViews(TfrxComponent& parent) {
  ViewCensus census;
  for (TfrxComponent* c : parent.AllObjects()) {
    auto* view = dynamic_cast<TfrxView*>(c);
    if (view == nullptr) continue;
    census.all.push_back(view);
    if (auto* m = dynamic_cast<TfrxMemoView*>(c)) census.memos.push_back(m);
    if (auto* b = dynamic_cast<TfrxBarCodeView*>(c)) census.barcodes.push_back(b);
    if (auto* p = dynamic_cast<TfrxPictureView*>(c)) census.pictures.push_back(p);
  }
  return census;
}

TEST(Templates, SmallUnusedLabelAsDescribed) {
  auto report = LoadBuiltInTemplate("frxReport1");
  ASSERT_EQ(report->ReportPages().size(), 1u);
  TfrxReportPage* page = report->ReportPages()[0];
  // 40 x 25 mm is no standard paper, so the page has a custom size.
  EXPECT_EQ(page->PaperSize(), 256);
  EXPECT_DOUBLE_EQ(page->PaperWidth(), 40);
  EXPECT_DOUBLE_EQ(page->PaperHeight(), 25);
  ExpectMargins(*page, 0, 0, 0, 0);

  // One Code 39 barcode without text and four small Arial memos, nothing else.
  ViewCensus views = CountViews(*page);
  EXPECT_EQ(views.all.size(), 5u);
  ASSERT_EQ(views.barcodes.size(), 1u);
  EXPECT_EQ(views.barcodes[0]->BarType, bcCode39);
  EXPECT_FALSE(views.barcodes[0]->ShowText);
  ASSERT_EQ(views.memos.size(), 4u);
  for (TfrxMemoView* m : views.memos) {
    SCOPED_TRACE("frxReport1 " + m->Name());
    EXPECT_EQ(m->Font().Name(), "Arial");
    EXPECT_EQ(m->Font().Height(), -9);
  }
}

TEST(Templates, AudiogramReportAsDescribed) {
  auto report = LoadBuiltInTemplate("RaporODYO");
  ASSERT_EQ(report->ReportPages().size(), 1u);
  TfrxReportPage* page = report->ReportPages()[0];
  // A4, portrait (the width is the short side).
  EXPECT_EQ(page->PaperSize(), 9);
  EXPECT_DOUBLE_EQ(page->PaperWidth(), 210);
  EXPECT_DOUBLE_EQ(page->PaperHeight(), 297);
  EXPECT_EQ(page->Orientation(), TPrinterOrientation::poPortrait);
  ExpectMargins(*page, 10, 10, 50, 10);

  // One report-title band holds the whole layout.
  ASSERT_EQ(page->Objects().size(), 1u);
  TfrxComponent* band = page->Objects()[0];
  EXPECT_EQ(band->ClassName(), "TfrxReportTitle");
  ViewCensus onPage = CountViews(*page);
  ViewCensus inBand = CountViews(*band);
  EXPECT_EQ(onPage.all.size(), inBand.all.size());

  ASSERT_EQ(inBand.barcodes.size(), 1u);
  EXPECT_EQ(inBand.barcodes[0]->BarType, bcCode39);
  // The two audiogram charts: embedded bitmaps.
  ASSERT_EQ(inBand.pictures.size(), 2u);
  for (TfrxPictureView* p : inBand.pictures) {
    SCOPED_TRACE("RaporODYO " + p->Name());
    EXPECT_EQ(p->Picture.GraphicClass, "TBitmap");
    EXPECT_EQ(p->Picture.BitmapFile().substr(0, 2), "BM");
  }
  // Framed captions, values and value tables.
  std::size_t framed = 0;
  for (TfrxMemoView* m : inBand.memos)
    if (m->Frame.Typ != 0) ++framed;
  EXPECT_GT(framed, 0u);
  // The title bar: a grey fill, neither black nor white.
  bool grey = false;
  for (TfrxView* v : inBand.all) {
    TColor c = v->Color;
    if (c < 0 || c == clNone) continue;
    int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
    if (r == g && g == b && r != 0 && r != 0xFF) grey = true;
  }
  EXPECT_TRUE(grey);
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

TEST(Templates, AlignmentLeavesTheLabelsAsDesigned) {
  for (const LabelTemplate& t : kLabelTemplates) {
    SCOPED_TRACE(t.name);
    auto report = LoadBuiltInTemplate(t.name);
    TfrxReportPage* page = report->ReportPages().at(0);
    std::vector<std::array<double, 4>> before;
    for (TfrxComponent* c : page->Objects()) before.push_back({c->Left(), c->Top(), c->Width(), c->Height()});
    page->AlignChildren();
    for (std::size_t i = 0; i < before.size(); ++i) {
      TfrxComponent* c = page->Objects()[i];
      SCOPED_TRACE(c->Name());
      EXPECT_NEAR(c->Left(), before[i][0], kExact);
      EXPECT_NEAR(c->Top(), before[i][1], kExact);
      EXPECT_NEAR(c->Width(), before[i][2], kExact);
      EXPECT_NEAR(c->Height(), before[i][3], kExact);
    }
  }
}

TEST(Templates, CenteredLaboratoryBarHangsOffBothEdges) {
  // 185.19697 centred on 177.63791 pixels: (177.63791 - 185.19697) / 2.
  auto report = LoadBuiltInTemplate("LabBarkod3050");
  auto* lab = report->FindObject("MmKurumLabAdi");
  ASSERT_NE(lab, nullptr);
  lab->SetLeft(50);
  report->ReportPages().at(0)->AlignChildren();
  EXPECT_NEAR(lab->Left(), -3.77953, kExact);
}

TEST(Templates, FindObjectSeesOnlyTheTemplatesOwnNames) {
  auto report = LoadBuiltInTemplate("LabBarkod3050");
  auto* bc = dynamic_cast<TfrxBarCodeView*>(report->FindObject("BBarkodNo"));
  EXPECT_NE(bc, nullptr);
  // BarCode1 exists in the other two labels, not in this one.
  EXPECT_EQ(report->FindObject("BarCode1"), nullptr);
}

}  // namespace
}  // namespace zentavo
