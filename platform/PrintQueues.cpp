// Queue texts shared by the library and the print system module.
#include "platform/CupsQueues.h"

namespace zentavo {

std::string DescribePrintQueues(const std::vector<PrintQueue>& queues) {
  std::string text;
  for (const PrintQueue& q : queues) {
    if (!text.empty()) text += ", ";
    text += q.name;
    if (!q.description.empty() && q.description != q.name) text += " (" + q.description + ")";
  }
  return text;
}

}  // namespace zentavo
