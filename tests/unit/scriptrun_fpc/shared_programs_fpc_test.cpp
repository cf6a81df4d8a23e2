// The VadoziDaruro programs of the shared table against Free Pascal: each
// row marked for fpc must print the same under our interpreter as compiled by
// `fpc -Mdelphi` with fpc_prelude.inc. Real constants are kept in double
// precision ({$MINFPCONSTPREC 64}), as our constants are; Free Pascal on
// 64-bit machines evaluates Integer expressions in 64 bits, so the rows about
// 32-bit wrapping are not compared with it. Skipped when fpc is not installed.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/unit/scriptrun/RunHarness.h"
#include "tests/unit/scriptrun/SharedPrograms.h"
#include "tests/support/Command.h"

namespace zentavo::testing {
namespace {

TEST(ScriptFpcSharedPrograms, SameOutputAsFreePascal) {
  if (!ProgramsInstalled("fpc")) GTEST_SKIP() << "fpc is not installed";
  char dirTemplate[] = "/tmp/zentavo-fpcshared-XXXXXX";
  ASSERT_NE(mkdtemp(dirTemplate), nullptr);
  std::string dir = dirTemplate;
  std::string prelude = std::string(ZENTAVO_SOURCE_DIR) + "/tests/unit/scriptrun_fpc/fpc_prelude.inc";
  int compared = 0;
  for (const SharedProgram& p : kSharedPrograms) {
    if (!(p.oracles & kFpc)) continue;
    std::string name = "p" + std::to_string(compared++);
    std::ofstream(dir + "/" + name + ".pas") << "program " << name << ";\n{$mode delphi}{$H+}{$MINFPCONSTPREC 64}\n"
                                              << "uses SysUtils;\n{$I " << prelude << "}\n" << p.vd;
    std::string compile = "cd " + dir + " && fpc -Mdelphi " + name + ".pas > " + name + ".log 2>&1";
    ASSERT_EQ(std::system(compile.c_str()), 0) << p.what << ": fpc failed; see " << dir << "/" << name << ".log";
    std::string theirs = CommandOutput(dir + "/" + name);
    EXPECT_EQ(RunScript("VadoziDaruro", p.vd), theirs) << p.what;
    // The table's expected lines are what the compiled program printed.
    EXPECT_EQ(theirs, p.expected) << "stale expected lines: " << p.what;
  }
  EXPECT_GT(compared, 0);
  std::system(("rm -rf " + dir).c_str());
}

}  // namespace
}  // namespace zentavo::testing
