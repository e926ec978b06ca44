// Writing a file on a full disk: the disk is made "full" for a child process
// by a limit on the size of the files it may write (which binds the owner of
// every file too), and the child writes through the program's own routine.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <csignal>

#include "platform/app_error.h"
#include "platform/text_codec.h"

namespace {

// Runs WriteFileBytes(path, bytes) in a child that may write files of at most
// `limit` bytes; returns the error's message ("no error" when it wrote).
QString WriteInChild(const QString& path, const QByteArray& bytes, rlim_t limit) {
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return QStringLiteral("no pipe");
  const pid_t pid = fork();
  if (pid == 0) {
    close(pipe_fds[0]);
    std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails with EFBIG instead
    const rlimit file_size{limit, limit};
    setrlimit(RLIMIT_FSIZE, &file_size);
    QByteArray message = "no error";
    try {
      WriteFileBytes(path, bytes);
    } catch (const AppError& error) {
      message = error.Message().toUtf8();
    }
    const ssize_t written = write(pipe_fds[1], message.constData(), message.size());
    _exit(written == message.size() ? 0 : 1);
  }
  close(pipe_fds[1]);
  QByteArray message;
  char buffer[512];
  for (ssize_t n; (n = read(pipe_fds[0], buffer, sizeof buffer)) > 0;) message.append(buffer, n);
  close(pipe_fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  return QString::fromUtf8(message);
}

TEST(FileWriteFaults, FullDiskKeepsTheEarlierFileWhole) {
  QTemporaryDir dir;
  const QString path = dir.filePath("updateeQSLcc.adi");
  const QByteArray earlier = "<CALL:4>OLD1<EOR>\r\n";
  WriteFileBytes(path, earlier);
  const QByteArray report(256 * 1024, 'x');

  const QString error = WriteInChild(path, report, 16 * 1024);
  EXPECT_TRUE(error.startsWith("Cannot write file \"" + path + "\". ")) << error.toStdString();
  EXPECT_EQ(ReadFileBytes(path), earlier);
  // Nothing half-written is left beside it.
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"updateeQSLcc.adi"});

  // A new file that does not fit is not left cut short either.
  const QString fresh = dir.filePath("QorvError.txt");
  EXPECT_NE(WriteInChild(fresh, report, 16 * 1024), "no error");
  EXPECT_FALSE(QFile::exists(fresh));

  // With room, the file is replaced whole.
  EXPECT_EQ(WriteInChild(path, report, RLIM_INFINITY), "no error");
  EXPECT_EQ(ReadFileBytes(path), report);
}

}  // namespace
