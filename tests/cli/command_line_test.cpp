// Which arguments start the command line instead of the window, and how the
// command's words are read wherever the options stand.
#include "cli/command_line.h"

#include <gtest/gtest.h>

namespace {

struct DispatchCase {
  const char* name;
  QStringList arguments;  // after the program's name
  bool command_line;
};

const DispatchCase kDispatchCases[] = {
    {"NoArgument", {}, false},
    {"ToolkitOptionsOnly", {"-platform", "offscreen", "-style", "fusion"}, false},
    {"CommandFirst", {"download", "qorv", "--since", "2024-01-01"}, true},
    {"OptionBeforeCommand", {"--since", "2024-01-01", "download", "qorv"}, true},
    {"OptionWithValueBeforeCommand", {"--own-call=W1AW", "download", "qorv"}, true},
    {"FlagBeforeCommand", {"--unmark", "check-sent"}, true},
    {"ToolkitOptionBeforeCommand", {"-platform", "offscreen", "import", "r.adi"}, true},
    {"OwnOptionWithoutCommand", {"-platform", "offscreen", "--to=2024-01-01"}, true},
    {"UnknownWord", {"frobnicate"}, true},
    {"Help", {"-reverse", "-h"}, true},
};

class DispatchTest : public testing::TestWithParam<DispatchCase> {};

TEST_P(DispatchTest, CommandLineOrWindow) {
  const DispatchCase& c = GetParam();
  EXPECT_EQ(WantsCommandLine(QStringList{"/opt/qorvsync/qorvsync"} + c.arguments), c.command_line);
}

INSTANTIATE_TEST_SUITE_P(Cases, DispatchTest, testing::ValuesIn(kDispatchCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLineTest, OptionsAndCommandInAnyOrder) {
  const ParsedCommandLine parsed = ParseCommandLine(
      {"qorvsync", "--log", "Portable", "--since", "2024-01-01", "download", "--json", "qorv"});
  ASSERT_TRUE(parsed.request) << parsed.text.toStdString();
  EXPECT_EQ(parsed.request->command, CliRequest::Command::kDownloadQorv);
  EXPECT_EQ(parsed.request->since, QDate(2024, 1, 1));
  EXPECT_EQ(parsed.request->log_name, "Portable");
  EXPECT_TRUE(parsed.json);
}

// A refusal still knows that JSON was asked for and, once the words name
// one, the command.
TEST(CommandLineTest, RefusalKeepsJsonAndCommand) {
  const ParsedCommandLine late =
      ParseCommandLine({"qorvsync", "--json", "download", "eqsl", "--from", "2024-01-01"});
  EXPECT_FALSE(late.request);
  EXPECT_TRUE(late.json);
  EXPECT_EQ(late.command, "download eqsl");
  EXPECT_EQ(late.problem, "--from and --to go together");

  const ParsedCommandLine early = ParseCommandLine({"qorvsync", "--bogus", "--json"});
  EXPECT_TRUE(early.json);
  EXPECT_TRUE(early.command.isEmpty());
  EXPECT_EQ(early.status, 2);

  // After "--" a word is no option.
  EXPECT_FALSE(ParseCommandLine({"qorvsync", "import", "--", "--json"}).json);
}

}  // namespace
