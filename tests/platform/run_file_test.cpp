#include "platform/run_file.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include "platform/app_error.h"
#include "platform/text_codec.h"
#include "support/recording_ui.h"

namespace {

class RunFileTest : public testing::Test {
 protected:
  QTemporaryDir dir_;
  RecordingUi ui_;
};

TEST_F(RunFileTest, AMissingFileIsToldToTheUser) {
  QFile::link(dir_.filePath("gone"), dir_.filePath("dangling.exe"));
  for (const QString& path : {dir_.filePath("Vodrix_Log3.exe"), dir_.filePath("dangling.exe")}) {
    ui_.messages.clear();
    EXPECT_FALSE(RunFile(path, "", dir_.path(), ui_));
    ASSERT_EQ(ui_.messages.size(), 1);
    EXPECT_EQ(ui_.messages[0].kind, MessageKind::kError);
    EXPECT_EQ(ui_.messages[0].text, "Can not find file to run:\n" + path);
    EXPECT_EQ(ui_.messages[0].caption, "Error!");
  }
}

TEST_F(RunFileTest, StartsTheFileThroughALinkInItsFolder) {
  const QString program = dir_.filePath("Vodrix_Log3.exe");
  WriteFileBytes(program, "#!/bin/sh\npwd > started.part; mv started.part started\n");
  QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  QFile::link(program, dir_.filePath("link.exe"));
  EXPECT_TRUE(RunFile(dir_.filePath("link.exe"), "", dir_.path(), ui_));
  QElapsedTimer timer;
  timer.start();
  while (!QFile::exists(dir_.filePath("started")) && timer.elapsed() < 10000) {
    QThread::msleep(20);
  }
  EXPECT_EQ(ReadFileBytes(dir_.filePath("started")), (dir_.path() + "\n").toUtf8());
  EXPECT_TRUE(ui_.messages.isEmpty());
}

TEST_F(RunFileTest, ARefusedStartIsASystemError) {
  WriteFileBytes(dir_.filePath("notes.txt"), "text");
  try {
    RunFile(dir_.filePath("notes.txt"), "", dir_.path(), ui_);
    ADD_FAILURE() << "no error";
  } catch (const AppError& error) {
    EXPECT_EQ(error.Message(), "System Error.  Code: 13.\nPermission denied");
  }
  EXPECT_TRUE(ui_.messages.isEmpty());
}

}  // namespace
