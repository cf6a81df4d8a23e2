// Property metadata: what each class publishes, in which order, and generic
// access by name as the script bindings and prepared pages use it.
#include <gtest/gtest.h>

#include "report/frxClass.h"

namespace zentavo {
namespace {

std::vector<std::string> Names(const ClassInfo& info) {
  std::vector<std::string> out;
  for (const PropInfo& p : info.Props()) out.push_back(p.name);
  return out;
}

TEST(Props, MemoWritingOrder) {
  std::vector<std::string> names = Names(TfrxMemoView::StaticClassInfo());
  // Base classes first, then each class's own, a republished property in its first place.
  std::vector<std::string> head(names.begin(), names.begin() + 23);
  EXPECT_EQ(head, (std::vector<std::string>{"Name", "Tag", "Description", "Align", "Printable", "ShiftMode", "Left",
                                            "Top", "Width", "Height", "GroupIndex", "Restrictions", "Visible",
                                            "OnAfterData", "OnAfterPrint", "OnBeforePrint", "OnPreviewClick",
                                            "StretchMode", "Cursor", "TagStr", "URL", "AutoWidth",
                                            "AllowExpressions"}));
  EXPECT_EQ(names.back(), "VAlign");
  const ClassInfo& sys = TfrxSysMemoView::StaticClassInfo();
  for (const char* gone : {"AllowExpressions", "FlowTo", "DataSet", "LineSpacing"}) EXPECT_EQ(sys.Find(gone), nullptr);
  EXPECT_NE(sys.Find("WordWrap"), nullptr);
}

TEST(Props, BandKindsPublishTheirOptions) {
  struct Row {
    const ClassInfo& info;
    std::vector<const char*> has, hasNot;
  };
  const Row rows[] = {
      {TfrxPageHeader::StaticClassInfo(), {"Child", "PrintOnFirstPage", "Stretched"}, {"AllowSplit", "PrintOnLastPage"}},
      {TfrxPageFooter::StaticClassInfo(), {"PrintOnLastPage"}, {"Child"}},
      {TfrxGroupHeader::StaticClassInfo(), {"Condition", "KeepTogether", "OutlineText"}, {"RowCount"}},
      {TfrxMasterData::StaticClassInfo(), {"RowCount", "DataSetName", "ColumnGap", "OnMasterDetail"}, {"Condition"}},
      {TfrxColumnFooter::StaticClassInfo(), {"Vertical", "OnAfterCalcHeight"}, {"Stretched"}},
      {TfrxOverlay::StaticClassInfo(), {"PrintOnTop"}, {"Child"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.info.Name());
    for (const char* n : r.has) EXPECT_NE(r.info.Find(n), nullptr) << n;
    for (const char* n : r.hasNot) EXPECT_EQ(r.info.Find(n), nullptr) << n;
  }
  EXPECT_FALSE(TfrxMasterData::StaticClassInfo().Find("RowCount")->hasDefault);  // always written
}

TEST(Props, GenericAccessByName) {
  TfrxReport report;
  auto* page = new TfrxReportPage(&report);
  auto* memo = new TfrxMemoView(page);
  struct Row {
    const char* path;
    const char* value;
    const char* readBack;
  };
  const Row rows[] = {
      {"Left", "12,5", "12.5"},
      {"font.name", "Courier New", "Courier New"},
      {"Font.Style", "3", "3"},
      {"HAlign", "hacenter", "haCenter"},
      {"HAlign", "2", "haCenter"},
      {"WordWrap", "0", "False"},
      {"Frame.Typ", "15", "15"},
      {"Highlight.Font.Color", "255", "255"},
      {"DisplayFormat.Kind", "fkNumeric", "fkNumeric"},
      {"Rotation", "450", "90"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.path);
    PropTarget t = ResolveProp(*memo, r.path);
    ASSERT_NE(t.prop, nullptr);
    SetPropText(*t.object, *t.prop, r.value);
    EXPECT_EQ(GetPropText(*t.object, *t.prop), r.readBack);
  }
  EXPECT_EQ(ResolveProp(*memo, "Nope").prop, nullptr);
  EXPECT_EQ(ResolveProp(*memo, "Left.Nope").prop, nullptr);
  PropTarget script = ResolveProp(report, "ScriptText.Text");
  ASSERT_NE(script.prop, nullptr);
  EXPECT_EQ(GetPropText(*script.object, *script.prop), "begin\r\n\r\nend.");
  EXPECT_THROW(SetPropText(*memo, *memo->GetClassInfo().Find("Left"), "x"), std::runtime_error);
}

TEST(Props, EveryRegisteredClassCopiesItselfExactly) {
  // Saving with default values and loading into a fresh object must give back
  // the same text: every published property reads what it wrote.
  for (const RegisteredClass& rc : RegisteredClasses()) {
    if (rc.create == nullptr) continue;
    SCOPED_TRACE(rc.info->Name());
    std::unique_ptr<TfrxComponent> a(rc.create(*rc.info));
    std::unique_ptr<TfrxComponent> b(rc.create(*rc.info));
    std::string text = ObjToXML(*a, "", true);
    b->IsLoadingFlag = true;
    XMLToObj(text, *b, nullptr);
    b->IsLoadingFlag = false;
    EXPECT_EQ(ObjToXML(*b, "", true), text);
    EXPECT_EQ(FindRegisteredClass(rc.info->Name())->info, rc.info);
  }
  EXPECT_EQ(FindRegisteredClass("tfrxmemoview")->info, &TfrxMemoView::StaticClassInfo());
  EXPECT_EQ(FindRegisteredClass("TfrxUnknown"), nullptr);
}

TEST(Props, FloatText) {
  struct Row {
    double value;
    const char* text;
  };
  const Row rows[] = {{1, "1"}, {0, "0"}, {-0.0, "0"}, {177.63791, "177.63791"}, {-3.77953, "-3.77953"},
                      {49.13385827, "49.13385827"}, {1e20, "1E20"}, {0.1 + 0.2, "0.3"}};
  for (const Row& r : rows) {
    EXPECT_EQ(FloatToText(r.value), r.text);
    EXPECT_DOUBLE_EQ(TextToFloat(r.text), r.value == 0.1 + 0.2 ? 0.3 : r.value);
  }
  EXPECT_DOUBLE_EQ(TextToFloat("1,5"), 1.5);
  EXPECT_THROW(TextToFloat("1,5,5"), std::runtime_error);
  EXPECT_THROW(TextToFloat(""), std::runtime_error);
  EXPECT_THROW(TextToFloat("nan"), std::runtime_error);
  EXPECT_EQ(TextToInt("$FF"), 255);
  EXPECT_EQ(TextToInt("-12"), -12);
}

TEST(Resources, MissingKeysReadAsThemselves) {
  EXPECT_EQ(frxResources().Get("clErrors"), "The following error(s) have occured:");
  EXPECT_EQ(frxResources().Get("prDupl"), "prDupl");
  EXPECT_EQ(FormatResource("clDSNotExist", "Veri"), "Dataset \"Veri\" does not exist");
  EXPECT_EQ(FormatResource("clScrError", "1:5", "a %s b"), "Script error at 1:5: a %s b");
}

TEST(Report, ErrorsAreSortedAndReportedByMode) {
  TfrxReport r;
  r.AddError("b");
  r.AddError("a");
  r.AddError("b");
  std::string shown;
  r.OnShowMessage = [&](const std::string& caption, const std::string& text) { shown = caption + "|" + text; };
  r.ReportErrors();
  EXPECT_EQ(shown, "Error|The following error(s) have occured:\r\na\r\nb\r\n");
  r.EngineOptions.NewSilentMode = TfrxSilentMode::simReThrow;
  EXPECT_THROW(r.ReportErrors(), std::runtime_error);
  shown.clear();
  r.EngineOptions.SetSilentMode(true);
  r.ReportErrors();
  EXPECT_EQ(shown, "");
}

}  // namespace
}  // namespace zentavo
