#include "kill/killable_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <vector>

namespace {

constexpr int kPollMs = 1;

}  // namespace

KillableProcess::KillableProcess(const QString& program, const QStringList& arguments,
                                 const QProcessEnvironment& environment,
                                 const QString& output_file) {
  std::vector<QByteArray> storage;
  storage.push_back(QFile::encodeName(program));
  for (const QString& argument : arguments) storage.push_back(argument.toLocal8Bit());
  const qsizetype argument_count = static_cast<qsizetype>(storage.size());
  for (const QString& entry : environment.toStringList()) storage.push_back(entry.toLocal8Bit());
  std::vector<char*> argv;
  std::vector<char*> envp;
  for (qsizetype i = 0; i < static_cast<qsizetype>(storage.size()); ++i) {
    (i < argument_count ? argv : envp).push_back(storage[i].data());
  }
  argv.push_back(nullptr);
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const QByteArray output = QFile::encodeName(output_file);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.constData(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0) pid_ = pid;
  posix_spawn_file_actions_destroy(&actions);
}

KillableProcess::~KillableProcess() { Kill(); }

bool KillableProcess::Ended(bool* stopped) {
  if (ended_ || pid_ <= 0) return true;
  int status = 0;
  const pid_t changed = ::waitpid(pid_, &status, WNOHANG | WUNTRACED);
  if (changed != pid_) return false;
  if (WIFSTOPPED(status)) {
    if (stopped != nullptr) *stopped = true;
    return false;
  }
  ended_ = true;
  exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  killed_ = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
  return true;
}

bool KillableProcess::WaitForStop(int timeout_ms) {
  bool stopped = false;
  // Timed by the clock: under load a poll's sleep lasts longer than asked.
  for (const QDeadlineTimer deadline(timeout_ms); !deadline.hasExpired();) {
    if (Ended(&stopped)) return false;
    if (stopped) return true;
    QThread::msleep(kPollMs);
  }
  return false;
}

bool KillableProcess::WaitFor(const std::function<bool()>& condition, int timeout_ms) {
  for (const QDeadlineTimer deadline(timeout_ms); !deadline.hasExpired();) {
    if (Ended()) return false;
    if (condition()) return true;
    QThread::msleep(kPollMs);
  }
  return false;
}

bool KillableProcess::Kill() {
  if (!Ended()) ::kill(pid_, SIGKILL);
  WaitForEnd(10000);
  return killed_;
}

int KillableProcess::WaitForEnd(int timeout_ms) {
  for (const QDeadlineTimer deadline(timeout_ms); !deadline.hasExpired();) {
    if (Ended()) return exit_code_;
    QThread::msleep(kPollMs);
  }
  return -1;
}
