// R++Izozev programs against g++ as an independent compiler: each program of
// the shared table marked for g++ must print the same under our interpreter
// as compiled as C++ (with gxx_prelude.hpp, and -fwrapv so that Integer
// arithmetic wraps as ours does). All programs go into one translation unit,
// each in its own namespace, so that one g++ run serves the whole table; the
// binary runs the program its argument names. Skipped when g++ is absent.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tests/unit/scriptrun/RunHarness.h"
#include "tests/unit/scriptrun/SharedPrograms.h"
#include "tests/support/Command.h"

namespace zentavo::testing {
namespace {

TEST(ScriptGxxPrograms, SameOutputAsGxx) {
  if (!ProgramsInstalled("g++")) GTEST_SKIP() << "g++ is not installed";
  std::vector<const SharedProgram*> rows;
  for (const SharedProgram& p : kSharedPrograms)
    if (p.oracles & kGxx) rows.push_back(&p);
  ASSERT_FALSE(rows.empty());

  char dirTemplate[] = "/tmp/zentavo-gxxrun-XXXXXX";
  ASSERT_NE(mkdtemp(dirTemplate), nullptr);
  std::string dir = dirTemplate;
  {
    std::ofstream src(dir + "/programs.cpp");
    for (std::size_t i = 0; i < rows.size(); ++i)
      src << "namespace p" << i << " {\n" << rows[i]->rppDecls << "\nvoid Main() {\n" << rows[i]->rppMain << "\n}\n}\n";
    src << "#include <cstdlib>\n";
    src << "int main(int argc, char** argv) {\n  if (argc < 2) return 2;\n  int n = std::atoi(argv[1]);\n  try {\n";
    for (std::size_t i = 0; i < rows.size(); ++i) src << "    if (n == " << i << ") p" << i << "::Main();\n";
    src << "  } catch (const std::exception& e) { std::printf(\"error: %s\", e.what()); }\n  return 0;\n}\n";
  }
  std::string prelude = std::string(ZENTAVO_SOURCE_DIR) + "/tests/unit/scriptrun_gxx/gxx_prelude.hpp";
  std::string compile = "cd " + dir + " && g++ -std=c++20 -O0 -w -fwrapv -include " + prelude +
                        " programs.cpp -o programs > compile.log 2>&1";
  ASSERT_EQ(std::system(compile.c_str()), 0) << "g++ failed; see " << dir << "/compile.log";

  for (std::size_t i = 0; i < rows.size(); ++i) {
    std::string theirs = CommandOutput(dir + "/programs " + std::to_string(i));
    std::string ours = RunScript("R++Izozev", RppProgram(*rows[i]));
    EXPECT_EQ(ours, theirs) << rows[i]->what;
    // The table's expected lines are what the compiled program printed.
    EXPECT_EQ(theirs, rows[i]->expected) << "stale expected lines: " << rows[i]->what;
  }
  std::system(("rm -rf " + dir).c_str());
}

}  // namespace
}  // namespace zentavo::testing
