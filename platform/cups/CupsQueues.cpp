// CUPS destinations and file jobs.
#include "platform/cups/Cups.h"

#include <cups/cups.h>

#include <algorithm>
#include <stdexcept>

namespace zentavo::cups {
namespace {

// Owns the destination array cupsGetDests2 hands out.
class Destinations {
 public:
  Destinations() : count_(cupsGetDests2(CUPS_HTTP_DEFAULT, &dests_)) {}
  ~Destinations() { cupsFreeDests(count_, dests_); }
  Destinations(const Destinations&) = delete;
  Destinations& operator=(const Destinations&) = delete;

  int count() const { return count_; }
  cups_dest_t* at(int i) const { return &dests_[i]; }
  cups_dest_t* Default() const { return cupsGetDest(nullptr, nullptr, count_, dests_); }

 private:
  cups_dest_t* dests_ = nullptr;
  int count_;
};

}  // namespace

std::vector<PrintQueue> ListPrintQueues() {
  Destinations dests;
  std::vector<PrintQueue> queues;
  for (int i = 0; i < dests.count(); ++i) {
    cups_dest_t* d = dests.at(i);
    if (d->instance != nullptr) continue;  // lpoptions instances are not queues of their own
    const char* info = cupsGetOption("printer-info", d->num_options, d->options);
    queues.push_back({d->name, info ? info : "", d->is_default != 0});
  }
  return queues;
}

int PrintFileOnDefaultQueue(const std::string& path, const std::string& title) {
  std::string queue;
  {
    Destinations dests;
    cups_dest_t* def = dests.Default();
    if (def == nullptr) {
      if (dests.count() == 0) throw std::runtime_error("No printer is installed");
      throw std::runtime_error("No default printer is set; installed printers: " +
                               DescribePrintQueues(ListPrintQueues()));
    }
    queue = def->name;
  }
  int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, queue.c_str(), path.c_str(), title.c_str(), 0, nullptr);
  if (job == 0)
    throw std::runtime_error("Printer " + queue + " refused the job: " + cupsLastErrorString());
  return job;
}

std::vector<PrintJob> ListPrintJobs() {
  cups_job_t* jobs = nullptr;
  int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
  std::vector<PrintJob> out;
  for (int i = 0; i < n; ++i)
    out.push_back({jobs[i].id, jobs[i].dest ? jobs[i].dest : "", jobs[i].title ? jobs[i].title : "",
                   jobs[i].format ? jobs[i].format : "", jobs[i].state >= IPP_JSTATE_STOPPED});
  cupsFreeJobs(n, jobs);
  std::sort(out.begin(), out.end(), [](const PrintJob& a, const PrintJob& b) { return a.id < b.id; });
  return out;
}

std::vector<std::string> PrintJobAttributes(int jobId) {
  ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
  const std::string uri = "ipp://localhost/jobs/" + std::to_string(jobId);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.c_str());
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
  ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
  std::vector<std::string> out;
  if (response == nullptr) return out;
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
