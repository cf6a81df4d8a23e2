// What the library reaches of a running script is that script's own: its
// ShowMessage goes to its host, its random numbers are its own sequence.
#include <gtest/gtest.h>

#include "tests/unit/scriptrun/RunHarness.h"

namespace zentavo::testing {
namespace {

TEST(ScriptState, ShowMessageGoesToTheScriptsOwnHost) {
  Runner a, b;
  std::vector<std::string> shownA, shownB;
  a.script.OnShowMessage = [&](const std::string& text) { shownA.push_back(text); };
  b.script.OnShowMessage = [&](const std::string& text) { shownB.push_back(text); };
  a.Run("VadoziDaruro", "begin ShowMessage('A') end.");
  b.Run("VadoziDaruro", "begin ShowMessage('B'); ShowMessage(2) end.");
  EXPECT_EQ(shownA, (std::vector<std::string>{"A"}));
  EXPECT_EQ(shownB, (std::vector<std::string>{"B", "2"}));
}

TEST(ScriptState, RandomNumbersAreEachScriptsOwnSequence) {
  const char* program = "begin WriteLn(Random); WriteLn(Random) end.";
  Runner alone;
  std::string expected = alone.Run("VadoziDaruro", program);
  Runner a, b;
  // Numbers drawn by another script meanwhile do not move this one's sequence.
  b.Run("VadoziDaruro", "var i: Integer; begin for i := 1 to 5 do Random end.");
  EXPECT_EQ(a.Run("VadoziDaruro", program), expected);
  EXPECT_NE(expected.substr(0, expected.find('\n')), expected.substr(expected.find('\n') + 1))
      << "two draws of one sequence differ";
}

}  // namespace
}  // namespace zentavo::testing
