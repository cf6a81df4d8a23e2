// The report and its pages: paper, margins, columns, options, load and save.
#include "report/frxReport.h"

#include <cstdio>
#include <stdexcept>

#include "platform/Clock.h"
#include "platform/Cp1254.h"
#include "platform/OutputFile.h"
#include "platform/ScopeGuard.h"
#include "report/frxBands.h"
#include "report/frxCustomEngine.h"
#include "report/frxCustomPreviewPages.h"
#include "report/frxDataSet.h"
#include "report/frxPaper.h"
#include "report/frxReportScript.h"
#include "report/frxRes.h"
#include "report/frxViews.h"
#include "report/frxXMLSerializer.h"

namespace zentavo {

constinit const EnumInfo kOrientationInfo{"TPrinterOrientation", {"poPortrait", "poLandscape"}};
constinit const EnumInfo kDuplexInfo{"TfrxDuplexMode", {"dmNone", "dmVertical", "dmHorizontal", "dmSimplex"}};
constinit const EnumInfo kSilentModeInfo{"TfrxSilentMode", {"simMessageBoxes", "simSilent", "simReThrow"}};
constinit const EnumInfo kPrintPagesInfo{"TfrxPrintPages", {"ppAll", "ppOdd", "ppEven"}};
constinit const EnumInfo kZoomModeInfo{"TfrxZoomMode", {"zmDefault", "zmWholePage", "zmPageWidth", "zmManyPages"}};
constinit const EnumInfo kPreviewButtonsInfo{"TfrxPreviewButtons",
                                   {"pbPrint", "pbLoad", "pbSave", "pbExport", "pbZoom", "pbFind", "pbOutline",
                                    "pbPageSetup", "pbTools", "pbEdit", "pbNavigator", "pbExportQuick"}};

// ---------------------------------------------------------------- pages

const ClassInfo& TfrxPage::StaticClassInfo() {
  using P = TfrxPage;
  static const ClassInfo info =
      ClassBuilder<P>("TfrxPage", &TfrxComponent::StaticClassInfo())
          .ObjectAccess("Font", &P::FontObject, "TFont")
          .OrdinalAccess("Visible", PropKind::Boolean, "Boolean", nullptr, &P::Visible, &P::SetVisible, true, 1)
          .Build();
  return info;
}

bool TfrxPage::AcceptsChild(const TfrxComponent& child) const {
  if (dynamic_cast<const TfrxBand*>(&child) != nullptr || dynamic_cast<const TfrxView*>(&child) != nullptr)
    return true;
  auto* v = dynamic_cast<const TfrxVerbatimObject*>(&child);
  return v != nullptr && !v->IsPage();
}

TfrxReportPage::TfrxReportPage(TfrxComponent* owner) : TfrxPage(owner) {
  SetPaperSize(9);
}

const ClassInfo& TfrxReportPage::StaticClassInfo() {
  using P = TfrxReportPage;
  // Orientation before the paper and the paper before its number: reading
  // the number last keeps a standard paper standard, and the margins come
  // after the orientation that would turn them.
  static const ClassInfo info =
      ClassBuilder<P>("TfrxReportPage", &TfrxPage::StaticClassInfo())
          .OrdinalAccess("Orientation", PropKind::Enum, "TPrinterOrientation", &kOrientationInfo, &P::Orientation,
                         &P::SetOrientation, true, 0)
          .Float("PaperWidth", &P::PaperWidth, &P::SetPaperWidth)
          .Float("PaperHeight", &P::PaperHeight, &P::SetPaperHeight)
          .OrdinalAccess("PaperSize", PropKind::Integer, "Integer", nullptr, &P::PaperSize, &P::SetPaperSize, false, 0)
          .Float("LeftMargin", &P::LeftMargin)
          .Float("RightMargin", &P::RightMargin)
          .Float("TopMargin", &P::TopMargin)
          .Float("BottomMargin", &P::BottomMargin)
          .Object("BackPicture", &P::BackPicture, "TPicture")
          .Int("Bin", &P::Bin, 7)
          .Int("BinOtherPages", &P::BinOtherPages, 7)
          .Color("Color", &P::Color, clNone)
          .OrdinalAccess("Columns", PropKind::Integer, "Integer", nullptr, &P::Columns, &P::SetColumns, true, 0)
          .Float("ColumnWidth", &P::ColumnWidth)
          .List("ColumnPositions", &P::ColumnPositions)
          .Reference("DataSet", &P::DataSet, &P::SetDataSet, "TfrxDataSet")
          .String("DataSetName", &P::DataSetName, &P::SetDataSetName)
          .Enum("Duplex", &P::Duplex, kDuplexInfo, TfrxDuplexMode::dmNone)
          .Object("Frame", &P::Frame, "TfrxFrame")
          .List("HGuides", &P::HGuides)
          .Bool("LargeDesignHeight", &P::LargeDesignHeight, false)
          .Bool("MirrorMargins", &P::MirrorMargins, false)
          .String("OutlineText", &P::OutlineText)
          .Bool("PrintIfEmpty", &P::PrintIfEmpty, true)
          .Bool("PrintOnPreviousPage", &P::PrintOnPreviousPage, false)
          .Bool("TitleBeforeHeader", &P::TitleBeforeHeader, true)
          .List("VGuides", &P::VGuides)
          .Event("OnAfterPrint", &P::OnAfterPrint)
          .Event("OnBeforePrint", &P::OnBeforePrint)
          .Event("OnManualBuild", &P::OnManualBuild)
          .Build();
  return info;
}

void TfrxReportPage::UpdateDimensions() {
  width_ = static_cast<double>(RoundHalfEven(paperWidth_ * fr01cm));
  height_ = static_cast<double>(RoundHalfEven(paperHeight_ * fr01cm));
}

void TfrxReportPage::SetPaperWidth(double mm) {
  paperWidth_ = mm;
  paperSize_ = kCustomPaperSize;
  UpdateDimensions();
}

void TfrxReportPage::SetPaperHeight(double mm) {
  paperHeight_ = mm;
  paperSize_ = kCustomPaperSize;
  UpdateDimensions();
}

void TfrxReportPage::SetPaperSize(int number) {
  paperSize_ = number;
  if (number >= kCustomPaperSize) return;
  if (auto paper = PaperDimensions(number)) {
    bool landscape = orientation_ == TPrinterOrientation::poLandscape;
    paperWidth_ = landscape ? paper->height : paper->width;
    paperHeight_ = landscape ? paper->width : paper->height;
  }
  UpdateDimensions();
}

void TfrxReportPage::SetOrientation(TPrinterOrientation o) {
  if (o == orientation_) return;
  orientation_ = o;
  std::swap(paperWidth_, paperHeight_);
  double l = LeftMargin, r = RightMargin, t = TopMargin, b = BottomMargin;
  if (o == TPrinterOrientation::poLandscape) {
    LeftMargin = t;
    RightMargin = b;
    TopMargin = r;
    BottomMargin = l;
  } else {
    LeftMargin = b;
    RightMargin = t;
    TopMargin = l;
    BottomMargin = r;
  }
  UpdateDimensions();
}

void TfrxReportPage::SetColumns(int n) {
  columns_ = n;
  ColumnPositions.Clear();
  if (n > 0) {
    ColumnWidth = (paperWidth_ - LeftMargin - RightMargin) / n;
    for (int i = 0; i < n && i < 1000; ++i) ColumnPositions.Add(FloatToText(i * ColumnWidth));
  }
}

TfrxDataSet* TfrxReportPage::DataSet() const { return dataSet_.Get(); }
void TfrxReportPage::SetDataSet(TfrxDataSet* dataSet) { dataSet_.Set(dataSet); }
std::string TfrxReportPage::DataSetName() const { return dataSet_.Name(); }
void TfrxReportPage::SetDataSetName(const std::string& name) { dataSet_.SetName(this, name); }

void TfrxReportPage::SetDefaults(int paperNumber, double widthMm, double heightMm, bool landscape) {
  LeftMargin = RightMargin = TopMargin = BottomMargin = 10;
  orientation_ = landscape ? TPrinterOrientation::poLandscape : TPrinterOrientation::poPortrait;
  paperWidth_ = widthMm;
  paperHeight_ = heightMm;
  paperSize_ = paperNumber;
  UpdateDimensions();
}

void TfrxReportPage::AlignChildren() {
  width_ = (paperWidth_ - LeftMargin - RightMargin) * fr01cm;
  height_ = (paperHeight_ - TopMargin - BottomMargin) * fr01cm;
  TfrxComponent::AlignChildren();
  for (TfrxComponent* c : Objects()) {
    auto* band = dynamic_cast<TfrxBand*>(c);
    if (band == nullptr) continue;
    if (band->Vertical)
      band->SetHeight((paperHeight_ - TopMargin - BottomMargin) * fr01cm - band->Top());
    else
      band->SetWidth(Width() - band->Left());
    band->AlignChildren();
  }
  UpdateDimensions();
}

bool TfrxReportPage::AcceptsChild(const TfrxComponent& child) const { return TfrxPage::AcceptsChild(child); }

// ---------------------------------------------------------------- options

const ClassInfo& TfrxEngineOptions::StaticClassInfo() {
  using E = TfrxEngineOptions;
  static const ClassInfo info =
      ClassBuilder<E>("TfrxEngineOptions", nullptr)
          .Bool("ConvertNulls", &E::ConvertNulls, true)
          .Bool("DoublePass", &E::DoublePass, false)
          .Int("MaxMemSize", &E::MaxMemSize, 10)
          .Bool("PrintIfEmpty", &E::PrintIfEmpty, true)
          .Enum("NewSilentMode", &E::NewSilentMode, kSilentModeInfo, TfrxSilentMode::simMessageBoxes)
          .OrdinalAccess("SilentMode", PropKind::Boolean, "Boolean", nullptr, &E::SilentMode, &E::SetSilentMode, true, 0)
          .NotStored()
          .String("TempDir", &E::TempDir)
          .Bool("UseFileCache", &E::UseFileCache, false)
          .Bool("ReloadAfterPrepare", &E::ReloadAfterPrepare, true)
          .NotStored()
          .Bool("ThreadSafe", &E::ThreadSafe, false)
          .NotStored()
          .Build();
  return info;
}

TfrxPrintOptions::TfrxPrintOptions() : Printer(frxResources().Get("prDefault")) {}

const ClassInfo& TfrxPrintOptions::StaticClassInfo() {
  using P = TfrxPrintOptions;
  static const ClassInfo info = ClassBuilder<P>("TfrxPrintOptions", nullptr)
                                    .Int("Copies", &P::Copies, 1)
                                    .Bool("Collate", &P::Collate, true)
                                    .String("PageNumbers", &P::PageNumbers)
                                    .String("Printer", &P::Printer)
                                    .Enum("PrintPages", &P::PrintPages, kPrintPagesInfo, TfrxPrintPages::ppAll)
                                    .Bool("Reverse", &P::Reverse, false)
                                    .Bool("ShowDialog", &P::ShowDialog, true)
                                    .Build();
  return info;
}

const ClassInfo& TfrxPreviewOptions::StaticClassInfo() {
  using P = TfrxPreviewOptions;
  static const ClassInfo info = ClassBuilder<P>("TfrxPreviewOptions", nullptr)
                                    .Bool("AllowEdit", &P::AllowEdit, true)
                                    .SetNoDefault("Buttons", &P::Buttons, kPreviewButtonsInfo)
                                    .Bool("DoubleBuffered", &P::DoubleBuffered, true)
                                    .Bool("Maximized", &P::Maximized, true)
                                    .Bool("MDIChild", &P::MDIChild, false)
                                    .Bool("Modal", &P::Modal, true)
                                    .Bool("OutlineExpand", &P::OutlineExpand, true)
                                    .Bool("OutlineVisible", &P::OutlineVisible, false)
                                    .Int("OutlineWidth", &P::OutlineWidth, 120)
                                    .Bool("ShowCaptions", &P::ShowCaptions, false)
                                    .Float("Zoom", &P::Zoom)
                                    .Enum("ZoomMode", &P::ZoomMode, kZoomModeInfo, TfrxZoomMode::zmDefault)
                                    .Build();
  return info;
}

TfrxReportOptions::TfrxReportOptions() { Clear(); }

void TfrxReportOptions::Clear() {
  Author.clear();
  Compressed = false;
  ConnectionName.clear();
  CreateDate = LastChange = NowAsDateTime();
  Description.Clear();
  InitString.clear();
  Name.clear();
  Password.clear();
  Picture.Clear();
  VersionBuild.clear();
  VersionMajor.clear();
  VersionMinor.clear();
  VersionRelease.clear();
}

const ClassInfo& TfrxReportOptions::StaticClassInfo() {
  using R = TfrxReportOptions;
  static const ClassInfo info = ClassBuilder<R>("TfrxReportOptions", nullptr)
                                    .String("Author", &R::Author)
                                    .Bool("Compressed", &R::Compressed, false)
                                    .String("ConnectionName", &R::ConnectionName)
                                    .DateTime("CreateDate", &R::CreateDate)
                                    .List("Description", &R::Description)
                                    .String("InitString", &R::InitString)
                                    .DateTime("LastChange", &R::LastChange)
                                    .String("Name", &R::Name)
                                    .String("Password", &R::Password)
                                    .Object("Picture", &R::Picture, "TPicture")
                                    .String("VersionBuild", &R::VersionBuild)
                                    .String("VersionMajor", &R::VersionMajor)
                                    .String("VersionMinor", &R::VersionMinor)
                                    .String("VersionRelease", &R::VersionRelease)
                                    .Build();
  return info;
}

const ClassInfo& TfrxVariable::StaticClassInfo() {
  using V = TfrxVariable;
  static const ClassInfo info = [] {
    ClassInfo i = ClassBuilder<V>("TfrxVariable", nullptr).String("Name", &V::Name).Build();
    // The value is a script value; the template keeps its text.
    PropInfo value;
    value.name = "Value";
    value.kind = PropKind::Variant;
    value.typeName = "Variant";
    value.getStr = [](const TfrxPersistent& o) { return VarToStr(static_cast<const V&>(o).Value); };
    value.setStr = [](TfrxPersistent& o, const std::string& text) { static_cast<V&>(o).Value = Variant::String(text); };
    i.Add(std::move(value));
    return i;
  }();
  return info;
}

const ClassInfo& TfrxStyleItem::StaticClassInfo() {
  using S = TfrxStyleItem;
  static const ClassInfo info = ClassBuilder<S>("TfrxStyleItem", nullptr)
                                    .String("Name", &S::Name)
                                    .Color("Color", &S::Color, clNone)
                                    .Object("Font", &S::Font, "TFont")
                                    .Object("Frame", &S::Frame, "TfrxFrame")
                                    .Build();
  return info;
}

std::string TfrxDataSetItem::GetDataSetName() const {
  if (TfrxDataSet* ds = DataSet.Get()) return ds->UserName();
  return DataSetName;
}

const ClassInfo& TfrxDataSetItem::StaticClassInfo() {
  using D = TfrxDataSetItem;
  static const ClassInfo info = ClassBuilder<D>("TfrxDataSetItem", nullptr)
                                    .String("DataSetName", &D::GetDataSetName, &D::SetDataSetName)
                                    .Build();
  return info;
}

// ---------------------------------------------------------------- report

TfrxReport::TfrxReport() : TfrxComponent(nullptr) { Clear(); }

TfrxReport::~TfrxReport() = default;

const ClassInfo& TfrxReport::StaticClassInfo() {
  using R = TfrxReport;
  static const ClassInfo info =
      ClassBuilder<R>("TfrxReport", &TfrxComponent::StaticClassInfo())
          .String("Version", &R::Version, &R::SetVersion)
          .Reference("DataSet", &R::DataSet, &R::SetDataSet, "TfrxDataSet")
          .String("DataSetName", &R::DataSetName, &R::SetDataSetName)
          .BoolNoDefault("DotMatrixReport", &R::DotMatrixReport)
          .Object("EngineOptions", &R::EngineOptions, "TfrxEngineOptions")
          .String("IniFile", &R::IniFile)
          .Bool("OldStyleProgress", &R::OldStyleProgress, false)
          .Object("PreviewOptions", &R::PreviewOptions, "TfrxPreviewOptions")
          .Object("PrintOptions", &R::PrintOptions, "TfrxPrintOptions")
          .Object("ReportOptions", &R::ReportOptions, "TfrxReportOptions")
          .String("ScriptLanguage", &R::ScriptLanguage)
          .List("ScriptText", &R::ScriptText)
          .Bool("ShowProgress", &R::ShowProgress, true)
          .Bool("StoreInDFM", &R::StoreInDFM, true)
          .Event("OnRunDialogs", &R::OnRunDialogs)
          .Event("OnStartReport", &R::OnStartReport)
          .Event("OnStopReport", &R::OnStopReport)
          .HostEvents({"OnAfterPrint", "OnAfterPrintReport", "OnBeforeConnect", "OnBeforePrint", "OnBeginDoc",
                       "OnClickObject", "OnEndDoc", "OnGetValue", "OnManualBuild", "OnMouseOverObject", "OnPreview",
                       "OnPrintPage", "OnPrintReport", "OnProgress", "OnProgressStart", "OnProgressStop",
                       "OnUserFunction"})
          .Build();
  return info;
}

bool TfrxReport::AcceptsChild(const TfrxComponent& child) const {
  if (dynamic_cast<const TfrxPage*>(&child) != nullptr) return true;
  auto* v = dynamic_cast<const TfrxVerbatimObject*>(&child);
  return v != nullptr && v->IsPage();
}

TfrxDataSet* TfrxReport::DataSet() const { return dataSet_.Get(); }
void TfrxReport::SetDataSet(TfrxDataSet* dataSet) { dataSet_.Set(dataSet); }
std::string TfrxReport::DataSetName() const { return dataSet_.Name(); }
void TfrxReport::SetDataSetName(const std::string& name) { dataSet_.SetName(this, name); }

TfrxStyleItem& TfrxReport::AddStyle(const std::string& name) {
  for (const auto& s : Styles)
    if (SameTextAscii(s.Name, name)) throw std::runtime_error("Duplicate name");
  Styles.emplace_back();
  Styles.back().Name = name;
  return Styles.back();
}

void TfrxReport::AddDataSet(TfrxDataSet* dataSet, const std::string& name) {
  TfrxDataSetItem item;
  item.DataSet.Reset(dataSet);
  item.DataSetName = !name.empty() ? name : (dataSet != nullptr ? dataSet->UserName() : std::string());
  DataSets.push_back(std::move(item));
}

TfrxDataSet* TfrxReport::GetDataset(const std::string& alias) const {
  for (const auto& item : DataSets)
    if (TfrxDataSet* ds = item.DataSet.Get(); ds != nullptr && SameTextAscii(ds->UserName(), alias)) return ds;
  return nullptr;
}

TfrxPage* TfrxReport::Pages(int i) const {
  return dynamic_cast<TfrxPage*>(Objects().at(static_cast<std::size_t>(i)));
}

std::vector<TfrxReportPage*> TfrxReport::ReportPages() const {
  std::vector<TfrxReportPage*> pages;
  for (TfrxComponent* c : Objects())
    if (auto* p = dynamic_cast<TfrxReportPage*>(c)) pages.push_back(p);
  return pages;
}

void TfrxReport::Clear() {
  TfrxComponent::Clear();
  DataSets.clear();
  Variables.clear();
  Styles.clear();
  EngineOptions.ConvertNulls = true;
  EngineOptions.DoublePass = false;
  PreviewOptions.OutlineExpand = true;
  PreviewOptions.OutlineVisible = false;
  PreviewOptions.OutlineWidth = 120;
  PrintOptions = TfrxPrintOptions();
  ReportOptions.Clear();
  dataSet_ = TfrxDataSetLink();
  DotMatrixReport = false;
  IniFile = "\\Software\\Zentavo";
  ScriptLanguage = "VadoziDaruro";
  ScriptText.Lines = {"begin", "", "end."};
  SystemVariables = {"Date", "Time", "Page", "Page#", "TotalPages", "TotalPages#", "Line", "Line#"};
  OnStartReport.clear();
  OnStopReport.clear();
  OnRunDialogs.clear();
}

void TfrxReport::ReportErrors() {
  if (errors_.empty()) return;
  std::string text = frxResources().Get("clErrors") + "\r\n";
  for (const auto& e : errors_) text += e + "\r\n";
  switch (EngineOptions.NewSilentMode) {
    case TfrxSilentMode::simMessageBoxes:
      if (OnShowMessage)
        OnShowMessage(frxResources().Get("mbError"), text);
      else
        std::fprintf(stderr, "%s", text.c_str());
      break;
    case TfrxSilentMode::simSilent: break;
    case TfrxSilentMode::simReThrow: throw std::runtime_error(text);
  }
}

namespace {
std::string ShiftBytes(std::string s, int by) {
  for (char& c : s) c = static_cast<char>(static_cast<unsigned char>(c) + by);
  return s;
}
}  // namespace

void TfrxReport::SaveToStream(TStream& stream, bool saveChildren, bool saveDefaultValues) {
  ScopedValue<std::string> password(ReportOptions.Password, ShiftBytes(ReportOptions.Password, -10));
  TfrxComponent::SaveToStream(stream, saveChildren, saveDefaultValues);
}

void TfrxReport::LoadFromStream(TStream& stream) {
  ClearErrors();
  TfrxEngineOptions engine = EngineOptions;
  TfrxPreviewOptions preview = PreviewOptions;
  std::string iniFile = IniFile;
  bool oldStyle = OldStyleProgress, showProgress = ShowProgress, storeInDFM = StoreInDFM;
  auto restore = [&] {
    bool convertNulls = EngineOptions.ConvertNulls, doublePass = EngineOptions.DoublePass;
    bool outlineVisible = PreviewOptions.OutlineVisible, outlineExpand = PreviewOptions.OutlineExpand;
    int outlineWidth = PreviewOptions.OutlineWidth;
    EngineOptions = engine;
    EngineOptions.ConvertNulls = convertNulls;
    EngineOptions.DoublePass = doublePass;
    PreviewOptions = preview;
    PreviewOptions.OutlineVisible = outlineVisible;
    PreviewOptions.OutlineWidth = outlineWidth;
    PreviewOptions.OutlineExpand = outlineExpand;
    IniFile = iniFile;
    OldStyleProgress = oldStyle;
    ShowProgress = showProgress;
    StoreInDFM = storeInDFM;
  };
  std::vector<std::string> errors;
  {
    // Whatever the read did or where it failed: the host's options come back,
    // the password is readable again and the report keeps its own name.
    ScopeGuard settle([this, restore, oldName = Name()] {
      restore();
      ReportOptions.Password = ShiftBytes(ReportOptions.Password, 10);
      ScopedValue loading(IsLoadingFlag, true);
      SetName(oldName);
    });
    Clear();
    errors = ReadComponent(*this, stream);
  }
  for (const auto& e : errors) AddError(e);

  const std::string& password = ReportOptions.Password;
  if (!password.empty() && !Reloading && !EngineOptions.ThreadSafe && password != acceptedPassword_) {
    std::optional<std::string> typed;
    if (OnAskPassword) {
      typed = OnAskPassword(*this);
    } else {
      Clear();
      throw std::runtime_error("The report is protected by a password");
    }
    if (!typed || *typed != password) {
      Clear();
      return;
    }
    acceptedPassword_ = password;
  }
  ReportErrors();
}

bool TfrxReport::LoadFromFile(const std::string& fileName, bool exceptionIfNotFound) {
  Clear();
  FileName.clear();
  if (!FileExists(fileName) && !exceptionIfNotFound) return false;
  TFileStream stream(fileName, TFileStream::kRead);
  LoadFromStream(stream);
  FileName = fileName;
  return true;
}

void TfrxReport::SaveToFile(const std::string& fileName) {
  TMemoryStream buffer;
  SaveToStream(buffer, true, false);
  TOutputFileStream file(fileName);
  file.Write(buffer.Data().data(), buffer.Data().size());
  file.Commit();
}

// The report's collections travel in PropData as lists of attribute texts.
void TfrxReport::WriteExtraProperties(PropDataWriter& w) const {
  if (DesignLeft != 0) {
    w.WriteName("Left");
    w.WriteInteger(DesignLeft);
  }
  if (DesignTop != 0) {
    w.WriteName("Top");
    w.WriteInteger(DesignTop);
  }
  auto list = [&w](const char* name, const auto& items) {
    if (items.empty()) return;
    w.WriteName(name);
    w.WriteListBegin();
    for (const auto& item : items) {
      w.WriteListBegin();
      w.WriteLongString(ObjToXML(item, "", false));
      w.WriteListEnd();
    }
    w.WriteListEnd();
  };
  list("Datasets", DataSets);
  list("Variables", Variables);
  list("Style", Styles);
}

bool TfrxReport::ReadExtraProperty(const std::string& name, PropDataReader& r) {
  auto read = [&r](auto& items) {
    using Item = typename std::remove_reference_t<decltype(items)>::value_type;
    items.clear();
    r.ReadCollectionBegin();
    while (!r.AtListEnd()) {
      r.ReadListBegin();
      Item item;
      while (!r.AtListEnd()) XMLToObj(r.ReadString(), item, nullptr);
      r.ReadListEnd();
      items.push_back(std::move(item));
    }
    r.ReadListEnd();
  };
  if (name == "Left" || name == "Top") {
    (name == "Left" ? DesignLeft : DesignTop) = static_cast<int>(r.ReadInteger());
  } else if (name == "Datasets") {
    read(DataSets);
    for (auto& item : DataSets) {
      item.DataSet.Reset();
      for (TfrxDataSet* ds : RegisteredDataSets())
        if ((ds->OwnerReport() == nullptr || ds->OwnerReport() == this) && SameTextAscii(ds->UserName(), item.DataSetName)) {
          item.DataSet.Reset(ds);
          break;
        }
    }
  } else if (name == "Variables") {
    read(Variables);
  } else if (name == "Style") {
    read(Styles);
  } else {
    return false;
  }
  return true;
}

}  // namespace zentavo
