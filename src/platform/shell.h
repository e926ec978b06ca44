#ifndef QORVSYNC_PLATFORM_SHELL_H_
#define QORVSYNC_PLATFORM_SHELL_H_

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <chrono>

// A program to run and wait for: its arguments, each handed over as it is;
// its environment (empty: this process's own); and how long it may take
// (zero: as long as it needs).
struct ProgramRun {
  QStringList arguments;
  QProcessEnvironment environment;
  std::chrono::milliseconds time_limit{0};
};

// How the wait for a program ended.
enum class RunEnd {
  kExited,      // the program ended by itself; its exit code is set
  kNotStarted,  // it could not be started
  kStopped,     // the application quits or the operation was abandoned
  kTimedOut,    // it was still running at its time limit
  kKilled,      // it was ended by a signal (killed or crashed)
};

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
  // Runs a program and waits for its end in an event loop (the window keeps
  // painting). When the wait ends otherwise than by the program's own end,
  // the program is ended with it. `exit_code` is 1 unless it exited.
  virtual RunEnd RunAndWait(const QString& program, const ProgramRun& run, quint32* exit_code) = 0;
};

// The desktop implementation: QDesktopServices and QProcess.
class DesktopShell : public Shell {
 public:
  void OpenUrl(const QString& url) override;
  void OpenTextFile(const QString& path) override;
  bool StartProgram(const QString& program, const QString& parameters, const QString& folder,
                    QString* error) override;
  RunEnd RunAndWait(const QString& program, const ProgramRun& run, quint32* exit_code) override;
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
