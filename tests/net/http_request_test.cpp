// What the server sees: request line, header block and body, byte for byte.
#include <gtest/gtest.h>

#include "net/http_client.h"
#include "net/http_url.h"
#include "net/multipart_body.h"
#include "support/loopback_http_server.h"

namespace {

const QByteArray kAgent = "User-Agent: Mozilla/4.0 (compatible; Synapse)\r\n";

QByteArray HostLine(const LoopbackHttpServer& server) {
  return "Host: 127.0.0.1:" + QByteArray::number(server.Port()) + "\r\n";
}

TEST(HttpRequest, GetSendsTheTargetUnchangedAndNoBodyHeaders) {
  LoopbackHttpServer server;
  server.Enqueue(ScriptedReply::Ok("fine"));
  HttpClient client;
  client.SetProtocol("1.1");
  // Blank, "&", "#" and a non-ASCII letter go out as written, the letter as one 1252 byte.
  ASSERT_TRUE(client.Get(server.Url(
      QString::fromUtf8("/qorvuser/qorvreport.adi?login=W1AW&password=a b&c#dé&qso_query=1"))));
  const std::vector<RecordedRequest> requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(
      requests[0].raw,
      "GET /qorvuser/qorvreport.adi?login=W1AW&password=a b&c#d\xE9&qso_query=1 HTTP/1.1\r\n" +
          HostLine(server) + "Keep-Alive: 300\r\nConnection: keep-alive\r\n" + kAgent + "\r\n");
}

TEST(HttpRequest, PostSendsBodyWithTypeAndLengthAsVersion10) {
  LoopbackHttpServer server;
  server.Enqueue(ScriptedReply::Ok("Result: 1 out of 1"));
  MultipartBody body{QString("00000001_Synapse_boundary")};
  body.AddTextField("callsign", "W1AW");
  body.CloseBody(MultipartStyle::kFile);
  HttpClient client;
  ASSERT_TRUE(
      client.Post(server.Url("/qorvuser/upload?event=1"), body.ContentType(), body.Bytes()));
  const std::vector<RecordedRequest> requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].raw,
            "POST /qorvuser/upload?event=1 HTTP/1.0\r\n" + HostLine(server) +
                "Keep-Alive: 300\r\nConnection: keep-alive\r\n" + kAgent +
                "Content-Type: multipart/form-data; boundary=00000001_Synapse_boundary\r\n"
                "Content-Length: " +
                QByteArray::number(body.Bytes().size()) + "\r\n\r\n" + body.Bytes());
  EXPECT_EQ(client.ReplyText(), "Result: 1 out of 1\r\n");
}

TEST(HttpRequest, CookiesAreReplacedByNameAndSentBackByTheSameClientOnly) {
  LoopbackHttpServer server;
  ScriptedReply first = ScriptedReply::Ok("page");
  first.headers = {"Set-Cookie: session=1; Path=/", "set-cookie: lang=en",
                   "SET-COOKIE: session=2; HttpOnly", "Set-Cookie: broken"};
  server.Enqueue(first);
  HttpClient client;
  client.SetProtocol("1.1");
  ASSERT_TRUE(client.Get(server.Url("/one")));
  HttpClient moved = std::move(client);
  ASSERT_TRUE(moved.Get(server.Url("/two")));
  HttpClient fresh;
  fresh.SetProtocol("1.1");
  ASSERT_TRUE(fresh.Get(server.Url("/three")));

  const std::vector<RecordedRequest> requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_FALSE(requests[0].HasHeader("Cookie"));
  EXPECT_EQ(requests[1].raw, "GET /two HTTP/1.1\r\n" + HostLine(server) +
                                 "Keep-Alive: 300\r\nConnection: keep-alive\r\n"
                                 "Cookie: session=2; lang=en\r\n" +
                                 kAgent + "\r\n");
  EXPECT_FALSE(requests[2].HasHeader("Cookie"));
}

TEST(HttpRequest, PlainProxyGetsTheAbsoluteFormAndProxyConnection) {
  LoopbackHttpServer proxy;
  HttpClient client;
  client.SetProtocol("1.1");
  client.SetProxy("127.0.0.1", QString::number(proxy.Port()));
  ASSERT_TRUE(client.Get("http://www.example.org/qslcard/DownloadInbox.cfm?UserName=W1AW"));
  ASSERT_TRUE(client.Get("http://www.example.org:8081/downloadedfiles/inbox.adi"));
  const std::vector<RecordedRequest> requests = proxy.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].raw,
            "GET http://www.example.org:80/qslcard/DownloadInbox.cfm?UserName=W1AW HTTP/1.1\r\n"
            "Host: www.example.org\r\nKeep-Alive: 300\r\nProxy-Connection: keep-alive\r\n" +
                kAgent + "\r\n");
  EXPECT_EQ(requests[1].raw,
            "GET http://www.example.org:8081/downloadedfiles/inbox.adi HTTP/1.1\r\n"
            "Host: www.example.org:8081\r\nKeep-Alive: 300\r\nProxy-Connection: keep-alive\r\n" +
                kAgent + "\r\n");
}

TEST(HttpUrl, TakesTheAddressApart) {
  struct Case {
    const char* url;
    const char* host_header;
    int port;
    const char* target;
  } cases[] = {
      {"http://qorv.example/qorvuser/qorvreport.adi?a=1", "qorv.example", 80,
       "/qorvuser/qorvreport.adi?a=1"},
      {"https://qorv.example", "qorv.example", 443, "/"},
      {"HTTPS://qorv.example:443/x", "qorv.example", 443, "/x"},
      {"https://qorv.example:8443?q=a#b", "qorv.example:8443", 8443, "/?q=a#b"},
      {"http://[::1]:8080/p", "[::1]:8080", 8080, "/p"},
  };
  for (const Case& c : cases) {
    const std::optional<HttpUrl> url = ParseHttpUrl(c.url);
    ASSERT_TRUE(url.has_value()) << c.url;
    EXPECT_EQ(url->HostHeader(), c.host_header) << c.url;
    EXPECT_EQ(url->port, c.port) << c.url;
    EXPECT_EQ(url->target, c.target) << c.url;
  }
  for (const char* bad : {"ftp://host/x", "host/x", "http:///x", "http://host:99999/",
                          "http://host/a\r\nX-Injected: 1"}) {
    EXPECT_FALSE(ParseHttpUrl(bad).has_value()) << bad;
  }
}

TEST(HttpRequest, UnusableAddressFailsWithoutSending) {
  HttpClient client;
  EXPECT_FALSE(client.Get("http://127.0.0.1:1/a\r\nX-Injected: 1"));
  EXPECT_EQ(client.StatusCode(), 500);
  EXPECT_EQ(client.SocketError(), HttpClient::kLibraryErrorBase + 3);
}

}  // namespace
