#include "platform/program_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

mode_t Mode(const QString& path) {
  struct stat info {};
  return stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 0777 : 0;
}

void Touch(const QString& path) {
  ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

// A temporary prefix: <prefix>/bin, and the package's Submode.txt when
// `installed`.
class ProgramFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QDir().mkpath(Bin()));
    saved_config_ = qgetenv("XDG_CONFIG_HOME");
    saved_state_ = qgetenv("XDG_STATE_HOME");
    saved_home_ = qgetenv("HOME");
    qputenv("XDG_CONFIG_HOME", Path("xdg/config").toUtf8());
    qputenv("XDG_STATE_HOME", Path("xdg/state").toUtf8());
    qputenv("HOME", Path("home").toUtf8());
  }
  void TearDown() override {
    qputenv("XDG_CONFIG_HOME", saved_config_);
    qputenv("XDG_STATE_HOME", saved_state_);
    qputenv("HOME", saved_home_);
  }
  QString Path(const QString& relative) const { return dir_.filePath(relative); }
  QString Bin() const { return Path("usr/bin"); }
  QString PackagedSubmode() const { return Path("usr/share/qorvsync/Submode.txt"); }

  QTemporaryDir dir_;
  QByteArray saved_config_;
  QByteArray saved_state_;
  QByteArray saved_home_;
};

TEST_F(ProgramFilesTest, ACopyInAFolderOfItsOwnKeepsEverythingBesideTheExecutable) {
  // Also a folder named bin, as long as no package lies beside it.
  for (const QString& folder : {Path("demo/qorvsync"), Bin(), Bin() + "/"}) {
    const ProgramFiles files = ProgramFiles::ForExecutableFolder(folder);
    EXPECT_FALSE(files.Installed()) << folder.toStdString();
    EXPECT_EQ(files.SettingsFolder(), QDir(folder).path() + "/");
    EXPECT_EQ(files.StateFolder(), files.SettingsFolder());
  }
  EXPECT_FALSE(QFileInfo::exists(Path("xdg")));
}

TEST_F(ProgramFilesTest, AnInstalledCopyKeepsItsFilesInTheUsersXdgFoldersOwnerOnly) {
  Touch(PackagedSubmode());
  const ProgramFiles files = ProgramFiles::ForExecutableFolder(Bin());
  EXPECT_TRUE(files.Installed());
  EXPECT_EQ(files.SettingsFolder(), Path("xdg/config/qorvsync/"));
  EXPECT_EQ(files.StateFolder(), Path("xdg/state/qorvsync/"));
  for (const QString& folder : {files.SettingsFolder(), files.StateFolder()}) {
    EXPECT_TRUE(QFileInfo(folder).isDir()) << folder.toStdString();
    EXPECT_EQ(Mode(folder), 0700u) << folder.toStdString();
  }
}

TEST_F(ProgramFilesTest, XdgFoldersUnsetOrRelativeFallBackToTheHomeFolder) {
  Touch(PackagedSubmode());
  qunsetenv("XDG_CONFIG_HOME");
  qputenv("XDG_STATE_HOME", "relative/state");
  const ProgramFiles files = ProgramFiles::ForExecutableFolder(Bin());
  EXPECT_EQ(files.SettingsFolder(), Path("home/.config/qorvsync/"));
  EXPECT_EQ(files.StateFolder(), Path("home/.local/state/qorvsync/"));
  EXPECT_TRUE(QFileInfo(files.StateFolder()).isDir());
}

TEST_F(ProgramFilesTest, AnExistingSettingsFolderKeepsItsPermissions) {
  Touch(PackagedSubmode());
  ASSERT_TRUE(QDir().mkpath(Path("xdg/config/qorvsync")));
  ASSERT_EQ(chmod(QFile::encodeName(Path("xdg/config/qorvsync")).constData(), 0750), 0);
  ProgramFiles::ForExecutableFolder(Bin());
  EXPECT_EQ(Mode(Path("xdg/config/qorvsync")), 0750u);
}

TEST_F(ProgramFilesTest, TheUsersOwnSubmodeTableWinsOverThePackagesOne) {
  const QString settings = Path("xdg/config/qorvsync/");
  // Not installed and no table of its own: the own path, whose absence the
  // upload reports.
  EXPECT_EQ(SubmodeFilePath(settings, Path("demo")), settings + "Submode.txt");
  Touch(PackagedSubmode());
  EXPECT_EQ(SubmodeFilePath(settings, Bin()), PackagedSubmode());
  Touch(settings + "Submode.txt");
  EXPECT_EQ(SubmodeFilePath(settings, Bin()), settings + "Submode.txt");
}

}  // namespace
