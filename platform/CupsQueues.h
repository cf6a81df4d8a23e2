// Print queues of the CUPS server and the submission of ready documents.
#pragma once

#include <string>
#include <vector>

namespace zentavo {

struct PrintQueue {
  std::string name;         // queue name (no blanks)
  std::string description;  // printer-info, as the desktop shows it
  bool isDefault = false;
};

// The destinations CUPS offers (server queues and the user's lpoptions); empty
// when there is no server or it does not answer in time.
std::vector<PrintQueue> ListPrintQueues();

// "A (Office printer), B" for messages that tell the user what is there.
std::string DescribePrintQueues(const std::vector<PrintQueue>& queues);

// Hands the bytes of the open file `fd` (from its start) to the default
// destination as they are, as a document of the MIME type `format`, titled
// `title`; returns the job id. Throws with a message naming the cause (no
// default destination: the message lists the queues; a print server that
// cannot be reached or does not answer in time: the message names it).
int PrintFileOnDefaultQueue(int fd, const std::string& title, const std::string& format);

struct PrintJob {
  int id = 0;
  std::string queue;
  std::string title;   // job-name
  std::string format;  // document-format
  bool completed = false;
};

// Every job the server remembers, oldest first.
std::vector<PrintJob> ListPrintJobs();

// The attributes the server keeps for a job, as "name=value" texts in the
// server's order (for checks and diagnostics).
std::vector<std::string> PrintJobAttributes(int jobId);

}  // namespace zentavo
