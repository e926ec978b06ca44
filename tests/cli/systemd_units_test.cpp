// The nightly user service as systemd runs it: its ExecStart= lines in order,
// a failing one ending the service, with the executable's path from a
// drop-in. A failed Qorv download must not keep the eQSL one from running.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "platform/text_codec.h"

namespace {

const QString kUnit = QStringLiteral(QORV_SOURCE_DIR "/contrib/systemd/qorvsync-download.service");

struct ServiceRun {
  bool failed = false;
  QString calls;  // the fake program's arguments, a line per run
};

// Type=oneshot: each ExecStart= in turn; a non-zero status ends the service
// as failed unless the line starts with "-" or SuccessExitStatus= names it.
// "$$" is systemd's escape for "$".
ServiceRun RunService(const QString& unit_text, const QString& fake_program, const QString& calls) {
  QStringList success{QStringLiteral("0")};
  QStringList commands;
  for (const QString& line : unit_text.split(u'\n')) {
    if (line.startsWith(QLatin1String("ExecStart="))) commands << line.mid(10);
    if (line.startsWith(QLatin1String("SuccessExitStatus="))) success += line.mid(18).split(u' ');
  }
  ServiceRun run;
  for (QString command : commands) {
    const bool ignore_failure = command.startsWith(u'-');
    if (ignore_failure) command.remove(0, 1);
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QORVSYNC"), fake_program);
    env.insert(QStringLiteral("CALLS"), calls);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command.replace("$$", "$")});
    EXPECT_TRUE(process.waitForFinished(10000));
    if (!ignore_failure && !success.contains(QString::number(process.exitCode()))) {
      run.failed = true;
      break;
    }
  }
  run.calls = QString::fromUtf8(ReadFileBytes(calls));
  return run;
}

TEST(SystemdUnitsTest, BothDownloadsRunAndAFailureFailsTheService) {
  QTemporaryDir dir;
  const QString fake = dir.filePath("qorvsync");
  // Fails the download named in FAIL; records every call.
  const QString text = QString::fromUtf8(ReadFileBytes(kUnit));
  ASSERT_FALSE(text.isEmpty());
  for (const char* failing : {"none", "qorv", "eqsl"}) {
    SCOPED_TRACE(failing);
    WriteFileBytes(fake, QByteArray("#!/bin/sh\necho \"$*\" >> \"$CALLS\"\n[ \"$2\" = ") + failing +
                             " ] && exit 1\nexit 0\n");
    QFile::setPermissions(fake, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString calls = dir.filePath(QStringLiteral("calls-%1").arg(failing));
    WriteFileBytes(calls, {});
    const ServiceRun run = RunService(text, fake, calls);
    EXPECT_EQ(run.calls, "download qorv\ndownload eqsl\n");
    EXPECT_EQ(run.failed, QByteArray(failing) != "none");
  }
  // A user unit cannot reach the system's network target.
  EXPECT_FALSE(text.contains("network-online.target"));
}

}  // namespace
