// Expressions in memo text as the engine prepares them: Calc with its names
// (data fields, system and report variables, the host's OnGetValue, the
// script's own), the four languages, the host functions, and the memo's
// HideZeros, Highlight, SuppressRepeated, FlowTo, TagStr and URL.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Cp1254.h"
#include "report/frxReportScript.h"
#include "script/fs_iformat.h"
#include "tests/unit/engine/EngineFixture.h"

namespace zentavo::testing {
namespace {

// A report with one memo on each of `pages` report pages, prepared without
// reading the template back, so its objects stay to be looked at.
struct TextReport {
  TfrxReport report;
  std::vector<TfrxMemoView*> memos;

  explicit TextReport(const std::string& text, int pages = 1) {
    InstallEngine();
    for (int i = 0; i < pages; ++i) {
      TfrxReportPage* page = AddPage(report, ("Page" + std::to_string(i + 1)).c_str());
      memos.push_back(AddMemo(*page, ("M" + std::to_string(i + 1)).c_str(), 0, 0, 180, 20));
      memos.back()->SetText(text);
    }
    report.EngineOptions.ReloadAfterPrepare = false;
    report.EngineOptions.NewSilentMode = TfrxSilentMode::simSilent;
  }
  void Script(const std::string& language, const std::string& text) {
    report.ScriptLanguage = language;
    report.ScriptText.SetText(text);
  }
  // The memo `name` as page `index` of the prepared report holds it.
  TfrxMemoView* Printed(int index, const std::string& name) {
    auto* m = dynamic_cast<TfrxMemoView*>(report.PreviewPages().BuildPage(index)->FindObject(name));
    EXPECT_NE(m, nullptr) << name << " on page " << index;
    return m;
  }
  std::string Text(int index = 0, const std::string& name = "M1") {
    TfrxMemoView* m = Printed(index, name);
    return m != nullptr ? m->Text() : std::string("<none>");
  }
  std::string Errors() const {
    std::string all;
    for (const std::string& e : report.Errors()) all += e + "\n";
    return all;
  }
};

// Each language compiles the expressions in its own program form.
TEST(Expressions, EachLanguageEvaluatesItsBrackets) {
  struct Case {
    const char* language;
    const char* script;
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"VadoziDaruro", "begin end.", "[2*3] [IIF(1 > 2, 1 / 0, 5)] ['a' + 'b'] [Uzunluk]", "6 5 ab 7"},
      {"R++Izozev", "{}", "[2*3] [IIF(1 > 2, 1 / 0, 5)] [\"a\" + \"b\"] [Uzunluk]", "6 5 ab 7"},
      {"DarozOzuziz", "", "[2*3] [IIF(1 > 2, 1 / 0, 5)] [\"a\" & \"b\"] [Uzunluk]", "6 5 ab 7"},
      {"JScript", "", "[2*3] [IIF(1 > 2, 1 / 0, 5)] [\"a\" + \"b\"] [Uzunluk]", "6 5 ab 7"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.language);
    TextReport r(c.text);
    r.Script(c.language, c.script);
    // A report variable holds an expression; the unchosen IIF branch, which
    // would divide by zero, is never run.
    r.report.SetVariable("Uzunluk", Variant::String("3 + 4"));
    ASSERT_TRUE(r.report.PrepareReport()) << r.Errors();
    EXPECT_EQ(r.Text(), c.expected);
  }
}

TEST(Expressions, AnUnknownNameStopsPreparationWithTheObjectsName) {
  TextReport r("Ad: [Bilinmeyen]");
  EXPECT_FALSE(r.report.PrepareReport());
  const std::string errors = r.Errors();
  EXPECT_NE(errors.find("M1: Error in expression 'Bilinmeyen': "), std::string::npos) << errors;
  EXPECT_NE(errors.find("Bilinmeyen'"), errors.rfind("Bilinmeyen'")) << "the compiler's message names it too";
}

TEST(Expressions, AnObjectHasNoTextToPrint) {
  TextReport r("[M1]");
  EXPECT_FALSE(r.report.PrepareReport());
  EXPECT_NE(r.Errors().find("M1: Could not convert variant of type (Object) into type (String)"), std::string::npos)
      << r.Errors();
}

TEST(Expressions, SystemVariablesOnThreePages) {
  struct Case {
    bool doublePass;
    std::vector<std::string> expected;
    const char* why;
  };
  const Case cases[] = {
      {false, {"1 1 [TotalPages#] 0 0", "2 2 [TotalPages#] 0 0", "3 3 [TotalPages#] 0 0"},
       "one pass: no total yet; the page count token waits for the drawing"},
      {true, {"1 1 [TotalPages#] 3 3", "2 2 [TotalPages#] 3 3", "3 3 [TotalPages#] 3 3"},
       "two passes: the first pass's count"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    TextReport r("[Page#] [Page] [TotalPages#] [TotalPages] [totalpages]", 3);
    r.report.EngineOptions.DoublePass = c.doublePass;
    ASSERT_TRUE(r.report.PrepareReport()) << r.Errors();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(r.Text(i, "M" + std::to_string(i + 1)), c.expected[i]);
  }
}

TEST(Expressions, DateAndTimeAreThoseOfTheStartOfPreparation) {
  TextReport r("[Date #ddd.mm.yyyy]|[Time #thh:nn:ss.zzz]", 2);
  // Page 2 starts only after the clock has moved on by at least 30 ms.
  r.report.ReportPages()[1]->OnBeforePrint = "Bekle";
  r.Script("VadoziDaruro",
           "procedure Bekle(Sender: TfrxComponent); var t: TDateTime; begin t := Now;"
           " while Now - t < 30 / 86400000 do ; end;\nbegin end.");
  ASSERT_TRUE(r.report.PrepareReport()) << r.Errors();
  TfrxCustomEngine& engine = r.report.Engine();
  const FormatSettings& fs = CurrentFormatSettings();
  const std::string expected = FormatDateTime("dd.mm.yyyy", engine.StartDate, fs) + "|" +
                               FormatDateTime("hh:nn:ss.zzz", engine.StartTime, fs);
  EXPECT_EQ(r.Text(0, "M1"), expected);
  EXPECT_EQ(r.Text(1, "M2"), expected) << "the time does not move on with the pages";
}

TEST(Expressions, NamesFromDataFieldsTheHostAndTheScript) {
  TextReport r("");
  r.report.EngineOptions.ConvertNulls = true;
  TfrxUserDataSet hasta(&r.report);
  hasta.SetUserName("Hasta");
  hasta.Fields.Add("Adi");
  hasta.Fields.Add("Yas");
  hasta.OnGetValue = [](const std::string& field, TfrxFieldValue& v) {
    if (field == "Adi") v = std::string("Ay\xFE" "e");
  };
  r.report.AddDataSet(&hasta);
  r.report.OnGetValue = [](const std::string& name, Variant& v) {
    if (cp1254::SameText(name, "Kurum")) v = Variant::String("Lab");
  };
  r.Script("VadoziDaruro", "var Sayi: Integer;\nbegin Sayi := 41 end.");
  r.memos[0]->SetText("[Hasta.\"Adi\"] [Hasta.\"Yas\"] [Kurum] [Sayi + 1] [Get('Kurum')]");
  ASSERT_TRUE(r.report.PrepareReport()) << r.Errors();
  EXPECT_EQ(r.Text(), "Ay\xC5\x9F" "e 0 Lab 42 Lab")
      << "a field, a null numeric field as 0, the host's name, the script's variable";

  r.report.EngineOptions.ConvertNulls = false;
  ASSERT_TRUE(r.report.PrepareReport()) << r.Errors();
  EXPECT_EQ(r.Text(), "Ay\xC5\x9F" "e  Lab 42 Lab") << "without ConvertNulls a null field is empty";
}

TEST(Expressions, GetOfAnUnknownNameIsAnErrorLineThatLetsThePagesBe) {
  TextReport r("[VarToStr(Get('Yok'))]x");
  EXPECT_FALSE(r.report.PrepareReport());
  EXPECT_NE(r.Errors().find("Unknown variable or datafield: Yok"), std::string::npos) << r.Errors();
  EXPECT_EQ(r.report.PreviewPages().PageCount(), 1);
  EXPECT_EQ(r.Text(), "x");
}

TEST(Expressions, SetStoresAReportVariableAndValueIsTheLastValue) {
  TextReport r("[2 + 3]");
  r.memos[0]->OnAfterData = "Sakla";
  r.Script("VadoziDaruro", "procedure Sakla(Sender: TfrxComponent); begin Set('Son', Value * 10) end;\nbegin end.");
  ASSERT_TRUE(r.report.PrepareReport()) << r.Errors();
  TfrxVariable* son = r.report.FindVariable("Son");
  ASSERT_NE(son, nullptr);
  EXPECT_EQ(VarToStr(son->Value), "50");
}

TEST(Expressions, HideZerosAndDisplayFormat) {
  struct Case {
    const char* text;
    bool hideZeros;
    bool displayFormat;  // numeric "%.2f"
    const char* expected;
    const char* why;
  };
  const Case cases[] = {
      {"a[0]b", true, false, "ab", "a zero number prints nothing"},
      {"a['0']b", true, false, "a0b", "the text 0 is no number"},
      {"a[1 - 1.0]b", true, false, "ab", "a real zero too"},
      {"a[0]b", false, false, "a0b", "without HideZeros a zero prints"},
      {"[3.5]", false, true, "3,50", "the memo's display format, Turkish separator"},
      {"[3.5 #n%.1f]", false, true, "3,5", "the bracket's own format wins"},
      {"['x']", false, true, "x", "a text the format cannot take"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    TextReport r(c.text);
    r.memos[0]->HideZeros = c.hideZeros;
    if (c.displayFormat) {
      r.memos[0]->DisplayFormat.Kind = TfrxFormatKind::fkNumeric;
      r.memos[0]->DisplayFormat.FormatStr = "%.2f";
    }
    ASSERT_TRUE(r.report.PrepareReport()) << r.Errors();
    EXPECT_EQ(r.Text(), c.expected);
  }
}

TEST(Expressions, HighlightIsActiveWhereItsConditionHolds) {
  TextReport r("[1]", 2);
  r.memos[0]->Highlight.Condition = "1 = 1";
  r.memos[1]->Highlight.Condition = "1 = 2";
  ASSERT_TRUE(r.report.PrepareReport()) << r.Errors();
  EXPECT_TRUE(r.Printed(0, "M1")->Highlight.Active);
  EXPECT_FALSE(r.Printed(1, "M2")->Highlight.Active);
}

TEST(Expressions, SuppressRepeatedEmptiesARepeatedText) {
  TfrxReport report;
  InstallEngine();
  TfrxReportPage* page = AddPage(report);
  auto* band = AddBand<TfrxChild>(*page, "Band", 0, 10);
  TfrxMemoView* memo = AddMemo(*band, "M", 0, 0, 50, 10, "[Deger]");
  memo->SuppressRepeated = true;
  report.EngineOptions.ReloadAfterPrepare = false;
  TfrxEngine& engine = EngineOf(report);
  engine.OnManualBuild = [&](TfrxPage&) {
    for (const char* value : {"1", "1", "2", "2", "1"}) {
      report.SetVariable("Deger", Variant::String(value));
      engine.ShowBand(band);
      engine.NewPage();
    }
  };
  ASSERT_TRUE(report.PrepareReport());
  std::vector<std::string> printed;
  for (int i = 0; i < 5; ++i)
    printed.push_back(dynamic_cast<TfrxMemoView*>(report.PreviewPages().BuildPage(i)->FindObject("M"))->Text());
  EXPECT_EQ(printed, (std::vector<std::string>{"1", "", "2", "", "1"}));
}

TEST(Expressions, FlowToCarriesTheRestIntoItsTarget) {
  TextReport r("");
  TfrxMemoView* first = r.memos[0];
  // Room for two lines of the default font.
  first->SetHeight(2 * 14 + 4);
  first->SetText("bir [1+1]\r\niki\r\n\xC3\xBC\xC3\xA7\r\nd\xC3\xB6rt");
  TfrxMemoView* target = AddMemo(*first->Parent(), "Devam", 0, 40, 180, 60, "[Bu silinir]");
  first->SetFlowTo(target);
  ASSERT_TRUE(r.report.PrepareReport()) << r.Errors();
  EXPECT_EQ(r.Text(0, "M1"), "bir 2\r\niki");
  EXPECT_EQ(r.Text(0, "Devam"), "\xC3\xBC\xC3\xA7\r\nd\xC3\xB6rt") << "the rest, shown as it stands";
}

TEST(Expressions, AFlowToChainThatComesBackIsAnError) {
  struct Case {
    const char* why;
    bool throughSecond;
  };
  for (const Case& c : {Case{"a memo that flows into itself", false}, Case{"two memos that flow into each other", true}}) {
    SCOPED_TRACE(c.why);
    TextReport r("a\r\nb\r\nc");
    TfrxMemoView* a = r.memos[0];
    a->SetHeight(16);
    if (c.throughSecond) {
      TfrxMemoView* b = AddMemo(*a->Parent(), "B", 0, 40, 180, 16);
      a->SetFlowTo(b);
      b->SetFlowTo(a);
    } else {
      a->SetFlowTo(a);
    }
    EXPECT_FALSE(r.report.PrepareReport());
    EXPECT_NE(r.Errors().find("M1: FlowTo leads back to"), std::string::npos) << r.Errors();
  }
}

TEST(Expressions, TagStrAndUrlAreExpanded) {
  TextReport r("x");
  r.memos[0]->TagStr = "[1+1]";
  r.memos[0]->URL = "https://lab/sonuc?no=[2*3]&tur=a";
  ASSERT_TRUE(r.report.PrepareReport()) << r.Errors();
  TfrxMemoView* m = r.Printed(0, "M1");
  EXPECT_EQ(m->TagStr, "2");
  EXPECT_EQ(m->URL, "https://lab/sonuc?no=6&tur=a");
}

// Request data and command-line data are put in with AllowExpressions off.
TEST(Expressions, TextWithoutAllowExpressionsStaysAsWritten) {
  TextReport r("[1+1] [Page#] <%x%> [TotalPages#]");
  r.memos[0]->AllowExpressions = false;
  ASSERT_TRUE(r.report.PrepareReport()) << r.Errors();
  TfrxMemoView* m = r.Printed(0, "M1");
  EXPECT_EQ(m->Text(), "[1+1] [Page#] <%x%> [TotalPages#]");
  EXPECT_FALSE(m->AllowExpressions) << "so the drawing leaves the page-count token too";
}

}  // namespace
}  // namespace zentavo::testing
