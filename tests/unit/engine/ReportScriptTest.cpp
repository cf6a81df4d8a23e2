// The report's script: its objects and published properties, the report and
// barcode modules, events in the engine's order, and its errors.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "barcode/frxBarcode.h"
#include "platform/Cp1254.h"
#include "report/frxReportScript.h"
#include "tests/unit/engine/EngineFixture.h"

namespace zentavo::testing {
namespace {

// Two memos on a page; the template is not read back after preparing, so
// what the script changed stays to be looked at.
struct ScriptedReport {
  TfrxReport report;
  TfrxReportPage* page;
  TfrxMemoView* memo1;
  TfrxMemoView* memo2;

  ScriptedReport() {
    page = AddPage(report);
    memo1 = AddMemo(*page, "Memo1", 0, 0, 100, 20, "one");
    memo2 = AddMemo(*page, "Memo2", 0, 30, 100, 20, "two");
    report.EngineOptions.ReloadAfterPrepare = false;
    report.EngineOptions.NewSilentMode = TfrxSilentMode::simSilent;
  }
  // Script text in UTF-8 (the engine works on its Windows-1254 form).
  bool Run(const std::string& utf8, const char* language = "VadoziDaruro") {
    report.ScriptLanguage = language;
    report.ScriptText.SetText(cp1254::FromUtf8(utf8));
    return report.PrepareReport();
  }
  std::string Errors() const {
    std::string all;
    for (const std::string& e : report.Errors()) all += e + "\n";
    return all;
  }
};

TEST(ReportScript, PublishedPropertiesAreReachedByName) {
  struct Case {
    const char* why;
    const char* script;  // VadoziDaruro
    std::function<void(ScriptedReport&)> check;
  };
  const Case cases[] = {
      {"a memo's text, Turkish letters kept", "begin Memo1.Text := 'ÇAĞRI İŞ' end.",
       [](ScriptedReport& r) { EXPECT_EQ(r.memo1->Text(), "ÇAĞRI İŞ"); }},
      {"Visible is a Boolean property", "begin Memo1.Visible := False end.",
       [](ScriptedReport& r) { EXPECT_FALSE(r.memo1->Visible()); }},
      {"a nested object's property", "begin Memo1.Font.Color := 255 end.",
       [](ScriptedReport& r) { EXPECT_EQ(r.memo1->Font().Color(), clRed); }},
      {"a set from its element names", "begin Memo1.Font.Style := [fsBold, fsItalic] end.",
       [](ScriptedReport& r) { EXPECT_EQ(r.memo1->Font().Style(), fsBold | fsItalic); }},
      {"an enumeration by name", "begin Memo1.HAlign := haCenter end.",
       [](ScriptedReport& r) { EXPECT_EQ(r.memo1->HAlign, TfrxHAlign::haCenter); }},
      {"an enumeration reads as its ordinal", "begin if Memo1.HAlign = haLeft then Memo2.Text := 'left' end.",
       [](ScriptedReport& r) { EXPECT_EQ(r.memo2->Text(), "left"); }},
      {"a Boolean reads as True, not as 1", "begin Memo2.Text := VarToStr(Memo1.WordWrap) end.",
       [](ScriptedReport& r) { EXPECT_EQ(r.memo2->Text(), "True"); }},
      {"1 is not True: a Boolean property takes False", "var v: Variant; begin v := 1; Memo1.WordWrap := v end.",
       [](ScriptedReport& r) { EXPECT_FALSE(r.memo1->WordWrap); }},
      {"geometry in pixels, read and written", "begin Memo1.Left := 10.5; Memo1.Width := Memo1.Width * 2 end.",
       [](ScriptedReport& r) {
         EXPECT_DOUBLE_EQ(r.memo1->Left(), 10.5);
         EXPECT_DOUBLE_EQ(r.memo1->Width(), 200);
       }},
      {"a reference to another object", "begin Memo1.FlowTo := Memo2; Memo1.Text := Memo1.FlowTo.Name end.",
       [](ScriptedReport& r) {
         EXPECT_EQ(r.memo1->FlowTo(), r.memo2);
         EXPECT_EQ(r.memo1->Text(), "Memo2");
       }},
      {"the memo's lines with their default property",
       "begin Memo1.Lines.Add('iki'); Memo2.Text := IntToStr(Memo1.Lines.Count) + Memo1.Lines[1] end.",
       [](ScriptedReport& r) {
         EXPECT_EQ(r.memo1->Text(), "one\r\niki");
         EXPECT_EQ(r.memo2->Text(), "2iki");
       }},
      {"FindObject with a typecast, and nil for a name that is not there",
       "begin TfrxMemoView(Report.FindObject('Memo2')).Text := 'found';"
       " if Report.FindObject('Nope') = nil then Memo1.Text := 'nil' end.",
       [](ScriptedReport& r) {
         EXPECT_EQ(r.memo2->Text(), "found");
         EXPECT_EQ(r.memo1->Text(), "nil");
       }},
      {"report variables keep script values; a missing one is Null (VarType 1)",
       "begin Report.Variables['X'] := 5; Memo1.Text := IntToStr(Report.Variables['X'] + 1);"
       " Memo2.Text := IntToStr(VarType(Report.Variables['Missing'])) end.",
       [](ScriptedReport& r) {
         EXPECT_EQ(r.memo1->Text(), "6");
         EXPECT_EQ(r.memo2->Text(), "1");
       }},
      {"the report module's constants and the barcode types",
       "begin Memo1.Text := FloatToStr(fr1cm); Memo2.Text := IntToStr(bcCode128C) + IntToStr(clTransparent) end.",
       [](ScriptedReport& r) {
         EXPECT_EQ(r.memo1->Text(), "37,7953");  // the Turkish decimal separator
         EXPECT_EQ(r.memo2->Text(), "7536870911");
       }},
      {"DayOf, MonthOf, YearOf",
       "var d: TDateTime; begin d := EncodeDate(2026, 12, 10);"
       " Memo1.Text := IntToStr(DayOf(d)) + '/' + IntToStr(MonthOf(d)) + '/' + IntToStr(YearOf(d)) end.",
       [](ScriptedReport& r) { EXPECT_EQ(r.memo1->Text(), "10/12/2026"); }},
      {"Calc, and IIF evaluating only the branch it takes",
       "begin Memo1.Text := VarToStr(Report.Calc('1 + 2')); Memo2.Text := VarToStr(IIF(1 > 2, 1 div 0, 5)) end.",
       [](ScriptedReport& r) {
         EXPECT_EQ(r.memo1->Text(), "3");
         EXPECT_EQ(r.memo2->Text(), "5");
       }},
      {"a report variable holding one line of text is an expression; Set stores a value",
       "begin Report.Variables['E'] := '2 * 3'; Set('F', 7);"
       " Memo1.Text := VarToStr(Report.Calc('E')); Memo2.Text := VarToStr(Get('F')) end.",
       [](ScriptedReport& r) {
         EXPECT_EQ(r.memo1->Text(), "6");
         EXPECT_EQ(r.memo2->Text(), "7");
       }},
      {"the engine's published state", "begin Memo1.Text := VarToStr(Engine.FinalPass) + IntToStr(Engine.TotalPages) end.",
       [](ScriptedReport& r) { EXPECT_EQ(r.memo1->Text(), "True0"); }},
  };
  InstallEngine();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    ScriptedReport r;
    ASSERT_TRUE(r.Run(c.script)) << r.Errors();
    c.check(r);
  }
}

// A report is prepared again and again (a label per request line): each
// preparation starts from the template and a fresh program.
TEST(ReportScript, EveryPreparationCompilesTheScriptAfresh) {
  InstallEngine();
  ScriptedReport r;
  r.report.EngineOptions.ReloadAfterPrepare = true;
  r.memo1->OnBeforePrint = "Counter";
  const char* script =
      "var n: Integer;\nprocedure Counter(Sender: TfrxComponent); begin n := n + 1;"
      " TfrxMemoView(Sender).Text := IntToStr(n) end;\nbegin n := 10 end.";
  for (int run = 0; run < 3; ++run) {
    SCOPED_TRACE(run);
    ASSERT_TRUE(r.Run(script)) << r.Errors();
    auto* m = dynamic_cast<TfrxMemoView*>(r.report.PreviewPages().BuildPage(0)->FindObject("Memo1"));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Text(), "11") << "the variable starts again from the main block";
  }
}

TEST(ReportScript, AnObjectNamedLikeALibraryFunctionLeavesTheFunction) {
  InstallEngine();
  ScriptedReport r;
  AddMemo(*r.page, "Date", 0, 60, 100, 20);
  // Date is still the library's function: its value is a date (VarType 7), not an object.
  ASSERT_TRUE(r.Run("begin Memo1.Text := IntToStr(VarType(Date)) end.")) << r.Errors();
  EXPECT_EQ(r.memo1->Text(), "7");
}

// The same handler, written in each language: the main block sets one memo,
// the event of the other changes it through its Sender.
TEST(ReportScript, EveryLanguageRunsItsMainBlockAndEvents) {
  struct Case {
    const char* language;
    const char* script;
  };
  const Case cases[] = {
      {"VadoziDaruro",
       "procedure Memo2Before(Sender: TfrxComponent);\nbegin\n  TfrxMemoView(Sender).Text := 'event';\n"
       "  Memo1.Font.Color := 255;\nend;\n\nbegin\n  Memo1.Text := 'main';\nend."},
      {"R++Izozev",
       "void Memo2Before(TfrxComponent Sender) {\n  TfrxMemoView(Sender).Text = \"event\";\n"
       "  Memo1.Font.Color = 255;\n}\n\n{\n  Memo1.Text = \"main\";\n}"},
      {"DarozOzuziz",
       "Sub Memo2Before(Sender)\r\n  TfrxMemoView(Sender).Text = \"event\"\r\n  Memo1.Font.Color = 255\r\nEnd Sub\r\n"
       "Memo1.Text = \"main\"\r\n"},
      {"JScript",
       "function Memo2Before(Sender) {\n  TfrxMemoView(Sender).Text = \"event\";\n  Memo1.Font.Color = 255;\n}\n"
       "Memo1.Text = \"main\";\n"},
  };
  InstallEngine();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.language);
    ScriptedReport r;
    r.memo2->OnBeforePrint = "Memo2Before";
    // Read back after preparing: the prepared page shows what the events did.
    r.report.EngineOptions.ReloadAfterPrepare = true;
    ASSERT_TRUE(r.Run(c.script, c.language)) << r.Errors();
    TfrxReportPage* prepared = r.report.PreviewPages().BuildPage(0);
    ASSERT_NE(prepared, nullptr);
    auto* m1 = dynamic_cast<TfrxMemoView*>(prepared->FindObject("Memo1"));
    auto* m2 = dynamic_cast<TfrxMemoView*>(prepared->FindObject("Memo2"));
    ASSERT_NE(m1, nullptr);
    ASSERT_NE(m2, nullptr);
    EXPECT_EQ(m1->Text(), "main");
    EXPECT_EQ(m1->Font().Color(), clRed);
    EXPECT_EQ(m2->Text(), "event");
    // The template itself is read back as it was (as new objects).
    EXPECT_EQ(dynamic_cast<TfrxMemoView*>(r.report.FindObject("Memo1"))->Text(), "one");
    EXPECT_EQ(dynamic_cast<TfrxMemoView*>(r.report.FindObject("Memo2"))->Text(), "two");
  }
}

// Every event of a two-page report, logged by kind and object. The order is
// the engine's: the report's start, then per page its OnBeforePrint; the
// title shown when the page opens (band before, its objects before and after
// data, the band's height, the objects after, the band after); the
// page-level objects through the null band, which has no events of its own;
// the page's OnAfterPrint; the report's stop at the end.
TEST(ReportScript, EventsRunInTheEnginesOrder) {
  InstallEngine();
  ScriptedReport r;
  r.report.SetName("Rpt");
  auto* title = AddBand<TfrxReportTitle>(*r.page, "Title1", 0, 20);
  TfrxMemoView* inTitle = AddMemo(*title, "TitleMemo", 0, 0, 50, 10);
  TfrxReportPage* page2 = AddPage(r.report, "Page2");
  TfrxMemoView* memo3 = AddMemo(*page2, "Memo3", 0, 0, 50, 10);
  r.memo2->SetParent(nullptr);
  delete r.memo2;
  r.report.OnStartReport = "S";
  r.report.OnStopReport = "E";
  for (TfrxReportPage* p : {r.page, page2}) {
    p->OnBeforePrint = "B";
    p->OnAfterPrint = "A";
  }
  title->OnBeforePrint = "B";
  title->OnAfterCalcHeight = "C";
  title->OnAfterPrint = "A";
  for (TfrxView* v : std::vector<TfrxView*>{inTitle, r.memo1, memo3}) {
    v->OnBeforePrint = "B";
    v->OnAfterData = "D";
    v->OnAfterPrint = "A";
  }
  const char* script =
      "var L: String;\n"
      "procedure Log(Kind: String; Sender: TfrxComponent); begin L := L + Kind + ':' + Sender.Name + ' ' end;\n"
      "procedure S(Sender: TfrxComponent); begin Log('S', Sender) end;\n"
      "procedure B(Sender: TfrxComponent); begin Log('B', Sender) end;\n"
      "procedure D(Sender: TfrxComponent); begin Log('D', Sender) end;\n"
      "procedure C(Sender: TfrxComponent); begin Log('C', Sender) end;\n"
      "procedure A(Sender: TfrxComponent); begin Log('A', Sender) end;\n"
      "procedure E(Sender: TfrxComponent); begin Log('E', Sender); Report.Variables['Log'] := L end;\n"
      "begin L := '' end.";
  ASSERT_TRUE(r.Run(script)) << r.Errors();
  TfrxVariable* log = r.report.FindVariable("Log");
  ASSERT_NE(log, nullptr);
  EXPECT_EQ(VarToStr(log->Value),
            "S:Rpt B:Page1 B:Title1 B:TitleMemo D:TitleMemo C:Title1 A:TitleMemo A:Title1 "
            "B:Memo1 D:Memo1 A:Memo1 A:Page1 B:Page2 B:Memo3 D:Memo3 A:Memo3 A:Page2 E:Rpt ");
}

TEST(ReportScript, EngineOperationsFromAManualBuild) {
  InstallEngine();
  ScriptedReport r;
  r.page->SetPaperHeight(30);  // 30 mm = 113.3859 px, no margins
  auto* band = AddBand<TfrxChild>(*r.page, "Band1", 0, 20);
  AddBand<TfrxPageFooter>(*r.page, "Footer1", 90, 10);
  r.page->OnManualBuild = "Build";
  ASSERT_TRUE(r.Run("procedure Build(Sender: TfrxComponent);\n"
                    "begin\n  Engine.ShowBand(Band1);\n  Engine.NewPage;\n  Engine.ShowBand(Band1);\n"
                    "  Report.Variables['FS'] := Engine.FreeSpace;\n  Report.Variables['Y'] := Engine.CurY;\n"
                    "  Outline.LevelRoot;\n  Outline.AddItem('Bölüm');\n  Outline.LevelUp;\nend;\n"
                    "begin end."))
      << r.Errors();
  (void)band;
  EXPECT_EQ(r.report.PreviewPages().PageCount(), 2);
  // FreeSpace = PageHeight - page footer - CurY, CurY being below the one band of the new page.
  EXPECT_NEAR(r.report.FindVariable("FS")->Value.ToDouble(), 30 * 3.77953 - 10 - 20, 1e-6);
  EXPECT_DOUBLE_EQ(r.report.FindVariable("Y")->Value.ToDouble(), 20);
  // The outline entry stands on the second page, at the engine's position then.
  TfrxOutline& outline = PreviewPagesOf(r.report).Outline();
  outline.LevelRoot();
  ASSERT_EQ(outline.Count(), 1);
  EXPECT_EQ(outline.GetItem(0).text, cp1254::FromUtf8("Bölüm"));
  EXPECT_EQ(outline.GetItem(0).page, 1);
  EXPECT_EQ(outline.GetItem(0).top, 20);
}

TEST(ReportScript, StopReportEndsTheScriptQuietly) {
  InstallEngine();
  ScriptedReport r;
  r.report.OnStartReport = "Start";
  r.report.OnStopReport = "Stop";
  ASSERT_TRUE(r.Run("procedure Start(Sender: TfrxComponent);\nbegin\n  Engine.StopReport;\n"
                    "  Report.Variables['After'] := 1;\nend;\n"
                    "procedure Stop(Sender: TfrxComponent);\nbegin\n  Report.Variables['Stopped'] := Report.Terminated;\nend;\n"
                    "begin end."))
      << r.Errors();
  EXPECT_EQ(r.report.FindVariable("After"), nullptr) << "the statement after StopReport ran";
  ASSERT_NE(r.report.FindVariable("Stopped"), nullptr) << "OnStopReport did not run";
  EXPECT_TRUE(r.report.FindVariable("Stopped")->Value.ToBool());
}

TEST(ReportScript, ErrorsNameTheirObjectAndStopThePreparation) {
  struct Case {
    const char* why;
    const char* handlerName;  // Memo1's OnBeforePrint
    const char* script;
    const char* error;  // the one error line
  };
  const Case cases[] = {
      {"an event naming no procedure", "Nope", "begin end.", "Memo1: Undeclared identifier:'Nope'"},
      {"an error the handler does not catch", "H",
       "procedure H(Sender: TfrxComponent); begin RaiseException('boom') end; begin end.", "Memo1: boom"},
      {"an error of an event inside an event names the inner object once", "H",
       "procedure H(Sender: TfrxComponent); begin Engine.ShowBand(Band1) end;\n"
       "procedure Inner(Sender: TfrxComponent); begin RaiseException('deep') end; begin end.",
       "InBand: deep"},
      {"a band shown from its own event", "H",
       "procedure H(Sender: TfrxComponent); begin Engine.ShowBand(Band1) end;\n"
       "procedure Inner(Sender: TfrxComponent); begin Engine.ShowBand(Band1) end; begin end.",
       "InBand: Band1 is being shown already: a band cannot be shown inside its own output"},
      {"ShowBand takes bands only", "H",
       "procedure H(Sender: TfrxComponent); var v: Variant; begin v := Memo2; Engine.ShowBand(v) end; begin end.",
       "Memo1: Invalid class typecast"},
      {"the tree cannot change while the engine walks it", "H",
       "procedure H(Sender: TfrxComponent); begin Page1.Clear end; begin end.",
       "Memo1: The objects of a report cannot be added, moved or removed while it is being prepared"},
      {"page operations need the running engine", "", "begin Engine.NewPage end.",
       "The engine is not running: bands and pages are made while the report is prepared"},
      // The rest of the line is the compiler's own message.
      {"an expression that does not compile", "H",
       "procedure H(Sender: TfrxComponent); begin Report.Calc('1 +') end; begin end.",
       "Memo1: Error in expression '1 +': *"},
      // 64 levels: A, B, A ... and the 65th, an A again, is refused.
      {"report variables naming each other in a circle", "",
       "begin Report.Variables['A'] := 'B'; Report.Variables['B'] := 'A'; Report.Calc('A') end.",
       "Error in expression 'A': expressions are nested too deeply"},
      {"a handler without the Sender parameter", "H", "procedure H; begin end; begin end.",
       "Memo1: Too many actual parameters"},
  };
  InstallEngine();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    ScriptedReport r;
    auto* band = AddBand<TfrxChild>(*r.page, "Band1", 60, 20);
    AddMemo(*band, "InBand", 0, 0, 50, 10)->OnBeforePrint = "Inner";
    r.page->Objects();  // the band is shown only from the handler
    r.memo1->OnBeforePrint = c.handlerName;
    EXPECT_FALSE(r.Run(c.script));
    std::string expected = c.error;
    if (expected.back() == '*') {
      expected.pop_back();
      ASSERT_EQ(r.report.Errors().size(), 1u) << r.Errors();
      EXPECT_EQ(r.report.Errors().begin()->rfind(expected, 0), 0u) << r.Errors();
      EXPECT_GT(r.report.Errors().begin()->size(), expected.size());
    } else {
      EXPECT_EQ(r.Errors(), expected + "\n");
    }
  }
}

TEST(ReportScript, AnUnknownNameGivenToGetIsAnErrorLineButPreparationGoesOn) {
  InstallEngine();
  ScriptedReport r;
  EXPECT_FALSE(r.Run("begin Memo1.Text := 'x' + VarToStr(Get('Nothing')); Memo2.Text := 'after' end."));
  EXPECT_EQ(r.Errors(), "Unknown variable or datafield: Nothing\n");
  EXPECT_EQ(r.memo2->Text(), "after");
}

TEST(ReportScript, TheEmptyProgramIsNotCompiledButEventsStillNeedTheirProcedures) {
  struct Case {
    const char* language;
    const char* text;
    bool empty;
  };
  const Case cases[] = {
      {"VadoziDaruro", "begin\r\n\r\nend.", true}, {"VadoziDaruro", "  BEGIN END.  ", true},
      {"JScript", "", true},                        {"R++Izozev", "{ }", true},
      {"VadoziDaruro", "var i: Integer; begin end.", false},
      {"Klingon", "", false},  // the compiler is to say the language is unknown
  };
  for (const Case& c : cases) EXPECT_EQ(IsEmptyProgram(c.language, c.text), c.empty) << c.language << " " << c.text;
  InstallEngine();
  ScriptedReport r;
  r.memo1->OnBeforePrint = "Missing";
  EXPECT_FALSE(r.Run("begin end."));
  EXPECT_EQ(r.Errors(), "Memo1: Undeclared identifier:'Missing'\n");
}

}  // namespace
}  // namespace zentavo::testing
