// The print system module's own functions; the library reaches them through
// the entry table of PrintSystem.h.
#pragma once

#include <string>
#include <vector>

#include "platform/CupsQueues.h"
#include "platform/PrinterBackend.h"

namespace zentavo::cups {

std::vector<PrintQueue> ListPrintQueues();
int PrintFileOnDefaultQueue(const std::string& path, const std::string& title);
std::vector<PrintJob> ListPrintJobs();
std::vector<std::string> PrintJobAttributes(int jobId);
PrinterBackend* CreateBackend();

}  // namespace zentavo::cups
