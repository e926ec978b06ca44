#include "cli/cli_fixture.h"

namespace {

Qso MakeQso(const char* date, const char* time, const char* call, double band, const char* mode,
            bool confirmed = false) {
  Qso qso;
  qso.QSODate = date;
  qso.QSOTime = time;
  qso.CallSign = call;
  qso.DigiBand = band;
  qso.QSOMode = mode;
  qso.QorvRec = confirmed;
  qso.QorvRecDate = confirmed ? "2021-02-01" : "";
  return qso;
}

}  // namespace

void CliTest::SetUp() {
  ASSERT_TRUE(root_.isValid());
  service_.WriteState("accounts.txt", "qorv\tW1AW\tsecret\neqsl\tW1AW\tsecret\n");
  service_.WriteState("qorv/W1AW.adi", kQorvReport);
  service_.WriteState(
      "eqsl/W1AW.adi",
      "<CALL:6>N0CALL<QSO_DATE:8:D>20210915<TIME_ON:4>1830<BAND:3>20M<MODE:3>FT8<EOR>\n"
      "<CALL:5>G4AAA<QSO_DATE:8:D>20210918<TIME_ON:4>0900<BAND:3>20M<MODE:3>FT8<EOR>\n");
  ASSERT_TRUE(service_.Start());
}

QList<Qso> CliTest::MainQsos() {
  return {MakeQso("2021-09-15", "18:30", "N0CALL", 14, "FT8"),
          MakeQso("2021-09-16", "10:00", "K1ABC", 7, "SSB", true),
          MakeQso("2021-09-17", "12:00", "DL1XYZ/P", 14, "CW"),
          MakeQso("2021-09-18", "09:00", "G4AAA", 21, "FT8")};
}

QList<Qso> CliTest::PortableQsos() { return {MakeQso("2021-09-15", "18:31", "N0CALL", 14, "FT8")}; }

std::unique_ptr<LogbookSide> CliTest::MakeSide(const QString& name) const {
  return std::make_unique<LogbookSide>(root_.filePath(name), service_, MainQsos(), PortableQsos());
}

QJsonObject CliTest::Json(const CommandRun& run) {
  QJsonParseError error;
  const QJsonDocument document = QJsonDocument::fromJson(run.out, &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out.constData() << run.err.constData();
  return document.object();
}
