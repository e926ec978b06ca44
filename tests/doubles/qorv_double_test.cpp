// The service double's Qorv side: report filters, refused logins, uploads.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "platform/gzip.h"
#include "support/service_double_process.h"

namespace {

constexpr char kHeader[] = "ARRL Qorv Status Report";
constexpr char kAccepted[] = "<!-- .UPL.  accepted -->";

class QorvDoubleTest : public testing::Test {
 protected:
  void SetUp() override {
    double_.WriteState("accounts.txt",
                       "# test accounts\nqorv\tW1AW\tp&ss word\neqsl\tW1AW\tother\n");
    double_.WriteState(
        "qorv/W1AW.adi",
        "Confirmations\n<EOH>\n"
        "<STATION_CALLSIGN:4>W1AW<CALL:4>AAA1<BAND:3>20M<MODE:3>FT8<QSO_DATE:8>20210115"
        "<TIME_ON:6>120000<QSLRDATE:8>20210601<GRIDSQUARE:8>FN42ab12<EOR>\n"
        "<STATION_CALLSIGN:6>W1AW/P<CALL:4>BBB2<BAND:3>40M<MODE:4>MFSK<SUBMODE:3>FT4"
        "<QSO_DATE:8>20210620<TIME_ON:4>0005<QSLRDATE:8>20210701<CNTY:12>MA,MIDDLESEX<EOR>\n"
        "<STATION_CALLSIGN:4>W1AW<CALL:4>CCC3<BAND:3>15M<MODE:2>CW<QSO_DATE:8>20210705"
        "<TIME_ON:6>235000<QSLRDATE:8>20211001<STATE:2>MA<EOR>\n");
    ASSERT_TRUE(double_.Start());
  }

  ServiceDoubleProcess double_;
};

// The calls of the report's records, in order.
QStringList ReportCalls(const QByteArray& report) {
  QStringList calls;
  const QRegularExpression call("^<CALL:\\d+>(\\S+)$", QRegularExpression::MultilineOption);
  for (const auto& match : call.globalMatch(QString::fromLatin1(report))) {
    calls << match.captured(1);
  }
  return calls;
}

TEST_F(QorvDoubleTest, ReportSelectsByQslDateQsoDatesAndOwnCall) {
  const QByteArray login = "/qorvuser/qorvreport.adi?login=w1aw&password=p%26ss%20word";
  const QByteArray fixed = "&qso_query=1&qso_qsldetail=\"yes\"";
  struct Case {
    QByteArray query;
    QStringList calls;
  };
  const Case cases[] = {
      {"&qso_qslsince=2021-07-01", {"BBB2", "CCC3"}},
      {"&qso_qslsince=2021-07-02", {"CCC3"}},
      {"&qso_startdate=2021-01-15&qso_enddate=2021-06-20", {"AAA1", "BBB2"}},
      {"&qso_startdate=2021-06-21&qso_enddate=2021-12-31", {"CCC3"}},
      {"&qso_qslsince=2021-01-01&qso_owncall=w1aw", {"AAA1", "CCC3"}},
      {"&qso_qslsince=2021-01-01&qso_owncall=W1AW/P", {"BBB2"}},
      {"&qso_qslsince=2021-01-01&qso_owncall=", {"AAA1", "BBB2", "CCC3"}},
      {"&qso_qslsince=2022-01-01", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query.toStdString());
    const RawReply reply = double_.Get(true, login + fixed + c.query);
    EXPECT_EQ(reply.status, 200);
    EXPECT_TRUE(reply.body.startsWith(kHeader));
    EXPECT_EQ(ReportCalls(reply.body), c.calls);
    // One field per line, each record closed by an "<eor>" line of its own.
    EXPECT_EQ(reply.body.count("\n<eor>\n"), c.calls.size());
    const QByteArray records = reply.body.mid(reply.body.indexOf("<eoh>") + 5);
    for (const QByteArray& line : records.split('\n')) {
      EXPECT_LE(line.count('<'), 1) << line.toStdString();
    }
  }
}

TEST_F(QorvDoubleTest, ReportKeepsFieldValuesAsStored) {
  const RawReply reply =
      double_.Get(true,
                  "/qorvuser/qorvreport.adi?login=W1AW&password=p%26ss%20word&qso_query=1"
                  "&qso_startdate=2021-06-20&qso_enddate=2021-06-20");
  EXPECT_TRUE(reply.body.contains("\n<MODE:4>MFSK\n<SUBMODE:3>FT4\n"));
  EXPECT_TRUE(reply.body.contains("\n<TIME_ON:4>0005\n"));
  EXPECT_TRUE(reply.body.contains("\n<CNTY:12>MA,MIDDLESEX\n<eor>\n"));
}

TEST_F(QorvDoubleTest, RefusedRequestsGetAPageWithoutTheReportHeader) {
  const QByteArray targets[] = {
      "/qorvuser/qorvreport.adi?login=W1AW&password=p&ss%20word&qso_query=1",
      "/qorvuser/qorvreport.adi?login=W1AW&password=wrong&qso_query=1&qso_qslsince=2021-01-01",
      "/qorvuser/qorvreport.adi?login=NOBODY&password=p%26ss%20word&qso_query=1",
      "/qorvuser/qorvreport.adi?login=W1AW&password=P%26SS%20WORD&qso_query=1",
      "/qorvuser/qorvreport.adi?login=W1AW&password=p%26ss%20word&qso_query=1"
      "&qso_qslsince=2021/01/01",
      "/qorvuser/qorvreport.adi?login=W1AW&password=p%26ss%20word&qso_qslsince=2021-01-01",
  };
  for (const QByteArray& target : targets) {
    SCOPED_TRACE(target.toStdString());
    const RawReply reply = double_.Get(true, target);
    EXPECT_EQ(reply.status, 200);
    EXPECT_FALSE(reply.body.contains(kHeader));
    EXPECT_FALSE(reply.body.contains("<eor>"));
  }
}

TEST_F(QorvDoubleTest, LoginPagesGreetKnownAccountsOnly) {
  EXPECT_TRUE(double_.Get(true, "/qorvuser/default?login=W1AW&password=p%26ss%20word")
                  .body.contains("Welcome, W1AW"));
  EXPECT_FALSE(
      double_.Get(true, "/qorvuser/default?login=W1AW&password=x").body.contains("Welcome"));
  EXPECT_TRUE(double_.Get(false, "/qslcard/LoginFinish.cfm?Callsign=W1AW&EnteredPassword=other")
                  .body.contains("Welcome, W1AW"));
  EXPECT_TRUE(double_.Get(false, "/qslcard/LoginFinish.cfm?Callsign=W1AW&EnteredPassword=x")
                  .body.contains("Error: No such Username/Password found"));
}

// A .tq8 signed by the TQSL double for the ADIF text.
QByteArray SignWithTqslDouble(const QByteArray& adif) {
  QTemporaryDir dir;
  QFile station(dir.filePath("station_data"));
  EXPECT_TRUE(station.open(QIODevice::WriteOnly));
  station.write(
      "<StationDataFile><StationData name=\"Home\"><CALL>W1AW</CALL></StationData>"
      "</StationDataFile>\n");
  station.close();
  QFile file(dir.filePath("log.adi"));
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(adif);
  file.close();
  QProcess tqsl;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("TQSLDIR", dir.path());
  tqsl.setProcessEnvironment(env);
  tqsl.start(ToolPath("tqsl-double/tqsl"), {"-d", "-l", "Home", dir.filePath("log.adi"), "-x"});
  EXPECT_TRUE(tqsl.waitForFinished(10000));
  QFile signed_file(dir.filePath("log.tq8"));
  EXPECT_TRUE(signed_file.open(QIODevice::ReadOnly));
  return signed_file.readAll();
}

constexpr char kAdif[] =
    "Export\r\n<EOH>\r\n<CALL:5>ABCDE<QSO_DATE:8>20210915<TIME_ON:4>1000<BAND:3>20M<MODE:2>CW"
    "<EOR>\r\n<CALL:5>FGHIJ<QSO_DATE:8>20210916<TIME_ON:4>1100<BAND:3>40M<MODE:3>FT8<EOR>\r\n";

// Real TQSL's signed file: gzip text of tagged records, two of them contacts.
QByteArray RealTqslSignedFile() {
  QFile text(QStringLiteral(QORV_SOURCE_DIR "/tests/data/tqsl_signed_log.txt"));
  EXPECT_TRUE(text.open(QIODevice::ReadOnly));
  return Gzip(text.readAll());
}

TEST_F(QorvDoubleTest, UploadOfASignedFileIsAcceptedStoredAndRecordedByteForByte) {
  const QByteArray tq8 = SignWithTqslDouble(kAdif);
  const QByteArray boundary = "0000BEEF_Synapse_boundary";
  const QByteArray body = UpfileBody(boundary, "C:\\Qorv Logs\\Qorv_ADIF_1.tq8", tq8);
  const QByteArray target = "/qorvuser/upload?login=W1AW&password=p%26ss%20word";
  const RawReply reply =
      double_.Post(true, target, "multipart/form-data; boundary=" + boundary, body);
  EXPECT_EQ(reply.status, 200);
  EXPECT_TRUE(reply.body.contains(kAccepted));

  const QByteArray id = reply.Header("X-Request-Number").rightJustified(6, '0');
  EXPECT_EQ(double_.ReadState("uploads/" + id + "-Qorv_ADIF_1.tq8"), tq8);
  EXPECT_EQ(double_.ReadState("uploads/" + id + "-Qorv_ADIF_1.tq8.adi"), QByteArray(kAdif));
  const QByteArray raw = double_.ReadState("requests/" + id + ".http");
  EXPECT_TRUE(raw.startsWith("POST " + target + " HTTP/1.0\r\n"));
  EXPECT_TRUE(raw.endsWith("\r\n\r\n" + body));
  EXPECT_TRUE(raw.contains("\r\nContent-Type: multipart/form-data; boundary=" + boundary + "\r\n"));
  EXPECT_TRUE(double_.ReadState("requests.log")
                  .contains("#" + id + " https POST " + target + " HTTP/1.0\n"));
  EXPECT_EQ(double_.ReadState("uploads/" + id + "-Qorv_ADIF_1.tq8.contacts"),
            "ABCDE\t20210915\t1000\t20M\tCW\nFGHIJ\t20210916\t1100\t40M\tFT8\n");
}

TEST_F(QorvDoubleTest, UploadOfRealTqslsSignedFileListsItsContacts) {
  const QByteArray tq8 = RealTqslSignedFile();
  const QByteArray boundary = "5555_Synapse_boundary";
  const RawReply reply = double_.Post(false, "/qorvuser/upload?login=W1AW&password=p%26ss%20word",
                                      "multipart/form-data; boundary=" + boundary,
                                      UpfileBody(boundary, "Qorv_ADIF_2.tq8", tq8));
  EXPECT_TRUE(reply.body.contains(kAccepted)) << reply.body.constData();
  const QByteArray id = reply.Header("X-Request-Number").rightJustified(6, '0');
  EXPECT_EQ(double_.ReadState("uploads/" + id + "-Qorv_ADIF_2.tq8"), tq8);
  // The station record names a CALL too; only the contacts count.
  EXPECT_EQ(double_.ReadState("uploads/" + id + "-Qorv_ADIF_2.tq8.contacts"),
            "W1AW\t2024-01-02\t10:00:00Z\t20M\tFT4\nDL1ABC\t2024-01-03\t12:00:00Z\t2M\tFM\n");
}

TEST_F(QorvDoubleTest, UploadIsRefusedWithoutAccountOrSignedFile) {
  const QByteArray tq8 = SignWithTqslDouble(kAdif);
  QByteArray tampered = tq8;
  tampered[tampered.size() / 2] = static_cast<char>(tampered[tampered.size() / 2] ^ 0x01);
  const QByteArray boundary = "12345678_Synapse_boundary";
  const QByteArray good_login = "/qorvuser/upload?login=W1AW&password=p%26ss%20word";
  struct Case {
    const char* what;
    QByteArray target;
    QByteArray body;
  };
  const Case cases[] = {
      {"wrong password", "/qorvuser/upload?login=W1AW&password=p",
       UpfileBody(boundary, "a.tq8", tq8)},
      {"no login", "/qorvuser/upload", UpfileBody(boundary, "a.tq8", tq8)},
      {"unsigned ADIF", good_login, UpfileBody(boundary, "a.adi", kAdif)},
      {"changed signed file", good_login, UpfileBody(boundary, "a.tq8", tampered)},
      {"empty file", good_login, UpfileBody(boundary, "a.tq8", "")},
      {"other part name", good_login,
       QByteArray(UpfileBody(boundary, "a.tq8", tq8)).replace("\"upfile\"", "\"file\"")},
      {"no closing delimiter", good_login, UpfileBody(boundary, "a.tq8", tq8).chopped(30)},
      {"gzip without contacts", good_login,
       UpfileBody(boundary, "a.tq8", Gzip("<Rec_Type:8>tSTATION<CALL:4>W1AW<eor>"))},
      {"contact without a band", good_login,
       UpfileBody(boundary, "a.tq8",
                  Gzip("<Rec_Type:8>tCONTACT<CALL:4>W1AW<MODE:2>CW<QSO_DATE:10>2024-01-02"
                       "<QSO_TIME:9>10:00:00Z<eor>"))},
      {"real TQSL's file cut short", good_login,
       UpfileBody(boundary, "a.tq8", RealTqslSignedFile().chopped(20))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const RawReply reply =
        double_.Post(true, c.target, "multipart/form-data; boundary=" + boundary, c.body);
    EXPECT_EQ(reply.status, 200);
    EXPECT_FALSE(reply.body.contains(kAccepted));
    EXPECT_TRUE(reply.body.contains("<!-- .UPL.  rejected -->"));
  }
  EXPECT_TRUE(QDir(double_.StatePath("uploads")).isEmpty());
}

TEST_F(QorvDoubleTest, ServesTlsForLocalhostAndStopsCleanlyOnTerm) {
  const RawReply by_name = double_.Exchange(
      true, "GET /qorvuser/default?login=W1AW&password=p%26ss%20word HTTP/1.0\r\n\r\n",
      "localhost");
  EXPECT_TRUE(by_name.body.contains("Welcome, W1AW"));
  EXPECT_EQ(double_.Get(false, "/nowhere").status, 404);
  EXPECT_TRUE(double_.Stop());
}

}  // namespace
