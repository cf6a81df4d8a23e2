// The label templates as data: every object with its geometry and appearance,
// exactly as the label tables give them. The files in templates/ are these
// trees saved by our writer.
#include <stdexcept>

#include "barcode/frxBarcode.h"
#include "report/frxBands.h"
#include "report/frxViews.h"
#include "templates/Templates.h"

namespace zentavo {

namespace {

constexpr int kTurkishCharset = 162;
constexpr std::uint32_t kRegular = 0;
constexpr std::uint32_t kBold = fsBold;
// Creation and change dates of the design tool (days since 30.12.1899).
constexpr double kCreateDate = 41275.4375;   // 01.01.2013 10:30
constexpr double kLastChange = 41340.6180555556;

struct MemoRow {
  const char* name;
  TfrxAlign align;
  double left, top, width, height;
  const char* fontName;
  int fontHeight;
  std::uint32_t style;
  bool whiteOnBlack;  // white bold text on a black fill, centred
  const char* sample;
};

struct BarcodeRow {
  const char* name;
  TfrxBarcodeType type;
  double left, top, width, height;
  bool showText;
  const char* sample;
};

void CommonSettings(TfrxReport& report) {
  report.DotMatrixReport = false;
  report.ScriptLanguage = "VadoziDaruro";
  report.ScriptText.Lines = {"begin", "", "end."};
  report.PrintOptions.Printer = "Default";
  report.PreviewOptions.Buttons = kAllPreviewButtons;
  report.PreviewOptions.Zoom = 1.0;
  report.ReportOptions.CreateDate = kCreateDate;
  report.ReportOptions.LastChange = kLastChange;
}

TfrxReportPage* AddPage(TfrxReport& report, double width, double height, double left, double right, double top,
                        double bottom) {
  auto* page = new TfrxReportPage(&report);
  page->SetName("Page1");
  page->SetPaperWidth(width);
  page->SetPaperHeight(height);
  page->LeftMargin = left;
  page->RightMargin = right;
  page->TopMargin = top;
  page->BottomMargin = bottom;
  return page;
}

TfrxMemoView* AddMemo(TfrxComponent* parent, const MemoRow& row) {
  auto* memo = new TfrxMemoView(parent);
  memo->SetName(row.name);
  memo->Align = row.align;
  memo->SetBounds(row.left, row.top, row.width, row.height);
  TfrxFont font;
  font.SetName(row.fontName);
  font.SetHeight(row.fontHeight);
  font.SetStyle(row.style);
  font.SetCharset(kTurkishCharset);
  if (row.whiteOnBlack) {
    font.SetColor(clWhite);
    memo->Color = clBlack;
    memo->HAlign = TfrxHAlign::haCenter;
  }
  memo->SetFont(font);
  memo->SetParentFont(false);
  memo->SetText(row.sample);
  return memo;
}

TfrxBarCodeView* AddBarcode(TfrxComponent* parent, const BarcodeRow& row) {
  auto* bc = new TfrxBarCodeView(parent);
  bc->SetName(row.name);
  bc->BarType = row.type;
  bc->SetBounds(row.left, row.top, row.width, row.height);
  bc->Rotation = 0;
  bc->ShowText = row.showText;
  bc->WideBarRatio = 2;
  bc->Zoom = 1;
  bc->Text = row.sample;
  return bc;
}

using enum TfrxAlign;
constexpr const char* kTNR = "Times New Roman";

void BuildLabBarkod3050(TfrxReport& report) {
  TfrxReportPage* page = AddPage(report, 50, 30, 3, 0, 0, 0);
  const MemoRow memos[] = {
      {"MmHastaAdi", baWidth, 0, 30.23624, 128.50402, 11.33859, kTNR, -9, kBold, false, "AYŞE YILMAZ"},
      {"MmNumuneAlmaTarihi", baRight, 128.50402, 30.23624, 49.13389, 11.33859, kTNR, -5, kRegular, false,
       "01.01.2013 13:00:00"},
      {"MmFirmaAdi", baLeft, 0, 18.89765, 204.09462, 11.33859, kTNR, -9, kRegular, false, "ÖRNEK İNŞAAT SANAYİ A.Ş."},
      {"MmKurumLabAdi", baCenter, -3.77953, 3.77953, 185.19697, 15.11812, kTNR, -9, kBold, true,
       "ZİVERO RUZ TIP LABORATUVARI"},
  };
  for (const auto& m : memos) AddMemo(page, m);
  AddBarcode(page, {"BBarkodNo", TfrxBarcodeType::bcCode128C, 17.362245, 41.57483, 90, 49.13385827, false,
                    "1234567890"});
  const MemoRow rest[] = {
      {"MmTetkik", baLeft, 0, 102.04731, 177.63791, 11.33859, kTNR, -7, kBold, false, "HEMOGRAM / Kan"},
      {"MmBnoPno", baLeft, 0, 90.70872, 102.04731, 11.33859, kTNR, -8, kBold, false, "1234567890 / 100200"},
      {"MmDogumTarihi", baRight, 102.04731, 90.70872, 52.91342, 11.33859, kTNR, -7, kBold, false, "D.T.:01.01.1980"},
      {"MmCinsiyet", baRight, 154.96073, 90.70872, 22.67718, 11.33859, kTNR, -7, kBold, false, "Erkek"},
      {"MmLabAdi", baRight, 128.50402, 41.57483, 49.13389, 11.33859, kTNR, -7, kBold, false, "MERKEZ"},
  };
  for (const auto& m : rest) AddMemo(page, m);
}

void BuildLabBarkod(TfrxReport& report) {
  TfrxReportPage* page = AddPage(report, 60, 30, 3, 0, 0, 0);
  AddBarcode(page, {"BarCode1", TfrxBarcodeType::bcCode39, 11.33859, 68.03154, 168, 47.05504, true, "12345678901"});
  const MemoRow memos[] = {
      {"Memo1", baWidth, 0, 34.01577, 215.43321, 15.11812, kTNR, -11, kBold, false, "ÖRNEK İNŞAAT SANAYİ A.Ş."},
      {"Memo2", baWidth, 0, 49.13389, 215.43321, 15.11812, kTNR, -11, kBold, false, "AYŞE YILMAZ"},
      {"Memo3", baLeft, 105.82684, 18.89765, 71.81107, 11.33859, kTNR, -8, kRegular, false, "01.01.2013 13:00:00"},
      {"Memo4", baLeft, 0, 22.67718, 105.82684, 11.33859, kTNR, -11, kRegular, false, "100200"},
      {"Memo7", baCenter, -39.685065, 3.77953, 294.80334, 15.11812, kTNR, -11, kBold, true,
       "ZİVERO RUZ TIP LABORATUVARI"},
  };
  for (const auto& m : memos) AddMemo(page, m);
}

void BuildSonucBarkodu(TfrxReport& report) {
  TfrxReportPage* page = AddPage(report, 60, 30, 3, 0, 0, 0);
  AddBarcode(page, {"BarCode1", TfrxBarcodeType::bcCode39, 7.55906, 49.13389, 168, 39.49598, true, "12345678901"});
  const MemoRow memos[] = {
      {"Memo1", baWidth, 0, 34.01577, 215.43321, 15.11812, kTNR, -11, kBold, false, "ÖRNEK İNŞAAT SANAYİ A.Ş."},
      {"Memo3", baLeft, 98.26778, 18.89765, 94.48825, 15.11812, kTNR, -11, kRegular, false, "01.01.2013"},
      {"Memo2", baLeft, 0, 18.89765, 98.26778, 15.11812, kTNR, -11, kRegular, false, "AYŞE YILMAZ"},
      {"Memo7", baCenter, -20.787415, 3.77953, 257.00804, 15.11812, kTNR, -11, kBold, true,
       "ZİVERO RUZ TIP LABORATUVARI"},
  };
  for (const auto& m : memos) AddMemo(page, m);
}

void BuildFrxReport1(TfrxReport& report) {
  TfrxReportPage* page = AddPage(report, 40, 25, 0, 0, 0, 0);
  AddBarcode(page, {"BarCode1", TfrxBarcodeType::bcCode39, 3.77953, 30.23624, 120, 37.7953, false, "12345678"});
  const MemoRow memos[] = {
      {"MmBarkodTarih", baNone, 3.77953, 0, 143.62214, 13.22835, "Arial", -9, kRegular, false,
       "12345678 01.01.2013"},
      {"MmProtokol", baNone, 3.77953, 13.22835, 143.62214, 13.22835, "Arial", -9, kRegular, false, "100200"},
      {"MmAdSoyad", baNone, 3.77953, 68.03154, 143.62214, 13.22835, "Arial", -9, kRegular, false, "AYŞE YILMAZ"},
      {"MmBarkodYazi", baNone, 3.77953, 81.25989, 143.62214, 13.22835, "Arial", -9, kRegular, false, "12345678"},
  };
  for (const auto& m : memos) AddMemo(page, m);
}

// A small bitmap standing in for an audiogram chart: a white 24-bit image
// with a grey grid, as a .bmp file.
std::string PlaceholderChart(int width, int height) {
  int rowBytes = (width * 3 + 3) / 4 * 4;
  int imageSize = rowBytes * height;
  std::string bmp;
  auto put = [&bmp](std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) bmp += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  bmp += "BM";
  put(static_cast<std::uint32_t>(54 + imageSize), 4);
  put(0, 4);
  put(54, 4);
  put(40, 4);
  put(static_cast<std::uint32_t>(width), 4);
  put(static_cast<std::uint32_t>(height), 4);
  put(1, 2);
  put(24, 2);
  put(0, 4);
  put(static_cast<std::uint32_t>(imageSize), 4);
  put(3780, 4);
  put(3780, 4);
  put(0, 4);
  put(0, 4);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      unsigned char c = (x % 8 == 0 || y % 8 == 0) ? 0xC0 : 0xFF;
      bmp += static_cast<char>(c);
      bmp += static_cast<char>(c);
      bmp += static_cast<char>(c);
    }
    for (int p = width * 3; p < rowBytes; ++p) bmp += '\0';
  }
  return bmp;
}

TfrxMemoView* FramedMemo(TfrxComponent* band, const std::string& name, double left, double top, double width,
                         double height, const char* text, bool bold, TfrxHAlign align = TfrxHAlign::haLeft) {
  auto* memo = new TfrxMemoView(band);
  memo->SetName(name);
  memo->SetBounds(left, top, width, height);
  TfrxFont font;
  font.SetName("Arial");
  font.SetHeight(-11);
  font.SetStyle(bold ? kBold : kRegular);
  font.SetCharset(kTurkishCharset);
  memo->SetFont(font);
  memo->SetParentFont(false);
  memo->Frame.Typ = ftLeft | ftRight | ftTop | ftBottom;
  memo->HAlign = align;
  memo->VAlign = TfrxVAlign::vaCenter;
  memo->SetText(text);
  return memo;
}

void BuildRaporODYO(TfrxReport& report) {
  TfrxReportPage* page = AddPage(report, 210, 297, 10, 10, 50, 10);
  page->SetPaperSize(9);
  auto* band = new TfrxReportTitle(page);
  band->SetName("ReportTitle1");
  band->SetBounds(0, 18.89765, 718.1107, 820.15801);

  // Identity block: caption and value memos, two columns of three rows.
  struct Field {
    const char* caption;
    const char* name;
    const char* sample;
  };
  const Field fields[] = {
      {"Kurum", "MmKurum", "ÖRNEK İNŞAAT SANAYİ A.Ş."}, {"T.C. Kimlik No", "MmTCKimlik", "12345678901"},
      {"Adı Soyadı", "MmAdSoyad", "AYŞE YILMAZ"},        {"Doğum Tarihi", "MmDogumTarihi", "01.01.1980"},
      {"Test Tarihi", "MmTestTarihi", "01.01.2013"},     {"Protokol No", "MmProtokolNo", "100200"},
  };
  const double rowH = 18.89765, capW = 113.3859, valW = 245.66945;
  for (int i = 0; i < 6; ++i) {
    double left = (i % 2) * (capW + valW);
    double top = (i / 2) * rowH;
    FramedMemo(band, std::string("MmBaslik") + std::to_string(i + 1), left, top, capW, rowH, fields[i].caption, true);
    FramedMemo(band, fields[i].name, left + capW, top, valW, rowH, fields[i].sample, false);
  }
  auto* bc = new TfrxBarCodeView(band);
  bc->SetName("BarCode1");
  bc->BarType = TfrxBarcodeType::bcCode39;
  bc->SetBounds(491.3389, 64.25201, 168, 37.7953);
  bc->Text = "12345678901";

  auto* title = FramedMemo(band, "MmOdyoBaslik", 0, 113.3859, 718.1107, 22.67718, "ODYOMETRİ SONUCU", true,
                           TfrxHAlign::haCenter);
  title->Color = 0xC0C0C0;  // the grey title bar

  const char* ears[] = {"Sağ Kulak", "Sol Kulak"};
  const char* earKeys[] = {"Sag", "Sol"};
  const char* freqs[] = {"125", "250", "500", "1000", "2000", "4000", "8000"};
  const double chartTop = 143.62214, chartW = 355.27582, chartH = 264.5671;
  for (int e = 0; e < 2; ++e) {
    double left = e * (chartW + 7.55906);
    auto* pic = new TfrxPictureView(band);
    pic->SetName(std::string("Picture") + std::to_string(e + 1));
    pic->SetBounds(left, chartTop, chartW, chartH);
    pic->Frame.Typ = ftLeft | ftRight | ftTop | ftBottom;
    pic->Picture.SetBitmapFile(PlaceholderChart(32, 24));

    double tableTop = chartTop + chartH + 11.33859;
    const double cellW = chartW / 8, cellH = 18.89765;
    FramedMemo(band, std::string("Mm") + earKeys[e] + "Kulak", left, tableTop, chartW, cellH, ears[e], true,
               TfrxHAlign::haCenter);
    FramedMemo(band, std::string("Mm") + earKeys[e] + "Hz", left, tableTop + cellH, cellW, cellH, "Hz", true);
    for (int f = 0; f < 7; ++f)
      FramedMemo(band, std::string("Mm") + earKeys[e] + "Frekans" + freqs[f], left + (f + 1) * cellW,
                 tableTop + cellH, cellW, cellH, freqs[f], true, TfrxHAlign::haCenter);
    const char* kinds[] = {"Hava", "Kemik"};
    for (int k = 0; k < 2; ++k) {
      double top = tableTop + (k + 2) * cellH;
      FramedMemo(band, std::string("Mm") + earKeys[e] + kinds[k], left, top, cellW, cellH, kinds[k], true);
      for (int f = 0; f < 7; ++f)
        FramedMemo(band, std::string("Mm") + earKeys[e] + kinds[k] + freqs[f], left + (f + 1) * cellW, top, cellW,
                   cellH, "", false, TfrxHAlign::haCenter);
    }
  }
}

}  // namespace

void BuildTemplate(std::string_view name, TfrxReport& report) {
  report.Clear();
  CommonSettings(report);
  if (name == "LabBarkod3050") BuildLabBarkod3050(report);
  else if (name == "LabBarkod") BuildLabBarkod(report);
  else if (name == "SonucBarkodu") BuildSonucBarkodu(report);
  else if (name == "frxReport1") BuildFrxReport1(report);
  else if (name == "RaporODYO") BuildRaporODYO(report);
  else throw std::runtime_error("No built-in template named \"" + std::string(name) + "\"");
}

}  // namespace zentavo
