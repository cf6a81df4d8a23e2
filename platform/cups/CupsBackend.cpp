// The print system over CUPS: capabilities from the destination's IPP
// attributes, documents submitted as one job each.
#include <cups/cups.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/Escaping.h"
#include "platform/cups/Cups.h"

namespace zentavo::cups {
namespace {

// The destinations, their one of interest and its info. Throws ServerFailure
// when the server did not answer; a queue it does not know leaves dest() null.
class Destination {
 public:
  Destination(CupsServer& server, const std::string& queue) : server_(server), dests_(server) {
    dest_ = dests_.Find(queue);
    if (dest_ == nullptr) return;
    info_ = cupsCopyDestInfo(server.Connection(), dest_);
    if (info_ == nullptr) server.ThrowIfFailed();
  }
  ~Destination() {
    if (info_ != nullptr) cupsFreeDestInfo(info_);
  }
  Destination(const Destination&) = delete;
  Destination& operator=(const Destination&) = delete;

  bool Usable() const { return dest_ != nullptr && info_ != nullptr; }
  cups_dest_t* dest() const { return dest_; }
  cups_dinfo_t* info() const { return info_; }
  http_t* http() const { return server_.Connection(); }

  ipp_attribute_t* Supported(const char* option) const {
    return cupsFindDestSupported(http(), dest_, info_, option);
  }
  ipp_attribute_t* Default(const char* option) const { return cupsFindDestDefault(http(), dest_, info_, option); }
  std::vector<std::string> Keywords(const char* option) const {
    std::vector<std::string> out;
    if (ipp_attribute_t* a = Supported(option))
      for (int i = 0; i < ippGetCount(a); ++i)
        if (const char* s = ippGetString(a, i, nullptr)) out.emplace_back(s);
    return out;
  }

 private:
  CupsServer& server_;
  Destinations dests_;
  cups_dest_t* dest_ = nullptr;
  cups_dinfo_t* info_ = nullptr;
};

bool Contains(const std::vector<std::string>& list, const char* value) {
  return std::find(list.begin(), list.end(), value) != list.end();
}

void ReadResolution(const Destination& d, QueueCapabilities& caps) {
  ipp_attribute_t* a = d.Default("printer-resolution");
  if (a == nullptr) a = d.Supported("printer-resolution");
  if (a == nullptr || ippGetValueTag(a) != IPP_TAG_RESOLUTION) return;
  ipp_res_t units;
  int y = 0;
  int x = ippGetResolution(a, 0, &y, &units);
  if (units == IPP_RES_PER_CM) {
    x = static_cast<int>(x * 2.54 + 0.5);
    y = static_cast<int>(y * 2.54 + 0.5);
  }
  caps.dpiX = x;
  caps.dpiY = y;
}

void ReadMedia(const Destination& d, QueueCapabilities& caps) {
  for (const std::string& name : d.Keywords("media")) {
    if (name.rfind("custom_min_", 0) == 0 || name.rfind("custom_max_", 0) == 0) {
      caps.customSizes = true;
      continue;
    }
    // The size comes from the self-describing name: asking CUPS by name mixes
    // up custom sizes of the same height (it answered 60 x 30 for 50 x 30).
    pwg_media_t* pwg = pwgMediaForPWG(name.c_str());
    if (pwg == nullptr) continue;
    MediaSize m{name, pwg->width, pwg->length};
    cups_size_t size;
    if (cupsGetDestMediaBySize(d.http(), d.dest(), d.info(), pwg->width, pwg->length,
                               CUPS_MEDIA_FLAGS_DEFAULT, &size)) {
      m.left = size.left;
      m.right = size.right;
      m.top = size.top;
      m.bottom = size.bottom;
    }
    caps.media.push_back(m);
  }
  if (ipp_attribute_t* a = d.Default("media"))
    if (const char* name = ippGetString(a, 0, nullptr))
      for (const MediaSize& m : caps.media)
        if (m.name == name) caps.defaultMedia = m;
}

void ReadSources(const Destination& d, QueueCapabilities& caps) {
  for (const std::string& name : d.Keywords("media-source")) {
    const char* shown =
        cupsLocalizeDestValue(d.http(), d.dest(), d.info(), "media-source", name.c_str());
    caps.sources.push_back({name, shown != nullptr ? shown : name});
  }
}

// Submits the whole document at once, so a document that fails while it is
// drawn never leaves half a job in the queue.
class CupsDocument final : public SpoolDocument {
 public:
  CupsDocument(CupsServer& server, std::string queue, std::string title, std::string format, JobOptions options)
      : server_(server),
        queue_(std::move(queue)),
        // The spooler writes the job name into its logs line by line.
        title_(SingleLineTitle(title)),
        format_(std::move(format)),
        options_(std::move(options)) {}

  void Write(std::string_view bytes) override { data_.append(bytes); }

  int Finish() override {
    auto lock = server_.Lock();
    Destination d(server_, queue_);
    if (d.dest() == nullptr) throw std::runtime_error("Printer " + queue_ + " is no longer installed");
    if (d.info() == nullptr)
      throw std::runtime_error("Printer " + queue_ + " cannot be asked for its settings: " + cupsLastErrorString());
    cups_option_t* opts = nullptr;
    int n = 0;
    if (!options_.media.empty()) n = cupsAddOption("media", options_.media.c_str(), n, &opts);
    n = cupsAddIntegerOption("copies", std::max(1, options_.copies), n, &opts);
    if (!options_.source.empty()) n = cupsAddOption("media-source", options_.source.c_str(), n, &opts);
    if (!options_.sides.empty()) n = cupsAddOption("sides", options_.sides.c_str(), n, &opts);
    if (format_ != CUPS_FORMAT_RAW) n = cupsAddOption("print-scaling", "none", n, &opts);

    http_t* http = server_.Connection();
    int job = 0;
    ipp_status_t status = cupsCreateDestJob(http, d.dest(), d.info(), &job, title_.c_str(), n, opts);
    cupsFreeOptions(n, opts);
    if (status > IPP_STATUS_OK_CONFLICTING || job == 0) {
      server_.ThrowIfFailed();
      throw std::runtime_error("Printer " + queue_ + " refused the job: " + cupsLastErrorString());
    }
    bool sent = cupsStartDestDocument(http, d.dest(), d.info(), job, title_.c_str(), format_.c_str(), 0, nullptr,
                                      1) == HTTP_STATUS_CONTINUE &&
                cupsWriteRequestData(http, data_.data(), data_.size()) == HTTP_STATUS_CONTINUE;
    // A server that stopped answering gets no further request: it would only
    // be waited for again.
    if (!sent) server_.ThrowIfFailed();
    const ipp_status_t finished = server_.FinishDocument(queue_);
    if (!sent || finished > IPP_STATUS_OK_CONFLICTING) {
      std::string reason = cupsLastErrorString();
      server_.ThrowIfFailed();
      cupsCancelDestJob(http, d.dest(), job);
      throw std::runtime_error("Printer " + queue_ + " did not take the document: " + reason);
    }
    data_.clear();
    return job;
  }

  void Cancel() override { data_.clear(); }

 private:
  CupsServer& server_;
  std::string queue_, title_, format_;
  JobOptions options_;
  std::string data_;
};

class CupsBackend final : public PrinterBackend {
 public:
  std::vector<PrintQueue> Queues() override {
    auto lock = server_.Lock();
    try {
      return ListPrintQueues(server_);
    } catch (const ServerFailure&) {
      return {};  // ServerProblem() tells why
    }
  }

  std::string DefaultQueue() override {
    for (const PrintQueue& q : Queues())
      if (q.isDefault) return q.name;
    return {};
  }

  std::optional<QueueCapabilities> Capabilities(const std::string& queue) override {
    auto lock = server_.Lock();
    try {
      Destination d(server_, queue);
      if (!d.Usable()) return std::nullopt;
      QueueCapabilities caps;
      ReadResolution(d, caps);
      ReadMedia(d, caps);
      ReadSources(d, caps);
      caps.duplex = Contains(d.Keywords("sides"), "two-sided-long-edge");
      // A raw queue lists every format but knows no media: drawn pages would
      // reach the device as PDF bytes it cannot print.
      caps.acceptsPdf = Contains(d.Keywords("document-format"), "application/pdf") && !caps.media.empty();
      return caps;
    } catch (const ServerFailure&) {
      return std::nullopt;
    }
  }

  std::unique_ptr<SpoolDocument> StartDocument(const std::string& queue, const std::string& title,
                                               const std::string& format, const JobOptions& options) override {
    return std::make_unique<CupsDocument>(server_, queue, title, format, options);
  }

  std::string ServerProblem() override {
    auto lock = server_.Lock();
    return server_.Problem();
  }

 private:
  CupsServer server_;
};

}  // namespace

PrinterBackend* CreateBackend() { return new CupsBackend(); }

}  // namespace zentavo::cups
