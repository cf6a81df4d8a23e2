// Fuzz target: memo text with expressions, as a template author writes it.
// The first byte picks the script language, the second the memo's options
// (HideZeros, SuppressRepeated, FlowTo, the display format's kind, two
// passes). The rest is split at zero bytes into the memo text, the
// expression delimiters, the display format and a highlight condition, all
// Windows-1254. Two memos show the text, the first flowing into a third.
// Every failure must be an error with a message; the pages are then drawn.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "platform/RecordingCanvas.h"
#include "report/frxClass.h"
#include "report/frxCustomPreviewPages.h"

namespace {

constexpr const char* kLanguages[] = {"VadoziDaruro", "R++Izozev", "DarozOzuziz", "JScript"};
constexpr const char* kEmptyPrograms[] = {"begin end.", "{}", "", ""};

std::vector<std::string> Fields(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> out(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0 && out.size() < 4) {
      out.emplace_back();
      continue;
    }
    out.back() += static_cast<char>(data[i]);
  }
  out.resize(4);
  return out;
}

zentavo::TfrxMemoView* AddMemo(zentavo::TfrxComponent& page, const char* name, double top) {
  auto* memo = new zentavo::TfrxMemoView(&page);
  memo->SetName(name);
  memo->SetBounds(0, top, 150, 30);
  return memo;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zentavo;
  if (size < 2 || size > 4096) return 0;
  const std::uint8_t flags = data[1];
  std::vector<std::string> f = Fields(data + 2, size - 2);

  TfrxReport report;
  report.EngineOptions.NewSilentMode = TfrxSilentMode::simSilent;
  report.OnShowMessage = [](const std::string&, const std::string&) {};
  report.ScriptLanguage = kLanguages[data[0] % 4];
  report.ScriptText.SetText(kEmptyPrograms[data[0] % 4]);
  report.EngineOptions.DoublePass = (flags & 0x80) != 0;
  report.SetVariable("V", Variant::String(f[0]));
  auto* page = new TfrxReportPage(&report);
  page->SetName("Page1");
  TfrxMemoView* memos[] = {AddMemo(*page, "M1", 0), AddMemo(*page, "M2", 40), AddMemo(*page, "M3", 80)};
  for (int i = 0; i < 2; ++i) {
    TfrxMemoView& m = *memos[i];
    m.Memo.SetSingleByteText(f[0]);
    if (!f[1].empty()) m.ExpressionDelimiters = f[1];
    m.DisplayFormat.Kind = static_cast<TfrxFormatKind>((flags >> 3) & 3);
    m.DisplayFormat.FormatStr = f[2];
    m.Highlight.Condition = f[3];
    m.HideZeros = flags & 1;
    m.SuppressRepeated = flags & 2;
  }
  if (flags & 4) memos[0]->SetFlowTo(memos[2]);
  if (flags & 0x20) memos[2]->SetFlowTo(memos[0]);  // a chain that comes back
  try {
    report.PrepareReport();
  } catch (const std::exception&) {
    return 0;
  }
  RecordingCanvas canvas(96, 400, 400);
  TfrxCustomPreviewPages& pages = report.PreviewPages();
  for (int i = 0; i < pages.PageCount() && i < 2; ++i) {
    try {
      pages.PaintPage(i, canvas, 1, 1, 0, 0);
    } catch (const std::exception&) {
    }
  }
  return 0;
}
