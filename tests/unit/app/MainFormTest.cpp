// TForm1: dispatch, the window's design, and what a failing job leaves behind.
#include "app/MainForm.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace zentavo {
namespace {

// Records what the form asks of the user interface.
class RecordingUi final : public Ui {
 public:
  bool WindowIsUp() const override { return windowUp; }
  void RunMainWindow(const WindowDesign& design) override {
    windowUp = true;
    if (design.onShow) design.onShow();
  }
  void CloseMainWindow() override {
    ++closes;
    windowUp = false;
  }
  void ShowMessage(const std::string& text, const std::string& caption, MessageKind) override {
    messages.push_back(caption + ": " + text);
  }
  void ProcessEvents() override {}
  std::optional<std::string> AskPassword(const std::string&) override { return std::nullopt; }
  void ShowProgress(const std::string& caption) override { progress.push_back("show " + caption); }
  void UpdateProgress(const std::string& text) override { progress.push_back(text); }
  void HideProgress() override { progress.push_back("hide"); }
  bool ProgressCancelled() const override { return cancelProgress; }
  std::vector<std::string> progress;
  bool cancelProgress = false;

  bool windowUp = false;
  int closes = 0;
  std::vector<std::string> messages;
};

// Keeps the tests' logs out of the user's state folder.
class MainFormTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("zentavo-form-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    ::setenv("XDG_STATE_HOME", dir_.c_str(), 1);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
};

TEST(Dispatch, OnlyFieldOneEqualToOneIsAutomatic) {
  struct Row {
    const char* request;
    Dispatch expected;
    const char* why;
  };
  const Row rows[] = {
      {"|1|", Dispatch::Automatic, "field 1 is 1"},
      {"1|1|", Dispatch::Automatic, "field 1 lies between the first two separators"},
      {"|2|", Dispatch::Window, "other number"},
      {"|01|", Dispatch::Window, "leading zero"},
      {"| 1|", Dispatch::Window, "no trimming"},
      {"1||", Dispatch::Window, "empty field 1"},
      {"|1", Dispatch::Window, "closing separator missing"},
      {"", Dispatch::Window, "no request"},
      {"$1$", Dispatch::Window, "the other separator"},
  };
  for (const Row& r : rows) EXPECT_EQ(DispatchFor(r.request), r.expected) << r.why;
}

TEST_F(MainFormTest, DesignHasTheFourButtonsInTabOrder) {
  ProgramOptions options;
  RecordingUi ui;
  TForm1 form(options, ui);
  const WindowDesign d = form.Design();
  EXPECT_EQ(d.caption, "Zentavo");
  EXPECT_EQ(d.width, 553);
  EXPECT_EQ(d.height, 380);
  EXPECT_EQ(d.fontName, "MS Sans Serif");
  EXPECT_EQ(d.fontHeight, -11);
  struct Row {
    const char* name;
    const char* caption;
    int left, top, width, height;
  };
  const Row expected[] = {
      {"BtnLabBarkod", "Lab Barkod Yazdır 3060", 8, 8, 134, 25},
      {"BtnSFTyazdir", "SFT Yazdır", 10, 38, 131, 25},
      {"BtnLabSonucPrint", "Lab Sonuç Barkod Yazdır", 9, 65, 131, 25},
      {"BtnLabBarkod3050", "Lab Barkod Yazdır 3050", 8, 104, 129, 25},
  };
  ASSERT_EQ(d.buttons.size(), std::size(expected));
  for (std::size_t i = 0; i < d.buttons.size(); ++i) {
    const auto& b = d.buttons[i];
    EXPECT_EQ(b.name, expected[i].name);
    EXPECT_EQ(b.caption, expected[i].caption);
    EXPECT_EQ(b.left, expected[i].left) << b.name;
    EXPECT_EQ(b.top, expected[i].top) << b.name;
    EXPECT_EQ(b.width, expected[i].width) << b.name;
    EXPECT_EQ(b.height, expected[i].height) << b.name;
  }
}

TEST_F(MainFormTest, FailingJobIsReportedOnceAndLeavesTheWindowOpen) {
  ProgramOptions options;
  options.request = "$x$y$/no/such/report.pdf$";
  RecordingUi ui;
  TForm1 form(options, ui);
  WindowDesign d = form.Design();
  ui.RunMainWindow(d);
  EXPECT_FALSE(form.JobStarted()) << "a button request waits for a button";
  d.buttons[1].onClick();  // SFT Yazdır
  EXPECT_TRUE(form.JobStarted());
  EXPECT_TRUE(form.JobFailed());
  EXPECT_EQ(ui.closes, 0) << "an error ends the job before it closes the window";
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], "Pelmora Korvane: File not found: /no/such/report.pdf");

  std::ifstream log(dir_ / "zentavo" / "zentavo.log");
  std::string line;
  ASSERT_TRUE(std::getline(log, line)) << "the error is logged";
  EXPECT_NE(line.find("\tBtnSFTyazdirClick\t"), std::string::npos) << line;
}

TEST_F(MainFormTest, ReportFileJobCopiesIntoOutputAndClosesTheWindow) {
  const auto report = dir_ / "r.pdf";
  std::ofstream(report) << "%PDF report";
  ProgramOptions options;
  options.request = "$x$y$" + report.string() + "$";
  options.outputDir = (dir_ / "out").string();
  RecordingUi ui;
  TForm1 form(options, ui);
  WindowDesign d = form.Design();
  ui.RunMainWindow(d);
  d.buttons[1].onClick();
  EXPECT_FALSE(form.JobFailed());
  EXPECT_EQ(ui.closes, 1);
  std::ifstream copy(dir_ / "out" / "r.pdf");
  std::string text;
  std::getline(copy, text);
  EXPECT_EQ(text, "%PDF report");
}

TEST_F(MainFormTest, TemplatesAreLoadedWithTheWindow) {
  ProgramOptions options;
  RecordingUi ui;
  TForm1 form(options, ui);
  ASSERT_TRUE(form.LabBarkod3050 && form.LabBarkod && form.SonucBarkodu && form.RaporODYO && form.frxReport1);
  EXPECT_NE(form.LabBarkod3050->FindObject("BBarkodNo"), nullptr);
  EXPECT_EQ(form.LabBarkod3050->FindObject("BarCode1"), nullptr) << "that name is on the other labels";
  EXPECT_NE(form.LabBarkod->FindObject("memo7"), nullptr) << "names are found ignoring ASCII case";
  EXPECT_NE(form.SonucBarkodu->FindObject("BarCode1"), nullptr);
  // The report's own message boxes reach the window.
  form.LabBarkod3050->OnShowMessage("Error", "The following error(s) have occured:");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], "Error: The following error(s) have occured:");
}

TEST_F(MainFormTest, AutomaticRequestStartsTheLabelJobAtFirstShow) {
  ProgramOptions options;
  options.request = "|1|";
  RecordingUi ui;
  TForm1 form(options, ui);
  WindowDesign d = form.Design();
  ui.RunMainWindow(d);
  EXPECT_TRUE(form.JobStarted());
  EXPECT_EQ(form.RequestText(), "|1|");
}

}  // namespace
}  // namespace zentavo
