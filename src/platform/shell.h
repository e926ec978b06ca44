#ifndef QORVSYNC_PLATFORM_SHELL_H_
#define QORVSYNC_PLATFORM_SHELL_H_

#include <QString>
#include <QStringList>

// The desktop shell: browser, text editor, starting programs. Tests put a
// recording double in place of the desktop parts they cannot run.
class Shell {
 public:
  virtual ~Shell() = default;

  // Opens an address in the desktop's browser; the result is not examined.
  virtual void OpenUrl(const QString& url) = 0;
  // Opens a text file in the desktop's text editor (Notepad's role).
  virtual void OpenTextFile(const QString& path) = 0;
  // Starts a program detached, its parameter text split as Windows splits a
  // command line, in `folder` (empty: the current folder). Returns false and
  // sets `error` to the system error message (SystemErrorMessage) when it
  // cannot be started.
  virtual bool StartProgram(const QString& program, const QString& parameters,
                            const QString& folder, QString* error) = 0;
  // Runs a program with its arguments, each handed over as it is, and waits
  // for its end in an event loop (the window keeps painting). False when it
  // cannot be started, when it was ended by a signal (killed or crashed), or
  // when the application quits or the operation is abandoned during the wait;
  // the program is ended then.
  virtual bool RunAndWait(const QString& program, const QStringList& arguments,
                          quint32* exit_code) = 0;
};

// The desktop implementation: QDesktopServices and QProcess.
class DesktopShell : public Shell {
 public:
  void OpenUrl(const QString& url) override;
  void OpenTextFile(const QString& path) override;
  bool StartProgram(const QString& program, const QString& parameters, const QString& folder,
                    QString* error) override;
  bool RunAndWait(const QString& program, const QStringList& arguments,
                  quint32* exit_code) override;
};

// The shell the program uses; tests may put another in its place.
Shell& ProgramShell();
void SetProgramShell(Shell* shell);  // nullptr restores the desktop shell

// Splits a parameter text as Windows splits a command line.
QStringList SplitCommandLine(const QString& parameters);

// "System Error.  Code: <code>.", a line break and the system's text for the
// error number.
QString SystemErrorMessage(int code);

// Finds a program: a path as given, or a bare name looked up in PATH ("tqsl.exe"
// then "tqsl"). Empty when not found.
QString ResolveProgram(const QString& program);

#endif  // QORVSYNC_PLATFORM_SHELL_H_
