// The memo views wired to the text engine: what Draw puts on a recording
// canvas (background, highlight, page count, underlines), CalcHeight and
// CalcWidth from the properties, DrawPart across calls, AutoWidth.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/RecordingCanvas.h"
#include "report/frxViews.h"

namespace zentavo {
namespace {

std::vector<std::string> Matching(const RecordingCanvas& c, const std::string& prefix) {
  std::vector<std::string> out;
  for (const std::string& call : c.Calls())
    if (call.rfind(prefix, 0) == 0) out.push_back(call);
  return out;
}

bool AnyContains(const std::vector<std::string>& calls, const std::string& part) {
  return std::any_of(calls.begin(), calls.end(), [&](const std::string& s) { return s.find(part) != std::string::npos; });
}

TEST(MemoView, DrawsBackgroundFrameAndText) {
  RecordingCanvas canvas(96, 300, 100);
  TfrxMemoView m;
  m.SetBounds(10, 10, 150, 20);
  m.SetText("AYŞE ÖZTÜRK");
  m.Color = clBlack;
  m.Font().SetColor(clWhite);
  m.Frame.Typ = ftBottom;
  m.Draw(canvas, 1, 1, 0, 0);
  const auto& calls = canvas.Calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.front().rfind("FillRect 10 10 160 30 brush=Solid #000000", 0), 0u) << calls.front();
  EXPECT_TRUE(AnyContains(Matching(canvas, "Line "), "10 30 161 30")) << "the bottom side, one pixel";
  const auto text = Matching(canvas, "Text ");
  ASSERT_EQ(text.size(), 1u);
  EXPECT_NE(text[0].find("\"AYŞE ÖZTÜRK\""), std::string::npos);
  EXPECT_NE(text[0].find("#FFFFFF"), std::string::npos) << "white letters";
  // The text starts at the gaps: left 10 + GapX 2, top 10 + GapY 1.
  EXPECT_EQ(text[0].rfind("Text 12 11 ", 0), 0u) << text[0];
}

TEST(MemoView, HighlightGivesFontAndColourForOneDrawing) {
  RecordingCanvas canvas(96, 300, 100);
  TfrxMemoView m;
  m.SetBounds(0, 0, 150, 20);
  m.SetText("Sonuç");
  m.Color = clNone;
  m.Highlight.Active = true;
  m.Highlight.Color = 0x00FFFF;  // yellow
  m.Highlight.Font.SetStyle(fsBold);
  m.Draw(canvas, 1, 1, 0, 0);
  EXPECT_TRUE(AnyContains(Matching(canvas, "FillRect"), "#FFFF00")) << "background in Highlight.Color";
  const auto text = Matching(canvas, "Text ");
  ASSERT_EQ(text.size(), 1u);
  EXPECT_NE(text[0].find("#FF0000"), std::string::npos) << "Highlight.Font is red by default: " << text[0];
  EXPECT_EQ(m.Color, clNone) << "the memo's own colour is back after drawing";
}

TEST(MemoView, TotalPagesToken) {
  struct Case {
    bool allowExpressions;
    bool designing;
    std::string drawn;
    const char* why;
  };
  const Case cases[] = {
      {true, false, "Sayfa 1 / 7", "replaced by the page count"},
      {false, false, "Sayfa 1 / [TotalPages#]", "not without AllowExpressions"},
      {true, true, "Sayfa 1 / [TotalPages#]", "not in the designer"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    RecordingCanvas canvas(96, 300, 100);
    TfrxMemoView m;
    m.SetBounds(0, 0, 200, 20);
    m.SetText("Sayfa 1 / [TotalPages#]");
    m.AllowExpressions = c.allowExpressions;
    m.IsDesigning = c.designing;
    m.TotalPages = 7;
    m.Draw(canvas, 1, 1, 0, 0);
    const auto text = Matching(canvas, "Text ");
    ASSERT_EQ(text.size(), 1u);
    EXPECT_NE(text[0].find("\"" + c.drawn + "\""), std::string::npos) << text[0];
  }
}

TEST(MemoView, UnderlinesRuleEveryLine) {
  RecordingCanvas canvas(96, 300, 100);
  TfrxMemoView m;
  m.SetBounds(0, 0, 100, 50);
  m.SetText("a");
  m.Underlines = true;
  m.Draw(canvas, 1, 1, 0, 0);
  // Line height 15.28 from the text top 1: rules at 16, 32 and 47.
  const auto lines = Matching(canvas, "Line ");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].rfind("Line 0 16 100 16", 0), 0u) << lines[0];
  EXPECT_EQ(lines[1].rfind("Line 0 32 100 32", 0), 0u) << lines[1];
  EXPECT_EQ(lines[2].rfind("Line 0 47 100 47", 0), 0u) << lines[2];
}

TEST(MemoView, CalcHeightFromTheProperties) {
  struct Case {
    const char* text;
    std::uint32_t frame;
    double frameWidth;
    double lineSpacing;
    double expected;
    const char* why;
  };
  const Case cases[] = {
      {"A", 0, 1, 2, 17, "one line: 15.28 + 2 x GapY = 17.28"},
      {"A\nB\nC", 0, 1, 2, 48, "three lines: 45.84 + 2"},
      {"A", ftTop | ftBottom, 1, 2, 18, "frame halves: 17.28 + 0 + 0.5"},
      {"A", ftTop | ftBottom, 5, 2, 22, "wide frame: 17.28 + 2 + 2.5"},
      {"A", 0, 1, 0, 15, "no line spacing: 13.28 + 2"},
      {"", 0, 1, 2, 2, "no text: only the gaps"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    TfrxMemoView m;
    m.SetBounds(0, 0, 200, 20);
    m.SetText(c.text);
    m.Frame.Typ = c.frame;
    m.Frame.Width = c.frameWidth;
    m.LineSpacing = c.lineSpacing;
    EXPECT_EQ(m.CalcHeight(), c.expected);
  }
  TfrxSysMemoView s;
  s.SetBounds(0, 0, 200, 20);
  s.SetText("A\nB");
  EXPECT_EQ(s.CalcHeight(), 33) << "system memos measure alike: 30.56 + 2";
}

TEST(MemoView, CalcWidthFollowsGapsAndHighlight) {
  TfrxMemoView m;
  m.SetBounds(0, 0, 50, 20);
  m.SetText("ÇAĞRI İŞ SAĞLIĞI");
  const double plain = m.CalcWidth();
  EXPECT_GT(plain, 90) << "the widest line, not the box";
  m.GapX = 10;
  EXPECT_EQ(m.CalcWidth(), plain + 16) << "both gaps";
  m.GapX = 2;
  m.Highlight.Active = true;
  m.Highlight.Font.SetHeight(-26);
  EXPECT_GT(m.CalcWidth(), plain * 1.8) << "measured in Highlight's font";
}

TEST(MemoView, DrawPartContinuesWhereItStopped) {
  TfrxMemoView m;
  // Room for two lines of 15.28, not three.
  m.SetBounds(0, 0, 200, 33);
  m.SetText("bir\niki\nüç");
  m.InitPart();
  const double unused = m.DrawPart();
  EXPECT_EQ(m.Text(), "bir\r\niki");
  // Text rectangle 1..33 (its bottom one further): B = 32 + 1; two lines
  // use 30.56, 2.44 is left.
  EXPECT_NEAR(unused, 33 - 2 * 15.28, 1e-9);
  m.DrawPart();
  EXPECT_EQ(m.Text(), "üç");
}

TEST(MemoView, AutoWidthResizesAtDrawing) {
  struct Case {
    TfrxHAlign align;
    const char* why;
  };
  const Case cases[] = {
      {TfrxHAlign::haLeft, "keeps the left edge"},
      {TfrxHAlign::haRight, "keeps the right edge"},
      {TfrxHAlign::haCenter, "keeps the centre"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    RecordingCanvas canvas(96, 400, 100);
    TfrxMemoView m;
    m.SetBounds(100, 0, 200, 20);
    m.SetText("HEMOGRAM");
    m.AutoWidth = true;
    m.HAlign = c.align;
    m.Draw(canvas, 1, 1, 0, 0);
    EXPECT_GT(m.Width(), 40);
    EXPECT_LT(m.Width(), 120);
    switch (c.align) {
      case TfrxHAlign::haRight: EXPECT_DOUBLE_EQ(m.Left() + m.Width(), 300); break;
      case TfrxHAlign::haCenter: EXPECT_DOUBLE_EQ(m.Left() + m.Width() / 2, 200); break;
      default: EXPECT_EQ(m.Left(), 100); break;
    }
  }
}

}  // namespace
}  // namespace zentavo
