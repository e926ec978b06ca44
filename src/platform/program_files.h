#ifndef QORVSYNC_PLATFORM_PROGRAM_FILES_H_
#define QORVSYNC_PLATFORM_PROGRAM_FILES_H_

#include <QString>

// Where each of the program's own files lives. A copy run from a folder of
// its own (a build, the demo, the tests) keeps them all beside its
// executable. An installed copy cannot write its executable's folder: it is
// recognised by its layout, an executable in <prefix>/bin/ with the package's
// <prefix>/share/qorvsync/Submode.txt, and keeps the files the user edits
// ("qorv.ini", "ignore.txt", a Submode.txt of their own) in
// $XDG_CONFIG_HOME/qorvsync/ and the error lists in $XDG_STATE_HOME/qorvsync/.
// Folders end with "/".
class ProgramFiles {
 public:
  // For an executable in `executable_folder`, with the XDG folders of the
  // environment. Creates the installed copy's folders when they are missing.
  static ProgramFiles ForExecutableFolder(const QString& executable_folder);
  // For the running executable.
  static ProgramFiles OfThisProgram();

  bool Installed() const { return installed_; }
  // "qorv.ini", "ignore.txt", the user's "Submode.txt", and a TQSL opened
  // beside the signing run.
  const QString& SettingsFolder() const { return settings_folder_; }
  // "QorvError.txt" and "eQSLccError.txt".
  const QString& StateFolder() const { return state_folder_; }

 private:
  bool installed_ = false;
  QString settings_folder_;
  QString state_folder_;
};

// The submode table to read: "Submode.txt" in `settings_folder` when the
// user keeps one there, otherwise the one the package of the executable in
// `executable_folder` (by default the running one) provides; a copy run from
// a folder of its own has its own beside it.
QString SubmodeFilePath(const QString& settings_folder);
QString SubmodeFilePath(const QString& settings_folder, const QString& executable_folder);

#endif  // QORVSYNC_PLATFORM_PROGRAM_FILES_H_
