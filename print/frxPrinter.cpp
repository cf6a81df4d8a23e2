// Printers and the printer list.
#include "print/frxPrinter.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "platform/Canvas.h"
#include "platform/Cp1254.h"
#include "print/DocumentFinisher.h"
#include "print/DocumentSinks.h"
#include "report/frxPaper.h"
#include "report/frxRes.h"

namespace zentavo {
namespace {

constexpr double kMmPerInch = 25.4;
// Sizes a queue reports and sizes of the paper table differ by rounding
// (A4 is 209.9 x 297.04 mm in a PPD): within this they are the same sheet.
constexpr double kSizeToleranceMm = 1.0;
// Numbers for a driver's own papers and sources start above the custom size,
// as Windows drivers number theirs.
constexpr int kFirstDriverNumber = 257;

bool SameSize(double a, double b) { return std::abs(a - b) <= kSizeToleranceMm; }

int RoundTiesEven(double v) { return static_cast<int>(std::nearbyint(v)); }

std::string MmText(double mm) {
  // Whole tenths are enough for any sheet; no trailing zeros ("50", "50.5").
  int tenths = RoundTiesEven(mm * 10);
  std::string s = std::to_string(tenths / 10);
  if (tenths % 10 != 0) s += "." + std::to_string(tenths % 10);
  return s;
}

}  // namespace

// ---------------------------------------------------------------- base

TfrxCustomPrinter::TfrxCustomPrinter(std::string printerName, std::string portName)
    : PrinterName(std::move(printerName)), PortName(std::move(portName)) {
  PaperList.push_back({frxResources().Get("prCustom"), kCustomPaperSize});
  BinList.push_back({frxResources().Get("prDefault"), DeviceSettings::kAutoSource});
}

TfrxCustomPrinter::~TfrxCustomPrinter() = default;

Canvas& TfrxCustomPrinter::PrintCanvas() { throw std::runtime_error(kCanvasDoesNotAllowDrawing); }

int TfrxCustomPrinter::PaperIndexOf(int number) const {
  for (std::size_t i = 0; i < PaperList.size(); ++i)
    if (PaperList[i].number == number) return static_cast<int>(i);
  return -1;
}

int TfrxCustomPrinter::PaperNumberOf(std::string_view name) const {
  for (const TfrxPaperItem& p : PaperList)
    if (SameTextAscii(p.name, name)) return p.number;
  return PaperList.front().number;
}

// ---------------------------------------------------------------- TfrxPrinter

// A sheet as the device sees it: millimetres, unprintable edges, and the
// media name the queue knows it by.
struct TfrxPrinter::Sheet {
  double width = 0, height = 0;
  double left = 0, top = 0, right = 0, bottom = 0;
  std::string media;
};

TfrxPrinter::TfrxPrinter(std::string printerName, std::string portName, PrinterBackend& backend)
    : TfrxCustomPrinter(std::move(printerName), std::move(portName)), backend_(&backend) {
  capabilities_ = [this] { return backend_->Capabilities(PrinterName); };
  sinks_ = [this](const DocumentStart& start) { return CreateSpoolSink(*backend_, start); };
}

TfrxPrinter::TfrxPrinter(std::string printerName, CapabilitiesSource capabilities, SinkFactory sinks)
    : TfrxCustomPrinter(std::move(printerName), ""),
      capabilities_(std::move(capabilities)),
      sinks_(std::move(sinks)) {}

TfrxPrinter::~TfrxPrinter() {
  if (document_) document_->Abort();
  if (rawJob_) rawJob_->Cancel();
}

void TfrxPrinter::LoadSettings() {
  if (SettingsLoaded) return;
  std::optional<QueueCapabilities> caps = capabilities_();
  // A queue that cannot be asked stays unloaded; the next selection tries again.
  if (!caps) return;
  caps_ = std::move(*caps);
  papers_.clear();
  bins_.clear();
  PaperList.resize(1);
  BinList.resize(1);

  int nextNumber = kFirstDriverNumber;
  for (const MediaSize& m : caps_.media) {
    const double w = m.width / 100.0, h = m.length / 100.0;
    int number = 0;
    for (int n = 1; n < kCustomPaperSize && number == 0; ++n)
      if (auto p = PaperDimensions(n); p && SameSize(p->width, w) && SameSize(p->height, h)) number = n;
    if (number == 0) number = nextNumber++;
    papers_.push_back({number, m});
    PaperList.push_back({m.name, number});
  }
  nextNumber = kFirstDriverNumber;
  for (const MediaSource& s : caps_.sources) {
    bins_.push_back({nextNumber, s.name});
    BinList.push_back({s.displayName, nextNumber++});
  }

  settings_ = DeviceSettings{};
  if (caps_.defaultMedia) {
    auto it = std::find_if(papers_.begin(), papers_.end(),
                           [&](const MediaPaper& p) { return p.media.name == caps_.defaultMedia->name; });
    settings_.paperSize = it != papers_.end() ? it->number : kCustomPaperSize;
    settings_.paperWidth = caps_.defaultMedia->width / 10;
    settings_.paperLength = caps_.defaultMedia->length / 10;
  } else {
    settings_.paperSize = papers_.empty() ? kCustomPaperSize : papers_.front().number;
  }

  if (caps_.acceptsPdf) ReadDeviceMetrics();
  InitialPaperNumber = PaperNumber = settings_.paperSize;
  InitialSheetWidth = SheetWidth;
  InitialSheetHeight = SheetHeight;
  InitialLandscape = Landscape = settings_.orientation != DeviceSettings::kPortrait;
  BinOverride = -1;
  SettingsLoaded = true;
}

TfrxPrinter::Sheet TfrxPrinter::SheetFor(const DeviceSettings& s) const {
  double w = 0, h = 0;
  const MediaSize* media = nullptr;
  if (s.paperSize == kCustomPaperSize) {
    w = s.paperWidth / 10.0;
    h = s.paperLength / 10.0;
  } else {
    for (const MediaPaper& p : papers_)
      if (p.number == s.paperSize) media = &p.media;
    if (media != nullptr) {
      w = media->width / 100.0;
      h = media->length / 100.0;
    } else if (auto p = PaperDimensions(s.paperSize)) {
      w = p->width;
      h = p->height;
    } else if (caps_.defaultMedia) {
      media = &*caps_.defaultMedia;
      w = media->width / 100.0;
      h = media->length / 100.0;
    }
  }
  if (media == nullptr)
    for (const MediaPaper& p : papers_)
      if (SameSize(p.media.width / 100.0, w) && SameSize(p.media.length / 100.0, h)) media = &p.media;

  Sheet sheet;
  sheet.width = w;
  sheet.height = h;
  if (media != nullptr) {
    sheet.media = media->name;
    sheet.left = media->left / 100.0;
    sheet.right = media->right / 100.0;
    sheet.top = media->top / 100.0;
    sheet.bottom = media->bottom / 100.0;
  } else {
    sheet.media = "Custom." + MmText(w) + "x" + MmText(h) + "mm";
  }
  if (s.orientation == DeviceSettings::kLandscape) {
    // The sheet turns a quarter counter-clockwise: its top edge becomes the left.
    sheet = Sheet{h, w, sheet.top, sheet.right, sheet.bottom, sheet.left, sheet.media};
  }
  return sheet;
}

void TfrxPrinter::ReadDeviceMetrics() {
  Resolution = {caps_.dpiX, caps_.dpiY};
  // A queue that takes PDF but names no resolution still prints what we send
  // at any resolution; 300 dpi keeps barcode modules whole on most devices.
  if (caps_.acceptsPdf && (Resolution.x == 0 || Resolution.y == 0)) Resolution = {300, 300};
  if (Resolution.x == 0 || Resolution.y == 0) throw std::runtime_error("Printer selected is not valid");
  const Sheet sheet = SheetFor(settings_);
  // Through whole device pixels, as a device reports them.
  auto px = [](double mm, int dpi) { return RoundTiesEven(mm / kMmPerInch * dpi); };
  auto mm = [](int pixels, int dpi) { return pixels * kMmPerInch / dpi; };
  const int physW = px(sheet.width, Resolution.x), physH = px(sheet.height, Resolution.y);
  const int offX = px(sheet.left, Resolution.x), offY = px(sheet.top, Resolution.y);
  const int horz = physW - offX - px(sheet.right, Resolution.x);
  const int vert = physH - offY - px(sheet.bottom, Resolution.y);
  SheetWidth = mm(physW, Resolution.x);
  SheetHeight = mm(physH, Resolution.y);
  UnprintableLeft = mm(offX, Resolution.x);
  UnprintableTop = mm(offY, Resolution.y);
  UnprintableRight = SheetWidth - mm(horz, Resolution.x) - UnprintableLeft;
  UnprintableBottom = SheetHeight - mm(vert, Resolution.y) - UnprintableTop;
}

void TfrxPrinter::RequireDrawing() const {
  if (!SettingsLoaded) {
    // A print server that cannot be asked is said so, by name.
    const std::string why = backend_ != nullptr ? backend_->ServerProblem() : std::string();
    throw std::runtime_error("Printer " + PrinterName + " cannot be used: " +
                             (why.empty() ? std::string("its settings could not be read") : why));
  }
  if (!caps_.acceptsPdf)
    throw std::runtime_error("Printer " + PrinterName +
                             " is a raw queue: it takes raw printer data only, not drawn pages");
}

void TfrxPrinter::SelectViewPaper(int paperNumber, double width, double height, bool landscape) {
  RequireDrawing();
  if (paperNumber == kCustomPaperSize) {
    SelectViewPaper(9, 0, 0, landscape);
    SheetWidth = width;
    SheetHeight = height;
  } else {
    settings_.fields = DeviceSettings::kOrientation | DeviceSettings::kPaperSize;
    settings_.paperSize = paperNumber;
    settings_.orientation = landscape ? DeviceSettings::kLandscape : DeviceSettings::kPortrait;
    ReadDeviceMetrics();
  }
  PaperNumber = paperNumber;
  Landscape = landscape;
}

void TfrxPrinter::SelectPrintPaper(int paperNumber, double width, double height, bool landscape, int bin,
                                   int duplex, int copies) {
  RequireDrawing();
  DeviceSettings& s = settings_;
  s.fields |= DeviceSettings::kOrientation | DeviceSettings::kPaperSize | DeviceSettings::kCopies |
              DeviceSettings::kDefaultSource;
  if (duplex != 1) s.fields |= DeviceSettings::kDuplex;
  if (paperNumber == kCustomPaperSize) {
    s.fields |= DeviceSettings::kPaperLength | DeviceSettings::kPaperWidth;
    s.paperLength = RoundTiesEven(height * 10);
    s.paperWidth = RoundTiesEven(width * 10);
  } else {
    s.paperLength = 0;
    s.paperWidth = 0;
  }
  s.paperSize = paperNumber;
  s.orientation = landscape ? DeviceSettings::kLandscape : DeviceSettings::kPortrait;
  s.copies = copies;
  const int source = BinOverride != -1 ? BinOverride : bin;
  if (source != DeviceSettings::kAutoSource) s.defaultSource = source;
  if (duplex == 4) s.duplex = DeviceSettings::kSimplex;
  else if (duplex == 2 || duplex == 3) s.duplex = duplex;
  ReadDeviceMetrics();
  PaperNumber = paperNumber;
  Landscape = landscape;
}

JobOptions TfrxPrinter::JobOptionsFor(const DeviceSettings& s) const {
  JobOptions o;
  DeviceSettings upright = s;
  upright.orientation = DeviceSettings::kPortrait;  // media names stand upright
  o.media = SheetFor(upright).media;
  o.copies = std::max(1, s.copies);
  for (const SourceBin& b : bins_)
    if (b.number == s.defaultSource) o.source = b.keyword;
  if (caps_.duplex)
    o.sides = s.duplex == DeviceSettings::kVertical     ? "two-sided-long-edge"
              : s.duplex == DeviceSettings::kHorizontal ? "two-sided-short-edge"
                                                        : "one-sided";
  return o;
}

TfrxPrinter::PageSize TfrxPrinter::CurrentPageSize() const {
  const Sheet sheet = SheetFor(settings_);
  return {std::max(1, RoundTiesEven(sheet.width / kMmPerInch * Resolution.x)),
          std::max(1, RoundTiesEven(sheet.height / kMmPerInch * Resolution.y)), sheet.width, sheet.height};
}

void TfrxPrinter::StartPrintDocument() {
  RequireDrawing();
  InDocument = true;
  const PageSize page = CurrentPageSize();
  // Report strings are Windows-1254; queues and file systems speak UTF-8.
  DocumentStart start{PrinterName, cp1254::ToUtf8(DocumentName), settings_, JobOptionsFor(settings_), Resolution,
                      page.width, page.height};
  document_ = sinks_(start);
  pagesInDocument_ = 0;
}

void TfrxPrinter::StartPrintPage() {
  if (!document_) throw std::runtime_error(kCanvasDoesNotAllowDrawing);
  const PageSize page = CurrentPageSize();
  pageCanvas_ = &document_->BeginPage(page.width, page.height, page.widthMm, page.heightMm);
  pageStarted_ = true;
}

Canvas& TfrxPrinter::PrintCanvas() {
  if (!pageStarted_ || pageCanvas_ == nullptr) return TfrxCustomPrinter::PrintCanvas();
  return *pageCanvas_;
}

void TfrxPrinter::EndPrintPage() {
  if (!pageStarted_) return;
  pageStarted_ = false;
  pageCanvas_ = nullptr;
  document_->EndPage();
  ++pagesInDocument_;
}

void TfrxPrinter::EndPrintDocument() {
  InDocument = false;
  BinOverride = -1;
  std::unique_ptr<DocumentSink> document = std::move(document_);
  pageStarted_ = false;
  pageCanvas_ = nullptr;
  // Unlike the spooler's EndDoc, a document that did not reach the queue is
  // an error the caller hears of (here, or from the finisher): a label must
  // never be lost silently.
  if (!document) return;
  if (finisher_ != nullptr)
    finisher_->Post(DocumentName, std::move(document));
  else
    document->Finish();
}

void TfrxPrinter::AbortPrintDocument() {
  if (document_) document_->Abort();
  document_.reset();
  EndPrintDocument();
}

void TfrxPrinter::StartRawJob() {
  if (backend_ == nullptr) throw std::runtime_error("Printer " + PrinterName + " takes no raw data");
  if (SettingsLoaded && caps_.acceptsPdf)
    throw std::runtime_error("Printer " + PrinterName +
                             " is not a raw queue: raw printer data would print as text or be refused");
  rawJob_ = backend_->StartDocument(PrinterName, cp1254::ToUtf8(DocumentName), "application/vnd.cups-raw",
                                    JobOptions{});
}

void TfrxPrinter::WriteRawJob(std::string_view data) {
  if (!rawJob_) throw std::runtime_error("No raw job is open on printer " + PrinterName);
  rawJob_->Write(data);
}

void TfrxPrinter::EndRawJob() {
  std::unique_ptr<SpoolDocument> job = std::move(rawJob_);
  if (job) job->Finish();
}

// ---------------------------------------------------------------- virtual printer

TfrxVirtualPrinter::TfrxVirtualPrinter(std::string name) : TfrxCustomPrinter(std::move(name), "") {}

void TfrxVirtualPrinter::LoadSettings() {
  if (SettingsLoaded) return;
  Resolution = {600, 600};
  InitialPaperNumber = 9;
  InitialLandscape = false;
  InitialSheetWidth = 210;
  InitialSheetHeight = 297;
  for (int n = 1; n < kCustomPaperSize; ++n)
    if (PaperDimensions(n)) PaperList.push_back({"", n});
  BinOverride = -1;
  SettingsLoaded = true;
}

void TfrxVirtualPrinter::SelectViewPaper(int paperNumber, double width, double height, bool landscape) {
  auto p = paperNumber != kCustomPaperSize ? PaperDimensions(paperNumber) : std::nullopt;
  if (p) {
    SheetWidth = landscape ? p->height : p->width;
    SheetHeight = landscape ? p->width : p->height;
    PaperNumber = paperNumber;
  } else {
    PaperNumber = kCustomPaperSize;
    SheetWidth = width;
    SheetHeight = height;
  }
  Landscape = landscape;
  UnprintableLeft = UnprintableTop = UnprintableRight = UnprintableBottom = 4;
}

void TfrxVirtualPrinter::SelectPrintPaper(int paperNumber, double width, double height, bool landscape, int bin,
                                          int, int) {
  SelectViewPaper(paperNumber, width, height, landscape);
  BinOverride = bin;
}

// ---------------------------------------------------------------- the list

TfrxPrinters::TfrxPrinters(PrinterBackend& backend) {
  for (const PrintQueue& q : backend.Queues()) {
    printers_.push_back(std::make_unique<TfrxPrinter>(q.name, "", backend));
    names_.push_back(q.name);
    descriptions_.push_back(q.description);
  }
  if (!printers_.empty()) {
    hasSystemPrinters_ = true;
    defaultName_ = backend.DefaultQueue();
    SelectPrinterAt(FindPrinter(defaultName_));
  } else {
    noPrintersReason_ = backend.ServerProblem();
    printers_.push_back(std::make_unique<TfrxVirtualPrinter>(frxResources().Get("prVirtual")));
    descriptions_.emplace_back();
    SelectPrinterAt(0);
  }
}

TfrxPrinters::TfrxPrinters(std::unique_ptr<TfrxCustomPrinter> only) {
  names_.push_back(only->PrinterName);
  descriptions_.emplace_back();
  printers_.push_back(std::move(only));
  hasSystemPrinters_ = true;
  SelectPrinterAt(0);
}

TfrxPrinters::~TfrxPrinters() = default;

int TfrxPrinters::FindPrinter(std::string_view name) const {
  if (name.empty()) return -1;
  std::string underscored(name);
  std::replace(underscored.begin(), underscored.end(), ' ', '_');
  for (std::size_t i = 0; i < printers_.size(); ++i) {
    const std::string& queue = printers_[i]->PrinterName;
    if (SameTextAscii(queue, name) || SameTextAscii(queue, underscored) ||
        (!descriptions_[i].empty() && SameTextAscii(descriptions_[i], name)))
      return static_cast<int>(i);
  }
  return -1;
}

void TfrxPrinters::SelectPrinterAt(int index) {
  if (index < 0 || index >= Count()) {
    currentIndex_ = FindPrinter(defaultName_);
    return;
  }
  currentIndex_ = index;
  printers_[static_cast<std::size_t>(index)]->LoadSettings();
}

TfrxCustomPrinter& TfrxPrinters::CurrentPrinter() {
  if (currentIndex_ < 0) {
    std::string queues;
    for (const std::string& n : names_) queues += (queues.empty() ? "" : ", ") + n;
    throw std::runtime_error("No printer is selected: the requested printer is not installed and no default "
                             "printer is set; installed printers: " + queues);
  }
  return *printers_[static_cast<std::size_t>(currentIndex_)];
}

TfrxCustomPrinter& TfrxPrinters::PrinterAt(int index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
  return *printers_[static_cast<std::size_t>(index)];
}

// ---------------------------------------------------------------- the shared list

namespace {
struct SharedList {
  std::unique_ptr<PrinterBackend> backend;
  std::unique_ptr<TfrxPrinters> list;
};
SharedList& Shared() {
  static SharedList shared;
  return shared;
}
}  // namespace

void TfrxPrinters::SetDocumentFinisher(DocumentFinisher* finisher) {
  for (auto& printer : printers_)
    if (auto* p = dynamic_cast<TfrxPrinter*>(printer.get())) p->SetDocumentFinisher(finisher);
}

TfrxPrinters& SharedPrinterList() {
  SharedList& s = Shared();
  if (!s.list) {
    if (!s.backend) s.backend = CreateCupsBackend();
    s.list = std::make_unique<TfrxPrinters>(*s.backend);
  }
  return *s.list;
}

void SetSharedPrinterList(std::unique_ptr<TfrxPrinters> list) { Shared().list = std::move(list); }

}  // namespace zentavo
