// Progress on standard error: a bar redrawn in place on a terminal, a line
// per tenth otherwise; messages on lines of their own in both.
#include "cli/console_ui.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

QByteArray Written(bool terminal) {
  std::FILE* err = std::tmpfile();
  {
    ConsoleUi ui(err, terminal, "Main");
    ui.SetCaption("Waiting...");
    ui.SetCaption("Main");
    for (int percent = 0; percent <= 100; ++percent) ui.SetProgress(percent);
    ui.ShowMessage(MessageKind::kError, "It failed", QString());
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

TEST(ConsoleUiTest, BarOnATerminal) {
  const QByteArray text = Written(true);
  EXPECT_TRUE(text.startsWith("Waiting...\n")) << text.constData();
  EXPECT_EQ(text.count('\r'), 101);
  EXPECT_TRUE(
      text.contains("\r[########################################] 100%\n"
                    "qorvsync: error: It failed\n"))
      << text.constData();
  EXPECT_FALSE(text.contains("Main"));
}

TEST(ConsoleUiTest, LinePerStepWithoutATerminal) {
  EXPECT_EQ(Written(false),
            "Waiting...\n10%\n20%\n30%\n40%\n50%\n60%\n70%\n80%\n90%\n100%\n"
            "qorvsync: error: It failed\n");
}

}  // namespace
