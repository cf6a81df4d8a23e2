// A program of the report model alone: it sees only report/ and the layers
// below (its include path is the model's view of the tree) and links only
// their libraries, yet loads a template, saves it and diffs its objects.
#include <cstdio>
#include <memory>
#include <string>

#include "report/frxClass.h"
#include "report/frxDiff.h"

namespace {

int failures = 0;

void Expect(bool ok, const std::string& what) {
  if (!ok) {
    std::fprintf(stderr, "FAIL: %s\n", what.c_str());
    ++failures;
  }
}

const char* kTemplate = R"(<?xml version="1.0" encoding="utf-8"?>
<TfrxReport Name="Model">
  <TfrxReportPage Name="Page1" PaperWidth="50" PaperHeight="30" PaperSize="256" LeftMargin="3">
    <TfrxPageHeader Name="Header" Top="0" Height="20">
      <TfrxMemoView Name="Title" Left="2" Top="1" Width="100" Height="14" Font.Height="-9" ParentFont="False" Text="Başlık"/>
    </TfrxPageHeader>
    <TfrxMemoView Name="Name" Align="baWidth" Left="0" Top="30" Width="120" Height="12" Text="AYŞE&#13;&#10;&#13;&#10;"/>
    <TfrxLineView Name="Rule" Left="0" Top="50" Width="170" Height="0" Frame.Typ="8"/>
    <TfrxShapeView Name="Box" Left="10" Top="60" Width="40" Height="20" Shape="skEllipse"/>
  </TfrxReportPage>
</TfrxReport>)";

std::string Save(zentavo::TfrxReport& report) {
  zentavo::TMemoryStream stream;
  report.SaveToStream(stream);
  return stream.Data();
}

}  // namespace

int main() {
  using namespace zentavo;
  TfrxReport report;
  TMemoryStream in{std::string(kTemplate)};
  report.LoadFromStream(in);
  Expect(report.Errors().empty(), "the template loads without errors");
  Expect(report.FindObject("Title") != nullptr && report.FindObject("Box") != nullptr, "its objects are there");

  const std::string saved = Save(report);
  TfrxReport again;
  TMemoryStream back(saved);
  again.LoadFromStream(back);
  Expect(Save(again) == saved, "saved, loaded and saved again it gives the same bytes");

  auto* name = dynamic_cast<TfrxMemoView*>(again.FindObject("Name"));
  Expect(name != nullptr && name->Memo.Count() == 2, "the memo keeps its empty last line");

  // A printed copy differs from its template in what preparation changed.
  auto* title = dynamic_cast<TfrxMemoView*>(report.FindObject("Title"));
  TfrxMemoView printed;
  printed.Assign(*title);
  printed.SetTop(5);
  printed.SetText("Sonuç");
  const std::string diff = DiffText(printed, *title);
  Expect(diff == " t=\"5\" u=\"Sonuç\"", "the difference of a memo is its new top and text, got" + diff);
  Expect(DiffText(*title, *title) == " u=\"Başlık\"", "a memo always carries its text");
  auto* header = dynamic_cast<TfrxBand*>(report.FindObject("Header"));
  Expect(DiffText(*header, *header) == " t=\"0\"", "a band always carries its top");

  // The layers above are not installed: preparing says so instead of failing
  // somewhere inside.
  try {
    report.PrepareReport();
    Expect(false, "preparing without an engine is an error");
  } catch (const std::exception& e) {
    Expect(std::string(e.what()) == "The report engine is not installed", std::string("message: ") + e.what());
  }
  if (failures == 0) std::printf("the report model stands on its own\n");
  return failures == 0 ? 0 : 1;
}
