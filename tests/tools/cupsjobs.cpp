// Test helper for the private CUPS in CUPS_SERVER.
//   cupsjobs          one line per job: id <TAB> queue <TAB> title <TAB> format
//   cupsjobs ID       the job's attributes, one "name=value" per line
#include <cstdio>
#include <cstdlib>

#include "platform/CupsQueues.h"

int main(int argc, char** argv) {
  if (argc > 1) {
    for (const auto& a : zentavo::PrintJobAttributes(std::atoi(argv[1]))) std::printf("%s\n", a.c_str());
    return 0;
  }
  for (const auto& job : zentavo::ListPrintJobs())
    std::printf("%d\t%s\t%s\t%s\n", job.id, job.queue.c_str(), job.title.c_str(), job.format.c_str());
  return 0;
}
