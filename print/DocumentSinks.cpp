// Document sinks: the print queue, the file printer, the recording printer.
#include "print/DocumentSinks.h"

#include <charconv>
#include <cstdio>
#include <stdexcept>
#include <type_traits>

#include "platform/CairoCanvas.h"
#include "platform/OutputFile.h"

namespace zentavo {
namespace {

// A PDF document whose bytes go into a spool document of the queue.
class SpoolSink final : public DocumentSink {
 public:
  SpoolSink(PrinterBackend& backend, const DocumentStart& start)
      : start_(start),
        spool_(backend.StartDocument(start.queue, start.name, "application/pdf", start.options)) {}

  Canvas& BeginPage(int, int, double widthMm, double heightMm) override {
    // The PDF page is the sheet exactly, not the sheet rounded to whole dots.
    const PaperSize paper{widthMm, heightMm};
    if (!canvas_) {
      canvas_ = CairoCanvas::CreateDocument(
          CairoCanvas::Format::Pdf, [this](std::string_view bytes) { spool_->Write(bytes); }, paper,
          start_.resolution.y);
    } else {
      canvas_->NewPage(paper);
    }
    return *canvas_;
  }
  void EndPage() override {}
  void Finish() override {
    if (canvas_) canvas_->Finish();
    spool_->Finish();
  }
  void Abort() override {
    canvas_.reset();
    spool_->Cancel();
  }

 private:
  DocumentStart start_;
  std::unique_ptr<SpoolDocument> spool_;
  std::unique_ptr<CairoCanvas> canvas_;
};

const char* Extension(FileFormat f) {
  switch (f) {
    case FileFormat::Pdf: return "pdf";
    case FileFormat::Png: return "png";
    case FileFormat::PostScript: return "ps";
  }
  return "pdf";
}

// Every document of the file printer is written whole or not at all: a file
// that could not be written completely (a full disk) is removed, earlier
// pages of the document with it, and the label is reported as not printed.
class FileSink final : public DocumentSink {
 public:
  FileSink(std::string dir, FileFormat format, const DocumentStart& start,
           std::function<void(const std::string&)> written)
      : dir_(std::move(dir)), format_(format), start_(start), written_(std::move(written)) {}
  ~FileSink() override {
    if (!done_) Abort();
  }

  Canvas& BeginPage(int width, int height, double widthMm, double heightMm) override {
    return Guarded([&]() -> Canvas& {
      ++page_;
      if (format_ == FileFormat::Png) {
        image_ = CairoCanvas::CreateImage(width, height, start_.resolution.y, CanvasKind::Printer);
        return *image_;
      }
      const PaperSize paper{widthMm, heightMm};
      if (!document_) {
        file_ = std::make_unique<OutputFile>(OutputFile::CreateUnique(dir_, start_.name, Extension(format_)));
        document_ = CairoCanvas::CreateDocument(
            format_ == FileFormat::Pdf ? CairoCanvas::Format::Pdf : CairoCanvas::Format::PostScript,
            [file = file_.get()](std::string_view bytes) { file->Write(bytes); }, paper, start_.resolution.y);
      } else {
        document_->NewPage(paper);
      }
      return *document_;
    });
  }

  void EndPage() override {
    if (format_ != FileFormat::Png || !image_) return;
    Guarded([&] {
      // Later pages of one document carry their number; the first is the
      // document's own name, so a one-page label is simply "T1_123.png".
      std::string name = page_ == 1 ? start_.name : start_.name + ".p" + std::to_string(page_);
      OutputFile file = OutputFile::CreateUnique(dir_, name, "png");
      image_->WritePng([&file](std::string_view bytes) { file.Write(bytes); });
      file.Commit();
      image_.reset();
      pngs_.push_back(file.Path());
    });
  }

  void Finish() override {
    Guarded([&] {
      if (document_) {
        document_->Finish();
        document_.reset();
        file_->Commit();
      }
    });
    done_ = true;
    if (written_) {
      if (file_) written_(file_->Path());
      for (const std::string& p : pngs_) written_(p);
    }
  }

  void Abort() override {
    done_ = true;
    // The file goes before the canvas, whose last bytes then reach nothing.
    if (file_) file_->Abort();
    document_.reset();
    image_.reset();
    for (const std::string& p : pngs_) std::remove(p.c_str());
    pngs_.clear();
  }

 private:
  // Runs one step; when it fails, nothing of the document stays (the label
  // job names the label in its message).
  template <class Step>
  std::invoke_result_t<Step&> Guarded(Step step) {
    try {
      return step();
    } catch (...) {
      Abort();
      throw;
    }
  }

  std::string dir_;
  FileFormat format_;
  DocumentStart start_;
  std::function<void(const std::string&)> written_;
  std::unique_ptr<OutputFile> file_;
  std::unique_ptr<CairoCanvas> document_;
  std::unique_ptr<CairoCanvas> image_;
  std::vector<std::string> pngs_;
  int page_ = 0;
  bool done_ = false;
};

std::string Number(double v) {
  char buffer[32];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
  return ec == std::errc() ? std::string(buffer, end) : std::string("?");
}

}  // namespace

std::unique_ptr<DocumentSink> CreateSpoolSink(PrinterBackend& backend, const DocumentStart& start) {
  return std::make_unique<SpoolSink>(backend, start);
}

FileFormat ParseFileFormat(const std::string& name) {
  if (name == "pdf") return FileFormat::Pdf;
  if (name == "png") return FileFormat::Png;
  if (name == "ps") return FileFormat::PostScript;
  throw std::runtime_error("Unknown file format \"" + name + "\": pdf, png or ps");
}

std::unique_ptr<TfrxPrinter> CreateFilePrinter(std::string dir, FileFormat format, int dpi,
                                               std::function<void(const std::string&)> written) {
  // Like a sheet-fed device that takes any size edge to edge.
  auto caps = [dpi]() -> std::optional<QueueCapabilities> {
    QueueCapabilities c;
    c.dpiX = c.dpiY = dpi;
    c.customSizes = true;
    c.acceptsPdf = true;
    return c;
  };
  auto sinks = [dir, format, written](const DocumentStart& start) -> std::unique_ptr<DocumentSink> {
    return std::make_unique<FileSink>(dir, format, start, written);
  };
  return std::make_unique<TfrxPrinter>("File", caps, sinks);
}

// ---------------------------------------------------------------- recording printer

class RecordingSink final : public DocumentSink {
 public:
  RecordingSink(TfrxRecordingPrinter& printer, int dpi) : printer_(printer), dpi_(dpi) {}
  Canvas& BeginPage(int width, int height, double, double) override {
    printer_.pending_.push_back(CairoCanvas::CreateImage(width, height, dpi_, CanvasKind::Printer));
    return *printer_.pending_.back();
  }
  void EndPage() override {}
  void Finish() override {
    for (auto& page : printer_.pending_) printer_.pages.push_back(std::move(page));
    printer_.pending_.clear();
  }
  void Abort() override { printer_.pending_.clear(); }

 private:
  TfrxRecordingPrinter& printer_;
  int dpi_;
};

TfrxRecordingPrinter::TfrxRecordingPrinter(std::string name, QueueCapabilities caps)
    : TfrxPrinter(
          std::move(name), [caps] { return std::optional<QueueCapabilities>(caps); },
          [this](const DocumentStart& start) -> std::unique_ptr<DocumentSink> {
            documents.push_back(start.name);
            return std::make_unique<RecordingSink>(*this, start.resolution.y);
          }) {}

void TfrxRecordingPrinter::SelectPrintPaper(int paperNumber, double width, double height, bool landscape, int bin,
                                            int duplex, int copies) {
  calls.push_back("SelectPrintPaper(" + std::to_string(paperNumber) + ", " + Number(width) + ", " +
                  Number(height) + ", " + (landscape ? "true" : "false") + ", " + std::to_string(bin) + ", " +
                  std::to_string(duplex) + ", " + std::to_string(copies) + ")");
  TfrxPrinter::SelectPrintPaper(paperNumber, width, height, landscape, bin, duplex, copies);
  settingsWritten.push_back(Settings());
}

void TfrxRecordingPrinter::StartPrintDocument() {
  calls.push_back("StartPrintDocument(" + DocumentName + ")");
  TfrxPrinter::StartPrintDocument();
}

void TfrxRecordingPrinter::StartPrintPage() {
  calls.push_back("StartPrintPage");
  TfrxPrinter::StartPrintPage();
}

void TfrxRecordingPrinter::EndPrintPage() {
  calls.push_back("EndPrintPage");
  TfrxPrinter::EndPrintPage();
}

void TfrxRecordingPrinter::EndPrintDocument() {
  calls.push_back("EndPrintDocument");
  TfrxPrinter::EndPrintDocument();
}

void TfrxRecordingPrinter::AbortPrintDocument() {
  calls.push_back("AbortPrintDocument");
  TfrxPrinter::AbortPrintDocument();
}

}  // namespace zentavo
