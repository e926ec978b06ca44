#include "platform/shell.h"

#include <QDesktopServices>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <cerrno>

#include "platform/operation_abandon.h"

namespace {

Shell* replacement = nullptr;

constexpr int kLastErrno = 133;
// How often a program's wait looks whether its operation was abandoned.
constexpr int kAbandonCheckMs = 50;

// QProcess reports a failed start only as text; the system's texts tell
// which error number it was.
int ErrnoOf(const QString& text) {
  for (int code = 1; code <= kLastErrno; ++code) {
    if (text.contains(qt_error_string(code))) return code;
  }
  return 0;
}

// Why `program` cannot be started in `folder`, found before starting it.
int StartCheck(const QString& resolved, const QString& folder) {
  if (resolved.isEmpty()) return ENOENT;
  const QFileInfo file(resolved);
  if (file.isDir() || !file.isExecutable()) return EACCES;
  if (!folder.isEmpty() && !QFileInfo(folder).isDir()) return ENOENT;
  return 0;
}

}  // namespace

QString SystemErrorMessage(int code) {
  return QStringLiteral("System Error.  Code: %1.\n%2").arg(code).arg(qt_error_string(code));
}

void DesktopShell::OpenUrl(const QString& url) {
  QDesktopServices::openUrl(QUrl(url, QUrl::TolerantMode));
}

void DesktopShell::OpenTextFile(const QString& path) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

bool DesktopShell::StartProgram(const QString& program, const QString& parameters,
                                const QString& folder, QString* error) {
  const QString resolved = ResolveProgram(program);
  int code = StartCheck(resolved, folder);
  if (code == 0) {
    QProcess process;
    process.setProgram(resolved);
    process.setArguments(SplitCommandLine(parameters));
    process.setWorkingDirectory(folder);
    process.setStandardInputFile(QProcess::nullDevice());
    if (process.startDetached()) return true;
    code = ErrnoOf(process.errorString());
  }
  if (error != nullptr) *error = SystemErrorMessage(code);
  return false;
}

RunEnd DesktopShell::RunAndWait(const QString& program, const ProgramRun& run, quint32* exit_code) {
  *exit_code = 1;
  const QString resolved = ResolveProgram(program);
  if (StartCheck(resolved, QString()) != 0) return RunEnd::kNotStarted;
  QProcess process;
  process.setProgram(resolved);
  process.setArguments(run.arguments);
  if (!run.environment.isEmpty()) process.setProcessEnvironment(run.environment);
  process.setStandardInputFile(QProcess::nullDevice());
  process.setProcessChannelMode(QProcess::ForwardedChannels);
  QEventLoop loop;
  QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
  QTimer abandon_watch;
  QObject::connect(&abandon_watch, &QTimer::timeout, &loop, [&loop] {
    if (AbandonRequested()) loop.quit();
  });
  abandon_watch.start(kAbandonCheckMs);
  bool timed_out = false;
  QTimer limit;
  // A coarse timer may fire up to 5 % early; the user's time limit is a floor.
  limit.setTimerType(Qt::PreciseTimer);
  limit.setSingleShot(true);
  QObject::connect(&limit, &QTimer::timeout, &loop, [&loop, &timed_out] {
    timed_out = true;
    loop.quit();
  });
  process.start();
  if (!process.waitForStarted(-1)) return RunEnd::kNotStarted;
  if (run.time_limit.count() > 0) limit.start(run.time_limit);
  if (process.state() != QProcess::NotRunning && !AbandonRequested()) loop.exec();
  // Still running: the program is quitting, the operation was abandoned or
  // the time is up. The wait ends without a result, and the program with it.
  if (process.state() != QProcess::NotRunning) {
    process.kill();
    process.waitForFinished(kAbandonCheckMs * 20);
    return timed_out ? RunEnd::kTimedOut : RunEnd::kStopped;
  }
  if (process.exitStatus() != QProcess::NormalExit) return RunEnd::kKilled;
  *exit_code = static_cast<quint32>(process.exitCode());
  return RunEnd::kExited;
}

Shell& ProgramShell() {
  static DesktopShell desktop;
  return replacement != nullptr ? *replacement : desktop;
}

void SetProgramShell(Shell* shell) { replacement = shell; }

// Blanks and tabs separate arguments outside quotes; 2n backslashes before a
// quote give n backslashes and the quote opens or closes quoting, 2n+1 give n
// backslashes and a literal quote; "" inside quotes is a literal quote.
QStringList SplitCommandLine(const QString& parameters) {
  QStringList arguments;
  QString current;
  bool in_argument = false;
  bool quoted = false;
  const qsizetype n = parameters.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar ch = parameters.at(i);
    if (!quoted && (ch == u' ' || ch == u'\t')) {
      if (in_argument) arguments.append(current);
      current.clear();
      in_argument = false;
      continue;
    }
    in_argument = true;
    if (ch == u'\\') {
      qsizetype count = 0;
      while (i < n && parameters.at(i) == u'\\') {
        ++count;
        ++i;
      }
      if (i < n && parameters.at(i) == u'"') {
        current += QString(count / 2, u'\\');
        if (count % 2 == 1) {
          current += u'"';  // the escaped quote is consumed here
          continue;
        }
      } else {
        current += QString(count, u'\\');
      }
      --i;  // the character after the backslashes is read next
      continue;
    }
    if (ch == u'"') {
      if (quoted && i + 1 < n && parameters.at(i + 1) == u'"') {
        current += u'"';
        ++i;
      } else {
        quoted = !quoted;
      }
      continue;
    }
    current += ch;
  }
  if (in_argument) arguments.append(current);
  return arguments;
}

QString ResolveProgram(const QString& program) {
  if (program.isEmpty()) return QString();
  if (program.contains(u'/')) {
    const QFileInfo file(program);
    return file.exists() ? file.absoluteFilePath() : QString();
  }
  QString found = QStandardPaths::findExecutable(program);
  const QLatin1String suffix(".exe");
  if (found.isEmpty() && program.size() > suffix.size() &&
      program.endsWith(suffix, Qt::CaseInsensitive)) {
    found = QStandardPaths::findExecutable(program.chopped(suffix.size()));
  }
  return found;
}
