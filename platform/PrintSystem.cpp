// The print system's functions, reached through its module on first use.
#include "platform/PrintSystem.h"

#include "platform/Modules.h"

namespace zentavo {
namespace {

const PrintSystemEntries& PrintSystem() {
  // Loaded once; a failure is not remembered, so each caller hears the reason.
  static const PrintSystemEntries* entries = nullptr;
  if (entries == nullptr)
    entries = reinterpret_cast<PrintSystemEntryFn>(ModuleEntry(kPrintSystemModule, kPrintSystemEntry))();
  return *entries;
}

}  // namespace

std::vector<PrintQueue> ListPrintQueues() { return PrintSystem().listQueues(); }

int PrintFileOnDefaultQueue(int fd, const std::string& title, const std::string& format) {
  return PrintSystem().printFileOnDefaultQueue(fd, title, format);
}

std::vector<PrintJob> ListPrintJobs() { return PrintSystem().listJobs(); }

std::vector<std::string> PrintJobAttributes(int jobId) { return PrintSystem().jobAttributes(jobId); }

std::unique_ptr<PrinterBackend> CreateCupsBackend() {
  return std::unique_ptr<PrinterBackend>(PrintSystem().createBackend());
}

}  // namespace zentavo
