// The prepared-page store on one page of many memos: preparing it (a key
// for every source object, every object stored), saving the prepared report
// and loading it back, at N and 2N memos. Linear work doubles its time when
// N doubles; quadratic work quadruples it.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/frxPreviewPages.h"
#include "platform/Streams.h"
#include "report/frxClass.h"

namespace {

using namespace zentavo;
using Clock = std::chrono::steady_clock;

// A template of one page holding `count` memos, as a template file gives it.
std::string TemplateText(int count) {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<TfrxReport Version=\"3.22\">"
      "<TfrxReportPage Name=\"Page1\" PaperWidth=\"210\" PaperHeight=\"297\">";
  for (int i = 1; i <= count; ++i) {
    const std::string n = std::to_string(i);
    // Ten columns, row under row, as a long table of values gives them.
    xml += "<TfrxMemoView Name=\"Memo" + n + "\" Left=\"" + std::to_string((i % 10) * 70) + "\" Top=\"" +
           std::to_string((i / 10) * 16) + "\" Width=\"60\" Height=\"14\" Text=\"Value " + n + "\"/>";
  }
  return xml + "</TfrxReportPage></TfrxReport>";
}

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

struct Times {
  double prepare = 0, save = 0, load = 0;
};

Times Run(int count) {
  TfrxReport report;
  TMemoryStream source(TemplateText(count));
  report.LoadFromStream(source);
  Times t;
  auto start = Clock::now();
  if (!report.PrepareReport()) {
    std::fprintf(stderr, "preparation failed\n");
    std::exit(1);
  }
  t.prepare = Seconds(start);
  TMemoryStream saved;
  start = Clock::now();
  report.PreviewPages().SaveToStream(saved);
  t.save = Seconds(start);
  TfrxReport other;
  saved.Seek(0);
  start = Clock::now();
  other.PreviewPages().LoadFromStream(saved);
  if (other.PreviewPages().BuildPage(0) == nullptr) std::exit(1);
  t.load = Seconds(start);
  return t;
}

void Print(const char* what, int n, double a, double b) {
  std::printf("store %s %d memos: %.3f s, %d: %.3f s, ratio %.2f (linear 2, quadratic 4)\n", what, n, a, 2 * n, b,
              a > 0 ? b / a : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
  const int n = argc > 1 ? std::atoi(argv[1]) : 10000;
  const Times small = Run(n);
  const Times large = Run(2 * n);
  Print("prepare", n, small.prepare, large.prepare);
  Print("save", n, small.save, large.save);
  Print("load and rebuild", n, small.load, large.load);
  return 0;
}
