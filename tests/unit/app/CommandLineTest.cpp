// zentavo's options: what is accepted, and what is a usage error.
#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace zentavo {
namespace {

TEST(CommandLine, AcceptedForms) {
  auto o = ParseProgramArguments({"--output", "out", "--format=png", "--dpi", "203", "--job", "file", "$a$"});
  ASSERT_TRUE(o.outputDir.has_value());
  EXPECT_EQ(*o.outputDir, "out");
  EXPECT_EQ(o.format, "png");
  EXPECT_EQ(o.dpi, 203);
  ASSERT_TRUE(o.job.has_value());
  EXPECT_EQ(*o.job, ButtonJob::File);
  EXPECT_EQ(o.request, "$a$");

  o = ParseProgramArguments({});
  EXPECT_EQ(o.request, "") << "no request is an empty request";
  EXPECT_EQ(o.format, "pdf") << "default format";
  EXPECT_EQ(o.dpi, 300) << "default resolution";

  o = ParseProgramArguments({"--", "--x|1|"});
  EXPECT_EQ(o.request, "--x|1|") << "after -- the request may look like an option";

  o = ParseProgramArguments({"|1|", "extra"});
  EXPECT_EQ(o.request, "|1|");
  ASSERT_EQ(o.ignoredArguments.size(), 1u) << "extra words are kept to be reported";

  o = ParseProgramArguments({"-x"});
  EXPECT_EQ(o.request, "-x") << "a single dash is no option";
}

TEST(CommandLine, UsageErrors) {
  struct Row {
    std::vector<std::string> args;
    const char* why;
  };
  const Row rows[] = {
      {{"|1|", "--explain"}, "an option after the request"},
      {{"|1|", "--"}, "-- after the request"},
      {{"--nope"}, "unknown option"},
      {{"--output"}, "missing value"},
      {{"--output="}, "empty folder"},
      {{"--explain=yes"}, "flag with a value"},
      {{"--format", "jpg", "--output", "d"}, "unknown format"},
      {{"--dpi", "300x", "--output", "d"}, "resolution with trailing text"},
      {{"--dpi", "71", "--output", "d"}, "resolution too small"},
      {{"--dpi", "2401", "--output", "d"}, "resolution too large"},
      {{"--dpi", "203"}, "--dpi without --output"},
      {{"--format", "png"}, "--format without --output"},
      {{"--job", "Lab"}, "job names are lower case"},
  };
  for (const Row& r : rows) EXPECT_THROW(ParseProgramArguments(r.args), UsageError) << r.why;
}

}  // namespace
}  // namespace zentavo
