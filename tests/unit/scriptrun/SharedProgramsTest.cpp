// The programs of the differential tests in every language that has their
// constructs: each must print the lines that g++ and node printed for them.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "tests/unit/scriptrun/RunHarness.h"
#include "tests/unit/scriptrun/SharedPrograms.h"

namespace zentavo::testing {
namespace {

TEST(ScriptSharedPrograms, SameOutputInEveryLanguage) {
  for (const SharedProgram& p : kSharedPrograms) {
    const std::pair<const char*, std::string> texts[] = {{"VadoziDaruro", p.vd ? p.vd : ""},
                                                         {"R++Izozev", p.rppMain ? RppProgram(p) : ""},
                                                         {"DarozOzuziz", p.dz ? p.dz : ""},
                                                         {"JScript", p.js ? p.js : ""}};
    for (const auto& [language, text] : texts) {
      if (!text.empty()) {
        EXPECT_EQ(RunScript(language, text), p.expected) << language << ": " << p.what;
      }
    }
  }
}

}  // namespace
}  // namespace zentavo::testing
