// The service double's Club Log side: the form's checks and the stored file.
#include <gtest/gtest.h>

#include <QDir>

#include "support/service_double_process.h"

namespace {

constexpr char kAccepted[] = "Upload accepted and queued!";
constexpr char kApiKey[] = "d41c07ab83e6f2905b1d7c4e8a36f0b92c5e1d7a";
constexpr char kBoundary[] = "7FFFFFFE_Synapse_boundary";
constexpr char kAdif[] = "<EOH>\r\n<CALL:5>ABCDE<BAND:3>20M<EOR>\r\n";

class ClublogDoubleTest : public testing::Test {
 protected:
  void SetUp() override {
    double_.WriteState("accounts.txt", "clublog\top@example.org\tclub=pw\tW1AW\n");
    ASSERT_TRUE(double_.Start());
  }

  RawReply Upload(const QList<QPair<QByteArray, QByteArray>>& fields, const QByteArray& file) {
    return double_.Post(true, "/putlogs.php",
                        QByteArray("multipart/form-data; boundary=") + kBoundary,
                        ClublogBody(kBoundary, fields, "C:\\Logs\\export.adi", file));
  }

  ServiceDoubleProcess double_;
};

TEST_F(ClublogDoubleTest, AcceptsTheAccountsFormAndKeepsTheFile) {
  // The closing delimiter follows the file's last byte directly.
  const QByteArray unterminated = "<EOH><CALL:5>ABCDE<EOR>";
  for (const QByteArray& file : {QByteArray(kAdif), unterminated}) {
    const RawReply reply = Upload({{"email", "OP@example.org"},
                                   {"password", "club=pw"},
                                   {"callsign", "w1aw"},
                                   {"api", kApiKey}},
                                  file);
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.body, kAccepted);
    const QByteArray id = reply.Header("X-Request-Number").rightJustified(6, '0');
    // The line end before the delimiter belongs to the delimiter.
    EXPECT_EQ(double_.ReadState("clublog/" + id + "-export.adi"),
              file.endsWith("\r\n") ? file.chopped(2) : file);
  }
}

TEST_F(ClublogDoubleTest, RefusesWrongFieldsAndEmptyFiles) {
  struct Case {
    const char* what;
    QList<QPair<QByteArray, QByteArray>> fields;
    QByteArray file;
    int status;
  };
  const QPair<QByteArray, QByteArray> email{"email", "op@example.org"};
  const QPair<QByteArray, QByteArray> password{"password", "club=pw"};
  const QPair<QByteArray, QByteArray> callsign{"callsign", "W1AW"};
  const QPair<QByteArray, QByteArray> api{"api", kApiKey};
  const Case cases[] = {
      {"wrong key",
       {email, password, callsign, {"api", QByteArray(kApiKey).toUpper()}},
       kAdif,
       403},
      {"no key", {email, password, callsign}, kAdif, 403},
      {"wrong password", {email, {"password", "club"}, callsign, api}, kAdif, 403},
      {"wrong call sign", {email, password, {"callsign", "W1AW/P"}, api}, kAdif, 403},
      {"password with a trailing blank",
       {email, {"password", "club=pw "}, callsign, api},
       kAdif,
       403},
      {"empty file", {email, password, callsign, api}, "", 400},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const RawReply reply = Upload(c.fields, c.file);
    EXPECT_EQ(reply.status, c.status);
    EXPECT_FALSE(reply.body.isEmpty());
    EXPECT_FALSE(reply.body.contains(kAccepted));
  }
  const RawReply not_multipart =
      double_.Post(true, "/putlogs.php", "application/x-www-form-urlencoded", "email=x");
  EXPECT_EQ(not_multipart.status, 400);
}

}  // namespace
