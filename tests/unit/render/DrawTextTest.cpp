// The memo text engine: font sizes, line heights, reference widths,
// wrapping, justification, device rendering and splitting.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

#include "platform/FontProvider.h"
#include "platform/RecordingCanvas.h"
#include "render/frxGraphicUtils.h"

namespace zentavo {
namespace {

int RefWidth(std::u16string_view text, std::uint8_t style = 0) {
  FontSpec f;
  f.name = "Arial";
  f.height = -83;
  f.style = style;
  return FontProvider::Shared().TextWidth(f, text);
}

struct Layout {
  std::vector<std::u16string> lines;
  double width = 1000;  // layout box, report pixels
  double height = 1000;
  bool wordWrap = true;
  bool wordBreak = false;
  bool tags = false;
  int rotation = 0;
  int fontHeight = -13;
  std::uint8_t style = 0;
  double lineSpacing = 2;
  double charSpacing = 0;
  double paragraphGap = 0;
  bool rtl = false;
};

void Prepare(TfrxDrawText& engine, const Layout& s, Rect device = {0, 0, 0, 0}, double scale = 1) {
  DrawTextFont font;
  font.name = "Arial";
  font.height = s.fontHeight;
  font.style = s.style;
  engine.SetFont(font);
  engine.SetOptions(s.wordWrap, s.tags, s.rotation, true, s.wordBreak, s.rtl);
  engine.SetGaps(s.lineSpacing, s.charSpacing, s.paragraphGap);
  engine.SetDimensions({0, 0, s.width, s.height}, device, scale, scale);
  engine.SetText(s.lines);
}

std::vector<std::u16string> Texts(const TfrxDrawText& engine) {
  std::vector<std::u16string> out;
  for (std::size_t i = 0; i < engine.LineCount(); ++i) out.push_back(engine.LineText(i));
  return out;
}

std::vector<int> Flags(const TfrxDrawText& engine) {
  std::vector<int> out;
  for (std::size_t i = 0; i < engine.LineCount(); ++i) out.push_back(engine.LineFlags(i));
  return out;
}

std::string Narrow(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return out;
}

TEST(DrawText, FontSizesFromPixelHeights) {
  struct Row {
    int height, size;
  } rows[] = {{-16, 12}, {-13, 10}, {-11, 8}, {-9, 7}, {-8, 6}, {-7, 5}, {-5, 4}, {-2, 2},
              {INT32_MIN, 100000}};  // a forged height is capped, not overflowed
  for (const Row& row : rows) EXPECT_EQ(FontSizeOfHeight(row.height), row.size) << "height " << row.height;
}

TEST(DrawText, LineHeightAndTextHeight) {
  TfrxDrawText engine;
  Layout s;
  s.lines = {u"one", u"", u"three"};
  Prepare(engine, s);
  EXPECT_EQ(engine.ReferenceHeight(), 83);
  EXPECT_DOUBLE_EQ(engine.LineHeight(), 15.28) << "83 / 6.25 + 2";
  EXPECT_EQ(engine.LineCount(), 3u) << "an empty line keeps its height";
  EXPECT_EQ(engine.LineText(1), u" ");
  EXPECT_NEAR(engine.TextHeight(), 3 * 15.28, 1e-9);
  s.fontHeight = -16;
  s.lineSpacing = 0;
  Prepare(engine, s);
  EXPECT_EQ(engine.ReferenceHeight(), 100) << "12 pt at 600 dpi";
  EXPECT_DOUBLE_EQ(engine.LineHeight(), 16.0);
}

TEST(DrawText, ReferenceWidths) {
  const int ai = RefWidth(u"Ai");
  ASSERT_EQ(ai, 73) << "55 + 18 at 83 px per em";
  struct Row {
    double charSpacing, paragraphGap;
    double expected;
    const char* why;
  } rows[] = {
      {0, 0, 73 / 6.25, "plain reference width in report pixels"},
      {1, 0, (73 + 12) / 6.25, "spacing Round(2 x 6.25) = 12 for two characters"},
      {0, 2, (73 + 12) / 6.25, "paragraph gap Round(12.5) = 12, ties to even"},
      {0.5, 1, (73 + 6 + 6) / 6.25, "Round(2 x 0.5 x 6.25) = 6 and Round(6.25) = 6"},
  };
  for (const Row& row : rows) {
    TfrxDrawText engine;
    Layout s;
    s.lines = {u"Ai"};
    s.width = 10000;
    s.charSpacing = row.charSpacing;
    s.paragraphGap = row.paragraphGap;
    Prepare(engine, s);
    EXPECT_NEAR(engine.TextWidth(), row.expected, 1e-9) << row.why;
  }
}

TEST(DrawText, WrapAndCut) {
  const double wAAA_BBB = RefWidth(u"AAA BBB") / 6.25;
  const double wWWW = RefWidth(u"WWW") / 6.25;
  const double wW = RefWidth(u"W") / 6.25;
  struct Row {
    std::u16string text;
    double width;
    bool wordWrap;
    std::vector<std::u16string> lines;
    std::vector<int> flags;
    const char* why;
  } rows[] = {
      {u"AAA BBB CCC", 1000, true, {u"AAA BBB CCC"}, {3}, "fits: one line flagged first and last"},
      {u"AAA BBB CCC", wAAA_BBB, true, {u"AAA BBB", u"CCC"}, {1, 2}, "exact fit breaks at the next blank"},
      {u"AAA BBB CCC", wAAA_BBB - 0.5, true, {u"AAA", u"BBB", u"CCC"}, {1, 0, 2}, "a middle line has no flag"},
      {u"WWWWWWWW", wWWW + 0.5, true, {u"WWW", u"WWW", u"WW"}, {1, 0, 2}, "a long word is cut at the box edge"},
      {u"WW", wW - 1, true, {u"W", u"W"}, {1, 2}, "a character wider than the box stands alone"},
      {u"AAA BBB CCC", 10, false, {u"AAA BBB CCC"}, {3}, "no wrapping without WordWrap"},
      {u"W", 1, true, {u"W"}, {3}, "one character is never wrapped"},
      {u"AAA  BBB", RefWidth(u"AAA ") / 6.25, true, {u"AAA ", u"BBB"}, {1, 2}, "the break eats the last blank only"},
  };
  for (const Row& row : rows) {
    TfrxDrawText engine;
    Layout s;
    s.lines = {row.text};
    s.width = row.width;
    s.wordWrap = row.wordWrap;
    Prepare(engine, s);
    EXPECT_EQ(Texts(engine), row.lines) << row.why;
    EXPECT_EQ(Flags(engine), row.flags) << row.why;
  }
}

TEST(DrawText, ParagraphGapNarrowsTheFirstLineOnly) {
  TfrxDrawText engine;
  Layout s;
  s.lines = {u"AAA BBB AAA"};
  s.width = RefWidth(u"AAA BBB") / 6.25;
  s.paragraphGap = 3;
  Prepare(engine, s);
  EXPECT_EQ(Texts(engine), (std::vector<std::u16string>{u"AAA", u"BBB AAA"}));
}

TEST(DrawText, WordBreakHyphenatesCyrillicOnly) {
  struct Row {
    std::u16string text;
    std::u16string fitting;  // the part that fits the box
    std::vector<std::u16string> lines;
    const char* why;
  } rows[] = {
      {u"ПРОГРАММА", u"ПРОГРА", {u"ПРОГ-", u"РАММА"}, "last break before the fitting letters; doubled МM stays"},
      {u"ДА ПРОГРАММА", u"ДА ПРОГРАММ", {u"ДА ПРОГРАМ-", u"МА"}, "the word after the blank is hyphenated"},
      {u"İSTANBULLU", u"İSTANB", {u"İSTANB", u"ULLU"}, "Turkish words are cut, never hyphenated"},
  };
  for (const Row& row : rows) {
    TfrxDrawText engine;
    Layout s;
    s.lines = {row.text};
    s.width = (RefWidth(row.fitting) + 1) / 6.25;
    s.wordBreak = true;
    Prepare(engine, s);
    EXPECT_EQ(Texts(engine), row.lines) << row.why;
  }
}

TEST(DrawText, Distribute) {
  struct Row {
    int size, count;
    std::vector<int> expected;
    const char* why;
  } rows[] = {
      {5, 1, {0, 1, 0, 0, 0}, "one increment goes to the middle of the first half"},
      {5, 2, {1, 0, 1, 0, 0}, "two split between the halves"},
      {5, 5, {1, 1, 1, 1, 1}, "as many as elements fill all"},
      {5, 9, {1, 1, 1, 1, 1}, "more than elements is capped, never out of bounds"},
      {1, 1, {1}, "a single element"},
      {4, 0, {0, 0, 0, 0}, "nothing to spread"},
  };
  for (const Row& row : rows) {
    std::vector<int> v(static_cast<std::size_t>(row.size), 0);
    Distribute(v, 0, row.size - 1, row.count, 1);
    EXPECT_EQ(v, row.expected) << row.why;
  }
  std::vector<int> none;
  Distribute(none, 0, -1, 3, 1);  // an empty range is left alone
  EXPECT_TRUE(none.empty());
}

TEST(DrawText, TagsFormatCharacters) {
  TagDefaults defaults{10, 0, 0};
  struct Row {
    std::u16string line;
    std::u16string text;
    std::vector<std::uint8_t> styles;
    std::vector<int> positions;
    const char* why;
  } rows[] = {
      {u"x<b>a</b>y", u"xay", {0, kFontBold, 0}, {1, 5, 10}, "bold around one letter; positions count tags"},
      {u"<B><I>a</i></B>", u"a", {kFontBold | kFontItalic}, {7}, "any case"},
      {u"a<x>b", u"a<x>b", {0, 0, 0, 0, 0}, {1, 2, 3, 4, 5}, "an unknown tag prints as it is"},
      {u"<u>a<strike>b", u"ab", {kFontUnderline, kFontUnderline | kFontStrikeOut}, {4, 13}, "underline, strike"},
      {u"<b></b>", u" ", {0}, {1}, "empty after tags: one blank"},
      {u"a<b", u"a<b", {0, 0, 0}, {1, 2, 3}, "an unfinished tag is text"},
  };
  for (const Row& row : rows) {
    TagState state;
    ParsedLine p = ParseTags(row.line, true, defaults, state);
    EXPECT_EQ(p.text, row.text) << row.why;
    std::vector<std::uint8_t> styles;
    std::vector<int> positions;
    for (const auto& t : p.tags) {
      styles.push_back(t.fontStyle);
      positions.push_back(t.textPos);
    }
    EXPECT_EQ(styles, row.styles) << row.why;
    EXPECT_EQ(positions, row.positions) << row.why;
    EXPECT_EQ(state.position, 1 + static_cast<int>(row.line.size())) << row.why;
  }
}

TEST(DrawText, ColourAndSizeTags) {
  TagDefaults defaults{10, 0, 0};
  struct Row {
    std::u16string line;
    std::u16string text;
    std::int32_t color;
    int size;
    const char* why;
  } rows[] = {
      {u"<font color=red>a", u"a", 0x0000FF, 10, "a name is looked up as clRed"},
      {u"<font color=  Navy>a", u"a", 0x800000, 10, "blanks after = are skipped"},
      {u"<font color=\"#FF8000\">a", u"a", 0x0080FF, 10, "#RRGGBB is red, green, blue"},
      {u"<font color=\"#GG0000\">a", u"<font color=\"#GG0000\">a", 0, 10, "malformed hex stays text"},
      {u"<font color=nosuch>a", u"<font color=nosuch>a", 0, 10, "unknown name stays text"},
      {u"<font color=red></font>a", u"a", 0, 10, "</font> returns to the default"},
      {u"<sub>a", u"a", 0, 7, "sub: Round(10 / 1.5)"},
      {u"<sup>a</sup>b", u"ab", 0, 7, "sup applies to a only"},
  };
  for (const Row& row : rows) {
    TagState state;
    ParsedLine p = ParseTags(row.line, true, defaults, state);
    EXPECT_EQ(p.text, row.text) << row.why;
    ASSERT_FALSE(p.tags.empty());
    const TfrxHTMLTag& last = p.tags.back();
    EXPECT_EQ(p.tags.front().fontColor, row.color) << row.why;
    EXPECT_EQ(p.tags.front().fontSize, row.size) << row.why;
    EXPECT_EQ(p.tags.front().reduced, row.size != 10) << row.why;
    if (row.line.find(u"</sup>") != std::u16string::npos) {
      EXPECT_EQ(last.fontSize, 10);
    }
  }
  TagState plain;
  ParsedLine p = ParseTags(u"<b>a", false, defaults, plain);
  EXPECT_EQ(p.text, u"<b>a") << "tags are text when not allowed";
  for (const auto& t : p.tags) EXPECT_TRUE(t.sameAsPrevious);
}

TEST(DrawText, WideTextSplitsLikeWideStrings) {
  struct Row {
    std::u16string text;
    std::vector<std::u16string> lines;
  } rows[] = {
      {u"a\r\nb\r\n", {u"a", u"b"}},
      {u"a\rb\nc", {u"a", u"b", u"c"}},
      {u"a\r\n\r\nb", {u"a", u"", u"b"}},
      {u"a\u2028b", {u"a", u"b"}},
      {u"a\r\n\u2028b", {u"a", u"b"}},
      {u"", {}},
  };
  for (const Row& row : rows) EXPECT_EQ(SplitWideText(row.text), row.lines) << Narrow(row.text);
  EXPECT_EQ(JoinWideText({u"a", u"b"}), u"a\r\nb\r\n");
}

// ---- rendering, read back from a recording canvas --------------------------

struct TextCall {
  int x = 0, y = 0;
  std::string text;
  int height = 0;
  int style = 0;
  int escapement = 0;
  std::vector<int> advances;
  bool rtl = false;
  int Total() const {
    int t = 0;
    for (int a : advances) t += a;
    return t;
  }
};

std::vector<TextCall> TextCalls(const RecordingCanvas& canvas) {
  std::vector<TextCall> out;
  for (const std::string& call : canvas.Calls()) {
    if (call.rfind("Text ", 0) != 0) continue;
    TextCall t;
    std::size_t p = 5;
    auto number = [&]() {
      int v = 0;
      auto r = std::from_chars(call.data() + p, call.data() + call.size(), v);
      p = static_cast<std::size_t>(r.ptr - call.data());
      while (p < call.size() && (call[p] == ' ' || call[p] == ',')) ++p;
      return v;
    };
    t.x = number();
    t.y = number();
    const std::size_t q1 = call.find('"', p);
    const std::size_t q2 = call.find("\" font=", q1 + 1);
    t.text = call.substr(q1 + 1, q2 - q1 - 1);
    p = call.find(' ', q2 + 7) + 1;
    t.height = number();
    t.style = number();
    p = call.find(' ', p) + 1;  // colour
    t.escapement = number();
    p = call.find("adv=", p) + 4;
    const std::size_t end = std::min(call.find(' ', p), call.size());
    while (p < end) {
      int v = 0;
      auto r = std::from_chars(call.data() + p, call.data() + end, v);
      if (r.ec != std::errc()) break;
      t.advances.push_back(v);
      p = static_cast<std::size_t>(r.ptr - call.data()) + 1;
    }
    t.rtl = call.find(" rtl") != std::string::npos;
    out.push_back(t);
  }
  return out;
}

TEST(DrawTextRender, PrinterLineKeepsItsReferenceWidth) {
  // 10 points at 203 dpi: a 28-dot font, and the line as wide as its
  // 600-per-inch layout scaled by 203 / 600.
  const double scale = 203.0 / 96;
  TfrxDrawText engine;
  Layout s;
  s.lines = {u"AYŞE ÖZTÜRK"};
  Prepare(engine, s, Rect{10, 20, 400, 60}, scale);
  RecordingCanvas printer(203, 600, 400, CanvasKind::Printer);
  engine.RenderLines(printer, TextHAlign::haLeft, TextVAlign::vaTop);
  const auto calls = TextCalls(printer);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].height, -28);
  EXPECT_EQ(calls[0].x, 10);
  EXPECT_EQ(calls[0].y, 20);
  const int wr = RefWidth(u"AYŞE ÖZTÜRK");
  EXPECT_EQ(calls[0].Total(), static_cast<int>(std::nearbyint(wr * 203.0 / 600)));
  EXPECT_NE(printer.Calls()[0].find("clip=10 20 400 60"), std::string::npos);
}

TEST(DrawTextRender, ScreenFontFollowsTheScale) {
  struct Row {
    double scale;
    int height;
    const char* why;
  } rows[] = {{1, -13, "100%"}, {2, -27, "Round(10 x 2 x 96 / 72) = 26.67"}, {1.5, -20, "150%"}};
  for (const Row& row : rows) {
    TfrxDrawText engine;
    Layout s;
    s.lines = {u"Abc"};
    Prepare(engine, s, Rect{0, 0, 300, 100}, row.scale);
    RecordingCanvas screen(96, 600, 400, CanvasKind::Screen);
    engine.RenderLines(screen, TextHAlign::haLeft, TextVAlign::vaTop);
    const auto calls = TextCalls(screen);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].height, row.height) << row.why;
    EXPECT_EQ(calls[0].Total(), static_cast<int>(std::nearbyint(RefWidth(u"Abc") / 6.25 * row.scale))) << row.why;
  }
}

TEST(DrawTextRender, BlockKeepsItsReferenceHeight) {
  const double scale = 203.0 / 96;
  for (int n : {1, 2, 3, 7}) {
    TfrxDrawText engine;
    Layout s;
    s.lines.assign(static_cast<std::size_t>(n), u"Line");
    Prepare(engine, s, Rect{0, 0, 400, 4000}, scale);
    RecordingCanvas printer(203, 600, 4000, CanvasKind::Printer);
    engine.RenderLines(printer, TextHAlign::haLeft, TextVAlign::vaTop);
    const auto calls = TextCalls(printer);
    ASSERT_EQ(calls.size(), static_cast<std::size_t>(n));
    const double k = 600.0 / 203;
    const int block = static_cast<int>(std::nearbyint((2 * scale * k * n + 83.0 * n) / k));
    const int base = static_cast<int>(std::nearbyint(2 * scale)) + 28;
    EXPECT_EQ(calls.back().y - calls.front().y, block - base) << n << " lines";
    for (std::size_t i = 1; i < calls.size(); ++i) {
      const int step = calls[i].y - calls[i - 1].y;
      EXPECT_TRUE(step == base || step == base + 1) << "gaps differ by at most one dot";
    }
  }
}

TEST(DrawTextRender, HorizontalAlignment) {
  const int wt = static_cast<int>(std::nearbyint(RefWidth(u"AB") / 6.25));
  const int wtBold = static_cast<int>(std::nearbyint(RefWidth(u"AB", kFontBold) / 6.25));
  struct Row {
    TextHAlign align;
    std::uint8_t style;
    int x;
    const char* why;
  } rows[] = {
      {TextHAlign::haLeft, 0, 10, "left edge"},
      {TextHAlign::haRight, 0, 10 + 100 - wt, "right: width - Wt + 1, then one back"},
      {TextHAlign::haRight, kFontBold, 10 + 100 - wtBold - 1, "bold moves one more to the left"},
      {TextHAlign::haCenter, 0, 10 + static_cast<int>(std::nearbyint((100 - wt) / 2.0)), "centre"},
  };
  for (const Row& row : rows) {
    TfrxDrawText engine;
    Layout s;
    s.lines = {u"AB"};
    s.style = row.style;
    Prepare(engine, s, Rect{10, 0, 110, 50}, 1);
    RecordingCanvas screen(96, 200, 100, CanvasKind::Screen);
    engine.RenderLines(screen, row.align, TextVAlign::vaTop);
    const auto calls = TextCalls(screen);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].x, row.x) << row.why;
  }
}

TEST(DrawTextRender, VerticalAlignment) {
  // One line at scale 1: block height Round((2 x 6.25 + 83) / 6.25) = 15.
  struct Row {
    TextVAlign align;
    int y;
  } rows[] = {{TextVAlign::vaTop, 5}, {TextVAlign::vaBottom, 5 + 40 - 15}, {TextVAlign::vaCenter, 5 + 12}};
  for (const Row& row : rows) {
    TfrxDrawText engine;
    Layout s;
    s.lines = {u"AB"};
    Prepare(engine, s, Rect{0, 5, 100, 45}, 1);
    RecordingCanvas screen(96, 200, 100, CanvasKind::Screen);
    engine.RenderLines(screen, TextHAlign::haLeft, row.align);
    const auto calls = TextCalls(screen);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].y, row.y);
  }
}

TEST(DrawTextRender, BlockJustifiesAllButTheLastLine) {
  TfrxDrawText engine;
  Layout s;
  s.lines = {u"AAA BBB CCC DDD", u"NOSPACE"};
  const double width = RefWidth(u"AAA BBB CCC") / 6.25;
  s.width = width;
  const int device = static_cast<int>(std::floor(width));
  Prepare(engine, s, Rect{0, 0, device, 200}, 1);
  ASSERT_EQ(Texts(engine), (std::vector<std::u16string>{u"AAA BBB CCC", u"DDD", u"NOSPACE"}));
  RecordingCanvas screen(96, 400, 400, CanvasKind::Screen);
  engine.RenderLines(screen, TextHAlign::haBlock, TextVAlign::vaTop);
  const auto calls = TextCalls(screen);
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].Total(), device) << "a justified line fills the width";
  EXPECT_LE(std::abs(calls[0].advances[3] - calls[0].advances[7]), 1) << "blanks share the difference";
  const std::vector<int> letters = FontProvider::Shared().Advances(FontSpec{"Arial", -13, 0, {}, 0}, u"AAA BBB CCC");
  for (int i : {0, 1, 2, 4, 5, 6, 8, 9, 10}) {
    EXPECT_EQ(calls[0].advances[i], letters[i]) << "letters keep their advance; only blanks stretch";
  }
  const int natural = static_cast<int>(std::nearbyint(RefWidth(u"DDD") / 6.25));
  EXPECT_EQ(calls[1].Total(), natural) << "the last line of a paragraph is not justified";
  EXPECT_EQ(calls[2].x, 0);
}

TEST(DrawTextRender, RightToLeftBlockEndsParagraphsOnTheRight) {
  TfrxDrawText engine;
  Layout s;
  s.lines = {u"AAA BBB CCC DDD"};
  s.width = RefWidth(u"AAA BBB CCC") / 6.25;
  s.rtl = true;
  const int device = static_cast<int>(std::floor(s.width));
  Prepare(engine, s, Rect{0, 0, device, 200}, 1);
  RecordingCanvas screen(96, 400, 400, CanvasKind::Screen);
  engine.RenderLines(screen, TextHAlign::haBlock, TextVAlign::vaTop);
  const auto calls = TextCalls(screen);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].x, 0);
  EXPECT_EQ(calls[0].Total(), device);
  const int wt = static_cast<int>(std::nearbyint(RefWidth(u"DDD") / 6.25));
  EXPECT_EQ(calls[1].x, device - wt) << "the last line is aligned right";
  EXPECT_TRUE(calls[1].rtl);
}

TEST(DrawTextRender, RotationAndRightToLeft) {
  struct Row {
    int rotation;
    int x, y;
    int escapement;
  } rows[] = {
      {90, 10, 110, 900},    // upwards from the bottom-left corner
      {180, 210, 110, 1800},  // upside down from the bottom-right corner
      {270, 210, 10, 2700},   // downwards from the top-right corner
      // 45 degrees: TH = 15, w = Round((200 - 15 s) / c) = 268, y = 10 + Round(268 s)
      {45, 10, 200, 450},
  };
  for (const Row& row : rows) {
    TfrxDrawText engine;
    Layout s;
    s.lines = {u"AB"};
    s.rotation = row.rotation;
    s.rtl = true;
    Prepare(engine, s, Rect{10, 10, 210, 110}, 1);
    RecordingCanvas screen(96, 400, 400, CanvasKind::Screen);
    engine.RenderLines(screen, TextHAlign::haLeft, TextVAlign::vaTop);
    const auto calls = TextCalls(screen);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].x, row.x) << row.rotation;
    EXPECT_EQ(calls[0].y, row.y) << row.rotation;
    EXPECT_EQ(calls[0].escapement, row.escapement);
    EXPECT_TRUE(calls[0].rtl);
  }
}

TEST(DrawTextRender, TaggedRunsAndSubscripts) {
  TfrxDrawText engine;
  Layout s;
  s.lines = {u"H<sub>2</sub>O <b>x</b>"};
  s.tags = true;
  Prepare(engine, s, Rect{0, 0, 300, 100}, 1);
  RecordingCanvas screen(96, 400, 400, CanvasKind::Screen);
  engine.RenderLines(screen, TextHAlign::haLeft, TextVAlign::vaTop);
  const auto calls = TextCalls(screen);
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].text, "H");
  EXPECT_EQ(calls[1].text, "2");
  EXPECT_EQ(calls[1].height, -9) << "7 points on screen";
  EXPECT_EQ(calls[1].y, 7) << "lowered by Round(7 x 1)";
  EXPECT_EQ(calls[1].x, calls[0].x + calls[0].Total());
  EXPECT_EQ(calls[2].text, "O ");
  EXPECT_EQ(calls[3].text, "x");
  EXPECT_EQ(calls[3].style, kFontBold);
}

TEST(DrawText, SplitKeepsWhatFitsAndContinuesWithTheRest) {
  // Room for two lines of 15.28: B = 33 + 1 = 34.
  TfrxDrawText engine;
  Layout s;
  s.lines = {u"one", u"two", u"three"};
  s.height = 33;
  Prepare(engine, s);
  const std::u16string rest = engine.RemainingText();
  EXPECT_EQ(rest, u"three\r\n");
  EXPECT_EQ(engine.FittingText(), u"one\r\ntwo\r\n");
  EXPECT_EQ(engine.LineCount(), 2u);
  EXPECT_NEAR(engine.UnusedSpace(), 34 - 2 * 15.28, 1e-9);

  s.lines = SplitWideText(rest);
  Prepare(engine, s);
  EXPECT_EQ(engine.RemainingText(), u"") << "the next part starts with the third line and takes it all";
  EXPECT_EQ(engine.FittingText(), u"three\r\n");

  // Not even one line.
  s.lines = {u"one", u"two"};
  s.height = 10;
  Prepare(engine, s);
  EXPECT_EQ(engine.RemainingText(), u"one\r\ntwo\r\n");
  EXPECT_EQ(engine.FittingText(), u"");
  EXPECT_EQ(engine.UnusedSpace(), 0);

  // Exactly two lines: 0.0001, not 0.
  s.height = 2 * 15.28 - 1;
  Prepare(engine, s);
  EXPECT_EQ(engine.UnusedSpace(), 0.0001);
}

TEST(DrawText, SplitInsideAWrappedLineAndWithTags) {
  TfrxDrawText engine;
  Layout s;
  s.lines = {u"AAA BBB AAA"};
  s.width = RefWidth(u"AAA") / 6.25;
  s.height = 15;
  Prepare(engine, s);
  ASSERT_EQ(engine.LineCount(), 3u);
  EXPECT_EQ(engine.RemainingText(), u"BBB AAA\r\n");
  EXPECT_EQ(engine.FittingText(), u"AAA ");

  s.lines = {u"<b>one</b>", u"<u><font color=red>two", u"three</u>"};
  s.width = 1000;
  s.height = 33;
  s.tags = true;
  Prepare(engine, s);
  EXPECT_EQ(engine.RemainingText(), u"<font color=\"#FF0000\"><u>three</u>\r\n")
      << "the rest continues in the colour and style its first character had";
}

// A split lays out only the lines that fit and the first one after them;
// what it keeps and what it passes on are those of the whole layout.
TEST(DrawText, ASplitWithALineLimitGivesTheSplitOfTheWholeLayout) {
  struct Row {
    std::vector<std::u16string> lines;
    double width, height;
    bool tags, wordBreak;
    const char* why;
  };
  const double aaa = RefWidth(u"AAA") / 6.25;
  const Row rows[] = {
      {{u"one", u"two", u"three", u"four"}, 1000, 33, false, false, "whole lines"},
      {{u"AAA BBB AAA BBB AAA BBB"}, aaa, 33, false, false, "the limit falls inside one wrapped source line"},
      {{u"AAA BBB", u"AAA BBB AAA", u"x"}, aaa, 48, false, false, "inside the second source line"},
      {{u"<b>AAA BBB</b> <u>AAA <font color=red>BBB</font> AAA</u>"}, aaa, 33, true, false,
       "tags carried into the rest"},
      {{u"ПЕРЕВОДЧИК ПЕРЕВОДЧИК ПЕРЕВОДЧИК"}, RefWidth(u"ПЕРЕВОД") / 6.25, 33, false, true,
       "hyphenated words"},
      {{u"one", u"two"}, 1000, 100, false, false, "everything fits: nothing is left"},
      {{u"one", u"two"}, 1000, 5, false, false, "not even one line fits"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    Layout s;
    s.lines = r.lines;
    s.width = r.width;
    s.height = r.height;
    s.tags = r.tags;
    s.wordBreak = r.wordBreak;
    TfrxDrawText whole, limited;
    Prepare(whole, s);
    const std::size_t all = whole.LineCount();
    const std::u16string wholeRest = whole.RemainingText();
    Prepare(limited, s);
    limited.SetText(s.lines, limited.LinesInBounds() + 1);
    EXPECT_EQ(limited.LaidOutAll(), all <= limited.LinesInBounds() + 1);
    EXPECT_LE(limited.LineCount(), std::min(all, limited.LinesInBounds() + 1));
    EXPECT_EQ(limited.RemainingText(), wholeRest);
    EXPECT_EQ(limited.FittingText(), whole.FittingText());
    EXPECT_EQ(Texts(limited), Texts(whole));
    EXPECT_EQ(limited.UnusedSpace(), whole.UnusedSpace());
  }
}

// A long text split part after part loses nothing and repeats nothing, and
// every part is laid out as the whole text would lay out its lines.
TEST(DrawText, ALongTextSplitsIntoPartsThatAddUpToIt) {
  std::vector<std::u16string> lines;
  std::u16string joined;
  for (int i = 0; i < 400; ++i) {
    std::u16string line;
    for (int w = 0; w <= i % 9; ++w) line += u"word" + std::u16string(1, static_cast<char16_t>(u'a' + (i + w) % 26)) + u" ";
    line += u"end";
    lines.push_back(line);
  }
  Layout s;
  s.lines = lines;
  s.width = 120;
  s.height = 100;
  TfrxDrawText engine;
  Prepare(engine, s);
  const std::size_t totalLines = engine.LineCount();
  std::u16string rest = JoinWideText(lines);
  std::size_t keptLines = 0;
  int parts = 0;
  while (!rest.empty() && parts < 1000) {
    s.lines = SplitWideText(rest);
    Prepare(engine, s);
    engine.SetText(s.lines, engine.LinesInBounds() + 1);
    rest = engine.RemainingText();
    keptLines += engine.LineCount();
    ++parts;
  }
  EXPECT_TRUE(rest.empty());
  EXPECT_EQ(keptLines, totalLines) << "each wrapped line lands in exactly one part";
  EXPECT_GT(parts, 10);
}

}  // namespace
}  // namespace zentavo
