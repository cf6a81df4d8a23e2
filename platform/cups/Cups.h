// The print system module's own functions; the library reaches them through
// the entry table of PrintSystem.h.
#pragma once

#include <cups/cups.h>

#include <string>
#include <vector>

#include "platform/CupsQueues.h"
#include "platform/PrinterBackend.h"
#include "platform/cups/CupsServer.h"

namespace zentavo::cups {

// Owns the destination array cupsGetDests2 hands out. Throws ServerFailure
// when the server did not answer.
class Destinations {
 public:
  explicit Destinations(CupsServer& server);
  ~Destinations();
  Destinations(const Destinations&) = delete;
  Destinations& operator=(const Destinations&) = delete;

  int count() const { return count_; }
  cups_dest_t* at(int i) const { return &dests_[i]; }
  cups_dest_t* Find(const std::string& queue) const;  // null when not there
  cups_dest_t* Default() const;

 private:
  cups_dest_t* dests_ = nullptr;
  int count_ = 0;
};

// Throws ServerFailure when the server did not answer.
std::vector<PrintQueue> ListPrintQueues(CupsServer& server);

std::vector<PrintQueue> ListPrintQueues();
int PrintFileOnDefaultQueue(int fd, const std::string& title, const std::string& format);
std::vector<PrintJob> ListPrintJobs();
std::vector<std::string> PrintJobAttributes(int jobId);
PrinterBackend* CreateBackend();

}  // namespace zentavo::cups
