// JScript programs against node as an independent interpreter: each program
// of the shared table marked for node must print the same under our
// interpreter as under node with node_prelude.js before it. JScript writes
// the handler of a try as "except", JavaScript as "catch (e)": the one word is
// respelled for node (no shared program uses it otherwise). Skipped when node
// is absent.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "tests/unit/scriptrun/RunHarness.h"
#include "tests/unit/scriptrun/SharedPrograms.h"
#include "tests/support/Command.h"

namespace zentavo::testing {
namespace {

TEST(ScriptNodePrograms, SameOutputAsNode) {
  if (!ProgramsInstalled("node")) GTEST_SKIP() << "node is not installed";
  std::ifstream preludeFile(std::string(ZENTAVO_SOURCE_DIR) + "/tests/unit/scriptrun_node/node_prelude.js");
  ASSERT_TRUE(preludeFile) << "node_prelude.js not found";
  std::stringstream prelude;
  prelude << preludeFile.rdbuf();

  char dirTemplate[] = "/tmp/zentavo-noderun-XXXXXX";
  ASSERT_NE(mkdtemp(dirTemplate), nullptr);
  std::string dir = dirTemplate;
  int compared = 0;
  for (const SharedProgram& p : kSharedPrograms) {
    if (!(p.oracles & kNode)) continue;
    std::string file = dir + "/p" + std::to_string(compared++) + ".js";
    std::ofstream(file) << prelude.str() << std::regex_replace(p.js, std::regex("\\bexcept\\b"), "catch (e)");
    std::string theirs = CommandOutput("node " + file + " 2>&1");
    EXPECT_EQ(RunScript("JScript", p.js), theirs) << p.what;
    // The table's expected lines are what node printed.
    EXPECT_EQ(theirs, p.expected) << "stale expected lines: " << p.what;
  }
  EXPECT_GT(compared, 0);
  std::system(("rm -rf " + dir).c_str());
}

}  // namespace
}  // namespace zentavo::testing
