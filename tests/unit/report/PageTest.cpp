// Report pages: paper table, paper size, orientation, columns and layout.
#include <gtest/gtest.h>

#include "report/frxClass.h"

namespace zentavo {
namespace {

TEST(Paper, Table) {
  auto a4 = PaperDimensions(9);
  ASSERT_TRUE(a4.has_value());
  EXPECT_DOUBLE_EQ(a4->width, 210);
  EXPECT_DOUBLE_EQ(a4->height, 297);
  EXPECT_FALSE(PaperDimensions(48).has_value());
  EXPECT_FALSE(PaperDimensions(256).has_value());
  EXPECT_DOUBLE_EQ(PaperDimensions(68)->height, 445);
}

TEST(Page, PaperAndOrientation) {
  TfrxReportPage page;
  EXPECT_EQ(page.PaperSize(), 9);
  EXPECT_DOUBLE_EQ(page.Width(), 794);  // round(210 × 3.77953)
  page.SetPaperWidth(50);
  EXPECT_EQ(page.PaperSize(), 256);
  EXPECT_DOUBLE_EQ(page.Width(), 189);
  page.SetOrientation(TPrinterOrientation::poLandscape);
  page.SetPaperSize(9);
  EXPECT_DOUBLE_EQ(page.PaperWidth(), 297);
  EXPECT_DOUBLE_EQ(page.PaperHeight(), 210);

  TfrxReportPage turn;
  turn.LeftMargin = 3;
  turn.SetOrientation(TPrinterOrientation::poLandscape);
  EXPECT_EQ(std::vector<double>({turn.LeftMargin, turn.RightMargin, turn.TopMargin, turn.BottomMargin}),
            std::vector<double>({0, 0, 0, 3}));
  turn.SetOrientation(TPrinterOrientation::poPortrait);
  EXPECT_DOUBLE_EQ(turn.LeftMargin, 3);
}

TEST(Page, Columns) {
  TfrxReportPage page;
  page.SetPaperWidth(60);
  page.LeftMargin = 3;
  page.SetColumns(2);
  EXPECT_DOUBLE_EQ(page.ColumnWidth, 28.5);
  EXPECT_EQ(page.ColumnPositions.Lines, (std::vector<std::string>{"0", "28.5"}));
}

TEST(Page, AlignChildrenSizesBands) {
  TfrxReport report;
  auto* page = new TfrxReportPage(&report);
  page->SetPaperWidth(60);
  page->SetPaperHeight(30);
  page->LeftMargin = 3;
  auto* band = new TfrxReportTitle(page);
  band->SetLeft(10);
  auto* right = new TfrxMemoView(band);
  right->Align = TfrxAlign::baRight;
  right->SetWidth(20);
  auto* vertical = new TfrxMasterData(page);
  vertical->Vertical = true;
  vertical->SetTop(5);
  page->AlignChildren();
  EXPECT_NEAR(band->Width(), 57 * fr01cm - 10, 1e-9);
  EXPECT_NEAR(right->Left(), 57 * fr01cm - 10 - 20, 1e-9);
  EXPECT_NEAR(vertical->Height(), 30 * fr01cm - 5, 1e-9);
  EXPECT_DOUBLE_EQ(page->Width(), 227);  // whole paper again afterwards
}

}  // namespace
}  // namespace zentavo
