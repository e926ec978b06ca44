// https: certificates verified against the system store plus the extra CA
// file, and the tunnel through a proxy.
#include <gtest/gtest.h>

#include "net/http_client.h"
#include "support/loopback_http_server.h"
#include "support/test_certificates.h"

namespace {

class HttpTlsTest : public testing::Test {
 protected:
  void TearDown() override { HttpClient::SetDefaultCaFile(QString()); }

  LoopbackHttpServer server_{LoopbackHttpServer::Tls::kOn};
};

TEST_F(HttpTlsTest, TrustedThroughTheExtraCaFile) {
  HttpClient::SetDefaultCaFile(LoopbackHttpServer::CaFile());
  for (const QString host : {"127.0.0.1", "localhost"}) {
    server_.Enqueue(ScriptedReply::Ok("ARRL Qorv Status Report"));
    HttpClient client;
    client.SetProtocol("1.1");
    EXPECT_TRUE(client.Get(QStringLiteral("https://%1:%2/r").arg(host).arg(server_.Port())))
        << client.SocketError();
    EXPECT_EQ(client.StatusCode(), 200);
    EXPECT_EQ(client.ReplyText(), "ARRL Qorv Status Report\r\n");
  }
}

TEST_F(HttpTlsTest, RefusedWhenTheAuthorityIsUnknown) {
  struct Case {
    QString ca_file;
    int socket_error;
  } cases[] = {
      {QString(), HttpClient::kLibraryErrorBase + 60},
      {OtherTestCertificates().ca_file, HttpClient::kLibraryErrorBase + 60},
      {"/nonexistent/ca.pem", HttpClient::kLibraryErrorBase + 77},
  };
  for (const Case& c : cases) {
    HttpClient::SetDefaultCaFile(c.ca_file);
    HttpClient client;
    EXPECT_FALSE(client.Get(server_.Url("/r"))) << c.ca_file.toStdString();
    EXPECT_EQ(client.StatusCode(), 500);
    EXPECT_EQ(client.SocketError(), c.socket_error) << c.ca_file.toStdString();
  }
  EXPECT_TRUE(server_.Requests().empty());
}

TEST_F(HttpTlsTest, HttpsGoesThroughAProxyTunnelUnchanged) {
  HttpClient::SetDefaultCaFile(LoopbackHttpServer::CaFile());
  LoopbackHttpServer proxy;
  server_.Enqueue(ScriptedReply::Ok("inbox"));
  HttpClient client;
  client.SetProtocol("1.1");
  client.SetProxy("127.0.0.1", QString::number(proxy.Port()));
  ASSERT_TRUE(client.Get(server_.Url("/qslcard/DownloadInbox.cfm?UserName=W1AW")))
      << client.SocketError();
  EXPECT_EQ(client.StatusCode(), 200);
  EXPECT_EQ(client.ReplyText(), "inbox\r\n");

  const QByteArray authority = "127.0.0.1:" + QByteArray::number(server_.Port());
  const std::vector<RecordedRequest> tunnel = proxy.Requests();
  ASSERT_EQ(tunnel.size(), 1u);
  EXPECT_EQ(tunnel[0].method, "CONNECT");
  EXPECT_EQ(tunnel[0].target, authority);
  const std::vector<RecordedRequest> requests = server_.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].raw,
            "GET /qslcard/DownloadInbox.cfm?UserName=W1AW HTTP/1.1\r\n"
            "Host: " +
                authority +
                "\r\n"
                "Keep-Alive: 300\r\nConnection: keep-alive\r\n"
                "User-Agent: Mozilla/4.0 (compatible; Synapse)\r\n\r\n");
}

}  // namespace
