// The print system module's one exported entry.
#include "platform/PrintSystem.h"
#include "platform/cups/Cups.h"

extern "C" __attribute__((visibility("default"))) const zentavo::PrintSystemEntries* zentavo_print_system() {
  static const zentavo::PrintSystemEntries entries{
      zentavo::cups::ListPrintQueues, zentavo::cups::PrintFileOnDefaultQueue, zentavo::cups::ListPrintJobs,
      zentavo::cups::PrintJobAttributes, zentavo::cups::CreateBackend};
  return &entries;
}
