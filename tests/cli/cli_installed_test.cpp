// The real program laid out as the package installs it: an executable in
// <prefix>/bin beside the package's <prefix>/share/qorvsync/. Such a copy
// reads its settings from the user's XDG config folder, writes its error
// lists into the XDG state folder and writes nothing beside the executable.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QProcessEnvironment>

#include "cli/cli_fixture.h"

namespace {

class InstalledCliTest : public CliTest {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    side_ = MakeSide("side");
    ASSERT_TRUE(QDir().mkpath(Bin()));
    ASSERT_TRUE(QDir().mkpath(root_.filePath("usr/share/qorvsync")));
    ASSERT_TRUE(QDir().mkpath(SettingsFolder()));
    ASSERT_TRUE(QFile::copy(side_->Program() + "qorvsync", Bin() + "qorvsync"));
    ASSERT_TRUE(QFile::copy(side_->Program() + "Submode.txt",
                            root_.filePath("usr/share/qorvsync/Submode.txt")));
    ASSERT_TRUE(QFile::rename(side_->Program() + "qorv.ini", SettingsFolder() + "qorv.ini"));
  }

  QString Bin() const { return root_.filePath("usr/bin/"); }
  QString SettingsFolder() const { return side_->ConfigHome() + "/qorvsync/"; }
  QString StateFolder() const { return root_.filePath("state/qorvsync/"); }

  CommandRun Run(const QStringList& arguments) const {
    QProcessEnvironment env = side_->Environment();
    env.insert("XDG_STATE_HOME", root_.filePath("state"));
    return RunProgram(Bin() + "qorvsync", arguments, env);
  }

  std::unique_ptr<LogbookSide> side_;
};

TEST_F(InstalledCliTest, DownloadUsesTheXdgFoldersAndNothingBesideTheExecutable) {
  const CommandRun run = Run({"download", "qorv", "--json"});
  // The service's address comes from the qorv.ini in the config folder.
  ASSERT_EQ(run.exit_code, 0) << run.err.constData();
  const QJsonObject json = Json(run);
  EXPECT_EQ(json["unmatched"].toInt(), 2);
  EXPECT_TRUE(QFile::exists(StateFolder() + "QorvError.txt"));
  EXPECT_TRUE(json["files"].toArray().contains(QJsonValue(StateFolder() + "QorvError.txt")))
      << run.out.constData();
  // The options stored in that qorv.ini: locator copied.
  EXPECT_TRUE(side_->Rows()[0].contains("|EN34ab|")) << side_->Rows()[0].toStdString();
  EXPECT_EQ(QDir(Bin()).entryList(QDir::Files | QDir::Hidden), QStringList{"qorvsync"});
  EXPECT_FALSE(QFile::exists(side_->Program() + "QorvError.txt"));
}

TEST_F(InstalledCliTest, ListsTheLogbooksLogsForTheShellsCompletion) {
  const CommandRun run = Run({"--list-logs"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out, "Main\nPortable\n");
  EXPECT_TRUE(run.err.isEmpty()) << run.err.constData();
}

}  // namespace
