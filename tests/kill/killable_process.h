#ifndef QORVSYNC_TESTS_KILL_KILLABLE_PROCESS_H_
#define QORVSYNC_TESTS_KILL_KILLABLE_PROCESS_H_

#include <sys/types.h>

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>

// A program started for a kill test. Unlike QProcess it lets the test see the
// program stop itself at a kill point (SIGSTOP) and kill it there with
// SIGKILL. Its standard output and error go to `output_file`.
class KillableProcess {
 public:
  KillableProcess(const QString& program, const QStringList& arguments,
                  const QProcessEnvironment& environment, const QString& output_file);
  ~KillableProcess();
  KillableProcess(const KillableProcess&) = delete;
  KillableProcess& operator=(const KillableProcess&) = delete;

  bool Started() const { return pid_ > 0; }

  // Waits until the program has stopped itself at a kill point (true), or
  // has ended (false).
  bool WaitForStop(int timeout_ms);
  // Waits while the program runs until `condition` holds (true); false when
  // the program ended first.
  bool WaitFor(const std::function<bool()>& condition, int timeout_ms);
  // SIGKILL unless it has ended, and waits for the end; true when the kill
  // ended it (false when it ended by itself first).
  bool Kill();
  // Waits for the end; the exit code, or -1 for a signal or a time-out.
  int WaitForEnd(int timeout_ms);

 private:
  // Collects a change of state without waiting: true when the program ended.
  bool Ended(bool* stopped = nullptr);

  pid_t pid_ = -1;
  bool ended_ = false;
  int exit_code_ = -1;
  bool killed_ = false;
};

#endif  // QORVSYNC_TESTS_KILL_KILLABLE_PROCESS_H_
