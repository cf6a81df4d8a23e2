// What the print system module hands the rest of the program: the functions
// behind CupsQueues.h and the printer backend. Shared by the module and the
// forwarders in the library, nothing else includes it.
#pragma once

#include <string>
#include <vector>

#include "platform/CupsQueues.h"
#include "platform/PrinterBackend.h"

namespace zentavo {

struct PrintSystemEntries {
  std::vector<PrintQueue> (*listQueues)();
  int (*printFileOnDefaultQueue)(int fd, const std::string& title, const std::string& format);
  std::vector<PrintJob> (*listJobs)();
  std::vector<std::string> (*jobAttributes)(int jobId);
  PrinterBackend* (*createBackend)();
};

inline constexpr const char* kPrintSystemModule = "zentavo-cups.so";
inline constexpr const char* kPrintSystemEntry = "zentavo_print_system";
using PrintSystemEntryFn = const PrintSystemEntries* (*)();

}  // namespace zentavo
