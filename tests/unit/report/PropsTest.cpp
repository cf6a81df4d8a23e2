// Property metadata: what each class publishes, in which order, and generic
// access by name as the script bindings and prepared pages use it.
#include <gtest/gtest.h>

#include <optional>
#include <set>

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

// Every published property of an object, nested objects flattened to paths
// such as "Frame.Typ"; references are left to their own test.
struct Leaf {
  std::string path;
  const PropInfo* prop;
};
void Leaves(TfrxPersistent& object, const std::string& prefix, std::vector<Leaf>& out) {
  for (const PropInfo& p : object.GetClassInfo().Props()) {
    if (p.kind == PropKind::Object) {
      if (TfrxPersistent* nested = p.getObject(object)) Leaves(*nested, prefix + p.name + ".", out);
    } else if (p.kind != PropKind::Reference) {
      out.push_back({prefix + p.name, &p});
    }
  }
}

// Whether the template format writes the property at the path: every
// property along the way passes its stored test.
bool StoredAlong(TfrxPersistent& object, const std::string& path) {
  TfrxPersistent* target = &object;
  std::string_view rest = path;
  for (;;) {
    std::size_t dot = rest.find('.');
    const PropInfo* p = target->GetClassInfo().Find(rest.substr(0, dot));
    if (p == nullptr || (p->stored && !p->stored(*target))) return false;
    if (dot == std::string_view::npos) return true;
    target = p->getObject(*target);
    rest.remove_prefix(dot + 1);
  }
}

// A value of the property's kind, in the template format's text, that
// differs from the current one.
std::string OtherValue(const PropInfo& p, const std::string& current) {
  switch (p.kind) {
    case PropKind::Integer: return std::to_string(TextToInt(current) + 7);
    case PropKind::Color: return current == std::to_string(clNone) ? "255" : std::to_string(TextToInt(current) ^ 0x102030);
    case PropKind::Boolean: return current == "True" ? "False" : "True";
    case PropKind::Enum: {
      int index = p.enumInfo->Find(current);
      return p.enumInfo->names[static_cast<std::size_t>(index + 1) % p.enumInfo->names.size()];
    }
    case PropKind::Set: return std::to_string(TextToInt(current) ^ 5);
    case PropKind::Float:
    case PropKind::DateTime: return FloatToText(TextToFloat(current) + 1.25);
    case PropKind::String:
    case PropKind::Event: return p.name == "Name" ? std::string("Obj7") : current + "Ç1";
    case PropKind::Variant: return "'değer'";
    case PropKind::StringList: return current + "\r\nsatır";
    default: return current;
  }
}

TEST(Props, EverySetterTakesItsValueAndEveryCopyCarriesIt) {
  // Each property of each class, set to a value other than its default, must
  // read back as set; an object copied from it (through the template format,
  // as Assign copies) must read the same.
  std::set<PropKind> allKinds;
  for (const RegisteredClass& rc : RegisteredClasses()) {
    if (rc.create == nullptr) continue;
    std::unique_ptr<TfrxComponent> source(rc.create(*rc.info));
    if (dynamic_cast<TfrxVerbatimObject*>(source.get()) != nullptr) continue;  // kept as text, tested on its own
    SCOPED_TRACE(rc.info->Name());
    std::vector<Leaf> leaves;
    Leaves(*source, "", leaves);
    std::set<PropKind> kinds;
    for (const Leaf& leaf : leaves) {
      if (leaf.path == "Version") continue;  // the report's version stays "3.22" whatever is written
      PropTarget t = ResolveProp(*source, leaf.path);
      ASSERT_NE(t.prop, nullptr) << leaf.path;
      const std::string value = OtherValue(*t.prop, GetPropText(*t.object, *t.prop));
      SetPropText(*t.object, *t.prop, value);
      EXPECT_EQ(GetPropText(*t.object, *t.prop), value) << leaf.path << " ignores the value it is given";
      kinds.insert(t.prop->kind);
    }
    if (const LinesAccess* lines = rc.info->Lines()) {
      lines->setUtf8(*source, "ilk\r\n\r\nüçüncü");
      EXPECT_EQ(lines->utf8(*source), "ilk\r\n\r\nüçüncü");
    }
    allKinds.insert(kinds.begin(), kinds.end());
    if (auto* report = dynamic_cast<TfrxReport*>(source.get())) {
      // Collection items travel in the report's PropData.
      TfrxVariable variable;
      std::vector<Leaf> items;
      Leaves(variable, "", items);
      for (const Leaf& leaf : items) {
        SetPropText(variable, *leaf.prop, OtherValue(*leaf.prop, GetPropText(variable, *leaf.prop)));
        allKinds.insert(leaf.prop->kind);
      }
      report->Variables.push_back(variable);
      report->AddStyle("Baslik").Color = 255;
    }

    std::unique_ptr<TfrxComponent> copy(rc.create(*rc.info));
    if (auto* report = dynamic_cast<TfrxReport*>(copy.get()))
      report->OnAskPassword = [](TfrxReport& r) { return std::optional<std::string>(r.ReportOptions.Password); };
    copy->Assign(*source);
    for (const Leaf& leaf : leaves) {
      // Not written: not copied. The name stays the copy's own.
      if (leaf.path == "Name" || !StoredAlong(*source, leaf.path)) continue;
      // A report read from a stream keeps the options of its host.
      static const std::set<std::string> kHostKept = {
          "IniFile", "OldStyleProgress", "ShowProgress", "StoreInDFM", "EngineOptions.MaxMemSize",
          "EngineOptions.PrintIfEmpty", "EngineOptions.NewSilentMode", "EngineOptions.TempDir",
          "EngineOptions.UseFileCache", "PreviewOptions.AllowEdit", "PreviewOptions.Buttons",
          "PreviewOptions.DoubleBuffered", "PreviewOptions.Maximized", "PreviewOptions.MDIChild",
          "PreviewOptions.Modal", "PreviewOptions.ShowCaptions", "PreviewOptions.Zoom", "PreviewOptions.ZoomMode"};
      if (dynamic_cast<TfrxReport*>(copy.get()) != nullptr && kHostKept.count(leaf.path) != 0) continue;
      PropTarget from = ResolveProp(*source, leaf.path), to = ResolveProp(*copy, leaf.path);
      ASSERT_NE(to.prop, nullptr) << leaf.path;
      EXPECT_EQ(GetPropText(*to.object, *to.prop), GetPropText(*from.object, *from.prop)) << leaf.path << " not copied";
    }
    if (auto* report = dynamic_cast<TfrxReport*>(copy.get())) {
      auto* original = dynamic_cast<TfrxReport*>(source.get());
      ASSERT_EQ(report->Variables.size(), 1u);
      EXPECT_EQ(report->Variables[0].Name, original->Variables[0].Name);
      EXPECT_EQ(VarToStr(report->Variables[0].Value), VarToStr(original->Variables[0].Value));
      ASSERT_EQ(report->Styles.size(), 1u);
      EXPECT_EQ(report->Styles[0].Color, 255);
    }
  }
  // Every kind of property the format writes was set and copied somewhere.
  for (PropKind k : {PropKind::Integer, PropKind::Color, PropKind::Boolean, PropKind::Enum, PropKind::Set,
                     PropKind::Float, PropKind::DateTime, PropKind::String, PropKind::Event, PropKind::Variant,
                     PropKind::StringList})
    EXPECT_EQ(allKinds.count(k), 1u) << "no property of kind " << static_cast<int>(k);
  EXPECT_EQ(FindRegisteredClass("tfrxmemoview")->info, &TfrxMemoView::StaticClassInfo());
  EXPECT_EQ(FindRegisteredClass("TfrxUnknown"), nullptr);
}

TEST(Props, ReferencesAreSetAndCopiedByName) {
  TfrxReport report;
  auto* page = new TfrxReportPage(&report);
  page->SetName("Page1");
  auto* second = new TfrxReportPage(&report);
  second->SetName("Page2");
  auto* band = new TfrxMasterData(page);
  band->SetName("Band1");
  auto* child = new TfrxChild(page);
  child->SetName("Child1");
  auto* memo = new TfrxMemoView(band);
  memo->SetName("Memo1");
  auto* next = new TfrxMemoView(band);
  next->SetName("Memo2");
  auto* sub = new TfrxSubreport(band);
  sub->SetName("Sub1");
  TfrxUserDataSet data(&report);
  data.SetUserName("Hastalar");
  struct Row {
    TfrxComponent* object;
    const char* property;
    TfrxComponent* target;
  };
  const Row rows[] = {
      {band, "Child", child}, {memo, "FlowTo", next}, {sub, "Page", second}, {memo, "DataSet", &data},
      {band, "DataSet", &data}, {page, "DataSet", &data}, {&report, "DataSet", &data},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.object->ClassName() + "." + r.property);
    const PropInfo* p = r.object->GetClassInfo().Find(r.property);
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(p->kind, PropKind::Reference);
    p->setRef(*r.object, r.target);
    EXPECT_EQ(p->getRef(*r.object), r.target);
  }
  // Saved by name and resolved again when read.
  TMemoryStream saved;
  report.SaveToStream(saved);
  saved.Seek(0);
  TfrxReport loaded;
  loaded.LoadFromStream(saved);
  EXPECT_EQ(dynamic_cast<TfrxBand*>(loaded.FindObject("Band1"))->Child(), loaded.FindObject("Child1"));
  EXPECT_EQ(dynamic_cast<TfrxMemoView*>(loaded.FindObject("Memo1"))->FlowTo(), loaded.FindObject("Memo2"));
  EXPECT_EQ(dynamic_cast<TfrxSubreport*>(loaded.FindObject("Sub1"))->SubPage(), loaded.FindObject("Page2"));
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
