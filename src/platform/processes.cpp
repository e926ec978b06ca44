#include "platform/processes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <optional>

namespace {

const QString kProc = QStringLiteral("/proc/");

QByteArray ReadProcFile(const QString& pid, const char* name) {
  QFile file(kProc + pid + u'/' + QLatin1String(name));
  if (!file.open(QIODevice::ReadOnly)) return QByteArray();
  return file.readAll();
}

// The kernel's short name of a process: its file name cut to 15 bytes.
constexpr qsizetype kCommLength = 15;

bool HasShortName(const QString& file_name, const QByteArray& comm) {
  return file_name.toLocal8Bit().left(kCommLength) == comm;
}

bool HasShortName(const QString& file_name, const QString& comm) {
  return !comm.isEmpty() && HasShortName(file_name, comm.toLocal8Bit());
}

// A zombie has ended; only its exit status is left to collect.
bool IsZombie(const QString& pid) {
  const QByteArray stat = ReadProcFile(pid, "stat");
  const qsizetype close = stat.lastIndexOf(')');
  return close >= 0 && stat.mid(close + 2, 1) == "Z";
}

// For a script the kernel names the process after the script (cut to 15
// bytes in comm) and runs its interpreter with the script's path among the
// arguments: that argument gives the script's full name.
QString ScriptPath(const QString& pid, const QByteArray& comm) {
  const QList<QByteArray> args = ReadProcFile(pid, "cmdline").split('\0');
  for (qsizetype i = 1; i < args.size(); ++i) {
    const QString arg = QString::fromLocal8Bit(args.at(i));
    if (arg.isEmpty() || !HasShortName(QFileInfo(arg).fileName(), comm)) continue;
    if (QFileInfo(arg).isAbsolute()) return arg;
    const QString cwd = QFileInfo(kProc + pid + QStringLiteral("/cwd")).symLinkTarget();
    return cwd.isEmpty() ? arg : QDir(cwd).absoluteFilePath(arg);
  }
  return QString();
}

std::optional<ProcessEntry> ReadEntry(const QString& pid) {
  if (IsZombie(pid)) return std::nullopt;
  ProcessEntry entry;
  entry.pid = pid.toLongLong();
  QByteArray comm = ReadProcFile(pid, "comm");
  if (comm.endsWith('\n')) comm.chop(1);
  QString exe = QFile::symLinkTarget(kProc + pid + QStringLiteral("/exe"));
  exe.remove(QLatin1String(" (deleted)"));
  const QString exe_name = QFileInfo(exe).fileName();
  if (!comm.isEmpty() && !HasShortName(exe_name, comm)) {
    const QString script = ScriptPath(pid, comm);
    if (!script.isEmpty()) exe = script;
  }
  entry.exe_path = exe;
  entry.comm = QString::fromLocal8Bit(comm);
  entry.exe_name = exe.isEmpty() ? QString::fromLocal8Bit(comm) : QFileInfo(exe).fileName();
  if (entry.exe_name.isEmpty()) return std::nullopt;
  return entry;
}

QString AsciiUpperCase(const QString& text) {
  QString upper = text;
  for (QChar& ch : upper) {
    if (ch >= u'a' && ch <= u'z') ch = QChar(ch.unicode() - u'a' + u'A');
  }
  return upper;
}

// "tqsl.exe" stands also for Linux's "tqsl".
QStringList Candidates(const QString& name, Qt::CaseSensitivity suffix_case) {
  QStringList names{name};
  const QLatin1String suffix(".exe");
  if (name.size() > suffix.size() && name.endsWith(suffix, suffix_case)) {
    names.append(name.chopped(suffix.size()));
  }
  return names;
}

}  // namespace

QList<ProcessEntry> ListProcesses() {
  QList<ProcessEntry> processes;
  QStringList pids = QDir(kProc).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  pids.removeIf([](const QString& name) {
    bool numeric = false;
    name.toLongLong(&numeric);
    return !numeric;
  });
  std::sort(pids.begin(), pids.end(),
            [](const QString& a, const QString& b) { return a.toLongLong() < b.toLongLong(); });
  for (const QString& pid : pids) {
    if (std::optional<ProcessEntry> entry = ReadEntry(pid)) processes.append(*entry);
  }
  return processes;
}

qint64 FindProcessId(const QString& exe_name) {
  const QStringList names = Candidates(exe_name, Qt::CaseSensitive);
  for (const ProcessEntry& process : ListProcesses()) {
    for (const QString& name : names) {
      if (process.exe_name == name || HasShortName(name, process.comm)) return process.pid;
    }
  }
  return 0;
}

bool IsProcessRunning(const QString& name) {
  QStringList names = Candidates(name, Qt::CaseInsensitive);
  for (QString& candidate : names) candidate = AsciiUpperCase(candidate);
  for (const ProcessEntry& process : ListProcesses()) {
    const QString comm = AsciiUpperCase(process.comm);
    for (const QString& name : names) {
      if (AsciiUpperCase(process.exe_name) == name || HasShortName(name, comm) ||
          (!process.exe_path.isEmpty() && AsciiUpperCase(process.exe_path) == name)) {
        return true;
      }
    }
  }
  return false;
}
