// The memo's side of the text engine: rectangles, gaps, CalcHeight,
// CalcWidth, DrawPart, underlines and the page-count token.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/RecordingCanvas.h"
#include "render/MemoText.h"

namespace zentavo {
namespace {

MemoTextProps Props(std::vector<std::u16string> lines) {
  MemoTextProps p;
  p.memo = std::move(lines);
  p.font.name = "Arial";
  p.font.height = -13;
  return p;
}

TEST(MemoText, TextRectAndGaps) {
  const double s203 = 203.0 / 96;
  struct Row {
    std::uint8_t typ;
    double frameWidth;
    double scale;
    Rect expected;
    double hGaps, vGaps;
    const char* why;
  } rows[] = {
      {0, 1, 1, {102, 51, 199, 100}, 4, 2, "no frame: gaps 2 and 1, right and bottom one further"},
      {kFrameBottom, 1, s203, {104, 52, 197, 98}, 4, 2.5, "203 dpi bottom frame: Round(1.06) off the bottom"},
      {kFrameLeft | kFrameRight | kFrameTop | kFrameBottom, 3, 1, {103, 52, 197, 98}, 6.5, 4.5,
       "full frame of 3: Round(1.5) = 2 off right and bottom"},
  };
  for (const Row& row : rows) {
    MemoTextProps p = Props({u"x"});
    p.frame.typ = row.typ;
    p.frame.width = row.frameWidth;
    const Rect device{100, 50, 200, 100};
    EXPECT_EQ(MemoTextRect(device, p, row.scale, row.scale), row.expected) << row.why;
    EXPECT_DOUBLE_EQ(HorizontalGaps(p), row.hGaps) << row.why;
    EXPECT_DOUBLE_EQ(VerticalGaps(p), row.vGaps) << row.why;
  }
  MemoTextProps shadow = Props({u"x"});
  shadow.frame.dropShadow = true;
  EXPECT_DOUBLE_EQ(HorizontalGaps(shadow), 8);
  EXPECT_EQ(MemoDeviceRect({10.5, 0, 20, 10}, shadow.frame, 1, 1, 0, 0), (Rect{10, 0, 26, 6}))
      << "10.5 and 30.5 round to even; the shadow is inside the size";
}

TEST(MemoText, CalcHeightAndWidth) {
  TfrxDrawText engine;
  MemoTextProps p = Props({u"Ai"});
  EXPECT_EQ(MemoCalcHeight(engine, p, {0, 0, 100, 20}), 17) << "Round(15.28 + 2)";
  EXPECT_EQ(MemoCalcWidth(engine, p), 16) << "Round(73 / 6.25 + 4)";
  EXPECT_NEAR(MemoAutoWidth(engine, p), 73 / 6.25 + 4, 1e-9);
  p.memo = {u"Ai", u"", u"Ai"};
  EXPECT_EQ(MemoCalcHeight(engine, p, {0, 0, 100, 20}), 48) << "Round(3 x 15.28 + 2) = 47.84";
  p.memo = {u"AAA AAA AAA"};
  const double narrow = MemoCalcHeight(engine, p, {0, 0, 40, 20});
  EXPECT_GT(narrow, 17) << "a narrow memo wraps and grows";
  p.autoWidth = true;
  EXPECT_EQ(MemoCalcHeight(engine, p, {0, 0, 40, 20}), 17) << "AutoWidth lays out unbounded";
}

TEST(MemoText, DrawPartKeepsTwoOfThreeLinesThenTheThird) {
  TfrxDrawText engine;
  MemoTextProps p = Props({});
  const MemoGeometry g{0, 0, 100, 34};  // bounds 33 high: room for two lines
  MemoPart first = MemoDrawPart(engine, p, g, u"one\r\ntwo\r\nthree\r\n");
  EXPECT_EQ(first.fitting, (std::vector<std::u16string>{u"one", u"two"}));
  EXPECT_EQ(first.remaining, u"three\r\n");
  EXPECT_NEAR(first.result, 34 - 2 * 15.28, 1e-9);
  MemoPart second = MemoDrawPart(engine, p, g, first.remaining);
  EXPECT_EQ(second.fitting, (std::vector<std::u16string>{u"three"}));
  EXPECT_EQ(second.remaining, u"");
  MemoPart none = MemoDrawPart(engine, p, {0, 0, 100, 10}, u"one\r\n");
  EXPECT_EQ(none.result, 10) << "not even one line: the object's height";
  EXPECT_TRUE(none.fitting.empty());
}

TEST(MemoText, DrawTextRulesUnderlinesAndDrawsLines) {
  TfrxDrawText engine;
  MemoTextProps p = Props({u"AYŞE", u"ÖZTÜRK"});
  p.underlines = true;
  p.frame.color = 0x0000FF;
  const double scale = 203.0 / 96;
  RecordingCanvas canvas(203, 400, 300, CanvasKind::Printer);
  MemoDrawText(canvas, engine, p, {10, 10, 100, 50}, scale, scale, 0, 0);
  int rules = 0, texts = 0;
  for (const std::string& call : canvas.Calls()) {
    if (call.rfind("Line ", 0) == 0) {
      ++rules;
      EXPECT_NE(call.find("pen=Solid 2 #FF0000"), std::string::npos) << call;
    }
    if (call.rfind("Text ", 0) == 0) ++texts;
  }
  // Text rect top 23, step 15.28 x 2.115 = 32.3, device bottom 127.
  EXPECT_EQ(rules, 3);
  EXPECT_EQ(texts, 2);
  EXPECT_EQ(canvas.Calls().front(), "Line 21 55 233 55 pen=Solid 2 #FF0000 bk=none");
}

TEST(MemoText, EmptyMemoDrawsNoText) {
  TfrxDrawText engine;
  MemoTextProps p = Props({});
  RecordingCanvas canvas(96, 200, 100, CanvasKind::Screen);
  MemoDrawText(canvas, engine, p, {0, 0, 100, 20}, 1, 1, 0, 0);
  EXPECT_TRUE(canvas.Calls().empty());
  EXPECT_EQ(MemoCalcHeight(engine, p, {0, 0, 100, 20}), 2) << "only the gaps";
}

TEST(MemoText, UnclippedTextMayLeaveItsBox) {
  TfrxDrawText engine;
  MemoTextProps p = Props({u"x"});
  RecordingCanvas canvas(96, 200, 100, CanvasKind::Screen);
  MemoDrawText(canvas, engine, p, {0, 0, 100, 20}, 1, 1, 0, 0);
  ASSERT_EQ(canvas.Calls().size(), 1u);
  EXPECT_NE(canvas.Calls()[0].find(" clip=2 1 99 20"), std::string::npos) << canvas.Calls()[0];
  p.clipped = false;
  canvas.Clear();
  MemoDrawText(canvas, engine, p, {0, 0, 100, 20}, 1, 1, 0, 0);
  EXPECT_EQ(canvas.Calls()[0].find(" clip="), std::string::npos);
}

TEST(MemoText, TotalPagesReplacesTheFirstTokenOnly) {
  std::vector<std::u16string> lines = {u"Sayfa", u"[TotalPages#] / [TOTALPAGES#]"};
  EXPECT_TRUE(ReplaceTotalPages(lines, 12));
  EXPECT_EQ(lines[1], u"12 / [TOTALPAGES#]");
  std::vector<std::u16string> none = {u"[TOTALPAGES]"};
  EXPECT_FALSE(ReplaceTotalPages(none, 3));
}

}  // namespace
}  // namespace zentavo
