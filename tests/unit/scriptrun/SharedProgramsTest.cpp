// The programs of the differential tests in every language that has their
// constructs: each must print the lines that Free Pascal, g++ and node
// printed for them.
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

struct ListCase {
  const char* language;
  const char* program;
  const char* expected;
  const char* why;
};

// An optional list that is absent leaves no error behind; one that was begun
// and broken off keeps its error.
const ListCase kOptionalLists[] = {
    {"DarozOzuziz", "Sub P()\n  WriteLn(1)\nEnd Sub\nP()\n", "1\n", "empty parameter list of a Sub"},
    {"DarozOzuziz", "Function F( ) As Integer\n  Return 2\nEnd Function\nWriteLn(F())\n", "2\n",
     "empty parameter list with a blank inside"},
    {"DarozOzuziz", "Sub P(ByVal)\nEnd Sub\n", "Identifier expected at 1:12", "ByVal without its name"},
    {"DarozOzuziz", "Sub P(a As )\nEnd Sub\n", "Identifier expected at 1:12", "As without its type"},
    {"VadoziDaruro", "const begin end.", "Identifier expected at 1:7", "a const section without a constant"},
};

TEST(ScriptSharedPrograms, AbsentOptionalListsAreNoError) {
  for (const ListCase& c : kOptionalLists) EXPECT_EQ(RunScript(c.language, c.program), c.expected) << c.why;
}

}  // namespace
}  // namespace zentavo::testing
