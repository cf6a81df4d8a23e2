// Template format: whole reports saved and loaded, attribute forms, PropData,
// references, verbatim classes and untrusted input.
#include <gtest/gtest.h>

#include "barcode/frxBarcode.h"
#include "report/frxClass.h"

namespace zentavo {
namespace {

std::string Save(TfrxComponent& c) {
  TMemoryStream s;
  c.SaveToStream(s);
  return s.Data();
}

void Load(TfrxComponent& c, const std::string& text) {
  TMemoryStream s(text);
  c.LoadFromStream(s);
}

// A whole 1 x 1 bitmap file: damaged pictures are refused when read.
std::string TinyBmp(char blue) {
  std::string f("BM\x3A\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0", 30);
  f += std::string(24, '\0');
  f += std::string{blue, '\x01', '\xFF', '\0'};
  return f;
}

// A report with every band kind, nested objects, references and Turkish text.
void BuildEverything(TfrxReport& r) {
  r.ReportOptions.CreateDate = 41000.5;
  r.ReportOptions.LastChange = 41000.75;
  r.ReportOptions.Description.Lines = {"Açıklama", "ikinci satır"};
  r.Variables.push_back({});
  r.Variables.back().Name = "Kurum";
  r.Variables.back().Value = Variant::String("'Zivero \"Ruz\"'");
  r.AddStyle("Baslik").Font.SetHeight(-16);
  auto* page = new TfrxReportPage(&r);
  page->SetName("Page1");
  page->SetOrientation(TPrinterOrientation::poLandscape);
  page->SetPaperSize(9);
  page->LeftMargin = 12.5;
  page->SetColumns(3);
  page->BackPicture.SetBitmapFile(TinyBmp(0));
  int n = 0;
  auto band = [&](TfrxBand* b) {
    b->SetName("Band" + std::to_string(++n));
    b->SetTop(n * 20.5);
    b->SetHeight(18.89765);
    return b;
  };
  band(new TfrxReportTitle(page));
  band(new TfrxReportSummary(page));
  band(new TfrxPageHeader(page));
  auto* footer = band(new TfrxPageFooter(page));
  footer->PrintOnLastPage = false;
  band(new TfrxHeader(page));
  band(new TfrxFooter(page));
  auto* master = static_cast<TfrxMasterData*>(band(new TfrxMasterData(page)));
  master->SetRowCount(2);
  band(new TfrxDetailData(page));
  band(new TfrxSubdetailData(page));
  band(new TfrxDataBand4(page));
  band(new TfrxDataBand5(page));
  band(new TfrxDataBand6(page));
  auto* group = band(new TfrxGroupHeader(page));
  group->Condition = "<Data.\"Kod\">";
  band(new TfrxGroupFooter(page));
  auto* child = static_cast<TfrxChild*>(band(new TfrxChild(page)));
  master->SetChild(child);
  band(new TfrxColumnHeader(page));
  band(new TfrxColumnFooter(page));
  auto* overlay = band(new TfrxOverlay(page));
  overlay->PrintOnTop = true;

  auto* memo = new TfrxMemoView(master);
  memo->SetName("MmAd");
  memo->SetBounds(1.5, 2.25, 100.125, 15.11812);
  memo->SetText("Şule Çağlayan\r\n& <öğrenci> \"&#65;\"");
  memo->Frame.Typ = ftBottom;
  memo->Highlight.Active = true;
  auto* next = new TfrxMemoView(master);
  next->SetName("MmDevam");
  memo->SetFlowTo(next);
  auto* shape = new TfrxShapeView(master);
  shape->SetName("Shape1");
  shape->Shape = TfrxShapeKind::skEllipse;
  auto* inner = new TfrxLineView(shape);  // a view inside a view
  inner->SetName("Line1");
  inner->Diagonal = true;
  auto* sys = new TfrxSysMemoView(group);
  sys->SetName("SysMemo1");
  auto* bc = new TfrxBarCodeView(child);
  bc->SetName("BarCode1");
  bc->BarType = TfrxBarcodeType::bcCodeEAN128C;
  auto* sub = new TfrxSubreport(child);
  sub->SetName("Subreport1");
  auto* page2 = new TfrxReportPage(&r);
  page2->SetName("Page2");
  sub->SetSubPage(page2);
  auto* pic = new TfrxPictureView(page2);
  pic->SetName("Picture1");
  pic->Picture.SetBitmapFile(TinyBmp(7));
}

TEST(Serializer, SaveLoadSaveGivesIdenticalBytes) {
  TfrxReport r;
  BuildEverything(r);
  std::string first = Save(r);
  TfrxReport loaded;
  Load(loaded, first);
  EXPECT_TRUE(loaded.Errors().empty()) << *loaded.Errors().begin();
  EXPECT_EQ(Save(loaded), first);

  auto* memo = dynamic_cast<TfrxMemoView*>(loaded.FindObject("MmAd"));
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(memo->Text(), "Şule Çağlayan\r\n& <öğrenci> \"&#65;\"");
  EXPECT_EQ(memo->FlowTo(), loaded.FindObject("MmDevam"));
  EXPECT_DOUBLE_EQ(memo->Top(), 2.25);
  auto* master = dynamic_cast<TfrxMasterData*>(loaded.FindObject("Band7"));
  ASSERT_NE(master, nullptr);
  EXPECT_EQ(master->Child(), loaded.FindObject("Band15"));
  EXPECT_EQ(master->RowCount(), 2);
  auto* sub = dynamic_cast<TfrxSubreport*>(loaded.FindObject("Subreport1"));
  EXPECT_EQ(sub->SubPage(), loaded.FindObject("Page2"));
  EXPECT_EQ(loaded.FindObject("Line1")->Parent(), loaded.FindObject("Shape1"));
  TfrxReportPage* page = loaded.ReportPages().at(0);
  EXPECT_EQ(page->Orientation(), TPrinterOrientation::poLandscape);
  EXPECT_EQ(page->PaperSize(), 9);  // kept, not turned into a custom size
  EXPECT_DOUBLE_EQ(page->PaperWidth(), 297);
  EXPECT_EQ(page->Columns(), 3);
  ASSERT_EQ(loaded.Variables.size(), 1u);
  EXPECT_EQ(VarToStr(loaded.Variables[0].Value), "'Zivero \"Ruz\"'");
  ASSERT_EQ(loaded.Styles.size(), 1u);
  EXPECT_EQ(loaded.Styles[0].Font.Height(), -16);
  EXPECT_EQ(loaded.ReportOptions.Description.Lines, r.ReportOptions.Description.Lines);
  auto* pic = dynamic_cast<TfrxPictureView*>(loaded.FindObject("Picture1"));
  EXPECT_EQ(pic->Picture.BitmapFile(), TinyBmp(7));
}

TEST(Serializer, LinesRoundTripWithTheirEmptyLines) {
  // Joined lines lose a last empty line when they are split again; the stored
  // form must keep every line, for memos and for string lists.
  const std::vector<std::vector<std::string>> cases = {
      {},                 // no lines
      {""},               // one empty line
      {"a", ""},          // ends in an empty line
      {"a", "", ""},      // two of them
      {"", "b"},          // starts empty
      {"a", "", "b"},     // an empty line inside
      {"ÇİĞ", "", "öşü", ""},
  };
  for (const auto& lines : cases) {
    SCOPED_TRACE(::testing::PrintToString(lines));
    TfrxReport report;
    auto* page = new TfrxReportPage(&report);
    page->SetName("Page1");
    auto* memo = new TfrxMemoView(page);
    memo->SetName("Memo1");
    for (const std::string& l : lines) memo->Memo.Add(Utf8ToUtf16(l));
    report.ScriptText.Lines = lines;
    std::string saved = Save(report);
    TfrxReport loaded;
    Load(loaded, saved);
    auto* back = dynamic_cast<TfrxMemoView*>(loaded.FindObject("Memo1"));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->Memo.Lines, memo->Memo.Lines) << "memo text";
    EXPECT_EQ(loaded.ScriptText.Lines, lines) << "string list";
    EXPECT_EQ(Save(loaded), saved);
  }
}

TEST(Serializer, AttributeForms) {
  const std::string head = "<?xml version=\"1.0\" encoding=\"utf-8\"?><TfrxReport><TfrxReportPage Name=\"Page1\">";
  const std::string tail = "</TfrxReportPage></TfrxReport>";
  struct Row {
    const char* memo;
    double left;
    double width;
    const char* text;
    const char* why;
  };
  const Row rows[] = {
      {"Left=\"1,5\" Width=\"2.25\"", 1.5, 2.25, "", "comma and full stop as decimal separator"},
      {"LEFT=\"3\" width=\" 1 000,5 \"", 3, 1000.5, "", "names ignore case, blanks in numbers are ignored"},
      {"l=\"7\" w=\"8\"", 7, 8, "", "short forms l and w"},
      {"Text=\"\"", 0, 0, "", "empty text gives no lines"},
      {"u=\"\xC3\x87\"", 0, 0, "Ç", "u carries UTF-8"},
      {"x=\"\xC7\"", 0, 0, "Ç", "x carries Windows-1254"},
      {"Unknown=\"1\" Left=\"4\"", 4, 0, "", "unknown attributes are ignored"},
      {"Font.Nope.Name=\"x\" Left=\"5\"", 5, 0, "", "a dotted name that leads nowhere is ignored"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    TfrxReport report;
    Load(report, head + "<TfrxMemoView Name=\"M\" " + r.memo + "/>" + tail);
    auto* m = dynamic_cast<TfrxMemoView*>(report.FindObject("M"));
    ASSERT_NE(m, nullptr);
    EXPECT_DOUBLE_EQ(m->Left(), r.left);
    EXPECT_DOUBLE_EQ(m->Width(), r.width);
    EXPECT_EQ(m->Text(), r.text);
    EXPECT_TRUE(report.Errors().empty());
  }
}

TEST(Serializer, WritesValuesByType) {
  TfrxMemoView memo;
  memo.Frame.Typ = ftLeft;
  memo.Restrictions = 0;
  memo.HAlign = TfrxHAlign::haBlock;
  memo.WordWrap = false;
  std::string text = ObjToXML(memo, "", false);
  EXPECT_NE(text.find(" Frame.Typ=\"1\""), std::string::npos);  // a set holding its first element
  EXPECT_EQ(text.find("Restrictions"), std::string::npos);      // empty set equal to its default
  EXPECT_NE(text.find(" HAlign=\"haBlock\""), std::string::npos);
  EXPECT_NE(text.find(" WordWrap=\"False\""), std::string::npos);
  EXPECT_NE(text.find(" GapX=\"2\""), std::string::npos);  // floats always
  EXPECT_NE(text.find(" Text=\"\""), std::string::npos);   // empty text attribute
  EXPECT_EQ(text.find(" Font."), std::string::npos);       // parent's font is not stored
}

TEST(Serializer, ErrorsAreCollectedNotThrown) {
  TfrxReport report;
  report.EngineOptions.NewSilentMode = TfrxSilentMode::simSilent;
  Load(report,
       "<?xml version=\"1.0\"?><TfrxReport><TfrxReportPage Name=\"Page1\">"
       "<TfrxFancyView Name=\"F\"><TfrxMemoView Name=\"Lost\"/></TfrxFancyView>"
       "<TfrxMemoView Name=\"A\" Left=\"abc\" HAlign=\"haSideways\" Top=\"2\"/>"
       "<TfrxMemoView Name=\"B\" Left=\"abc\"/>"
       "<TfrxReportPage Name=\"Inner\"/>"
       "<TfrxMemoView Name=\"9bad\"/>"
       "</TfrxReportPage></TfrxReport>");
  std::vector<std::string> errors(report.Errors().begin(), report.Errors().end());
  EXPECT_EQ(errors, (std::vector<std::string>{
                        "''9bad'' is not a valid component name",
                        "'abc' is not a valid floating point value",  // twice, listed once
                        "Couldn't find class TfrxFancyView",
                        "Couldn't place TfrxReportPage in TfrxReportPage",
                        "Invalid property value haSideways for HAlign",
                    }));
  EXPECT_EQ(report.FindObject("Lost"), nullptr);
  ASSERT_NE(report.FindObject("A"), nullptr);
  EXPECT_DOUBLE_EQ(report.FindObject("A")->Top(), 2);  // reading goes on after a bad value
}

TEST(Serializer, SyntaxErrorsRaise) {
  TfrxReport report;
  try {
    Load(report, "<?xml?><TfrxReport><TfrxReportPage></TfrxReport>");
    FAIL();
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Invalid file format");
  }
}

TEST(Serializer, PasswordIsShiftedInTheFile) {
  TfrxReport r;
  r.ReportOptions.Password = "gizli";
  std::string text = Save(r);
  TfrxXMLDocument doc;
  doc.LoadFromString(text);
  std::string stored = doc.Root().Prop("ReportOptions.Password");
  std::string expected = "gizli";
  for (char& c : expected) c = static_cast<char>(c - 10);
  EXPECT_EQ(stored, expected);
  EXPECT_EQ(r.ReportOptions.Password, "gizli");

  TfrxReport noPrompt;
  EXPECT_THROW(Load(noPrompt, text), std::runtime_error);
  EXPECT_EQ(noPrompt.PagesCount(), 0);

  TfrxReport wrong;
  wrong.OnAskPassword = [](TfrxReport&) { return std::optional<std::string>("yanlis"); };
  Load(wrong, text);
  EXPECT_EQ(wrong.ReportOptions.Password, "");  // refused: a new, empty report

  TfrxReport right;
  int asked = 0;
  right.OnAskPassword = [&](TfrxReport&) {
    ++asked;
    return std::optional<std::string>("gizli");
  };
  Load(right, text);
  Load(right, text);  // accepted once, not asked again
  EXPECT_EQ(right.ReportOptions.Password, "gizli");
  EXPECT_EQ(asked, 1);
}

TEST(Serializer, LoadingKeepsHostOptions) {
  TfrxReport r;
  r.EngineOptions.DoublePass = true;
  r.EngineOptions.MaxMemSize = 99;
  r.PreviewOptions.OutlineWidth = 300;
  r.PreviewOptions.Zoom = 2;
  std::string text = Save(r);
  TfrxReport target;
  target.EngineOptions.NewSilentMode = TfrxSilentMode::simReThrow;
  Load(target, text);
  EXPECT_TRUE(target.EngineOptions.DoublePass);                               // read from the file
  EXPECT_EQ(target.PreviewOptions.OutlineWidth, 300);                         // read from the file
  EXPECT_EQ(target.EngineOptions.MaxMemSize, 10);                             // the host's value
  EXPECT_DOUBLE_EQ(target.PreviewOptions.Zoom, 1);                            // the host's value
  EXPECT_EQ(target.EngineOptions.NewSilentMode, TfrxSilentMode::simReThrow);  // the host's value
  EXPECT_EQ(target.Version(), "3.22");
}

TEST(Serializer, ObjectsKeepTheirOwnName) {
  TfrxReport r;
  r.SetName("Etiket");
  Load(r, "<?xml?><TfrxReport Name=\"Other\" Version=\"9.99\"/>");
  EXPECT_EQ(r.Name(), "Etiket");
  EXPECT_EQ(r.Version(), "3.22");
  auto* page = new TfrxReportPage(&r);
  page->SetName("Page1");
  Load(*page, "<?xml?><TfrxReportPage Name=\"Page9\" PaperWidth=\"50\"><TfrxMemoView Name=\"M\"/></TfrxReportPage>");
  EXPECT_EQ(page->Name(), "Page1");
  EXPECT_DOUBLE_EQ(page->PaperWidth(), 50);
  EXPECT_NE(r.FindObject("M"), nullptr);
}

TEST(Serializer, AssignCopiesEverythingButTheName) {
  TfrxReport r;
  auto* page = new TfrxReportPage(&r);
  auto* a = new TfrxMemoView(page);
  a->SetName("A");
  a->SetBounds(1, 2, 3, 4);
  a->SetText("metin");
  a->WordWrap = false;
  auto* b = new TfrxMemoView(page);
  b->SetName("B");
  b->Assign(*a);
  EXPECT_EQ(b->Name(), "B");
  EXPECT_EQ(b->Text(), "metin");
  EXPECT_FALSE(b->WordWrap);
  EXPECT_DOUBLE_EQ(b->Height(), 4);
}

TEST(Serializer, VerbatimClassesRoundTrip) {
  std::string text =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
      "<TfrxReport Version=\"3.22\" DotMatrixReport=\"True\" IniFile=\"\\Software\\Zentavo\" PreviewOptions.Buttons=\"4095\" "
      "PreviewOptions.Zoom=\"1\" PrintOptions.Printer=\"Default\" ReportOptions.CreateDate=\"1\" "
      "ReportOptions.Description.Text=\"\" ReportOptions.LastChange=\"1\" ScriptLanguage=\"VadoziDaruro\" "
      "ScriptText.Text=\"begin&#13;&#10;&#13;&#10;end.\">\r\n"
      "  <TfrxDMPPage Name=\"Page1\" PaperWidth=\"210\" FontStyle=\"3\">\r\n"
      "    <TfrxMasterData Name=\"MasterData1\" Height=\"17\" Left=\"0\" Top=\"0\" Width=\"756\" ColumnWidth=\"0\" ColumnGap=\"0\" RowCount=\"1\">\r\n"
      "      <TfrxDMPMemoView Name=\"DMPMemo1\" Left=\"9.6\" Memo.UTF8=\"x\"/>\r\n"
      "    </TfrxMasterData>\r\n"
      "  </TfrxDMPPage>\r\n"
      "  <TfrxDialogPage Name=\"Dialog1\" Caption=\"Giriş\"/>\r\n"
      "</TfrxReport>\r\n";
  TfrxReport r;
  Load(r, text);
  EXPECT_TRUE(r.Errors().empty());
  EXPECT_EQ(Save(r), text);
}

TEST(Serializer, ReportPropDataWithDesignPosition) {
  TfrxReport r;
  r.DesignLeft = 300;
  r.DesignTop = -2;
  r.Variables.push_back({});
  r.Variables.back().Name = "V";
  std::string text = Save(r);
  // Left (16-bit 300), Top (8-bit -2), then the variables list.
  EXPECT_NE(text.find("PropData=\"044C656674032C0103546F7002FE095661726961626C6573"), std::string::npos) << text;
  TfrxReport loaded;
  Load(loaded, text);
  EXPECT_EQ(loaded.DesignLeft, 300);
  EXPECT_EQ(loaded.DesignTop, -2);
  ASSERT_EQ(loaded.Variables.size(), 1u);
  EXPECT_EQ(loaded.Variables[0].Name, "V");
}

TEST(Serializer, PropDataOfUntrustedFiles) {
  // Lengths beyond the data, odd hex and foreign records end PropData quietly.
  const char* rows[] = {
      "085661726961626C65730101",           // list without its end
      "0856617269616266C65730101FFFFFFFF",  // garbage
      "045374796C65010C FFFFFF7F",           // long string length far beyond the end
      "0A",                                  // name length beyond the end
      "ZZ",                                  // not hex
  };
  for (const char* hex : rows) {
    SCOPED_TRACE(hex);
    TfrxReport r;
    Load(r, std::string("<?xml?><TfrxReport PropData=\"") + hex + "\"/>");
    EXPECT_TRUE(r.Variables.empty());
  }
}

TEST(Serializer, FilesAndFileName) {
  std::string path = ::testing::TempDir() + "/zentavo_report_test.xml";
  TfrxReport r;
  BuildEverything(r);
  r.SaveToFile(path);
  TfrxReport loaded;
  EXPECT_TRUE(loaded.LoadFromFile(path));
  EXPECT_EQ(loaded.FileName, path);
  EXPECT_NE(loaded.FindObject("MmAd"), nullptr);
  EXPECT_FALSE(loaded.LoadFromFile(path + ".missing"));
  EXPECT_EQ(loaded.FileName, "");
  EXPECT_EQ(loaded.PagesCount(), 0);
  EXPECT_THROW(loaded.LoadFromFile(path + ".missing", true), std::runtime_error);
  std::remove(path.c_str());
}

TEST(Serializer, SingleObjectText) {
  TfrxMemoView memo;
  memo.SetName("Memo1");
  memo.SetBounds(1, 2, 3, 4);
  memo.SetText("satır");
  std::string text = ObjectToText(memo);
  EXPECT_EQ(text.substr(0, 26), "TfrxMemoView Name=\"Memo1\" ");
  std::unique_ptr<TfrxComponent> back(ObjectFromText(text));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(ObjectToText(*back), text);
  EXPECT_EQ(ObjectFromText("TfrxNothing Name=\"x\""), nullptr);
}

TEST(Bands, ChildChainsMayNotLoop) {
  TfrxReport r;
  auto* page = new TfrxReportPage(&r);
  auto* a = new TfrxChild(page);
  auto* b = new TfrxChild(page);
  a->SetChild(b);
  EXPECT_THROW(b->SetChild(a), std::runtime_error);
  EXPECT_EQ(b->Child(), nullptr);
  EXPECT_THROW(a->SetChild(a), std::runtime_error);
  EXPECT_EQ(a->Child(), b);
  delete b;
  EXPECT_EQ(a->Child(), nullptr);  // a destroyed child reads as none
}

TEST(Bands, LoopingChildInAFileIsAnError) {
  TfrxReport r;
  r.EngineOptions.NewSilentMode = TfrxSilentMode::simSilent;
  Load(r,
       "<?xml?><TfrxReport><TfrxReportPage Name=\"P\">"
       "<TfrxChild Name=\"C1\" Child=\"C2\"/><TfrxChild Name=\"C2\" Child=\"C1\"/>"
       "</TfrxReportPage></TfrxReport>");
  EXPECT_EQ(r.Errors().count("Circular child reference is not allowed"), 1u);
}

TEST(Bands, NumbersAndDataSets) {
  TfrxReport r;
  auto* page = new TfrxReportPage(&r);
  EXPECT_EQ((new TfrxGroupFooter(page))->BandNumber(), 13);
  EXPECT_EQ((new TfrxNullBand(page))->BandNumber(), 0);
  EXPECT_EQ((new TfrxDataBand6(page))->BandNumber(), 11);
  TfrxUserDataSet ds(&r);
  ds.SetName("Data");
  r.AddDataSet(&ds);
  auto* master = new TfrxMasterData(page);
  master->SetDataSetName("data");
  EXPECT_EQ(master->DataSet(), &ds);
  EXPECT_EQ(master->DataSetName(), "Data");
}

TEST(DataSets, CountedRange) {
  TfrxUserDataSet ds;
  ds.RangeEnd = TfrxRangeEnd::reCount;
  ds.RangeEndCount = 3;
  int nexts = 0;
  ds.OnNext = [&](TfrxDataSet&) { ++nexts; };
  ds.First();
  std::vector<bool> eofs;
  for (int i = 0; i < 4; ++i) {
    eofs.push_back(ds.Eof());
    ds.Next();
  }
  EXPECT_EQ(eofs, (std::vector<bool>{false, false, false, true}));
  EXPECT_EQ(ds.RecordCount(), 3);
  EXPECT_EQ(nexts, 2);  // the step onto the last counted row raises no OnNext
  EXPECT_THROW(ds.SetUserName(" \t"), std::runtime_error);
}

TEST(DataSets, EachReportFindsItsOwn) {
  TfrxReport r1, r2;
  TfrxUserDataSet d1(&r1), d2(&r2);
  d1.SetName("Data");
  d2.SetName("Data");
  auto* m1 = new TfrxMemoView(new TfrxReportPage(&r1));
  auto* m2 = new TfrxMemoView(new TfrxReportPage(&r2));
  m1->SetDataSetName("Data");
  m2->SetDataSetName("Data");
  EXPECT_EQ(m1->DataSet(), &d1);
  EXPECT_EQ(m2->DataSet(), &d2);
}

}  // namespace
}  // namespace zentavo
