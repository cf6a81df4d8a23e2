// Fuzz target: report scripts run by the engine. The first byte picks the
// script language, the second which events of a fixed template name the
// script's procedures S, B, D, C, A, M and E; the rest is the script. The
// template has a title band with a memo, a child band, page-level memos, a
// barcode and a picture, so handlers can change objects, show bands and
// break pages. A step limit stops runaway scripts through the report's
// interrupt; every failure must be an error with a message.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "platform/RecordingCanvas.h"
#include "report/frxClass.h"
#include "report/frxCustomPreviewPages.h"
#include "report/frxReportScript.h"

namespace {

constexpr int kMaxLines = 3000;
constexpr const char* kLanguages[] = {"VadoziDaruro", "R++Izozev", "DarozOzuziz", "JScript"};

constexpr const char* kTemplate = R"(<?xml version="1.0" encoding="utf-8"?>
<TfrxReport Name="Rpt" OnStartReport="S" OnStopReport="E">
  <TfrxReportPage Name="Page1" PaperWidth="60" PaperHeight="40" OnBeforePrint="B" OnAfterPrint="A" OnManualBuild="M">
    <TfrxReportTitle Name="Title1" Top="0" Height="20" OnBeforePrint="B" OnAfterCalcHeight="C" OnAfterPrint="A">
      <TfrxMemoView Name="Memo1" Left="0" Top="0" Width="100" Height="15" Text="title" StretchMode="smActualHeight" OnBeforePrint="B" OnAfterData="D" OnAfterPrint="A"/>
    </TfrxReportTitle>
    <TfrxChild Name="Child1" Top="40" Height="20" OnBeforePrint="B" OnAfterPrint="A">
      <TfrxMemoView Name="Memo2" Left="0" Top="0" Width="100" Height="15" Text="child" OnBeforePrint="B"/>
    </TfrxChild>
    <TfrxMemoView Name="Memo3" Left="0" Top="70" Width="100" Height="15" Text="page" OnBeforePrint="B" OnAfterPrint="A"/>
    <TfrxBarCodeView Name="BarCode1" Left="0" Top="90" Width="120" Height="40" BarType="bcCode128B" Text="123" OnBeforePrint="B"/>
    <TfrxPictureView Name="Picture1" Left="130" Top="90" Width="40" Height="40" OnBeforePrint="B"/>
  </TfrxReportPage>
</TfrxReport>)";

// Event names keep their procedure only when the flag of that name is set.
void ChooseEvents(zentavo::TfrxPersistent& object, std::uint8_t flags) {
  const char kNames[] = "SBDCAME";
  for (const zentavo::PropInfo& p : object.GetClassInfo().Props()) {
    if (p.kind != zentavo::PropKind::Event || !p.getStr) continue;
    std::string name = p.getStr(object);
    for (int i = 0; i < 7; ++i)
      if (name.size() == 1 && name[0] == kNames[i] && !(flags & (1 << i))) p.setStr(object, "");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2 || size > 4096) return 0;
  zentavo::TfrxReport report;
  report.EngineOptions.NewSilentMode = zentavo::TfrxSilentMode::simSilent;
  report.OnShowMessage = [](const std::string&, const std::string&) {};
  try {
    zentavo::TMemoryStream source{std::string(kTemplate)};
    report.LoadFromStream(source);
  } catch (const std::exception&) {
    __builtin_trap();  // the fixed template always loads
  }
  report.ScriptLanguage = kLanguages[data[0] % 4];
  report.ScriptText.SetText(std::string(reinterpret_cast<const char*>(data + 2), size - 2));
  const std::uint8_t flags = data[1];
  ChooseEvents(report, flags);
  for (zentavo::TfrxComponent* c : report.AllObjects()) ChooseEvents(*c, flags);
  report.EngineOptions.DoublePass = (flags & 0x80) != 0;
  zentavo::TfsScript& program = report.Script().Program();
  program.OnShowMessage = [](const std::string&) {};
  int lines = 0;
  program.OnRunLine = [&](zentavo::TfsScope&, const std::string&, const std::string&) {
    if (++lines >= kMaxLines) report.Interrupt = true;
  };
  try {
    report.PrepareReport();
  } catch (const std::exception&) {
    return 0;
  }
  zentavo::RecordingCanvas canvas(96, 400, 400);
  zentavo::TfrxCustomPreviewPages& pages = report.PreviewPages();
  for (int i = 0; i < pages.PageCount() && i < 3; ++i) {
    try {
      pages.PaintPage(i, canvas, 1, 1, 0, 0);
    } catch (const std::exception&) {
    }
  }
  return 0;
}
