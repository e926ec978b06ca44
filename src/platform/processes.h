#ifndef QORVSYNC_PLATFORM_PROCESSES_H_
#define QORVSYNC_PLATFORM_PROCESSES_H_

#include <QList>
#include <QString>

// Running processes, from /proc. A process's names are the file name of
// /proc/PID/exe and /proc/PID/comm (for a script, the script's own file name).
struct ProcessEntry {
  qint64 pid = 0;
  QString exe_name;  // file name of the executable (or script), no folder
  QString exe_path;  // full path, when readable
  QString comm;      // the kernel's short name (/proc/PID/comm), at most 15 bytes
};

QList<ProcessEntry> ListProcesses();

// Process id of the first process whose file name or short name equals
// `exe_name` exactly, letter case included; 0 when none. A name with the
// suffix ".exe" also matches the same name without it. The short name counts
// because a program under Wine runs as its loader and is named only there.
qint64 FindProcessId(const QString& exe_name);

// True when a process's file name, short name or full path equals `name` with
// the ASCII letters compared without regard to case (the ".exe" rule as above).
bool IsProcessRunning(const QString& name);

#endif  // QORVSYNC_PLATFORM_PROCESSES_H_
