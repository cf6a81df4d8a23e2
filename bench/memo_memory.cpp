// Memory of laying out and drawing one very large memo: the peak bytes per
// character beyond the text itself, for memos of 1 M and 2 M characters
// drawn into a page-sized box and measured for their height, each in a
// child process of its own so the peaks do not mix. Also the time, which
// should double.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/CairoCanvas.h"
#include "render/MemoText.h"

namespace {

using namespace zentavo;

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Paragraphs of words, lines of about 80 characters, as a long report text.
std::vector<std::u16string> Text(std::size_t characters) {
  std::vector<std::u16string> lines;
  std::size_t total = 0;
  const std::u16string words[] = {u"hemogram ", u"lökosit ", u"değer ", u"normal ", u"sonuç ", u"tetkik "};
  for (std::size_t i = 0; total < characters; ++i) {
    std::u16string line;
    for (std::size_t w = i; line.size() < 80; ++w) line += words[w % 6];
    total += line.size() + 2;
    lines.push_back(std::move(line));
  }
  return lines;
}

struct Figures {
  double bytesPerChar = 0;
  double seconds = 0;
};

// In the child: the text, then the peak before and after the work.
Figures Measure(std::size_t characters, bool draw) {
  int pipeFd[2];
  if (pipe(pipeFd) != 0) std::exit(1);
  const pid_t child = fork();
  if (child == 0) {
    close(pipeFd[0]);
    auto canvas = CairoCanvas::CreateImage(800, 1100, 96, CanvasKind::Screen);
    TfrxDrawText engine;
    MemoTextProps p;
    p.memo = Text(characters);
    const MemoGeometry g{20, 20, 750, 1050};
    const long before = PeakKilobytes();
    const auto start = std::chrono::steady_clock::now();
    if (draw)
      MemoDrawText(*canvas, engine, p, g, 1, 1, 0, 0);
    else
      MemoCalcHeight(engine, p, g);
    Figures f;
    f.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    f.bytesPerChar = static_cast<double>(PeakKilobytes() - before) * 1024.0 / static_cast<double>(characters);
    if (write(pipeFd[1], &f, sizeof f) != sizeof f) _exit(1);
    _exit(0);
  }
  close(pipeFd[1]);
  Figures f;
  if (read(pipeFd[0], &f, sizeof f) != sizeof f) std::fprintf(stderr, "the measuring child failed\n");
  close(pipeFd[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return f;
}

}  // namespace

int main() {
  for (bool draw : {true, false}) {
    const Figures one = Measure(1 << 20, draw), two = Measure(2 << 20, draw);
    std::printf("memo %s of 1 M characters: %.1f bytes per character, %.3f s; 2 M: %.1f bytes per character, %.3f s; "
                "time ratio %.2f (linear 2)\n",
                draw ? "drawn" : "measured (CalcHeight)", one.bytesPerChar, one.seconds, two.bytesPerChar,
                two.seconds, one.seconds > 0 ? two.seconds / one.seconds : 0.0);
  }
  return 0;
}
