// Printers: the device settings a page writes, metrics read back, the queue
// name rule, the virtual printer, and the file printer.
#include "print/frxPrinter.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>

#include "platform/CairoCanvas.h"
#include "print/DocumentSinks.h"
#include "tests/support/FileSizeLimit.h"

namespace zentavo {
namespace {

// hundredths of a millimetre
MediaSize Media(const char* name, int w, int h, int margin = 0) { return {name, w, h, margin, margin, margin, margin}; }

QueueCapabilities LabelPrinter() {
  QueueCapabilities c;
  c.dpiX = c.dpiY = 203;
  c.media = {Media("custom_50x30mm_50x30mm", 5000, 3000), Media("custom_60x30mm_60x30mm", 6000, 3000)};
  c.defaultMedia = c.media[0];
  c.customSizes = true;
  c.acceptsPdf = true;
  return c;
}

QueueCapabilities OfficePrinter() {
  QueueCapabilities c;
  c.dpiX = c.dpiY = 600;
  c.media = {Media("iso_a4_210x297mm", 20990, 29704, 400), Media("na_letter_8.5x11in", 21590, 27940, 400)};
  c.defaultMedia = c.media[0];
  c.sources = {{"tray-1", "Tray 1"}, {"tray-2", "Tray 2"}};
  c.duplex = true;
  c.acceptsPdf = true;
  return c;
}

class FakeBackend final : public PrinterBackend {
 public:
  std::vector<PrintQueue> queues;
  std::string defaultQueue;
  std::map<std::string, QueueCapabilities> caps;
  std::string problem;  // what ServerProblem says
  std::vector<PrintQueue> Queues() override { return queues; }
  std::string ServerProblem() override { return problem; }
  std::string DefaultQueue() override { return defaultQueue; }
  std::optional<QueueCapabilities> Capabilities(const std::string& q) override {
    auto it = caps.find(q);
    if (it == caps.end()) return std::nullopt;
    return it->second;
  }
  std::unique_ptr<SpoolDocument> StartDocument(const std::string&, const std::string&, const std::string&,
                                               const JobOptions&) override {
    throw std::runtime_error("not in these tests");
  }
};

TEST(Printer, LabelPageWritesCustomSizeAndKeepsDriverValues) {
  TfrxRecordingPrinter p("Pelmora_Korvane", LabelPrinter());
  p.LoadSettings();
  ASSERT_TRUE(p.SettingsLoaded);
  const DeviceSettings driver = p.Settings();

  p.SelectPrintPaper(256, 50, 30, false, 7, 1, 1);
  DeviceSettings s = p.Settings();
  EXPECT_EQ(s.fields & 0x030F, 0x030Fu) << "orientation, size, length, width, copies, source";
  EXPECT_EQ(s.fields & DeviceSettings::kDuplex, 0u) << "duplex none adds no flag";
  EXPECT_EQ(s.paperSize, 256);
  EXPECT_EQ(s.paperWidth, 500);
  EXPECT_EQ(s.paperLength, 300);
  EXPECT_EQ(s.orientation, 1);
  EXPECT_EQ(s.copies, 1);
  EXPECT_EQ(s.defaultSource, driver.defaultSource) << "automatic source keeps the driver's";
  EXPECT_EQ(s.duplex, driver.duplex);
  EXPECT_EQ(p.calls.back(), "SelectPrintPaper(256, 50, 30, false, 7, 1, 1)");

  p.SelectPrintPaper(256, 60, 30, false, 7, 1, 1);
  EXPECT_EQ(p.Settings().paperWidth, 600);
  EXPECT_EQ(p.Settings().paperLength, 300);

  p.SelectPrintPaper(9, 210, 297, false, 7, 1, 1);
  s = p.Settings();
  EXPECT_EQ(s.paperSize, 9);
  EXPECT_EQ(s.paperWidth, 0);
  EXPECT_EQ(s.paperLength, 0);
  EXPECT_EQ(s.fields & 0x000C, 0x000Cu) << "the custom-size flags stay set";
}

TEST(Printer, DuplexAndSourceRules) {
  struct Row {
    int duplex, expected;
    const char* why;
  };
  const Row rows[] = {{4, 1, "simplex writes 1"}, {2, 2, "vertical"}, {3, 3, "horizontal"}, {1, 3, "none keeps it"}};
  TfrxRecordingPrinter p("Office", OfficePrinter());
  p.LoadSettings();
  for (const Row& r : rows) {
    p.SelectPrintPaper(9, 210, 297, false, 7, r.duplex, 1);
    EXPECT_EQ(p.Settings().duplex, r.expected) << r.why;
  }
  EXPECT_NE(p.Settings().fields & DeviceSettings::kDuplex, 0u);

  // A source chosen in the driver's settings wins over every page's bin until
  // the document ends; the block then keeps it for automatic pages.
  p.BinOverride = 260;
  p.SelectPrintPaper(9, 210, 297, false, 258, 1, 1);
  EXPECT_EQ(p.Settings().defaultSource, 260);
  p.StartPrintDocument();
  p.EndPrintDocument();
  EXPECT_EQ(p.BinOverride, -1);
  p.SelectPrintPaper(9, 210, 297, false, 7, 1, 1);
  EXPECT_EQ(p.Settings().defaultSource, 260) << "automatic keeps the block's source";
  p.SelectPrintPaper(9, 210, 297, false, 258, 1, 1);
  EXPECT_EQ(p.Settings().defaultSource, 258);
  EXPECT_EQ(p.JobOptionsFor(p.Settings()).source, "tray-2");
}

TEST(Printer, MetricsInMillimetresThroughDevicePixels) {
  TfrxRecordingPrinter label("L", LabelPrinter());
  label.LoadSettings();
  label.SelectPrintPaper(256, 50, 30, false, 7, 1, 1);
  EXPECT_EQ(label.Resolution.x, 203);
  EXPECT_NEAR(label.SheetWidth, 400 * 25.4 / 203, 1e-9) << "50 mm is 400 dots at 203 dpi";
  EXPECT_NEAR(label.SheetHeight, 240 * 25.4 / 203, 1e-9);
  EXPECT_EQ(label.UnprintableLeft, 0);

  TfrxRecordingPrinter office("O", OfficePrinter());
  office.LoadSettings();
  EXPECT_EQ(office.InitialPaperNumber, 9) << "A4 from the queue is paper 9";
  EXPECT_NEAR(office.UnprintableLeft, 4, 0.05);
  EXPECT_NEAR(office.UnprintableBottom, 4, 0.05);
  office.SelectPrintPaper(9, 210, 297, true, 7, 1, 1);
  // The queue's own A4 is 209.9 x 297.04 mm, as its driver rounds points.
  EXPECT_NEAR(office.SheetWidth, 297.04, 0.05) << "landscape turns the sheet";
  EXPECT_NEAR(office.SheetHeight, 209.9, 0.05);
  EXPECT_EQ(office.JobOptionsFor(office.Settings()).media, "iso_a4_210x297mm") << "media names stand upright";
}

TEST(Printer, PapersAndJobOptions) {
  TfrxRecordingPrinter p("L", LabelPrinter());
  p.LoadSettings();
  ASSERT_EQ(p.PaperList.size(), 3u);
  EXPECT_EQ(p.PaperList[0].number, 256) << "custom size first";
  EXPECT_EQ(p.PaperList[0].name, "Custom");
  EXPECT_EQ(p.BinList[0].name, "Default");
  EXPECT_EQ(p.BinList[0].number, 7) << "automatic source first";
  EXPECT_EQ(p.PaperNumberOf("CUSTOM"), 256);
  EXPECT_EQ(p.PaperNumberOf("no such paper"), 256);
  EXPECT_EQ(p.PaperIndexOf(256), 0);
  EXPECT_EQ(p.PaperIndexOf(9), -1);

  p.SelectPrintPaper(256, 50, 30, false, 7, 1, 1);
  JobOptions o = p.JobOptionsFor(p.Settings());
  EXPECT_EQ(o.media, "custom_50x30mm_50x30mm") << "the queue's own size";
  EXPECT_EQ(o.sides, "") << "no duplex unit, no sides option";
  p.SelectPrintPaper(256, 55.5, 25, false, 7, 1, 3);
  o = p.JobOptionsFor(p.Settings());
  EXPECT_EQ(o.media, "Custom.55.5x25mm") << "a size the queue does not list";
  EXPECT_EQ(o.copies, 3);
}

TEST(Printer, RawQueueRefusesDrawnPages) {
  QueueCapabilities raw;
  raw.acceptsPdf = false;
  TfrxRecordingPrinter p("RawLabels", raw);
  p.LoadSettings();
  EXPECT_TRUE(p.SettingsLoaded) << "a raw queue can still take raw jobs";
  try {
    p.SelectPrintPaper(256, 50, 30, false, 7, 1, 1);
    FAIL() << "drawn page accepted by a raw queue";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("raw queue"), std::string::npos) << e.what();
  }
}

TEST(PrinterList, QueueNameRule) {
  FakeBackend b;
  b.queues = {{"Pelmora_Korvane", "Pelmora Korvane", false}, {"Office", "Office printer", true},
              {"office", "", false}};
  b.defaultQueue = "Office";
  b.caps["Office"] = OfficePrinter();
  TfrxPrinters list(b);
  EXPECT_TRUE(list.HasSystemPrinters());
  EXPECT_EQ(list.CurrentIndex(), 1) << "the default destination is current";
  struct Row {
    const char* name;
    int expected;
    const char* why;
  };
  const Row rows[] = {
      {"Pelmora_Korvane", 0, "queue name"},
      {"pelmora_korvane", 0, "ignoring case"},
      {"Pelmora Korvane", 0, "blanks read as underscores"},
      {"PELMORA KORVANE", 0, "and ignoring case"},
      {"Office printer", 1, "the description"},
      {"OFFICE", 1, "first of two names equal but for case"},
      {"Default", -1, "Default is only a queue so named"},
      {"", -1, "empty matches nothing"},
      {"Pelmora", -1, "no prefix match"},
  };
  for (const Row& r : rows) EXPECT_EQ(list.FindPrinter(r.name), r.expected) << r.why;
}

TEST(PrinterList, NoDefaultAndNoMatchNamesTheQueues) {
  FakeBackend b;
  b.queues = {{"A", "", false}, {"B", "", false}};
  TfrxPrinters list(b);
  EXPECT_EQ(list.CurrentIndex(), -1);
  try {
    list.CurrentPrinter();
    FAIL() << "a printer was guessed";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("installed printers: A, B"), std::string::npos) << e.what();
  }
}

TEST(PrinterList, VirtualPrinterWhenThereAreNoQueues) {
  FakeBackend b;
  TfrxPrinters list(b);
  EXPECT_FALSE(list.HasSystemPrinters());
  EXPECT_TRUE(list.PrinterNames().empty());
  TfrxCustomPrinter& v = list.CurrentPrinter();
  EXPECT_EQ(v.PrinterName, "Virtual");
  EXPECT_EQ(v.Resolution.x, 600);
  EXPECT_EQ(v.PaperList.size(), 67u) << "Custom and the 66 papers of the table";
  v.SelectViewPaper(9, 0, 0, true);
  EXPECT_EQ(v.SheetWidth, 297);
  EXPECT_EQ(v.SheetHeight, 210);
  EXPECT_EQ(v.UnprintableLeft, 4);
  v.SelectViewPaper(256, 50, 30, false);
  EXPECT_EQ(v.SheetWidth, 50);
  v.SelectViewPaper(1000, 50, 30, false);
  EXPECT_EQ(v.PaperNumber, 256) << "unknown numbers become the custom size";
  v.StartPrintDocument();
  v.StartPrintPage();
  EXPECT_THROW(v.PrintCanvas(), std::runtime_error) << "Canvas does not allow drawing";
}

TEST(PrinterList, APrintServerThatCannotBeAskedIsNamed) {
  // No queues because there is no server: the list says why, where "no
  // printers" alone would send the user looking for a missing queue.
  FakeBackend gone;
  gone.problem = "Cannot reach the print server /run/cups/cups.sock: No such file or directory";
  TfrxPrinters none(gone);
  EXPECT_FALSE(none.HasSystemPrinters());
  EXPECT_EQ(none.NoPrintersReason(), gone.problem);

  FakeBackend empty;
  EXPECT_EQ(TfrxPrinters(empty).NoPrintersReason(), "") << "a server that has no queues";

  // The queues were listed, then the server stopped answering before the
  // queue's settings came: the printer says so instead of a vague failure.
  FakeBackend stopped;
  stopped.queues = {{"Office", "", true}};
  stopped.defaultQueue = "Office";
  stopped.problem = "The print server /run/cups/cups.sock did not answer within 30 s";
  TfrxPrinters list(stopped);
  EXPECT_EQ(list.NoPrintersReason(), "") << "it has printers";
  TfrxCustomPrinter& office = list.CurrentPrinter();
  EXPECT_FALSE(office.SettingsLoaded);
  try {
    office.StartPrintDocument();
    FAIL() << "a printer without settings started a document";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "Printer Office cannot be used: " + stopped.problem);
  }
}

TEST(FilePrinter, OneFilePerDocumentNamedAfterIt) {
  const auto dir = std::filesystem::temp_directory_path() / ("zentavo-fileprinter-" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  std::vector<std::string> written;
  for (FileFormat f : {FileFormat::Pdf, FileFormat::Png}) {
    auto p = CreateFilePrinter(dir.string(), f, 203, [&](const std::string& path) { written.push_back(path); });
    p->LoadSettings();
    p->DocumentName = "T1/123";
    p->SelectPrintPaper(256, 50, 30, false, 7, 1, 1);
    p->StartPrintDocument();
    p->StartPrintPage();
    Canvas& c = p->PrintCanvas();
    EXPECT_EQ(c.Width(), 400) << "50 mm at 203 dpi";
    EXPECT_EQ(c.Height(), 240);
    c.FillRect({0, 0, 10, 10});
    p->EndPrintPage();
    p->EndPrintDocument();
  }
  // Report strings are Windows-1254; the file is named in UTF-8.
  auto turkish = CreateFilePrinter(dir.string(), FileFormat::Pdf, 203, [&](const std::string& path) { written.push_back(path); });
  turkish->LoadSettings();
  turkish->DocumentName = "\xDCre_77";
  turkish->SelectPrintPaper(256, 50, 30, false, 7, 1, 1);
  turkish->StartPrintDocument();
  turkish->StartPrintPage();
  turkish->EndPrintPage();
  turkish->EndPrintDocument();
  ASSERT_EQ(written.size(), 3u);
  EXPECT_EQ(written[2], (dir / "Üre_77.pdf").string());
  EXPECT_EQ(written[0], (dir / "T1_123.pdf").string());
  EXPECT_EQ(written[1], (dir / "T1_123.png").string());
  for (const auto& f : written) EXPECT_GT(std::filesystem::file_size(f), 100u) << f;

  // An aborted document leaves nothing behind.
  auto p = CreateFilePrinter(dir.string(), FileFormat::Pdf, 203);
  p->LoadSettings();
  p->DocumentName = "aborted";
  p->SelectPrintPaper(256, 50, 30, false, 7, 1, 1);
  p->StartPrintDocument();
  p->StartPrintPage();
  p->AbortPrintDocument();
  EXPECT_FALSE(std::filesystem::exists(dir / "aborted.pdf"));
  std::filesystem::remove_all(dir);
}

TEST(FilePrinter, ALabelNotWrittenWholeLeavesNoFileAndSaysSo) {
  struct Row {
    FileFormat format;
    int pages;
    int fullFromPage;     // the disk is full from this page on
    const char* failing;  // the file the error names
    const char* why;
  };
  const Row rows[] = {
      {FileFormat::Pdf, 1, 1, "F1.pdf", "a PDF that does not fit"},
      {FileFormat::PostScript, 1, 1, "F1.ps", "a PostScript file that does not fit"},
      {FileFormat::Png, 1, 1, "F1.png", "a PNG that does not fit"},
      {FileFormat::Pdf, 2, 2, "F1.pdf", "the second page of a PDF does not fit"},
      {FileFormat::Png, 2, 2, "F1.p2.png", "the second page's PNG does not fit: the first one goes too"},
  };
  const auto dir = std::filesystem::temp_directory_path() / ("zentavo-fullprinter-" + std::to_string(::getpid()));
  for (const Row& r : rows) {
    std::filesystem::remove_all(dir);
    std::vector<std::string> written;
    auto p = CreateFilePrinter(dir.string(), r.format, 203, [&](const std::string& path) { written.push_back(path); });
    p->LoadSettings();
    p->DocumentName = "F1";
    p->SelectPrintPaper(256, 50, 30, false, 7, 1, 1);
    std::string message;
    {
      std::optional<testing::FileSizeLimit> full;
      try {
        p->StartPrintDocument();
        for (int page = 1; page <= r.pages; ++page) {
          if (page == r.fullFromPage) full.emplace(100);
          p->StartPrintPage();
          p->PrintCanvas().FillRect({0, 0, 100, 100});
          p->EndPrintPage();
        }
        p->EndPrintDocument();
      } catch (const std::runtime_error& e) {
        message = e.what();
        // As the print job does with a document cut short.
        p->AbortPrintDocument();
      }
    }
    // The label job puts "The label F1 was not printed:" in front.
    EXPECT_EQ(message, "Cannot write " + (dir / r.failing).string() + ": " + std::strerror(EFBIG))
        << r.why;
    EXPECT_TRUE(written.empty()) << r.why;
    EXPECT_TRUE(std::filesystem::is_empty(dir)) << r.why;
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace zentavo
