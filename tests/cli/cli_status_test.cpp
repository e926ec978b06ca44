// Exit statuses, usage errors and hostile arguments, and the lock the window
// and the command share.
#include <QDir>
#include <QJsonArray>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include "app/app_test_support.h"
#include "app/tfrm_main.h"
#include "cli/cli_fixture.h"
#include "platform/ini_file.h"
#include "platform/operation_lock.h"
#include "platform/registry.h"
#include "platform/text_codec.h"
#include "support/scripted_dialogs.h"

namespace {

struct StatusCase {
  const char* name;
  QStringList arguments;
  int exit_code;
  const char* says;  // on standard error
};

const StatusCase kStatusCases[] = {
    {"UnknownCommand", {"frobnicate"}, 2, "unknown command 'frobnicate'"},
    {"DownloadOfNothing", {"download"}, 2, "'download' needs 'qorv' or 'eqsl'"},
    {"DownloadOfSomethingElse",
     {"download", "lotw"},
     2,
     "unknown command 'download lotw': 'download' takes 'qorv' or 'eqsl'"},
    {"UnknownLog",
     {"download", "qorv", "--log", "No'Such%Log"},
     2,
     "the log 'No'Such%Log' is not in the logbook's configuration; its logs: Main, Portable"},
    {"MissingFile", {"import", "/nonexistent/report.adi"}, 2, "no such file"},
    {"ImportOfAFolder", {"import", "/"}, 2, "/ is a folder, not a file"},
    {"ImportWithoutFile", {"import"}, 2, "'import' needs a FILE"},
    {"BadDate", {"download", "qorv", "--since", "2021-02-30"}, 2, "is not a date"},
    {"HalfARange", {"download", "eqsl", "--from", "2021-01-01"}, 2, "--from and --to go together"},
    {"OptionOfAnotherCommand", {"download", "qorv", "--unmark"}, 2, "--unmark does not go with"},
    {"UnknownOption", {"upload", "--force"}, 2, "Unknown option 'force'"},
    {"ExtraArgument", {"check-sent", "extra"}, 2, "unexpected argument 'extra'"},
    {"WatchOfOneLog", {"watch", "--log", "Main"}, 2, "--log does not go with 'watch'"},
    {"StatusWithAFile", {"status", "x.adi"}, 2, "unexpected argument 'x.adi'"},
};

class StatusTest : public CliTest, public testing::WithParamInterface<StatusCase> {};

// In words the refusal is on standard error only; with --json (wherever it
// stands) standard output is one object that says it too.
TEST_P(StatusTest, RefusedWithStatusAndReason) {
  const StatusCase& c = GetParam();
  const auto side = MakeSide("side");
  const QStringList rows = side->Rows();
  const CommandRun run = side->Run(c.arguments);
  EXPECT_EQ(run.exit_code, c.exit_code) << run.err.constData();
  EXPECT_TRUE(run.err.contains(c.says)) << run.err.constData();
  EXPECT_TRUE(run.out.isEmpty()) << run.out.constData();

  const CommandRun json_run = side->Run(QStringList{"--json"} + c.arguments);
  EXPECT_EQ(json_run.exit_code, c.exit_code) << json_run.err.constData();
  const QJsonObject json = Json(json_run);
  EXPECT_EQ(json["status"].toInt(), c.exit_code);
  ASSERT_EQ(json["messages"].toArray().size(), 1) << json_run.out.constData();
  EXPECT_TRUE(json["messages"][0].toString().contains(c.says)) << json_run.out.constData();
  EXPECT_EQ(side->Rows(), rows);
}

INSTANTIATE_TEST_SUITE_P(Cases, StatusTest, testing::ValuesIn(kStatusCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliTest, HelpNamesEveryCommandAndVersionPrintsIt) {
  const auto side = MakeSide("side");
  const CommandRun help = side->Run({"--help"});
  EXPECT_EQ(help.exit_code, 0);
  for (const char* word :
       {"download qorv", "download eqsl", "import FILE", "upload [--clublog]", "clublog FILE",
        "unmatched [FILE]", "check-sent", "--log <NAME>", "--json", "--since <DATE>", "--unmark",
        "--confirm <ID>", "Exit status"}) {
    EXPECT_TRUE(help.out.contains(word)) << word;
  }
  const CommandRun version = side->Run({"--version"});
  EXPECT_EQ(version.exit_code, 0);
  EXPECT_EQ(version.out.trimmed(), "qorvsync " QORVSYNC_VERSION);
  // Text to read, also when JSON was asked for.
  EXPECT_EQ(side->Run({"--json", "--version"}).out, version.out);
}

TEST_F(CliTest, FailuresEndWithStatusOne) {
  const auto side = MakeSide("side");
  // A refused login: the service's page is no report.
  service_.WriteState("accounts.txt", "qorv\tW1AW\tother\neqsl\tW1AW\tother\n");
  const QStringList rows = side->Rows();
  const CommandRun qorv = side->Run({"download", "qorv", "--json"});
  EXPECT_EQ(qorv.exit_code, 1);
  EXPECT_TRUE(qorv.err.contains("does not appear to be an ARRL Qorv ADIF file"))
      << qorv.err.constData();
  EXPECT_EQ(Json(qorv)["status"].toInt(), 1);
  // Nothing was matched: no tally is reported.
  EXPECT_FALSE(Json(qorv).contains("unmatched")) << qorv.out.constData();
  const CommandRun eqsl = side->Run({"download", "eqsl"});
  EXPECT_EQ(eqsl.exit_code, 1);
  EXPECT_TRUE(eqsl.err.contains("No such Username/Password found"));
  EXPECT_FALSE(eqsl.out.contains("Unmatched")) << eqsl.out.constData();
  EXPECT_EQ(side->Rows(), rows);
  EXPECT_EQ(side->StoredDate("QorvDate_Date"), "44197.3125");
  EXPECT_EQ(side->StoredDate("eQSLDate_Date"), "44197.3125");
}

TEST_F(CliTest, UploadWithNothingUnsentIsNothingToDo) {
  const auto side = MakeSide("side");
  Registry registry(side->ConfigHome() + "/registry/HKEY_CURRENT_USER.reg");
  registry.OpenKey("Software\\Vodrix_Log3\\TfmEditNewQso", true);
  registry.WriteString("TrustedQSLPatch", "/bin/false");
  {
    LogbookDatabaseWriter writer(side->Database());
    writer.Execute("UPDATE log_port SET QorvSent = 1");
  }
  const CommandRun run = side->Run({"upload", "--log", "Portable", "--json"});
  EXPECT_EQ(run.exit_code, 3) << run.err.constData();
  EXPECT_TRUE(run.err.contains("No new QSO.")) << run.err.constData();
  EXPECT_EQ(Json(run)["qsos_sent"].toInt(), 0);
  EXPECT_FALSE(Json(run).contains("unmatched")) << run.out.constData();
}

// A window whose operation runs holds the logbook: the command says so and
// leaves it alone; once the window is done the command runs.
TEST_F(CliTest, CommandRefusedWhileTheWindowWorks) {
  const auto side = MakeSide("side");
  RecordingShell shell;
  ScriptedDialogs dialogs;
  std::unique_ptr<TfrmMain> window = OpenWindow(*side, dialogs);
  CommandRun during;
  QStringList rows_during;
  QTimer::singleShot(0, [&] {
    rows_during = side->Rows();
    during = side->Run({"download", "qorv", "--json"});
  });
  window->findChild<QPushButton*>("btnQorv")->click();
  EXPECT_EQ(during.exit_code, 1);
  EXPECT_TRUE(
      during.err.contains("Another qorvsync is working on this logbook (the window, "
                          "process"))
      << during.err.constData();
  EXPECT_EQ(Json(during)["status"].toInt(), 1);
  EXPECT_EQ(window->findChild<QLabel*>("RzLabel2")->text(), "Download QSO: 4");

  const CommandRun after = side->Run({"download", "qorv"});
  EXPECT_EQ(after.exit_code, 0) << after.err.constData();
}

// The command's lock keeps the window's action buttons from touching the
// logbook, with a box that names the holder.
TEST_F(CliTest, WindowRefusesWhileACommandHoldsTheLogbook) {
  const auto side = MakeSide("side");
  RecordingShell shell;
  ScriptedDialogs dialogs;
  std::unique_ptr<TfrmMain> window = OpenWindow(*side, dialogs);
  const QStringList rows = side->Rows();
  {
    const OperationLock command(side->Database(), "qorvsync download eqsl");
    ASSERT_TRUE(command.Held());
    window->findChild<QPushButton*>("btnQorv")->click();
    dialogs.file_answers << "/nonexistent.adi";
    window->findChild<QPushButton*>("btnQorvAdif")->click();
  }
  ASSERT_EQ(dialogs.messages.size(), 2);
  for (const ScriptedDialogs::Message& message : dialogs.messages) {
    EXPECT_EQ(message.kind, MessageKind::kWarning);
    EXPECT_TRUE(message.text.contains("(qorvsync download eqsl, process"))
        << message.text.toStdString();
  }
  EXPECT_EQ(side->Rows(), rows);
  EXPECT_EQ(window->windowTitle(), "Main");
  // Released with its holder: the window's next press runs.
  window->findChild<QPushButton*>("btnQorv")->click();
  EXPECT_EQ(window->findChild<QLabel*>("RzLabel2")->text(), "Download QSO: 4");
}

// "clublog FILE" sends with the login the window stored; Club Log's refusal
// is a failure, its reply on standard error.
TEST_F(CliTest, ClublogSendsTheFileWithTheStoredLogin) {
  const auto side = MakeSide("side");
  service_.WriteState("accounts.txt", "clublog\top@example.org\tclub=pw\tW1AW\n");
  IniFile ini(side->Program() + "qorv.ini");
  ini.WriteString("TfrmMain", "clublogemail_Text", "op@example.org");
  ini.WriteString("TfrmMain", "password_Text", "club=pw");
  ini.WriteString("TfrmMain", "callsign_Text", "W1AW");
  const QString file = root_.filePath("log.adi");
  WriteFileBytes(file, "<CALL:6>N0CALL<BAND:3>20M<MODE:3>FT8<EOR>\n");

  const CommandRun sent = side->Run({"clublog", file, "--json"});
  EXPECT_EQ(sent.exit_code, 0) << sent.err.constData();
  EXPECT_EQ(Json(sent)["clublog_reply"].toString(), "Upload accepted and queued!");
  EXPECT_EQ(QDir(service_.StatePath("clublog")).entryList(QDir::Files).size(), 1);

  ini.WriteString("TfrmMain", "password_Text", "wrong");
  const CommandRun refused = side->Run({"clublog", file});
  EXPECT_EQ(refused.exit_code, 1);
  EXPECT_TRUE(refused.err.contains("Club Log: ")) << refused.err.constData();
  EXPECT_EQ(QDir(service_.StatePath("clublog")).entryList(QDir::Files).size(), 1);
}

}  // namespace
