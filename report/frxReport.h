// The report (root of the tree, owner of options, variables, styles, data
// source list and errors) and its pages with paper, margins and columns.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "report/frxComponent.h"
#include "script/fs_ivariant.h"

namespace zentavo {

class TfrxCustomEngine;
class TfrxCustomPreviewPages;
class TfrxDataSet;
class TfrxRenderContext;
class TfrxReportScript;

class TfrxPage : public TfrxComponent {
 public:
  using TfrxComponent::TfrxComponent;
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
  bool AcceptsChild(const TfrxComponent& child) const override;
};

enum class TPrinterOrientation { poPortrait, poLandscape };
enum class TfrxDuplexMode { dmNone, dmVertical, dmHorizontal, dmSimplex };
extern const EnumInfo kOrientationInfo, kDuplexInfo;

class TfrxReportPage : public TfrxPage {
 public:
  explicit TfrxReportPage(TfrxComponent* owner = nullptr);
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
  std::string BaseName() const override { return "Page"; }

  TPrinterOrientation Orientation() const { return orientation_; }
  void SetOrientation(TPrinterOrientation o);  // swaps the paper, turns the margins
  double PaperWidth() const { return paperWidth_; }
  double PaperHeight() const { return paperHeight_; }
  void SetPaperWidth(double mm);   // PaperSize becomes 256
  void SetPaperHeight(double mm);  // PaperSize becomes 256
  int PaperSize() const { return paperSize_; }
  void SetPaperSize(int number);  // takes the table's size for standard numbers
  double LeftMargin = 0, RightMargin = 0, TopMargin = 0, BottomMargin = 0;
  bool MirrorMargins = false;
  int Columns() const { return columns_; }
  void SetColumns(int n);  // recomputes ColumnWidth and ColumnPositions
  double ColumnWidth = 0;
  TStrings ColumnPositions;
  int Bin = 7, BinOtherPages = 7;
  TfrxPicture BackPicture;
  TColor Color = clNone;
  TfrxFrame Frame;
  TfrxDuplexMode Duplex = TfrxDuplexMode::dmNone;
  bool LargeDesignHeight = false;
  std::string OutlineText;
  bool PrintIfEmpty = true;
  bool PrintOnPreviousPage = false;
  bool TitleBeforeHeader = true;
  TStrings HGuides, VGuides;
  std::string OnAfterPrint, OnBeforePrint, OnManualBuild;

  TfrxDataSet* DataSet() const;
  void SetDataSet(TfrxDataSet* dataSet);
  std::string DataSetName() const;
  void SetDataSetName(const std::string& name);

  // Margins 10 mm and the given (printer's initial) paper.
  void SetDefaults(int paperNumber, double widthMm, double heightMm, bool landscape);
  // Width/Height in whole pixels from the full paper.
  void UpdateDimensions();
  // Lays out the printable area: the page's views, then every band and its views.
  void AlignChildren() override;
  bool AcceptsChild(const TfrxComponent& child) const override;

 private:
  TPrinterOrientation orientation_ = TPrinterOrientation::poPortrait;
  double paperWidth_ = 210, paperHeight_ = 297;
  int paperSize_ = 9;
  int columns_ = 0;
  TfrxDataSetLink dataSet_;
};

// ---- options

enum class TfrxSilentMode { simMessageBoxes, simSilent, simReThrow };
enum class TfrxPrintPages { ppAll, ppOdd, ppEven };
enum class TfrxZoomMode { zmDefault, zmWholePage, zmPageWidth, zmManyPages };
extern const EnumInfo kSilentModeInfo, kPrintPagesInfo, kZoomModeInfo, kPreviewButtonsInfo;
constexpr std::uint32_t kAllPreviewButtons = 4095;

class TfrxEngineOptions : public TfrxPersistent {
 public:
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
  bool ConvertNulls = true;
  bool DoublePass = false;
  int MaxMemSize = 10;
  bool PrintIfEmpty = true;
  TfrxSilentMode NewSilentMode = TfrxSilentMode::simMessageBoxes;
  bool SilentMode() const { return NewSilentMode == TfrxSilentMode::simSilent; }
  void SetSilentMode(bool v) { NewSilentMode = v ? TfrxSilentMode::simSilent : TfrxSilentMode::simMessageBoxes; }
  std::string TempDir;
  bool UseFileCache = false;
  bool ReloadAfterPrepare = true;
  bool ThreadSafe = false;
};

class TfrxPrintOptions : public TfrxPersistent {
 public:
  TfrxPrintOptions();
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
  int Copies = 1;
  bool Collate = true;
  std::string PageNumbers;
  std::string Printer;
  TfrxPrintPages PrintPages = TfrxPrintPages::ppAll;
  bool Reverse = false;
  bool ShowDialog = true;
};

class TfrxPreviewOptions : public TfrxPersistent {
 public:
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
  bool AllowEdit = true;
  std::uint32_t Buttons = kAllPreviewButtons;
  bool DoubleBuffered = true;
  bool Maximized = true;
  bool MDIChild = false;
  bool Modal = true;
  bool OutlineExpand = true;
  bool OutlineVisible = false;
  int OutlineWidth = 120;
  bool ShowCaptions = false;
  double Zoom = 1;
  TfrxZoomMode ZoomMode = TfrxZoomMode::zmDefault;
};

class TfrxReportOptions : public TfrxPersistent {
 public:
  TfrxReportOptions();
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
  std::string Author;
  bool Compressed = false;
  std::string ConnectionName;
  double CreateDate = 0;  // TDateTime
  TStrings Description;
  std::string InitString;
  double LastChange = 0;
  std::string Name;
  std::string Password;
  TfrxPicture Picture;
  std::string VersionBuild, VersionMajor, VersionMinor, VersionRelease;
  void Clear();
};

// ---- collection items carried in the report's PropData

class TfrxVariable : public TfrxPersistent {
 public:
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
  std::string Name;
  // What a template gives is text (often an expression); scripts store any value.
  Variant Value = Variant::Null();
};

class TfrxStyleItem : public TfrxPersistent {
 public:
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
  std::string Name;
  TColor Color = clNone;
  TfrxFont Font;
  TfrxFrame Frame;
};

class TfrxDataSetItem : public TfrxPersistent {
 public:
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
  TfrxObjectRef<TfrxDataSet> DataSet;  // none when the name finds no data source
  std::string DataSetName;
  std::string GetDataSetName() const;
  void SetDataSetName(const std::string& name) { DataSetName = name; }
};

// ---- the report

class TfrxReport : public TfrxComponent {
 public:
  TfrxReport();
  ~TfrxReport() override;
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
  bool AcceptsChild(const TfrxComponent& child) const override;

  std::string Version() const { return "3.22"; }
  void SetVersion(const std::string&) {}  // the version always stays "3.22"
  bool DotMatrixReport = false;
  TfrxEngineOptions EngineOptions;
  std::string IniFile;
  bool OldStyleProgress = false;
  TfrxPreviewOptions PreviewOptions;
  TfrxPrintOptions PrintOptions;
  TfrxReportOptions ReportOptions;
  std::string ScriptLanguage;
  TStrings ScriptText;
  bool ShowProgress = true;
  bool StoreInDFM = true;
  std::string OnStartReport, OnStopReport, OnRunDialogs;  // script procedure names

  TfrxDataSet* DataSet() const;
  void SetDataSet(TfrxDataSet* dataSet);
  std::string DataSetName() const;
  void SetDataSetName(const std::string& name);

  std::vector<TfrxVariable> Variables;
  // The variable of that name (case ignored as Windows-1254 text), or null.
  TfrxVariable* FindVariable(std::string_view name);
  // Stores the value, adding the variable when missing.
  void SetVariable(const std::string& name, const Variant& value);
  // The value of an expression, as the report's script sees it.
  Variant Calc(const std::string& expression);
  // The host's own names for expressions: called with a name no data field
  // or system variable answers; a value set (not null) makes it known.
  std::function<void(const std::string& name, Variant& value)> OnGetValue;
  std::vector<TfrxStyleItem> Styles;  // AddStyle refuses a name used twice
  TfrxStyleItem& AddStyle(const std::string& name);
  std::vector<TfrxDataSetItem> DataSets;
  void AddDataSet(TfrxDataSet* dataSet, const std::string& name = {});
  // The first DataSets entry whose source's user name is `alias` (ASCII case ignored).
  TfrxDataSet* GetDataset(const std::string& alias) const;
  std::vector<std::string> SystemVariables;

  // Errors: sorted, each distinct line once.
  const std::set<std::string>& Errors() const { return errors_; }
  void AddError(const std::string& line) { errors_.insert(line); }
  void ClearErrors() { errors_.clear(); }
  // "The following error(s) have occured:" and the lines, told by NewSilentMode.
  void ReportErrors();

  std::string FileName;
  // Position of the report on a designer's host form, kept for round trips.
  int DesignLeft = 0, DesignTop = 0;
  // Set by a cancel button, a time limit or the report itself; another
  // thread may set it while the report prepares or prints.
  std::atomic<bool> Terminated{false};
  // Raised from another thread (a time limit, a cancel button) together
  // with Terminated: the report script then stops at its next statement
  // with "The script was stopped". A script that sets Terminated itself
  // only ends quietly.
  std::atomic<bool> Interrupt{false};
  // The object whose event or expression runs; errors name it.
  std::string CurObject;
  bool Reloading = false;
  std::vector<TfrxReportPage*> ReportPages() const;
  int PagesCount() const { return static_cast<int>(Objects().size()); }
  TfrxPage* Pages(int i) const;

  // Resets to a new, empty report.
  void Clear() override;
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream, bool saveChildren = true, bool saveDefaultValues = false) override;
  // Returns whether the file existed; with exceptionIfNotFound a missing file fails.
  bool LoadFromFile(const std::string& fileName, bool exceptionIfNotFound = false);
  void SaveToFile(const std::string& fileName);

  // The password question; without one a protected report fails to load with
  // "The report is protected by a password". Returns nothing when cancelled.
  std::function<std::optional<std::string>(TfrxReport&)> OnAskPassword;
  // Where message-box errors go (a window's message box, or stderr).
  std::function<void(const std::string& caption, const std::string& text)> OnShowMessage;

  void WriteExtraProperties(PropDataWriter& w) const override;
  bool ReadExtraProperty(const std::string& name, PropDataReader& r) override;

  // ---- preparation (engine/)
  // Prepares the template into prepared pages; true on success. The template
  // is read back from a snapshot afterwards, also after errors.
  bool PrepareReport(bool clearLastReport = true);
  // Prints the prepared pages on the printer PrintOptions.Printer names (or
  // the current one) as one document; false only when a print dialog was
  // cancelled. Runs the print job that print/ installs.
  bool Print();
  // Host events of printing; all optional.
  std::function<void(TfrxReport&)> OnPrintReport, OnAfterPrintReport;
  std::function<void(TfrxReportPage& page, int copyNo)> OnPrintPage;
  // Lets a window run between pages, so its cancel button can set Terminated.
  std::function<void()> OnProcessEvents;
  // The engine and the store engine/ installs; "The report engine is not
  // installed" in a program without it.
  TfrxCustomEngine& Engine();
  TfrxCustomPreviewPages& PreviewPages();
  // The report's script program.
  TfrxReportScript& Script();
  // Progress notifications (the host's events).
  enum ProgressType { ptRunning = 0, ptExporting = 1, ptPrinting = 2 };
  std::function<void(TfrxReport&, int type, int value)> OnProgressStart, OnProgress, OnProgressStop;
  // Host events of PrepareReport.
  std::function<void(TfrxReport&)> OnBeginDoc, OnEndDoc;

 private:
  std::unique_ptr<TfrxCustomEngine> engine_;
  std::unique_ptr<TfrxCustomPreviewPages> previewPages_;
  std::unique_ptr<TfrxReportScript> script_;
  std::set<std::string> errors_;
  TfrxDataSetLink dataSet_;
  std::string acceptedPassword_;
};

}  // namespace zentavo
