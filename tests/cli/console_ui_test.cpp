// Progress on standard error: a line naming each step; on a terminal a bar
// under the step, cleared before anything else is written.
#include "cli/console_ui.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// A download as the operations drive the window: progress reset before the
// busy caption, the caption back to the log name, then the run's records.
QByteArray Written(bool terminal, qsizetype records) {
  std::FILE* err = std::tmpfile();
  {
    ConsoleUi ui(err, terminal, "Main", "downloading report");
    ui.SetProgress(0);
    ui.SetCaption("Waiting...");
    ui.SetCaption("Main");
    ui.BeginMatching(records);
    for (int percent = 0; percent <= 50; ++percent) ui.SetProgress(percent);
    ui.ShowMessage(MessageKind::kError, "It failed", QString());
    for (int percent = 51; percent <= 100; ++percent) ui.SetProgress(percent);
    ui.EndProgress();
  }
  std::rewind(err);
  QByteArray bytes;
  char buffer[4096];
  for (size_t size; (size = std::fread(buffer, 1, sizeof(buffer), err)) > 0;) {
    bytes.append(buffer, static_cast<qsizetype>(size));
  }
  std::fclose(err);
  return bytes;
}

TEST(ConsoleUiTest, LinePerNamedStepWithoutATerminal) {
  EXPECT_EQ(Written(false, 1234),
            "downloading report\nmatching 1,234 records\nqorvsync: error: It failed\n");
  EXPECT_EQ(Written(false, 0),
            "downloading report\nmatching 0 records\nqorvsync: error: It failed\n");
  EXPECT_TRUE(Written(false, 1).contains("matching 1 record\n"));
}

TEST(ConsoleUiTest, BarOnATerminalIsClearedBeforeTheNextLine) {
  const QByteArray text = Written(true, 4);
  constexpr char kClear[] = "\r\x1b[K";
  // No bar before the first step: the reset to 0 belongs to no step.
  EXPECT_TRUE(text.startsWith("downloading report\nmatching 4 records\n\r[")) << text.constData();
  EXPECT_TRUE(text.contains(QByteArray("\r[####################--------------------]  50%") +
                            kClear + "qorvsync: error: It failed\n"))
      << text.constData();
  EXPECT_TRUE(
      text.endsWith(QByteArray("\r[########################################] 100%") + kClear))
      << text.constData();
  EXPECT_EQ(text.count("\r["), 101);
  EXPECT_FALSE(text.contains("Main"));
}

}  // namespace
