// One QSO to the service double's real-time interface: the answer as the
// client reads it, and the form as the double received it.
#include "clublog/realtime_upload.h"

#include <gtest/gtest.h>

#include "support/loopback_http_server.h"
#include "support/service_double_process.h"

namespace {

const QString kRecord = QStringLiteral("<CALL:4>W1AW<QSO_DATE:8>20261211<TIME_ON:4>1015<EOR>");

class RealtimeUploadTest : public testing::Test {
 protected:
  void SetUp() override {
    double_.WriteState("accounts.txt", "clublog\top@example.org\tclub=pw&1\tW1AW\n");
    ASSERT_TRUE(double_.Start());
  }

  ClublogSettings Settings() const {
    return {QStringLiteral("http://127.0.0.1:%1").arg(double_.http_port()), " op@example.org ",
            "club=pw&1", "W1AW"};
  }

  ServiceDoubleProcess double_;
};

TEST_F(RealtimeUploadTest, ReadsEachAnswerOfTheInterface) {
  using Kind = RealtimeResult::Kind;
  struct Case {
    QByteArray answer;
    Kind kind;
    int status;
    QString reason;
  };
  const Case cases[] = {
      {"200", Kind::kSent, 200, "OK"},
      {"duplicate", Kind::kSent, 200, "Dupe"},
      {"400 Invalid callsign", Kind::kRejected, 400, "Invalid callsign"},
      {"500 1", Kind::kRetryLater, 500, "Internal error, try again later"},
      {"403", Kind::kBlocked, 403, "Access denied: this client is blocked"},
  };
  for (const Case& test : cases) {
    double_.WriteState("clublog/realtime-answer", test.answer);
    const RealtimeResult result = SendRealtimeQso(Settings(), kRecord);
    EXPECT_EQ(result.kind, test.kind) << test.answer.constData();
    EXPECT_EQ(result.status, test.status) << test.answer.constData();
    EXPECT_EQ(result.reason, test.reason) << test.answer.constData();
  }
  // The form's values arrive whole: "&" and "=" in the password, "<" and ":"
  // in the record; the login's blanks are not sent.
  const QByteArray received = double_.ReadState("clublog/realtime-received.txt");
  EXPECT_EQ(received.count('\n'), 5);
  EXPECT_TRUE(received.contains("\t200\tOK\t" + kRecord.toUtf8() + "\n"));
}

TEST_F(RealtimeUploadTest, AWrongLoginIsBlockedAndNoConnectionIsRetriedLater) {
  ClublogSettings wrong = Settings();
  wrong.password = "other";
  const RealtimeResult refused = SendRealtimeQso(wrong, kRecord);
  EXPECT_EQ(refused.kind, RealtimeResult::Kind::kBlocked);
  EXPECT_TRUE(refused.reason.contains("Login rejected"));
  EXPECT_TRUE(double_.ReadState("clublog/realtime-received.txt").isEmpty());

  int closed_port = 0;
  {
    LoopbackHttpServer server;
    closed_port = server.Port();
  }
  ClublogSettings nowhere = Settings();
  nowhere.service = QStringLiteral("http://127.0.0.1:%1").arg(closed_port);
  const RealtimeResult failed = SendRealtimeQso(nowhere, kRecord);
  EXPECT_EQ(failed.kind, RealtimeResult::Kind::kRetryLater);
  EXPECT_EQ(failed.status, 0);
  EXPECT_FALSE(failed.reason.isEmpty());
}

}  // namespace
