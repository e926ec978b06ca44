// The command line as a timer runs it: the lock it shares with the window and
// with commands whatever their environment, listings that need no lock, and
// an upload whose TQSL never ends.
#include <QDir>
#include <QJsonArray>
#include <QProcessEnvironment>

#include "cli/cli_fixture.h"
#include "platform/operation_lock.h"
#include "platform/text_codec.h"

namespace {

// Runs the program as `side` does, with `environment` instead of the side's.
CommandRun RunWith(const LogbookSide& side, const QProcessEnvironment& environment,
                   const QStringList& arguments) {
  return RunProgram(side.Program() + "qorvsync", arguments, environment);
}

// Sets or removes an environment variable of this process for the life of
// the object.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const QByteArray* value)
      : name_(name), had_(qEnvironmentVariableIsSet(name)), saved_(qgetenv(name)) {
    if (value != nullptr) {
      qputenv(name, *value);
    } else {
      qunsetenv(name);
    }
  }
  ~ScopedVariable() {
    if (had_) {
      qputenv(name_, saved_);
    } else {
      qunsetenv(name_);
    }
  }

 private:
  const char* name_;
  bool had_;
  QByteArray saved_;
};

// A run from a timer has no XDG_RUNTIME_DIR, one from the desktop has one:
// each is refused while the other holds the logbook.
TEST_F(CliTest, RunsWithAndWithoutARuntimeFolderRefuseEachOther) {
  const auto side = MakeSide("side");
  const QStringList rows = side->Rows();
  QProcessEnvironment timer = side->Environment();
  timer.remove("XDG_RUNTIME_DIR");
  const QByteArray desktop_runtime = side->RuntimeDir().toLocal8Bit();
  struct Case {
    const char* holder_env;  // XDG_RUNTIME_DIR of the holding process
    QProcessEnvironment command_env;
  } cases[] = {{desktop_runtime.constData(), timer}, {nullptr, side->Environment()}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.holder_env == nullptr ? "timer holds" : "desktop holds");
    const QByteArray value(c.holder_env == nullptr ? "" : c.holder_env);
    const ScopedVariable runtime("XDG_RUNTIME_DIR", c.holder_env == nullptr ? nullptr : &value);
    const OperationLock holder(side->Database(), "qorvsync download eqsl");
    ASSERT_TRUE(holder.Held()) << holder.Refusal().toStdString();
    const CommandRun run = RunWith(*side, c.command_env, {"download", "qorv"});
    EXPECT_EQ(run.exit_code, 1) << run.err.constData();
    EXPECT_TRUE(run.err.contains(
        "Another qorvsync is working on this logbook (qorvsync download eqsl, process"))
        << run.err.constData();
  }
  EXPECT_EQ(side->Rows(), rows);
  EXPECT_EQ(RunWith(*side, timer, {"download", "qorv"}).exit_code, 0);
}

// Listings change nothing and run beside a holder; confirming a QSO or
// clearing sent marks changes the log and waits its turn.
TEST_F(CliTest, OnlyCommandsThatChangeTheLogbookTakeTheLock) {
  const auto side = MakeSide("side");
  const QString report = root_.filePath("report.adi");
  WriteFileBytes(report, QByteArray("ARRL Qorv Status Report\n<eoh>\n") + kQorvReport);
  const QStringList rows = side->Rows();
  const OperationLock window(side->Database(), "the window");
  ASSERT_TRUE(window.Held());

  const CommandRun listing = side->Run({"unmatched", report});
  EXPECT_EQ(listing.exit_code, 0) << listing.err.constData();
  EXPECT_FALSE(listing.err.contains("Another qorvsync")) << listing.err.constData();
  EXPECT_TRUE(listing.out.contains("log_main:3")) << listing.out.constData();

  const CommandRun checking = side->Run({"check-sent"});
  EXPECT_EQ(checking.exit_code, 0) << checking.err.constData();
  EXPECT_FALSE(checking.err.contains("Another qorvsync")) << checking.err.constData();

  const CommandRun confirming = side->Run({"unmatched", report, "--confirm", "log_main:3"});
  EXPECT_EQ(confirming.exit_code, 1) << confirming.err.constData();
  EXPECT_TRUE(confirming.err.contains("(the window, process")) << confirming.err.constData();
  const CommandRun unmarking = side->Run({"check-sent", "--unmark"});
  EXPECT_EQ(unmarking.exit_code, 1) << unmarking.err.constData();
  EXPECT_TRUE(unmarking.err.contains("(the window, process")) << unmarking.err.constData();
  EXPECT_EQ(side->Rows(), rows);
}

// TQSL stuck at a question nobody answers: the upload ends it after the time
// given, uploads and marks nothing, keeps the export file and fails.
TEST_F(CliTest, UploadEndsATqslThatDoesNotFinish) {
  const auto side = MakeSide("side");
  const QStringList rows = side->Rows();
  const QByteArray hang("hang");
  const ScopedVariable mode("TQSL_DOUBLE_MODE", &hang);
  const CommandRun run = side->Run({"upload", "--tqsl-timeout", "2"});
  EXPECT_EQ(run.exit_code, 1) << run.err.constData();
  EXPECT_TRUE(run.out.contains(
      "Error: TQSL did not finish within its time limit (2 s) and was ended; nothing was "
      "uploaded."))
      << run.out.constData();
  EXPECT_EQ(side->Rows(), rows);
  EXPECT_EQ(QDir(side->Install() + "Qorv Logs").entryList({"*.adi"}, QDir::Files).size(), 1);
  EXPECT_TRUE(QDir(service_.StatePath("uploads")).entryList(QDir::Files).isEmpty());
  // A script reading JSON learns why, too.
  const CommandRun json = side->Run({"upload", "--tqsl-timeout", "1", "--json"});
  EXPECT_EQ(json.exit_code, 1) << json.err.constData();
  EXPECT_TRUE(Json(json)["messages"].toArray().contains(
      "Error: TQSL did not finish within its time limit (1 s) and was ended; nothing was "
      "uploaded."))
      << json.out.constData();
  EXPECT_EQ(side->Rows(), rows);

  const CommandRun bad = side->Run({"upload", "--tqsl-timeout", "0"});
  EXPECT_EQ(bad.exit_code, 2);
  EXPECT_TRUE(bad.err.contains("--tqsl-timeout: '0' is not a number of seconds"))
      << bad.err.constData();
}

}  // namespace
