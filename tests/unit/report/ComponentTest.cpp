// Component tree: names, lookup, parents, fonts, alignment and the device
// rectangle of a view.
#include <gtest/gtest.h>

#include "barcode/frxBarcode.h"
#include "report/frxClass.h"

namespace zentavo {
namespace {

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}

struct Fixture {
  TfrxReport report;
  TfrxReportPage* page = new TfrxReportPage(&report);
  TfrxMasterData* band = new TfrxMasterData(page);
  TfrxMemoView* memo = new TfrxMemoView(band);
  Fixture() {
    page->SetName("Page1");
    band->SetName("MasterData1");
    memo->SetName("Memo1");
  }
};

TEST(Component, Names) {
  Fixture f;
  struct Row {
    const char* name;
    const char* error;
    const char* why;
  };
  const Row rows[] = {
      {"Memo2", "", "a free identifier"},
      {"_x9", "", "underscore and digits"},
      {"", "", "empty names are allowed"},
      {"MEMO1", "prDupl", "another object has it, ASCII case ignored"},
      {"Page1", "prDupl", "any object of the report counts"},
      {"9a", "''9a'' is not a valid component name", "starts with a digit"},
      {"Şerit", "''Şerit'' is not a valid component name", "non-ASCII letters are not identifier letters"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    auto* other = new TfrxMemoView(f.band);
    EXPECT_EQ(ErrorOf([&] { other->SetName(r.name); }), r.error);
    if (*r.error != 0) {
      EXPECT_EQ(other->Name(), "");
    }
    delete other;
  }
}

TEST(Component, FindObjectAndAllObjects) {
  Fixture f;
  EXPECT_EQ(f.report.FindObject("memo1"), f.memo);
  EXPECT_EQ(f.report.FindObject("Nothing"), nullptr);
  EXPECT_EQ(f.memo->FindObject("Memo1"), nullptr);  // never the object itself
  EXPECT_TRUE(f.memo->AllObjects().empty());
  std::vector<TfrxComponent*> expected = {f.page, f.band, f.memo};
  EXPECT_EQ(f.report.AllObjects(), expected);
  EXPECT_EQ(f.memo->Page(), f.page);
  EXPECT_EQ(f.memo->Report(), &f.report);
  // Same names in two subtrees (only possible while loading): pre-order wins.
  auto* band2 = new TfrxMasterData(f.page);
  auto* twin = new TfrxMemoView(band2);
  twin->IsLoadingFlag = true;
  twin->SetName("Memo1");
  twin->IsLoadingFlag = false;
  EXPECT_EQ(f.report.FindObject("Memo1"), f.memo);
  // Non-ASCII letters must match exactly.
  f.memo->IsLoadingFlag = true;
  f.memo->SetName("");
  f.memo->IsLoadingFlag = false;
}

TEST(Component, CreateUniqueName) {
  Fixture f;
  auto* m3 = new TfrxMemoView(f.band);
  m3->SetName("Memo3");
  auto* fresh = new TfrxMemoView(f.band);
  fresh->CreateUniqueName();
  EXPECT_EQ(fresh->Name(), "Memo2");
  auto* bc = new TfrxBarCodeView(f.band);
  bc->CreateUniqueName();
  EXPECT_EQ(bc->Name(), "BarCode1");
  auto* page2 = new TfrxReportPage(&f.report);
  page2->CreateUniqueName();
  EXPECT_EQ(page2->Name(), "Page2");
}

TEST(Component, ParentRefusesLoops) {
  Fixture f;
  EXPECT_EQ(ErrorOf([&] { f.band->SetParent(f.band); }), "Circular parent reference is not allowed");
  EXPECT_EQ(ErrorOf([&] { f.page->SetParent(f.memo); }), "Circular parent reference is not allowed");
  EXPECT_EQ(f.page->Parent(), &f.report);
  auto* page2 = new TfrxReportPage(&f.report);
  f.band->SetParent(page2);
  EXPECT_TRUE(f.page->Objects().empty());
  EXPECT_EQ(page2->Objects().front(), f.band);
}

TEST(Component, ParentFontFollowsWithoutFlipping) {
  Fixture f;
  EXPECT_TRUE(f.memo->ParentFont());
  f.page->Font().SetName("Courier New");
  // The page's own edit makes its font its own...
  EXPECT_FALSE(f.page->ParentFont());
  // ...the children follow and keep following.
  EXPECT_EQ(f.memo->Font().Name(), "Courier New");
  EXPECT_TRUE(f.band->ParentFont());
  EXPECT_TRUE(f.memo->ParentFont());
  f.page->Font().SetHeight(-20);
  EXPECT_EQ(f.memo->Font().Height(), -20);
  f.memo->Font().SetStyle(fsBold);
  EXPECT_FALSE(f.memo->ParentFont());
  f.page->Font().SetHeight(-30);
  EXPECT_EQ(f.memo->Font().Height(), -20);
  f.memo->SetParentFont(true);
  EXPECT_EQ(f.memo->Font().Height(), -30);
  EXPECT_EQ(f.memo->Font().Style(), 0u);
}

// One row of the alignment table: views on a parent, each Align, Left, Top,
// Width, Height; and the expected Left and Width after AlignChildren.
struct AlignView {
  TfrxAlign align;
  double left, top, width, height;
  double wantLeft, wantWidth;
};
struct AlignCase {
  const char* why;
  double parentWidth;
  std::vector<AlignView> views;
};

TEST(Component, AlignChildren) {
  using enum TfrxAlign;
  const AlignCase cases[] = {
      {"three baLeft on a row pack in Left order 10, 30, 50",
       200,
       {{baLeft, 50, 0, 30, 10, 40 + 20, 30}, {baLeft, 10, 0, 40, 10, 0, 40}, {baLeft, 30, 0, 20, 10, 40, 20}}},
      {"baRight without neighbour goes flush right", 200, {{baRight, 10, 0, 30, 10, 170, 30}}},
      {"baWidth fills the gap between baLeft and baRight",
       200,
       {{baLeft, 5, 0, 40, 10, 0, 40}, {baWidth, 60, 0, 10, 10, 40, 120}, {baRight, 100, 0, 40, 10, 160, 40}}},
      {"a neighbour on another row does not count", 200, {{baLeft, 50, 0, 30, 10, 0, 30}, {baNone, 0, 20, 40, 10, 0, 40}}},
      {"rows touching within 0.0001 do not overlap",
       200,
       {{baLeft, 50, 10, 30, 10, 0, 30}, {baNone, 0, 0, 40, 10.00005, 0, 40}}},
      {"baCenter wider than the parent goes negative", 100, {{baCenter, 0, 0, 120, 10, -10, 120}}},
      {"negative Left sorts before positive (numeric order)",
       200,
       {{baNone, -3, 0, 10, 10, -3, 10}, {baLeft, 20, 0, 10, 10, 7, 10}, {baNone, -10, 0, 10, 10, -10, 10}}},
      {"equal Left: the later child is listed first and packs first",
       200,
       {{baLeft, 10, 0, 20, 10, 35, 20}, {baLeft, 10, 0, 30, 10, 5, 30}, {baLeft, 10, 0, 5, 10, 0, 5}}},
      {"positions closer than a hundredth keep their order",
       200,
       {{baNone, 0, 0, 10.002, 10, 0, 10.002}, {baLeft, 10.004, 0, 5, 10, 10.002, 5},
        {baNone, 10.001, 20, 5, 10, 10.001, 5}}},
  };
  for (const AlignCase& c : cases) {
    SCOPED_TRACE(c.why);
    TfrxComponent parent;
    parent.SetWidth(c.parentWidth);
    parent.SetHeight(100);
    std::vector<TfrxMemoView*> views;
    for (const AlignView& v : c.views) {
      auto* m = new TfrxMemoView(&parent);
      m->Align = v.align;
      m->SetBounds(v.left, v.top, v.width, v.height);
      views.push_back(m);
    }
    parent.AlignChildren();
    for (std::size_t i = 0; i < views.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_NEAR(views[i]->Left(), c.views[i].wantLeft, 1e-9);
      EXPECT_NEAR(views[i]->Width(), c.views[i].wantWidth, 1e-9);
    }
  }
}

TEST(Component, AlignBottomAndClient) {
  TfrxComponent parent;
  parent.SetBounds(0, 0, 300, 100);
  auto* bottom = new TfrxMemoView(&parent);
  bottom->Align = TfrxAlign::baBottom;
  bottom->SetBounds(5, 5, 20, 30);
  auto* client = new TfrxMemoView(&parent);
  client->Align = TfrxAlign::baClient;
  client->SetBounds(5, 5, 20, 30);
  parent.AlignChildren();
  EXPECT_DOUBLE_EQ(bottom->Top(), 70);
  EXPECT_DOUBLE_EQ(client->Left(), 0);
  EXPECT_DOUBLE_EQ(client->Width(), 300);
  EXPECT_DOUBLE_EQ(client->Height(), 100);
}

TEST(Component, BeginDrawRoundsHalvesToEven) {
  TfrxComponent parent;
  auto* v = new TfrxMemoView(&parent);
  v->SetBounds(10.5, 2.5, 20, 1);
  // BeginDraw only keeps the canvas reference; the canvas type lives elsewhere.
  alignas(16) static char storage[64];
  Canvas& none = *reinterpret_cast<Canvas*>(storage);
  v->BeginDraw(none, 1, 1, 0, 0);
  EXPECT_EQ(v->Device.left, 10);
  EXPECT_EQ(v->Device.right, 30);
  EXPECT_EQ(v->Device.top, 2);
  EXPECT_EQ(v->Device.bottom, 4);
  v->Frame.DropShadow = true;
  v->Frame.Width = 1;
  v->BeginDraw(none, 203.0 / 96, 203.0 / 96, 0, 0);
  EXPECT_EQ(v->FrameWidthPx, 2);
  EXPECT_EQ(v->Device.right, RoundHalfEven(30.5 * 203.0 / 96) - RoundHalfEven(4 * 203.0 / 96));
}

TEST(Component, AbsolutePositionsAddUp) {
  Fixture f;
  f.band->SetTop(40);
  f.memo->SetBounds(5, 6, 7, 8);
  EXPECT_DOUBLE_EQ(f.memo->AbsLeft(), 5);
  EXPECT_DOUBLE_EQ(f.memo->AbsTop(), 46);
}

TEST(Component, DiffWritesDifferencesOnly) {
  TfrxMemoView ref, obj;
  obj.SetBounds(10, 0.00005, 0, 0);
  TfrxFont font;
  font.SetHeight(-10);
  obj.SetFont(font);
  obj.SetText("Şık <1>");
  EXPECT_EQ(obj.Diff(ref),
            " l=\"10\" Font.Height=\"-10\" ParentFont=\"0\" u=\"\xC5\x9E\xC4\xB1k &#60;1&#62;\"");
  obj.Align = TfrxAlign::baLeft;
  EXPECT_EQ(obj.Diff(ref).find(" l="), std::string::npos);  // aligned views leave Left to alignment
}

TEST(WideStrings, TextSplitsAtEveryLineEnd) {
  TWideStrings s;
  s.SetText(u"a\rb\nc\r\nd\u2028e\r\n");
  EXPECT_EQ(s.Lines, (std::vector<std::u16string>{u"a", u"b", u"c", u"d", u"e"}));
  EXPECT_EQ(s.Text(), u"a\r\nb\r\nc\r\nd\r\ne\r\n");
  s.SetText(u"");
  EXPECT_EQ(s.Count(), 0);
  s.SetUtf8Text("Çağrı");
  EXPECT_EQ(s.SingleByteText(), "\xC7\x61\xF0r\xFD");
}

}  // namespace
}  // namespace zentavo
