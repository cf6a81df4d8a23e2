// What the printer layer needs of the platform's print system: the queues,
// what each can do (resolution, media with margins, sources, duplex), and
// documents streamed into a queue.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/CupsQueues.h"

namespace zentavo {

// A sheet size a queue offers; lengths in hundredths of a millimetre.
struct MediaSize {
  std::string name;  // PWG self-describing name, e.g. "iso_a4_210x297mm"
  int width = 0;
  int length = 0;
  int left = 0, right = 0, top = 0, bottom = 0;  // unprintable edges
};

struct MediaSource {
  std::string name;         // IPP keyword, e.g. "tray-1"
  std::string displayName;  // as the driver names it
};

struct QueueCapabilities {
  int dpiX = 0;
  int dpiY = 0;
  std::vector<MediaSize> media;
  std::optional<MediaSize> defaultMedia;
  std::vector<MediaSource> sources;
  bool duplex = false;
  bool customSizes = false;  // takes any size within its range as Custom.WxHmm
  bool acceptsPdf = false;   // drawn pages can go to it (raw queues cannot)
};

struct JobOptions {
  std::string media;    // a MediaSize name or "Custom.WxHmm"
  int copies = 1;
  std::string source;   // empty: the queue's own choice
  std::string sides;    // empty, "one-sided", "two-sided-long-edge", "two-sided-short-edge"
};

// One document on its way into a queue. Nothing is printed unless Finish
// succeeds; dropping a document unfinished cancels it.
class SpoolDocument {
 public:
  virtual ~SpoolDocument() = default;
  virtual void Write(std::string_view bytes) = 0;
  // Returns the job id; throws with the print system's reason.
  virtual int Finish() = 0;
  virtual void Cancel() = 0;
};

class PrinterBackend {
 public:
  virtual ~PrinterBackend() = default;
  virtual std::vector<PrintQueue> Queues() = 0;
  // Empty when no default destination is set.
  virtual std::string DefaultQueue() = 0;
  // Nothing when the queue cannot be asked.
  virtual std::optional<QueueCapabilities> Capabilities(const std::string& queue) = 0;
  // `format` is a MIME type: "application/pdf", or "application/vnd.cups-raw".
  virtual std::unique_ptr<SpoolDocument> StartDocument(const std::string& queue, const std::string& title,
                                                       const std::string& format,
                                                       const JobOptions& options) = 0;
  // Why the last request did not reach the print server (it cannot be
  // reached, or did not answer in time), naming the server; empty when it
  // answered. Tells "no queues" from "no server" after an empty Queues().
  virtual std::string ServerProblem() { return {}; }
};

std::unique_ptr<PrinterBackend> CreateCupsBackend();

}  // namespace zentavo
