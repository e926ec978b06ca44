#include "platform/program_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

const QString kSubmodeFile = QStringLiteral("Submode.txt");

QString WithSlash(const QString& folder) { return folder.endsWith(u'/') ? folder : folder + u'/'; }

// The package's own Submode.txt beside an installed executable's bin folder,
// empty for a copy run from a folder of its own.
QString PackagedSubmodeFile(const QString& executable_folder) {
  const QDir bin(executable_folder);
  if (bin.dirName() != u"bin") return QString();
  const QString file = QDir::cleanPath(bin.absoluteFilePath(QStringLiteral("../share/qorvsync/")) +
                                       u'/' + kSubmodeFile);
  return QFileInfo(file).isFile() ? file : QString();
}

// $<variable>, or $HOME/<fallback> when it is unset or not absolute, as the
// XDG base directories are defined.
QString XdgFolder(const char* variable, const QString& fallback) {
  const QString value = qEnvironmentVariable(variable);
  const QString base = QDir::isAbsolutePath(value) ? value : QDir::homePath() + u'/' + fallback;
  return WithSlash(base) + QStringLiteral("qorvsync/");
}

}  // namespace

ProgramFiles ProgramFiles::ForExecutableFolder(const QString& executable_folder) {
  ProgramFiles files;
  files.installed_ = !PackagedSubmodeFile(executable_folder).isEmpty();
  if (!files.installed_) {
    files.settings_folder_ = WithSlash(executable_folder);
    files.state_folder_ = files.settings_folder_;
    return files;
  }
  files.settings_folder_ = XdgFolder("XDG_CONFIG_HOME", QStringLiteral(".config"));
  files.state_folder_ = XdgFolder("XDG_STATE_HOME", QStringLiteral(".local/state"));
  // Owner only: qorv.ini holds the Club Log password.
  for (const QString& folder : {files.settings_folder_, files.state_folder_}) {
    if (!QFileInfo::exists(folder) && QDir().mkpath(folder)) {
      QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
  }
  return files;
}

ProgramFiles ProgramFiles::OfThisProgram() {
  return ForExecutableFolder(QCoreApplication::applicationDirPath());
}

QString SubmodeFilePath(const QString& settings_folder) {
  return SubmodeFilePath(settings_folder, QCoreApplication::applicationDirPath());
}

QString SubmodeFilePath(const QString& settings_folder, const QString& executable_folder) {
  const QString own = settings_folder + kSubmodeFile;
  if (QFileInfo(own).isFile()) return own;
  const QString packaged = PackagedSubmodeFile(executable_folder);
  return packaged.isEmpty() ? own : packaged;
}
