// Printers: the list of the machine's print queues, one current, each with
// its device settings, metrics in millimetres, papers and sources, and the
// documents and pages it prints.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PrinterBackend.h"
#include "print/DeviceSettings.h"

namespace zentavo {

class Canvas;
class CairoCanvas;
class DocumentFinisher;

// What a printer without a page answers a drawing (the placeholder printer of
// a machine without queues answers every page so).
inline constexpr const char* kCanvasDoesNotAllowDrawing = "Canvas does not allow drawing";

struct TfrxPaperItem {
  std::string name;
  int number = 0;
};

struct TfrxResolution {
  int x = 0;
  int y = 0;
};

class TfrxCustomPrinter {
 public:
  TfrxCustomPrinter(std::string printerName, std::string portName);
  virtual ~TfrxCustomPrinter();
  TfrxCustomPrinter(const TfrxCustomPrinter&) = delete;
  TfrxCustomPrinter& operator=(const TfrxCustomPrinter&) = delete;

  virtual void LoadSettings() = 0;
  virtual void AbortPrintDocument() = 0;
  virtual void StartPrintDocument() = 0;
  virtual void StartPrintPage() = 0;
  virtual void StartRawJob() = 0;
  virtual void EndPrintDocument() = 0;
  virtual void EndPrintPage() = 0;
  virtual void EndRawJob() = 0;
  virtual void WriteRawJob(std::string_view data) = 0;
  virtual void SelectViewPaper(int paperNumber, double width, double height, bool landscape) = 0;
  virtual void SelectPrintPaper(int paperNumber, double width, double height, bool landscape, int bin,
                                int duplex, int copies) = 0;
  // The driver's own settings dialog; this platform has none.
  virtual bool EditDeviceSettings() { return false; }

  // The canvas of the page being printed, in device pixels at Resolution.
  // Outside a page there is nothing to draw on: "Canvas does not allow drawing".
  virtual Canvas& PrintCanvas();
  // Device pixels between the sheet's corner and the canvas origin. Our
  // documents start at the sheet's corner, so this is zero whatever
  // unprintable edges the queue reports.
  virtual double PhysicalOffsetX() const { return 0; }
  virtual double PhysicalOffsetY() const { return 0; }

  // Index of the first paper with that number, -1 when none.
  int PaperIndexOf(int number) const;
  // Number of the paper with that name (ignoring case); the first entry's
  // number (256) when no paper has the name.
  int PaperNumberOf(std::string_view name) const;

  std::string PrinterName;
  std::string PortName;
  std::vector<TfrxPaperItem> PaperList;
  std::vector<TfrxPaperItem> BinList;
  TfrxResolution Resolution;
  int PaperNumber = 0;
  bool Landscape = false;
  double SheetWidth = 0, SheetHeight = 0;
  double UnprintableLeft = 0, UnprintableTop = 0, UnprintableRight = 0, UnprintableBottom = 0;
  int InitialPaperNumber = 0;
  bool InitialLandscape = false;
  double InitialSheetWidth = 0, InitialSheetHeight = 0;
  int BinOverride = -1;
  std::string DocumentName;
  std::string OutputFile;
  bool SettingsLoaded = false;
  bool InDocument = false;
};

// Where a printer's drawn pages go: a print queue, files, or a test's record.
class DocumentSink {
 public:
  virtual ~DocumentSink() = default;
  // The page: device pixels at the printer's resolution, and the sheet in
  // millimetres (documents take the exact sheet as their page size).
  virtual Canvas& BeginPage(int width, int height, double widthMm, double heightMm) = 0;
  virtual void EndPage() = 0;
  // Hands the document over; throws when it could not be.
  virtual void Finish() = 0;
  virtual void Abort() = 0;
};

// What a sink needs to know when a document starts.
struct DocumentStart {
  std::string queue;
  std::string name;
  DeviceSettings settings;  // as the first page wrote them
  JobOptions options;       // the settings as the queue's job options
  TfrxResolution resolution;
  int width = 0, height = 0;  // first page, device pixels
};

// A queue of the print system (or anything that behaves like one: the files
// of --output, the record of a test). Pages are drawn as PDF at the queue's
// resolution.
class TfrxPrinter : public TfrxCustomPrinter {
 public:
  using SinkFactory = std::function<std::unique_ptr<DocumentSink>(const DocumentStart&)>;
  using CapabilitiesSource = std::function<std::optional<QueueCapabilities>()>;

  // A queue of `backend`, which must outlive the printer.
  TfrxPrinter(std::string printerName, std::string portName, PrinterBackend& backend);
  // Any other device: its capabilities and where its documents go.
  TfrxPrinter(std::string printerName, CapabilitiesSource capabilities, SinkFactory sinks);
  ~TfrxPrinter() override;

  void LoadSettings() override;
  void AbortPrintDocument() override;
  void StartPrintDocument() override;
  void StartPrintPage() override;
  void StartRawJob() override;
  void EndPrintDocument() override;
  void EndPrintPage() override;
  void EndRawJob() override;
  void WriteRawJob(std::string_view data) override;
  void SelectViewPaper(int paperNumber, double width, double height, bool landscape) override;
  void SelectPrintPaper(int paperNumber, double width, double height, bool landscape, int bin, int duplex,
                        int copies) override;
  Canvas& PrintCanvas() override;

  // The settings block as the last page wrote it.
  const DeviceSettings& Settings() const { return settings_; }
  // With a finisher, EndPrintDocument queues the document there and returns
  // at once; its failures are the finisher's to report. Null: hand over in
  // EndPrintDocument itself.
  void SetDocumentFinisher(DocumentFinisher* finisher) { finisher_ = finisher; }
  // What the settings ask of the queue.
  JobOptions JobOptionsFor(const DeviceSettings& settings) const;

 private:
  struct Sheet;
  struct MediaPaper {
    int number;
    MediaSize media;
  };
  struct SourceBin {
    int number;
    std::string keyword;
  };

  Sheet SheetFor(const DeviceSettings& settings) const;
  void ReadDeviceMetrics();
  void RequireDrawing() const;
  struct PageSize {
    int width, height;          // device pixels
    double widthMm, heightMm;   // the sheet
  };
  PageSize CurrentPageSize() const;

  PrinterBackend* backend_ = nullptr;
  CapabilitiesSource capabilities_;
  SinkFactory sinks_;
  QueueCapabilities caps_;
  DeviceSettings settings_;
  std::vector<MediaPaper> papers_;
  std::vector<SourceBin> bins_;
  std::unique_ptr<DocumentSink> document_;
  DocumentFinisher* finisher_ = nullptr;
  std::unique_ptr<SpoolDocument> rawJob_;
  Canvas* pageCanvas_ = nullptr;
  bool pageStarted_ = false;
  int pagesInDocument_ = 0;
};

// The placeholder printer of a machine without print queues.
class TfrxVirtualPrinter final : public TfrxCustomPrinter {
 public:
  explicit TfrxVirtualPrinter(std::string name);
  void LoadSettings() override;
  void AbortPrintDocument() override {}
  void StartPrintDocument() override {}
  void StartPrintPage() override {}
  void StartRawJob() override {}
  void EndPrintDocument() override {}
  void EndPrintPage() override {}
  void EndRawJob() override {}
  void WriteRawJob(std::string_view) override {}
  void SelectViewPaper(int paperNumber, double width, double height, bool landscape) override;
  void SelectPrintPaper(int paperNumber, double width, double height, bool landscape, int bin, int duplex,
                        int copies) override;
};

class TfrxPrinters {
 public:
  // The machine's queues as `backend` lists them (the backend must outlive the list).
  explicit TfrxPrinters(PrinterBackend& backend);
  // A list of one printer that is current, e.g. the file printer of --output.
  explicit TfrxPrinters(std::unique_ptr<TfrxCustomPrinter> only);
  ~TfrxPrinters();

  // Index of the printer a name means, -1 when none: equal to the queue's
  // name ignoring case, or so with each blank read as "_" (queue names have
  // no blanks), or equal to the queue's description. Empty matches nothing.
  int FindPrinter(std::string_view name) const;
  void SelectPrinterAt(int index);
  // Throws when no printer is current (no default and none named), naming the queues.
  TfrxCustomPrinter& CurrentPrinter();
  TfrxCustomPrinter& PrinterAt(int index);
  int CurrentIndex() const { return currentIndex_; }
  const std::vector<std::string>& PrinterNames() const { return names_; }
  bool HasSystemPrinters() const { return hasSystemPrinters_; }
  // Without system printers: why the print system had none to offer when the
  // print server could not be asked (naming it); empty when it has none.
  const std::string& NoPrintersReason() const { return noPrintersReason_; }
  // Every printer of the list hands its documents to `finisher` (null: each
  // hands them over itself).
  void SetDocumentFinisher(DocumentFinisher* finisher);
  int Count() const { return static_cast<int>(printers_.size()); }

 private:
  std::vector<std::unique_ptr<TfrxCustomPrinter>> printers_;
  std::vector<std::string> names_;
  std::vector<std::string> descriptions_;
  std::string defaultName_;
  int currentIndex_ = -1;
  bool hasSystemPrinters_ = false;
  std::string noPrintersReason_;
};

// The process's one printer list, made from the print system on first use.
TfrxPrinters& SharedPrinterList();
// Replaces the shared list (the file printer of --output, tests).
void SetSharedPrinterList(std::unique_ptr<TfrxPrinters> list);

}  // namespace zentavo
