// Test helper: lists the jobs of the CUPS server in CUPS_SERVER, one per line:
// id <TAB> queue <TAB> title <TAB> format.
#include <cstdio>

#include "platform/CupsQueues.h"

int main() {
  for (const auto& job : zentavo::ListPrintJobs())
    std::printf("%d\t%s\t%s\t%s\n", job.id, job.queue.c_str(), job.title.c_str(), job.format.c_str());
  return 0;
}
