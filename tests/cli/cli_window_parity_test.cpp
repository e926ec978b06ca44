// The commands do the window's work: the same rows, files and dates as the
// same action pressed in the window, on two copies of one logbook.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <optional>

#include "app/app_test_support.h"
#include "app/tfrm_main.h"
#include "cli/cli_fixture.h"
#include "platform/text_codec.h"
#include "support/scripted_dialogs.h"

namespace {

struct ParityCase {
  const char* name;
  int page;                // the page whose action button the window presses; -1: "Load adif file"
  QStringList command;     // "%report%" stands for the saved report's path
  const char* error_file;  // nullptr: none is written
  const char* result_label;
  const char* result_text;  // "%1" stands for the count the command reports
  const char* count;        // that count in the JSON outcome
};

const ParityCase kCases[] = {
    {"QorvDownload",
     0,
     {"download", "qorv"},
     "QorvError.txt",
     "RzLabel2",
     "Download QSO: %1",
     "records"},
    {"SavedReport",
     -1,
     {"import", "%report%"},
     "QorvError.txt",
     "RzLabel2",
     "Download QSO: %1",
     "records"},
    {"EqslDownload",
     1,
     {"download", "eqsl"},
     "eQSLccError.txt",
     "RzLabel3",
     "Download QSO: %1",
     "records"},
    {"Upload", 2, {"upload"}, nullptr, "lbQorv", "Uploading was successful ! QSO:%1", "qsos_sent"},
};

class WindowParityTest : public CliTest, public testing::WithParamInterface<ParityCase> {};

QStringList FilesIn(const QString& folder) {
  return QDir(folder).entryList(QDir::Files, QDir::Name);
}

TEST_P(WindowParityTest, CommandLeavesWhatTheWindowLeaves) {
  const ParityCase& c = GetParam();
  const QString report = root_.filePath("saved-report.adi");
  WriteFileBytes(report, QByteArray("ARRL Qorv Status Report\n<eoh>\n") + kQorvReport);
  const auto window_side = MakeSide("window");
  const auto command_side = MakeSide("command");
  const QStringList rows_before = window_side->Rows();

  // The upload runs TQSL through the real shell; no editor opens then.
  std::optional<RecordingShell> shell;
  if (c.error_file != nullptr) shell.emplace();
  ScriptedDialogs dialogs;
  QString label;
  {
    std::unique_ptr<TfrmMain> window = OpenWindow(*window_side, dialogs);
    if (c.page < 0) {
      dialogs.file_answers << report;
      window->findChild<QPushButton*>("btnQorvAdif")->click();
    } else {
      window->findChild<QTabWidget*>("RzPageControl1")->setCurrentIndex(c.page);
      window->findChild<QPushButton*>("btnQorv")->click();
    }
    label = window->findChild<QLabel*>(c.result_label)->text();
  }
  EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.MessageTexts().join('\n').toStdString();

  QStringList arguments = c.command;
  arguments.replaceInStrings("%report%", report);
  const CommandRun run = command_side->Run(arguments + QStringList{"--json"});
  ASSERT_EQ(run.exit_code, 0) << run.err.constData();

  // The run changed the log, and changed it the same way.
  EXPECT_NE(window_side->Rows(), rows_before);
  EXPECT_EQ(command_side->Rows(), window_side->Rows());
  for (const char* date : {"QorvDate_Date", "eQSLDate_Date"}) {
    EXPECT_EQ(command_side->StoredDate(date), window_side->StoredDate(date)) << date;
  }
  EXPECT_EQ(FilesIn(command_side->Install() + "Download"),
            FilesIn(window_side->Install() + "Download"));
  EXPECT_EQ(FilesIn(command_side->Install() + "Qorv Logs"),
            FilesIn(window_side->Install() + "Qorv Logs"));

  const QJsonObject json = Json(run);
  EXPECT_EQ(json["status"].toInt(), 0);
  EXPECT_EQ(json["log"].toString(), "Main");
  EXPECT_EQ(label, QString::fromLatin1(c.result_text).arg(json[c.count].toInt()));
  if (c.error_file == nullptr) return;
  const QString error_file = command_side->Program() + c.error_file;
  EXPECT_EQ(ReadFileBytes(error_file), ReadFileBytes(window_side->Program() + c.error_file));
  EXPECT_EQ(shell->text_files, QStringList{window_side->Program() + c.error_file});
  EXPECT_EQ(json["unmatched"].toInt() * 2, ReadTextFileLines(error_file).size());
  EXPECT_TRUE(
      json["files"].toArray().contains(QJsonValue(QFileInfo(error_file).absoluteFilePath())))
      << run.out.constData();
}

INSTANTIATE_TEST_SUITE_P(Cases, WindowParityTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The tally says, per log table, what the report's records came to.
TEST_F(CliTest, DownloadTalliesConfirmationsPerLog) {
  const auto side = MakeSide("side");
  const CommandRun run = side->Run({"download", "qorv", "--json"});
  ASSERT_EQ(run.exit_code, 0) << run.err.constData();
  const QJsonObject json = Json(run);
  EXPECT_EQ(json["records"].toInt(), 4);
  EXPECT_EQ(json["logs"]["log_main"]["confirmed"].toInt(), 1);
  EXPECT_EQ(json["logs"]["log_main"]["already_confirmed"].toInt(), 1);
  EXPECT_EQ(json["logs"]["log_port"]["confirmed"].toInt(), 1);
  EXPECT_EQ(json["confirmed"].toInt(), 2);
  EXPECT_EQ(json["unmatched"].toInt(), 2);
  // The stored options: locator copied, county into State2.
  EXPECT_TRUE(side->Rows()[0].contains("|EN34ab|")) << side->Rows()[0].toStdString();
  EXPECT_TRUE(side->Rows()[0].contains("MN-Anoka")) << side->Rows()[0].toStdString();
}

// Without --json the outcome is words; without a terminal progress is a
// line naming each step, never a bar or a bare percentage.
TEST_F(CliTest, PlainOutcomeAndProgressLines) {
  const auto side = MakeSide("side");
  const CommandRun run = side->Run({"download", "qorv"});
  ASSERT_EQ(run.exit_code, 0) << run.err.constData();
  EXPECT_TRUE(run.out.contains("Records read: 4")) << run.out.constData();
  EXPECT_TRUE(run.out.contains("Unmatched: 2"));
  EXPECT_TRUE(run.out.contains("File: " + (side->Program() + "QorvError.txt").toUtf8()));
  EXPECT_TRUE(run.err.startsWith("downloading report\nmatching 4 records\n"))
      << run.err.constData();
  EXPECT_FALSE(run.err.contains('%'));
  EXPECT_FALSE(run.err.contains('\r'));
}

}  // namespace
