// Where drawn pages go: PDF streamed into a print queue, files for --output,
// and the record a test reads back.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "print/frxPrinter.h"

namespace zentavo {

// PDF pages at the printer's resolution, submitted as one job when finished.
std::unique_ptr<DocumentSink> CreateSpoolSink(PrinterBackend& backend, const DocumentStart& start);

enum class FileFormat { Pdf, Png, PostScript };

// "pdf", "png", "ps"; throws for anything else.
FileFormat ParseFileFormat(const std::string& name);

// The file printer: every document becomes a file in `dir` named after it
// (PNG: one file per page), never overwriting. Any size, no unprintable
// edges, `dpi` dots per inch. `written` hears of every file made.
std::unique_ptr<TfrxPrinter> CreateFilePrinter(std::string dir, FileFormat format, int dpi,
                                               std::function<void(const std::string&)> written = {});

// A printer for tests: behaves like a queue with the given capabilities,
// records every call with its arguments and the settings written, and draws
// each page onto an image it keeps.
class TfrxRecordingPrinter final : public TfrxPrinter {
 public:
  TfrxRecordingPrinter(std::string name, QueueCapabilities caps);

  void SelectPrintPaper(int paperNumber, double width, double height, bool landscape, int bin, int duplex,
                        int copies) override;
  void StartPrintDocument() override;
  void StartPrintPage() override;
  void EndPrintPage() override;
  void EndPrintDocument() override;
  void AbortPrintDocument() override;

  // One line per call, e.g. "SelectPrintPaper(256, 50, 30, false, 7, 1, 1)".
  std::vector<std::string> calls;
  // The settings block after each SelectPrintPaper.
  std::vector<DeviceSettings> settingsWritten;
  // Pages of finished documents, in order, and the documents' names.
  std::vector<std::unique_ptr<CairoCanvas>> pages;
  std::vector<std::string> documents;

 private:
  friend class RecordingSink;
  std::vector<std::unique_ptr<CairoCanvas>> pending_;
};

}  // namespace zentavo
