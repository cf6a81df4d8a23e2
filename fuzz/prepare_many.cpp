// Fuzz target: templates of many objects, prepared by the engine, saved as a
// prepared report, loaded back through the store and rebuilt. The input is
// read as a small program that lays memos, shapes, lines and barcodes out on
// a page, in bands, and repeats them; counts are capped so one input runs
// well under a second. Every failure must be an exception with a message.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "platform/RecordingCanvas.h"
#include "report/frxClass.h"
#include "report/frxCustomPreviewPages.h"

namespace {

constexpr int kMaxObjects = 1500;
constexpr int kMaxRows = 20;

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Empty() const { return at_ >= size_; }
  std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  // Mostly ordinary positions, now and then a hostile one.
  std::string Number() {
    const std::uint8_t b = Byte();
    switch (b & 0xE0) {
      case 0xE0: {
        static const char* const kOdd[] = {"-1", "1e308", "-1e308", "nan", "1E5", "0.00005", "-0.00005", "99999999"};
        return kOdd[b & 7];
      }
      case 0xC0: return std::to_string(static_cast<int>(b & 0x1F) * 5) + "." + std::to_string(Byte() % 100);
      default: return std::to_string(b) + (Byte() & 1 ? ".5" : "");
    }
  }
  std::string Text() {
    std::string out;
    const int n = Byte() % 24;
    for (int i = 0; i < n && !Empty(); ++i) {
      const char c = static_cast<char>(Byte());
      // Kept inside an attribute value and free of the expression brackets,
      // so the template stays a template and the text stays text.
      if (c == '"' || c == '&' || c == '<' || c == '[' || c == ']' || static_cast<unsigned char>(c) < 32)
        out += ' ';
      else
        out += c;
    }
    return out;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

const char* const kAlign[] = {"baNone", "baLeft", "baRight", "baCenter", "baWidth", "baBottom", "baClient", "baNone"};
const char* const kStretch[] = {"smDontStretch", "smActualHeight", "smMaxHeight", "smDontStretch"};
const char* const kShift[] = {"smAlways", "smDontShift", "smWhenOverlapped", "smAlways"};
const char* const kBars[] = {"bcCode128C", "bcCode39", "bcCodeEAN13", "bcCode128B"};
const char* const kShapes[] = {"skRectangle", "skEllipse", "skRoundRectangle", "skDiagonal1"};

// One object description; `copies` of it are laid out in a grid.
std::string Objects(Input& in, int& count, int& serial) {
  const std::uint8_t kind = in.Byte();
  const std::string left = in.Number(), top = in.Number(), width = in.Number(), height = in.Number();
  const std::uint8_t flags = in.Byte();
  const int copies = 1 + in.Byte() % 64;
  const std::string text = kind % 4 == 0 || kind % 4 == 2 ? in.Text() : "";
  std::string out;
  for (int c = 0; c < copies && count < kMaxObjects; ++c, ++count) {
    const std::string name = std::to_string(++serial);
    // Copies in rows of eight below and beside the first.
    const std::string at = " Left=\"" + left + "\" Top=\"" + top + "\"";
    std::string placed = c == 0 ? at
                                : " Left=\"" + std::to_string((c % 8) * 40) + "\" Top=\"" + std::to_string((c / 8) * 12) +
                                      "\"";
    placed += " Width=\"" + width + "\" Height=\"" + height + "\" Align=\"" + kAlign[flags & 7] + "\" ShiftMode=\"" +
              kShift[(flags >> 3) & 3] + "\"";
    if (flags & 0x80) placed += " Visible=\"False\"";
    switch (kind % 4) {
      case 0:
        out += "<TfrxMemoView Name=\"Memo" + name + "\"" + placed + " StretchMode=\"" + kStretch[(flags >> 5) & 3] +
               "\" AllowHTMLTags=\"" + (kind & 4 ? "True" : "False") + "\" WordBreak=\"" +
               (kind & 8 ? "True" : "False") + "\" Text=\"" + text + "\"/>";
        break;
      case 1:
        out += "<TfrxShapeView Name=\"Shape" + name + "\"" + placed + " Shape=\"" + kShapes[(kind >> 2) & 3] + "\"/>";
        break;
      case 2:
        out += "<TfrxBarCodeView Name=\"BarCode" + name + "\"" + placed + " BarType=\"" + kBars[(kind >> 2) & 3] +
               "\" Text=\"" + text + "\"/>";
        break;
      default:
        out += "<TfrxLineView Name=\"Line" + name + "\"" + placed + (kind & 4 ? " Diagonal=\"True\"" : "") + "/>";
    }
  }
  return out;
}

std::string Template(Input& in) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?><TfrxReport Name=\"Many\">";
  int count = 0, serial = 0;
  const int pages = 1 + in.Byte() % 2;
  for (int p = 0; p < pages && !in.Empty(); ++p) {
    xml += "<TfrxReportPage Name=\"Page" + std::to_string(p + 1) + "\" PaperWidth=\"" + std::to_string(40 + in.Byte()) +
           "\" PaperHeight=\"" + std::to_string(30 + in.Byte()) + "\">";
    const std::uint8_t bands = in.Byte();
    if (bands & 1) {
      xml += "<TfrxReportTitle Name=\"Title" + std::to_string(p) + "\" Top=\"0\" Height=\"" + in.Number() +
             "\" Stretched=\"" + (bands & 2 ? "True" : "False") + "\">";
      for (int k = in.Byte() % 4; k >= 0 && !in.Empty(); --k) xml += Objects(in, count, serial);
      xml += "</TfrxReportTitle>";
    }
    if (bands & 4) {
      xml += "<TfrxMasterData Name=\"Data" + std::to_string(p) + "\" Top=\"100\" Height=\"" + in.Number() +
             "\" RowCount=\"" + std::to_string(in.Byte() % kMaxRows) + "\" Stretched=\"" +
             (bands & 8 ? "True" : "False") + "\">";
      for (int k = in.Byte() % 4; k >= 0 && !in.Empty(); --k) xml += Objects(in, count, serial);
      xml += "</TfrxMasterData>";
    }
    // The rest of this page's share of the input: objects on the page.
    for (int k = in.Byte() % 16; k >= 0 && !in.Empty(); --k) xml += Objects(in, count, serial);
    xml += "</TfrxReportPage>";
  }
  return xml + "</TfrxReport>";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  Input in(data, size);
  const std::string xml = Template(in);
  zentavo::TfrxReport report;
  report.EngineOptions.NewSilentMode = zentavo::TfrxSilentMode::simSilent;
  report.OnShowMessage = [](const std::string&, const std::string&) {};
  try {
    zentavo::TMemoryStream source(xml);
    report.LoadFromStream(source);
    report.EngineOptions.DoublePass = (size & 1) != 0;
    report.PrepareReport();
  } catch (const std::exception&) {
    return 0;
  }
  zentavo::TMemoryStream saved;
  try {
    report.PreviewPages().SaveToStream(saved);
  } catch (const std::exception&) {
    return 0;
  }
  zentavo::TfrxReport other;
  saved.Seek(0);
  zentavo::TfrxCustomPreviewPages& pages = other.PreviewPages();
  try {
    pages.LoadFromStream(saved);
  } catch (const std::exception&) {
    // What the store wrote, the store must read.
    __builtin_trap();
  }
  if (pages.PageCount() != report.PreviewPages().PageCount()) __builtin_trap();
  zentavo::RecordingCanvas canvas(96, 400, 400);
  for (int i = 0; i < pages.PageCount() && i < 3; ++i) {
    try {
      pages.PaintPage(i, canvas, 1, 1, 0, 0);
    } catch (const std::exception&) {
    }
  }
  return 0;
}
