// CUPS destinations and file jobs.
#include "platform/cups/Cups.h"

#include <cups/cups.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "platform/Escaping.h"
#include "platform/ScopeGuard.h"

namespace zentavo::cups {

Destinations::Destinations(CupsServer& server) {
  count_ = cupsGetDests2(server.Connection(), &dests_);
  // A constructor that throws runs no destructor.
  ScopeGuard release([this] { cupsFreeDests(count_, dests_); });
  server.ThrowIfFailed();
  release.Dismiss();
}

Destinations::~Destinations() { cupsFreeDests(count_, dests_); }

cups_dest_t* Destinations::Find(const std::string& queue) const {
  return cupsGetDest(queue.c_str(), nullptr, count_, dests_);
}

cups_dest_t* Destinations::Default() const { return cupsGetDest(nullptr, nullptr, count_, dests_); }

namespace {

std::vector<PrintQueue> QueuesOf(const Destinations& dests) {
  std::vector<PrintQueue> queues;
  for (int i = 0; i < dests.count(); ++i) {
    cups_dest_t* d = dests.at(i);
    if (d->instance != nullptr) continue;  // lpoptions instances are not queues of their own
    const char* info = cupsGetOption("printer-info", d->num_options, d->options);
    queues.push_back({d->name, info ? info : "", d->is_default != 0});
  }
  return queues;
}

}  // namespace

std::vector<PrintQueue> ListPrintQueues(CupsServer& server) { return QueuesOf(Destinations(server)); }

std::vector<PrintQueue> ListPrintQueues() {
  CupsServer server;
  try {
    return ListPrintQueues(server);
  } catch (const ServerFailure&) {
    return {};
  }
}

int PrintFileOnDefaultQueue(int fd, const std::string& documentName, const std::string& format) {
  // The spooler writes the job name into its logs line by line.
  const std::string title = SingleLineTitle(documentName);
  CupsServer server;
  std::string queue;
  {
    Destinations dests(server);
    cups_dest_t* def = dests.Default();
    if (def == nullptr) {
      if (dests.count() == 0) throw std::runtime_error("No printer is installed");
      throw std::runtime_error("No default printer is set; installed printers: " +
                               DescribePrintQueues(QueuesOf(dests)));
    }
    queue = def->name;
  }
  http_t* http = server.Connection();
  const int job = cupsCreateJob(http, queue.c_str(), title.c_str(), 0, nullptr);
  if (job == 0) {
    server.ThrowIfFailed();
    throw std::runtime_error("Printer " + queue + " refused the job: " + cupsLastErrorString());
  }
  // The type is named, not left to the server's guess: what was checked is
  // what the queue is told it prints.
  bool sent = cupsStartDocument(http, queue.c_str(), job, title.c_str(), format.c_str(), 1) == HTTP_STATUS_CONTINUE;
  std::string readError;
  char buffer[65536];
  for (off_t offset = 0; sent;) {
    const ssize_t n = ::pread(fd, buffer, sizeof buffer, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) readError = std::strerror(errno);
    if (n <= 0) break;
    offset += n;
    sent = cupsWriteRequestData(http, buffer, static_cast<std::size_t>(n)) == HTTP_STATUS_CONTINUE;
  }
  if (!sent) server.ThrowIfFailed();
  const ipp_status_t finished = server.FinishDocument(queue);
  if (!readError.empty() || !sent || finished > IPP_STATUS_OK_CONFLICTING) {
    const std::string reason = !readError.empty() ? "cannot read the file: " + readError : cupsLastErrorString();
    server.ThrowIfFailed();
    cupsCancelJob2(http, queue.c_str(), job, 0);
    throw std::runtime_error("Printer " + queue + " did not take the document: " + reason);
  }
  return job;
}

std::vector<PrintJob> ListPrintJobs() {
  CupsServer server;
  cups_job_t* jobs = nullptr;
  int n = cupsGetJobs2(server.Connection(), &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
  std::vector<PrintJob> out;
  for (int i = 0; i < n; ++i)
    out.push_back({jobs[i].id, jobs[i].dest ? jobs[i].dest : "", jobs[i].title ? jobs[i].title : "",
                   jobs[i].format ? jobs[i].format : "", jobs[i].state >= IPP_JSTATE_STOPPED});
  cupsFreeJobs(n, jobs);
  server.ThrowIfFailed();
  std::sort(out.begin(), out.end(), [](const PrintJob& a, const PrintJob& b) { return a.id < b.id; });
  return out;
}

std::vector<std::string> PrintJobAttributes(int jobId) {
  CupsServer server;
  ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
  const std::string uri = "ipp://localhost/jobs/" + std::to_string(jobId);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.c_str());
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
  ipp_t* response = cupsDoRequest(server.Connection(), request, "/");
  std::vector<std::string> out;
  if (response == nullptr) {
    server.ThrowIfFailed();
    return out;
  }
  for (ipp_attribute_t* a = ippFirstAttribute(response); a != nullptr; a = ippNextAttribute(response)) {
    if (ippGetGroupTag(a) != IPP_TAG_JOB || ippGetName(a) == nullptr) continue;
    char value[2048];
    ippAttributeString(a, value, sizeof value);
    out.push_back(std::string(ippGetName(a)) + "=" + value);
  }
  ippDelete(response);
  return out;
}

}  // namespace zentavo::cups
