// The service double's eQSL side: the inbox page, the file behind its link
// (only for the session that asked), empty inboxes and refused logins.
#include <gtest/gtest.h>

#include "support/service_double_process.h"

namespace {

constexpr char kMarker[] = "<LI><A HREF=\"../downloadedfiles/";

class EqslDoubleTest : public testing::Test {
 protected:
  void SetUp() override {
    double_.WriteState("accounts.txt", "eqsl\tW1AW\tsecret\n");
    double_.WriteState("eqsl/W1AW.adi",
                       "<CALL:6>N0CALL<QSO_DATE:8:D>20210915<TIME_ON:6>183000<BAND:3>20M<MODE:3>FT8"
                       "<RST_RCVD:3>-10<QSLRDATE:8>20211019<EOR>\n"
                       "<CALL:5>K1ABC<QSO_DATE:8:D>20210301<TIME_ON:4>0915<BAND:3>40M<MODE:4>MFSK"
                       "<SUBMODE:3>FT4<RST_RCVD:3>+03<QSLRDATE:8>20210310<EOR>\n");
    ASSERT_TRUE(double_.Start());
  }

  // The file name behind the page's first link, empty when there is none.
  static QByteArray LinkedFile(const QByteArray& page) {
    const qsizetype start = page.indexOf(kMarker);
    if (start < 0) return {};
    const qsizetype from = start + qsizetype(sizeof kMarker) - 1;
    return page.mid(from, page.indexOf('"', from) - from);
  }

  // "Cookie: " with the name=value pairs of the reply's Set-Cookie headers.
  static QByteArray CookieHeader(const RawReply& reply) {
    QList<QByteArray> pairs;
    for (const QByteArray& cookie : reply.Headers("Set-Cookie")) pairs << cookie.split(';')[0];
    return "Cookie: " + pairs.join("; ") + "\r\n";
  }

  ServiceDoubleProcess double_;
};

TEST_F(EqslDoubleTest, InboxLinkGivesTheFileOnlyWithTheSessionCookies) {
  const RawReply page = double_.Get(
      false, "/qslcard/DownloadInbox.cfm?Username=w1aw&Password=secret&RcvdSince=20210601");
  EXPECT_EQ(page.status, 200);
  const QByteArray name = LinkedFile(page.body);
  ASSERT_TRUE(name.endsWith(".adi")) << page.body.toStdString();
  EXPECT_EQ(page.Headers("Set-Cookie").size(), 2);

  EXPECT_EQ(double_.Get(false, "/downloadedfiles/" + name).status, 403);
  EXPECT_EQ(double_.Get(false, "/downloadedfiles/" + name, "Cookie: CFID=1; CFTOKEN=2\r\n").status,
            403);
  QByteArray other_token = CookieHeader(page);
  other_token.insert(other_token.indexOf("CFTOKEN=") + 8, "0");
  EXPECT_EQ(double_.Get(false, "/downloadedfiles/" + name, other_token).status, 403);
  const RawReply file = double_.Get(false, "/downloadedfiles/" + name, CookieHeader(page));
  EXPECT_EQ(file.status, 200);
  EXPECT_TRUE(file.body.contains(
      "\r\n<CALL:6>N0CALL<QSO_DATE:8:D>20210915<TIME_ON:6>183000<BAND:3>20M<MODE:3>FT8"
      "<RST_RCVD:3>-10<QSLRDATE:8>20211019<EOR>\r\n"));
  EXPECT_FALSE(file.body.contains("K1ABC"));  // received before the since date
  EXPECT_LT(file.body.indexOf("<EOH>"), file.body.indexOf("<CALL"));
  EXPECT_EQ(double_.Get(false, "/downloadedfiles/unknown.adi", CookieHeader(page)).status, 404);
}

TEST_F(EqslDoubleTest, DateRangeSelectsByQsoDate) {
  const RawReply page = double_.Get(false,
                                    "/qslcard/DownloadInbox.cfm?Username=W1AW&Password=secret"
                                    "&LimitDateLo=03/01/2021&LimitDateHi=03/15/2021");
  const QByteArray name = LinkedFile(page.body);
  ASSERT_FALSE(name.isEmpty());
  const RawReply file = double_.Get(false, "/downloadedfiles/" + name, CookieHeader(page));
  EXPECT_TRUE(file.body.contains("<CALL:5>K1ABC"));
  EXPECT_FALSE(file.body.contains("N0CALL"));
}

TEST_F(EqslDoubleTest, PagesWithoutALink) {
  struct Case {
    const char* what;
    QByteArray query;
    const char* text;
  };
  const Case cases[] = {
      {"nothing since", "Username=W1AW&Password=secret&RcvdSince=20220101", "no log entries"},
      {"empty range", "Username=W1AW&Password=secret&LimitDateLo=01/01/2020&LimitDateHi=12/31/2020",
       "no log entries"},
      {"wrong password", "Username=W1AW&Password=Secret&RcvdSince=20210101",
       "Error: No such Username/Password found"},
      {"unknown user", "Username=N0BODY&Password=secret&RcvdSince=20210101",
       "Error: No such Username/Password found"},
      {"locale date", "Username=W1AW&Password=secret&LimitDateLo=03.01.2021&LimitDateHi=03.15.2021",
       "Error: Invalid date"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const RawReply page = double_.Get(false, "/qslcard/DownloadInbox.cfm?" + c.query);
    EXPECT_EQ(page.status, 200);
    EXPECT_TRUE(page.body.contains(c.text)) << page.body.toStdString();
    EXPECT_FALSE(page.body.contains(kMarker));
  }
}

}  // namespace
