// The service's own words in a reply page, for the command line's failures.
#include "net/service_reply.h"

#include <gtest/gtest.h>

namespace {

TEST(ServiceReplyTest, GistIsTheFirstLineThatSaysSomethingWithoutMarkup) {
  struct Case {
    const char* reply;
    const char* gist;
  };
  const Case cases[] = {
      // The page's title is no answer; the body is.
      {"<html>\r\n<head><title>Qorv</title></head>\r\n<body>\r\n<b>Username/password "
       "incorrect</b>\r\n</body>\r\n</html>\r\n",
       "Username/password incorrect"},
      {"<!-- .UPL.  rejected -->\r\n<p>Upload rejected: no upfile part</p>",
       "Upload rejected: no upfile part"},
      {"<HTML><BODY><SCRIPT>var a = 1;</SCRIPT><H1>Service\r\n  Unavailable</H1><P>Later</P>",
       "Service Unavailable"},
      {"<p>Fish &amp; chips &lt;3 &#8364;&#x20AC; &nbsp;&bogus;</p>", "Fish & chips <3 €€ &bogus;"},
      {"Error: Invalid date RcvdSince=2021\r\nmore", "Error: Invalid date RcvdSince=2021"},
      {"\r\n<CALL:4>W1AW is not a page\r\nmore", "W1AW is not a page"},
      {"<html><body>\r\n \t \r\n</body></html>", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReplyGist(QString::fromUtf8(c.reply)).toStdString(), c.gist) << c.reply;
  }
  const QString long_line = ReplyGist(QString(300, u'x'));
  EXPECT_EQ(long_line, QString(200, u'x') + u'\x2026');
}

TEST(ServiceReplyTest, ExplanationNamesTheStatusAndQuotesTheGist) {
  EXPECT_EQ(ReplyExplanation("Qorv answered with no report", 200, "<b>Locked out</b>"),
            "Qorv answered with no report (HTTP 200): \"Locked out\"");
  EXPECT_EQ(ReplyExplanation("eQSL sent no inbox file", 503, "<html></html>"),
            "eQSL sent no inbox file (HTTP 503)");
}

}  // namespace
