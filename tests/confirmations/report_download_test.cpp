// The Qorv download against the service double: the request, the saved
// report, the matching, the QSL-since date, and the ways it ends early.
#include "confirmations/report_download.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QThread>
#include <thread>

#include "confirmation_fixture.h"
#include "confirmations/report_import.h"
#include "platform/registry.h"
#include "platform/text_codec.h"
#include "report_text.h"
#include "support/loopback_http_server.h"
#include "support/service_double_process.h"

namespace {

// The first value of a query, read through SQLite's own connection: usable
// from any thread, as the logbook would look.
QString PeekOwnConnection(const QString& path, const char* sql) {
  sqlite3* db = nullptr;
  QString value = QStringLiteral("no value");
  if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
      value = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    }
    sqlite3_finalize(statement);
  }
  sqlite3_close(db);
  return value;
}

const QString kDateKey = QStringLiteral("Software\\Vodrix_Log3\\TfmSendQSOstoQorv");
const QString kLogin = QStringLiteral("W1 A&B");
const QString kPassword = QString::fromUtf8("p#ss w\u00f6rd");

class ReportDownloadTest : public ConfirmationTest {
 protected:
  void SetUp() override {
    QFile::remove(Registry::DefaultFile());
    service_.WriteState("accounts.txt", ("qorv\t" + kLogin + "\t" + kPassword + "\n").toUtf8());
    service_.WriteState(
        "qorv/W1_A_B.adi",
        (Record("K1AA", "40M", "CW", "20210917", "000500", F("STATION_CALLSIGN", "W1AW")) + "\n" +
         Record("NOBODY", "20M", "FT8", "20210917", "1200", F("STATION_CALLSIGN", "W1AW")) + "\n")
            .toLatin1());
    ASSERT_TRUE(service_.Start());
    ui_.log_name = QStringLiteral("Home");
    picker_value_ = QDateTime(QDate(2021, 7, 1), QTime(7, 0));
    download_.query = {kLogin, kPassword, false, {}, {}, QDate(2021, 7, 1), {}};
    download_.service_address = [this] { return service_address_; };
    download_.install_path = dir_.path() + QStringLiteral("/install/");
    QDir().mkpath(download_.install_path);
    download_.program_folder = ProgramFolder();
    download_.log_set = QStringLiteral("A");
    download_.start_utc = QDateTime(QDate(2021, 10, 9), QTime(22, 30), Qt::UTC);
    service_address_ = QStringLiteral("http://127.0.0.1:%1").arg(service_.http_port());
  }

  bool Download() {
    download_.since_time = picker_value_.time();
    return TakeDownloadOutcome(DownloadConfirmations(ui_, Database(), download_, Options()),
                               &picker_value_);
  }

  QString StoredDate() const {
    Registry registry;
    if (!registry.OpenKey(kDateKey, false)) return QStringLiteral("no key");
    return registry.ReadString(QStringLiteral("QorvDate_Date"));
  }

  // The request lines the double received, in order.
  QStringList RequestLines() const {
    QStringList lines;
    const QDir requests(service_.StatePath("requests"));
    for (const QString& name : requests.entryList(QDir::Files, QDir::Name)) {
      lines << QString::fromLatin1(service_.ReadState("requests/" + name).split('\r').first());
    }
    return lines;
  }

  QString SavedReport() const { return download_.install_path + "Download/qorvreport.adi"; }

  // The unmatched records a run remembered, without the header that names
  // the run.
  QByteArray RememberedRecords() const {
    const QByteArray file = ReadFileBytes(ProgramFolder() + "UnmatchedQorvRun.txt");
    return file.mid(file.indexOf('\n'));
  }

  // The saved report imported into a fresh log leaves the rows, the error
  // list, the remembered unmatched records and the count the download left.
  void ExpectTheImportOfTheSavedReportAlike() {
    const QStringList confirmed = ConfirmedNow();
    const QByteArray errors = ReadFileBytes(ProgramFolder() + "QorvError.txt");
    const QByteArray remembered = RememberedRecords();
    const QString count = ui_.results.value(ResultLabel::kQorvDownload);
    ASSERT_FALSE(confirmed.isEmpty());

    NewLog();
    QFile::remove(ProgramFolder() + "QorvError.txt");
    QFile::remove(ProgramFolder() + "UnmatchedQorvRun.txt");
    ui_.chosen_files = QStringList{SavedReport()};
    EXPECT_TRUE(ImportSavedReport(ui_, Database(), QStringLiteral("A"), Options(), ProgramFolder())
                    .common_tail);
    EXPECT_EQ(ConfirmedNow(), confirmed);
    EXPECT_EQ(ReadFileBytes(ProgramFolder() + "QorvError.txt"), errors);
    EXPECT_EQ(RememberedRecords(), remembered);
    EXPECT_EQ(ui_.results.value(ResultLabel::kQorvDownload), count);
  }

  ServiceDoubleProcess service_;
  ReportDownload download_;
  QString service_address_;
  QDateTime picker_value_;
};

TEST_F(ReportDownloadTest, RangeDownloadConfirmsKeepsTheReportAndMovesTheDate) {
  download_.query.load_date = true;
  download_.query.start_date = QDate(2021, 1, 1);
  download_.query.end_date = QDate(2021, 9, 30);
  download_.query.own_call = QStringLiteral("W1AW ");

  EXPECT_TRUE(Download());

  // User values percent-encoded (Windows-1252 bytes), fixed parts as written.
  EXPECT_EQ(RequestLines(),
            QStringList{"GET /qorvuser/qorvreport.adi?login=W1%20A%26B&password=p%23ss%20w%F6rd"
                        "&qso_query=1&qso_qsldetail=\"yes\"&qso_startdate=2021-01-01"
                        "&qso_enddate=2021-09-30&qso_owncall=W1AW HTTP/1.1"});
  EXPECT_EQ(ConfirmedNow(), QStringList{"Log_Home:3"});
  EXPECT_TRUE(ReadFileBytes(SavedReport()).startsWith(kQorvReportHeader.toLatin1()));
  EXPECT_EQ(ReadFileBytes(ProgramFolder() + "QorvError.txt"),
            "Error\r\n17.09.2021 12:00 14 FT8 NOBODY  \r\n");
  EXPECT_EQ(ui_.text_files, QStringList{ProgramFolder() + "QorvError.txt"});
  // The range's end, at the picker's own time of day, in picker and registry.
  EXPECT_EQ(picker_value_, QDateTime(QDate(2021, 9, 30), QTime(7, 0)));
  EXPECT_EQ(StoredDate(), "44469.2916666667");
  EXPECT_EQ(ui_.captions, (QStringList{"Waiting...", "Home"}));
  EXPECT_EQ(ui_.results.value(ResultLabel::kQorvDownload), "Download QSO: 2");
  EXPECT_TRUE(ui_.messages.isEmpty());
  EXPECT_EQ(ui_.progress.last(), 100);
}

TEST_F(ReportDownloadTest, QslSinceAsksFromThePickerAndMovesToTheUtcDayOfThePress) {
  download_.query.own_call = QString();
  EXPECT_TRUE(Download());
  ASSERT_EQ(RequestLines().size(), 1);
  EXPECT_TRUE(RequestLines()[0].endsWith("&qso_qslsince=2021-07-01 HTTP/1.1"));
  EXPECT_EQ(picker_value_, QDateTime(QDate(2021, 10, 9), QTime(7, 0)));
  EXPECT_EQ(StoredDate(), "44478.2916666667");
}

// A range ending after the press would make every later download ask from
// its end and find nothing: the date stops at the UTC day of the press (the
// 9th here, while the 10th has begun east of UTC).
TEST_F(ReportDownloadTest, RangeEndingAfterThePressStopsAtTheUtcDayOfThePress) {
  for (const QDate& end : {QDate(2099, 1, 1), QDate(2021, 10, 10)}) {
    SCOPED_TRACE(end.toString(Qt::ISODate).toStdString());
    download_.query.load_date = true;
    download_.query.start_date = QDate(2021, 1, 1);
    download_.query.end_date = end;
    picker_value_ = QDateTime(QDate(2021, 7, 1), QTime(7, 0));
    EXPECT_TRUE(Download());
    EXPECT_EQ(picker_value_, QDateTime(QDate(2021, 10, 9), QTime(7, 0)));
    EXPECT_EQ(StoredDate(), "44478.2916666667");
  }
}

TEST_F(ReportDownloadTest, BlankOwnCallAsksForAnEmptyOwnCall) {
  download_.query.own_call = QStringLiteral("   ");
  EXPECT_TRUE(Download());
  ASSERT_EQ(RequestLines().size(), 1);
  EXPECT_TRUE(RequestLines()[0].endsWith("&qso_qslsince=2021-07-01&qso_owncall= HTTP/1.1"));
}

TEST_F(ReportDownloadTest, ARefusedLoginIsKeptShownAndChangesNothing) {
  download_.query.password = QStringLiteral("wrong");
  EXPECT_FALSE(Download());
  ASSERT_EQ(ui_.messages.size(), 1);
  EXPECT_EQ(ui_.messages[0].kind, MessageKind::kError);
  EXPECT_EQ(ui_.messages[0].text,
            "The file does not appear to be an ARRL Qorv ADIF file. Processing will not continue");
  // The box keeps its text; the service's own words explain it.
  EXPECT_EQ(
      ui_.explanations,
      QStringList{"Qorv answered with no report (HTTP 200): \"Username/password incorrect\""});
  // The refusal page was saved before it was looked at.
  EXPECT_TRUE(QFile::exists(SavedReport()));
  EXPECT_FALSE(ReadFileBytes(SavedReport()).contains(kQorvReportHeader.toLatin1()));
  EXPECT_TRUE(ConfirmedNow().isEmpty());
  EXPECT_EQ(picker_value_, QDateTime(QDate(2021, 7, 1), QTime(7, 0)));
  EXPECT_EQ(StoredDate(), "no key");
  EXPECT_FALSE(QFile::exists(ProgramFolder() + "QorvError.txt"));
  EXPECT_EQ(ui_.results.value(ResultLabel::kQorvDownload), "Download QSO: 0");
  EXPECT_EQ(ui_.captions.last(), "Home");
}

// A report holding fewer records than it announces was cut off: confirming
// part of it and moving the date would lose the rest for good.
TEST_F(ReportDownloadTest, AReportCutShortConfirmsNothingAndMovesNoDate) {
  const QByteArray header = kQorvReportHeader.toLatin1() + "\n<APP_Qorv_NUMREC:1>2\n<eoh>\n";
  const QByteArray first = Record("K1AA", "40M", "CW", "20210917", "000500").toLatin1() + "\n";
  for (const auto& [body, arrived] :
       {std::pair{header + first + "<CALL:4>K1BB\n<BAND:3>20M\n<MO", 1}, std::pair{header, 0}}) {
    SCOPED_TRACE(arrived);
    ui_.messages.clear();
    LoopbackHttpServer cut;
    cut.SetHandler([&body](const RecordedRequest&) { return ScriptedReply::Ok(body); });
    service_address_ = QStringLiteral("http://127.0.0.1:%1").arg(cut.Port());

    EXPECT_FALSE(Download());
    ASSERT_EQ(ui_.messages.size(), 1);
    EXPECT_EQ(ui_.messages[0].kind, MessageKind::kError);
    EXPECT_EQ(ui_.messages[0].text,
              QStringLiteral("The Qorv report was cut short: it announces 2 records and %1 "
                             "arrived. Nothing was changed; the next download asks again from the "
                             "same date.")
                  .arg(arrived));
    EXPECT_TRUE(ConfirmedNow().isEmpty());
    EXPECT_EQ(picker_value_, QDateTime(QDate(2021, 7, 1), QTime(7, 0)));
    EXPECT_EQ(StoredDate(), "no key");
    EXPECT_FALSE(QFile::exists(ProgramFolder() + "QorvError.txt"));
    EXPECT_EQ(ui_.captions.last(), "Home");
  }
}

TEST_F(ReportDownloadTest, ARefusedConnectionIsSaidAndMovesNothing) {
  QTcpServer closed;
  ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
  service_address_ = QStringLiteral("http://127.0.0.1:%1").arg(closed.serverPort());
  closed.close();

  EXPECT_TRUE(Download());  // the common tail still follows
  ASSERT_EQ(ui_.messages.size(), 1);
  EXPECT_EQ(ui_.messages[0].text,
            "The Qorv report could not be downloaded: no connection to 127.0.0.1 (Connection "
            "refused).\n\nNothing was changed.");
  EXPECT_EQ(ui_.captions, (QStringList{"Waiting...", "Home"}));
  EXPECT_EQ(ui_.results.value(ResultLabel::kQorvDownload), "Download QSO: 0");
  EXPECT_EQ(picker_value_, QDateTime(QDate(2021, 7, 1), QTime(7, 0)));
  EXPECT_EQ(StoredDate(), "no key");
  EXPECT_FALSE(QFile::exists(SavedReport()));
}

TEST_F(ReportDownloadTest, MissingLoginWarnsAndDoesNothingElse) {
  for (const auto& [login, password] :
       {std::pair{QString(), kPassword}, std::pair{kLogin, QString()}}) {
    ui_.messages.clear();
    download_.query.login = login;
    download_.query.password = password;
    EXPECT_FALSE(Download());
    ASSERT_EQ(ui_.messages.size(), 1);
    EXPECT_EQ(ui_.messages[0].kind, MessageKind::kWarning);
    EXPECT_EQ(ui_.messages[0].text,
              "Not Qorv login or password. Check the Vodrix_Log for the login and password "
              "fields in Log Configuration.");
  }
  EXPECT_TRUE(ui_.results.isEmpty());
  EXPECT_TRUE(ui_.captions.isEmpty());
  EXPECT_TRUE(RequestLines().isEmpty());
}

TEST_F(ReportDownloadTest, TheProxyCarriesTheRequestOnlyWhenEnabled) {
  for (const bool enabled : {false, true}) {
    SCOPED_TRACE(enabled);
    LoopbackHttpServer proxy;
    proxy.SetHandler([](const RecordedRequest&) {
      return ScriptedReply::Ok(kQorvReportHeader.toLatin1() + "\r\n<eoh>\r\n");
    });
    download_.proxy_enable = enabled;
    download_.proxy_host = QStringLiteral("127.0.0.1");
    download_.proxy_port = QString::number(proxy.Port());
    EXPECT_TRUE(Download());
    const std::vector<RecordedRequest> via_proxy = proxy.Requests();
    if (enabled) {
      ASSERT_EQ(via_proxy.size(), 1u);
      EXPECT_TRUE(via_proxy[0].target.startsWith(
          QStringLiteral("%1/qorvuser/qorvreport.adi?login=").arg(service_address_).toLatin1()));
    } else {
      EXPECT_TRUE(via_proxy.empty());
    }
  }
  EXPECT_EQ(RequestLines().size(), 1);  // the direct one
}

TEST_F(ReportDownloadTest, TheSavedReportImportedGivesTheSameResult) {
  ASSERT_TRUE(Download());
  EXPECT_EQ(ui_.results.value(ResultLabel::kQorvDownload), "Download QSO: 2");
  ExpectTheImportOfTheSavedReportAlike();
}

// The report is matched as it arrives, or, when its bytes turn out to read
// otherwise than they arrived (Windows-1252 after all, UTF-16), from its
// saved file: either way the rows, the error list and the count are those
// of the import of the saved report. Nothing is written before the report
// is whole, even while it pauses half-way.
TEST_F(ReportDownloadTest, MatchedAsItArrivesOrFromItsFileAsTheImportWould) {
  options_.update_locator = true;
  const QString records =
      Record("ABCDE", "20M", "FT8", "20210915", "1830", F("GRIDSQUARE", "FN42")) + "\n" +
      Record("NOBODY", "20M", "FT8", "20210917", "1200") + "\n" +
      Record("K1AA", "40M", "CW", "20210917", "000500", F("NAME", "Jos\u00e9")) + "\n";
  const QString report = kQorvReportHeader + "\n<eoh>\n" + records;
  const int half = static_cast<int>(report.toUtf8().indexOf("NOBODY"));
  const struct Case {
    const char* what;
    QByteArray body;
    int stall_at;
  } cases[] = {
      {"UTF-8, pausing half-way", report.toUtf8(), half},
      {"Windows-1252 in the last record", EncodeText(report, TextEncoding::kAnsi), -1},
      {"UTF-16 with mark", EncodeText(report, TextEncoding::kUtf16Le), -1},
      {"lines before the header wait for it", ("<APP_X:1>y\n" + report).toUtf8(), half},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    NewLog();
    for (const char* file : {"QorvError.txt", "UnmatchedQorvRun.txt"}) {
      QFile::remove(ProgramFolder() + file);
    }
    LoopbackHttpServer server;
    ScriptedReply reply = ScriptedReply::Ok(c.body);
    reply.stall_at = c.stall_at;
    reply.stall_ms = 1500;
    server.Enqueue(reply);
    service_address_ = server.Url(QString());
    // Looked at during the pause through a connection of its own.
    QString during_pause = QStringLiteral("not looked");
    std::thread look;
    if (c.stall_at >= 0) {
      look = std::thread([&] {
        QThread::msleep(800);
        during_pause = PeekOwnConnection(
            DatabasePath(),
            "SELECT count(*) FROM Log_Home WHERE QorvRec = 1 AND QorvRecDate = '2021-10-01'");
      });
    }
    const bool downloaded = Download();
    if (look.joinable()) look.join();
    ASSERT_TRUE(downloaded);
    if (c.stall_at >= 0) {
      EXPECT_EQ(during_pause, "0");
    }
    EXPECT_EQ(ui_.results.value(ResultLabel::kQorvDownload), "Download QSO: 3");
    ExpectTheImportOfTheSavedReportAlike();
  }
}

}  // namespace
