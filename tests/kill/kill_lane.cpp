#include "kill/kill_lane.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include "kill/kill_fixture.h"
#include "platform/ini_file.h"
#include "platform/processes.h"
#include "platform/registry.h"

namespace {

constexpr int kRunMs = 60000;
constexpr int kExitNothingToDo = 3;

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  file.write(bytes);
}

// The process of that name in this test's PID namespace; 0 when none runs.
qint64 ProcessNamed(const QString& name) {
  for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
    bool numeric = false;
    const qint64 value = pid.toLongLong(&numeric);
    if (numeric && ReadFile("/proc/" + pid + "/comm").trimmed() == name.toUtf8()) return value;
  }
  return 0;
}

}  // namespace

KillLane::KillLane(int number, const QStringList& arguments, const QStringList& prepare) {
  if (!root_.isValid()) {
    ADD_FAILURE() << "no temporary folder";
    return;
  }
  service_.WriteState("accounts.txt",
                      "qorv\tW1AW\tsecret\neqsl\tW1AW\tsecret\n"
                      "clublog\top@example.org\tclub-pw\tW1AW\n");
  service_.WriteState("qorv/W1AW.adi", KillQorvReport());
  service_.WriteState("eqsl/W1AW.adi", KillEqslInbox());
  if (!service_.Start()) return;
  service_.WriteState("uploads/000001-held.tq8.contacts", KillHeldContacts());
  side_ = std::make_unique<LogbookSide>(root_.filePath("side"), service_, KillMainQsos(),
                                        KillPortableQsos());
  IniFile ini(side_->Program() + "qorv.ini");
  ini.WriteString("TfrmMain", "clublogemail_Text", "op@example.org");
  ini.WriteString("TfrmMain", "password_Text", "club-pw");
  ini.WriteString("TfrmMain", "callsign_Text", "W1AW");
  signer_name_ = QStringLiteral("tqsl-lane%1").arg(number);
  const QString signer = root_.filePath(signer_name_);
  QFile::copy(ToolPath("tqsl-double/tqsl"), signer);
  Registry registry(side_->ConfigHome() + "/registry/HKEY_CURRENT_USER.reg");
  registry.OpenKey("Software\\Vodrix_Log3\\TfmEditNewQso", true);
  registry.WriteString("TrustedQSLPatch", signer);
  WriteFile(root_.filePath("report.adi"), "ARRL Qorv Status Report\n<eoh>\n" + KillQorvReport());
  WriteFile(root_.filePath("send.adi"),
            "<CALL:4>W1AB<QSO_DATE:8>20210101<TIME_ON:4>1000<BAND:3>20M<MODE:2>CW<eor>\n");
  arguments_ = arguments;
  arguments_.replaceInStrings("{report}", root_.filePath("report.adi"));
  arguments_.replaceInStrings("{adif}", root_.filePath("send.adi"));
  if (!prepare.isEmpty()) {
    const CommandRun prepared = side_->Run(prepare);
    if (prepared.exit_code != 0) {
      ADD_FAILURE() << prepared.err.constData();
      return;
    }
  }
  CopyTree(root_.filePath("side"), root_.filePath("start/side"));
  CopyTree(service_.StatePath("uploads"), root_.filePath("start/uploads"));
  start_ = ReadState(nullptr);
  ready_ = true;
}

bool KillLane::Begin() {
  RunReference();
  return reference_exit_ != -1;
}

std::unique_ptr<KillableProcess> KillLane::Start(const QString& stop_at,
                                                 const QStringList& environment) {
  QProcessEnvironment all = side_->Environment();
  all.insert("TQSL_DOUBLE_DELAY_MS", "100");
  all.insert("TQSL_DOUBLE_LOG", SignerLog());
  if (!stop_at.isEmpty()) all.insert("QORVSYNC_STOP_AT", stop_at);
  for (const QString& entry : environment) {
    all.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
  }
  QFile::remove(SignerLog());
  auto process = std::make_unique<KillableProcess>(side_->Program() + "qorvsync", arguments_, all,
                                                   root_.filePath("run.out"));
  EXPECT_TRUE(process->Started());
  return process;
}

// Back to the state the operation starts from: the side's files and log,
// and the uploads Qorv holds; Club Log has received nothing.
void KillLane::Restore() {
  CopyTree(root_.filePath("start/side"), root_.filePath("side"));
  CopyTree(root_.filePath("start/uploads"), service_.StatePath("uploads"));
  CopyTree(root_.filePath("start/none"), service_.StatePath("clublog"));
}

SideState KillLane::ReadState(QString* integrity) const {
  QString ignored;
  return ReadSideState(root_.filePath("side"), side_->Database(),
                       integrity != nullptr ? integrity : &ignored);
}

// One uninterrupted run from the start; redone when the UTC day changed,
// since a download moves the stored date to the day of the run.
void KillLane::RunReference() {
  Restore();
  reference_day_ = QDateTime::currentDateTimeUtc().date();
  QElapsedTimer timer;
  timer.start();
  reference_exit_ = Start(QString())->WaitForEnd(kRunMs);
  run_ms_ = static_cast<int>(timer.elapsed());
  reference_ = ReadState(nullptr);
  EXPECT_NE(reference_exit_, -1) << ReadFile(root_.filePath("run.out")).constData();
}

// Qorv's accepted uploads: call, yyyymmdd, hhmm of each contact.
QSet<QString> KillLane::AcceptedContacts() const {
  QSet<QString> contacts;
  const QDir uploads(service_.StatePath("uploads"));
  for (const QString& name : uploads.entryList({"*.contacts"}, QDir::Files)) {
    for (const QByteArray& line : ReadFile(uploads.filePath(name)).split('\n')) {
      const QList<QByteArray> fields = line.split('\t');
      if (fields.size() == 5) {
        contacts << QString::fromUtf8(fields[0] + '\t' + fields[1] + '\t' + fields[2]);
      }
    }
  }
  return contacts;
}

qsizetype KillLane::UploadRequests() const {
  return service_.ReadState("requests.log").count("POST /qorvuser/upload");
}

// A signer the killed program left behind ends by itself after its delay.
void KillLane::WaitForOrphanedSigner() const {
  QElapsedTimer waited;
  waited.start();
  while (IsProcessRunning(signer_name_) && waited.elapsed() < 10000) QThread::msleep(5);
}

void KillLane::CheckAfterKill(const QString& label) const {
  SCOPED_TRACE(label.toStdString());
  QString integrity;
  const SideState killed = ReadState(&integrity);
  EXPECT_EQ(integrity, "ok");
  EXPECT_EQ(killed.rows.keys(), start_.rows.keys());
  for (auto row = killed.rows.cbegin(); row != killed.rows.cend(); ++row) {
    EXPECT_TRUE(*row == start_.rows.value(row.key()) || *row == reference_.rows.value(row.key()))
        << row.key().toStdString() << " half changed: " << row->toStdString();
  }
  const QSet<QString> accepted = AcceptedContacts();
  for (auto sent = killed.sent.cbegin(); sent != killed.sent.cend(); ++sent) {
    if (start_.sent.contains(sent.key())) continue;
    EXPECT_TRUE(accepted.contains(*sent))
        << sent.key().toStdString() << " marked sent, but Qorv did not accept it";
  }
  for (auto file = killed.files.cbegin(); file != killed.files.cend(); ++file) {
    const bool old_or_new =
        (start_.files.contains(file.key()) && *file == start_.files.value(file.key())) ||
        (reference_.files.contains(file.key()) && *file == reference_.files.value(file.key()));
    EXPECT_TRUE(old_or_new || IsUnfinishedTemporary(file.key()) ||
                IsWholeUploadFile(file.key(), *file))
        << file.key().toStdString() << " is neither the old nor the new file";
  }
  for (const QString& file : start_.files.keys()) {
    if (reference_.files.contains(file)) {
      EXPECT_TRUE(killed.files.contains(file)) << file.toStdString() << " is gone";
    }
  }
}

void KillLane::RerunToTheEnd(const QString& label) {
  SCOPED_TRACE(label.toStdString());
  // An upload killed after its marking leaves nothing to do for the rerun.
  const int exit = Start(QString())->WaitForEnd(kRunMs);
  EXPECT_TRUE(exit == reference_exit_ || exit == kExitNothingToDo)
      << exit << ": " << ReadFile(root_.filePath("run.out")).constData();
  const SideState rerun = ReadState(nullptr);
  EXPECT_EQ(rerun.rows, reference_.rows);
  for (auto file = reference_.files.cbegin(); file != reference_.files.cend(); ++file) {
    EXPECT_EQ(rerun.files.value(file.key()), *file) << file.key().toStdString();
  }
  for (auto file = rerun.files.cbegin(); file != rerun.files.cend(); ++file) {
    if (reference_.files.contains(file.key())) continue;
    EXPECT_TRUE(IsUnfinishedTemporary(file.key()) || IsWholeUploadFile(file.key(), *file))
        << file.key().toStdString() << " left behind";
  }
}

bool KillLane::Trial(const QString& label, const std::function<bool(KillableProcess&)>& reach,
                     const QString& stop_at, const QStringList& environment) {
  if (QDateTime::currentDateTimeUtc().date() != reference_day_) RunReference();
  Restore();
  std::unique_ptr<KillableProcess> process = Start(stop_at, environment);
  if (!reach(*process) || !process->Kill()) {
    process->WaitForEnd(kRunMs);
    return false;
  }
  WaitForOrphanedSigner();
  CheckAfterKill(label);
  RerunToTheEnd(label);
  return true;
}

void KillLane::KillTheSigner() {
  SCOPED_TRACE("signer killed");
  Restore();
  const qsizetype uploads_before = UploadRequests();
  // The signed file made empty at the signer's start, as the real TQSL does.
  std::unique_ptr<KillableProcess> process =
      Start(QString(), {"TQSL_DOUBLE_EARLY_FILE=1", "TQSL_DOUBLE_DELAY_MS=400"});
  const QString log = SignerLog();
  ASSERT_TRUE(process->WaitFor([&log] { return ReadFile(log).contains("\t-d"); }, kRunMs));
  const qint64 signer = ProcessNamed(signer_name_);
  ASSERT_GT(signer, 0);
  ::kill(static_cast<pid_t>(signer), SIGKILL);
  EXPECT_EQ(process->WaitForEnd(kRunMs), 1) << "the upload went on without a signed file";
  EXPECT_EQ(UploadRequests(), uploads_before);
  CheckAfterKill("signer killed");
  RerunToTheEnd("signer killed");
}
