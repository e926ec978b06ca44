// Replies: bodies, status codes, failures, connection reuse, decoding.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include "net/body_pipe.h"
#include "net/http_client.h"
#include "platform/app_error.h"
#include "platform/operation_abandon.h"
#include "platform/text_codec.h"
#include "support/loopback_http_server.h"

namespace {

using Framing = ScriptedReply::Framing;

TEST(HttpReply, BodyFramings) {
  const QByteArray body = "<EOH>\r\n<CALL:4>W1AW<EOR>\r\n" + QByteArray(3000, 'x');
  for (Framing framing : {Framing::kContentLength, Framing::kChunked, Framing::kUntilClose}) {
    LoopbackHttpServer server;
    ScriptedReply reply = ScriptedReply::Ok(body);
    reply.framing = framing;
    server.Enqueue(reply);
    HttpClient client;
    client.SetProtocol("1.1");
    EXPECT_TRUE(client.Get(server.Url()));
    EXPECT_EQ(client.StatusCode(), 200);
    EXPECT_EQ(client.SocketError(), 0);
    EXPECT_EQ(client.ReplyBody(), body) << static_cast<int>(framing);
  }
}

TEST(HttpReply, AnyStatusIsACompletedExchangeAndRedirectsAreNotFollowed) {
  struct Case {
    QByteArray status_line;
    QList<QByteArray> headers;
    int status;
  } cases[] = {
      {"HTTP/1.1 404 Not Found", {}, 404},
      {"HTTP/1.1 500 Internal Server Error", {}, 500},
      {"HTTP/1.1 301 Moved Permanently", {"Location: /elsewhere"}, 301},
      {"HTTP/1.1 302 Found", {"Location: http://127.0.0.1:1/"}, 302},
      // An interim 100 Continue is skipped for the status line after it.
      {"HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 201 Created", {}, 201},
  };
  for (const Case& c : cases) {
    LoopbackHttpServer server;
    ScriptedReply reply = ScriptedReply::Status(c.status_line, "page text\r\nline 2");
    reply.headers = c.headers;
    server.Enqueue(reply);
    HttpClient client;
    EXPECT_TRUE(client.Get(server.Url("/report"))) << c.status_line.constData();
    EXPECT_EQ(client.StatusCode(), c.status);
    EXPECT_EQ(client.ReplyText(), "page text\r\nline 2\r\n");
    EXPECT_EQ(server.Requests().size(), 1u);
  }
}

TEST(HttpReply, Failures) {
  int refused_port = 0;
  {
    LoopbackHttpServer gone;
    refused_port = gone.Port();
  }
  struct Case {
    const char* name;
    ScriptedReply reply;
    int status;
    int socket_error;
    const char* reason;
  };
  ScriptedReply silent = ScriptedReply::Ok("late");
  silent.delay_ms = 10000;
  ScriptedReply stalls = ScriptedReply::Ok("half and half");
  stalls.stall_at = 5;
  stalls.stall_ms = 10000;
  ScriptedReply stalls_chunked = stalls;
  stalls_chunked.framing = Framing::kChunked;
  ScriptedReply reset = stalls;
  reset.drop_at_stall = true;
  const Case cases[] = {
      {"no status line in time", silent, 500, HttpClient::kTimedOut,
       "no answer from 127.0.0.1 within the time-out of 0.8 seconds"},
      {"body stalls", stalls, 200, HttpClient::kTimedOut,
       "no answer from 127.0.0.1 within the time-out of 0.8 seconds"},
      {"chunked body stalls", stalls_chunked, 200, HttpClient::kTimedOut,
       "no answer from 127.0.0.1 within the time-out of 0.8 seconds"},
      {"reset mid-body", reset, 200, 104, "the reply of 127.0.0.1 was cut short"},
  };
  for (const Case& c : cases) {
    LoopbackHttpServer server;
    server.Enqueue(c.reply);
    HttpClient client;
    client.SetTimeout(800);
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_FALSE(client.Get(server.Url())) << c.name;
    EXPECT_LT(elapsed.elapsed(), 4000) << c.name;
    EXPECT_EQ(client.StatusCode(), c.status) << c.name;
    EXPECT_EQ(client.SocketError(), c.socket_error) << c.name;
    EXPECT_EQ(client.FailureReason(), QLatin1String(c.reason)) << c.name;
  }

  HttpClient client;
  EXPECT_FALSE(client.Get(QStringLiteral("http://127.0.0.1:%1/").arg(refused_port)));
  EXPECT_EQ(client.StatusCode(), 500);
  EXPECT_EQ(client.SocketError(), 111);
  EXPECT_EQ(client.FailureReason(), "no connection to 127.0.0.1 (Connection refused)");

  // A completed exchange has no reason, whatever came before.
  LoopbackHttpServer server;
  server.Enqueue(ScriptedReply::Status("HTTP/1.1 404 Not Found", "gone"));
  EXPECT_TRUE(client.Get(server.Url()));
  EXPECT_TRUE(client.FailureReason().isEmpty());
}

TEST(HttpReply, Version10ClosesAndVersion11KeepsTheConnection) {
  struct Case {
    const char* protocol;
    bool keep_alive;
    QList<QByteArray> reply_headers;
    int second_connection;
  } cases[] = {
      {"1.0", true, {}, 1},
      {"1.1", true, {}, 0},
      {"1.1", true, {"Connection: close"}, 1},
      {"1.1", false, {}, 1},
  };
  for (const Case& c : cases) {
    LoopbackHttpServer server;
    ScriptedReply reply = ScriptedReply::Ok("one");
    reply.headers = c.reply_headers;
    server.Enqueue(reply);
    server.Enqueue(ScriptedReply::Ok("two"));
    HttpClient client;
    client.SetProtocol(c.protocol);
    client.SetKeepAlive(c.keep_alive);
    ASSERT_TRUE(client.Get(server.Url("/1")));
    ASSERT_TRUE(client.Get(server.Url("/2")));
    EXPECT_EQ(client.ReplyText(), "two\r\n");
    const std::vector<RecordedRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].connection, c.second_connection) << c.protocol;
    EXPECT_EQ(requests[1].Header("Connection"), c.keep_alive ? "keep-alive" : "close");
    EXPECT_EQ(requests[1].HasHeader("Keep-Alive"), c.keep_alive);
  }
}

TEST(HttpReply, LinesAreDecodedByMarkOrAsUtf8AndSavedAsTheyCame) {
  const QString cafe = QString::fromUtf8("café");
  struct Case {
    QByteArray body;
    QStringList lines;
    QByteArray saved;
  } cases[] = {
      {"\xEF\xBB\xBF"
       "caf\xC3\xA9\r\nb\nc",
       {cafe, "b", "c"},
       "\xEF\xBB\xBF"
       "caf\xC3\xA9\r\nb\nc"},
      {QByteArray("\xFF\xFE"
                  "c\0a\0f\0\xE9\0\r\0b\0",
                  14),
       {cafe, "b"},
       QByteArray("\xFF\xFE"
                  "c\0a\0f\0\xE9\0\r\0b\0",
                  14)},
      {"caf\xE9\rb\r\n", {cafe, "b"}, "caf\xE9\rb\r\n"},
      // UTF-8 without a mark is read as UTF-8.
      {"caf\xC3\xA9\nb", {cafe, "b"}, "caf\xC3\xA9\nb"},
  };
  QTemporaryDir dir;
  for (const Case& c : cases) {
    LoopbackHttpServer server;
    server.Enqueue(ScriptedReply::Ok(c.body));
    HttpClient client;
    ASSERT_TRUE(client.Get(server.Url()));
    EXPECT_EQ(client.ReplyLines(), c.lines);
    EXPECT_EQ(client.ReplyText(), c.lines.join("\r\n") + "\r\n");
    const QString path = dir.filePath("qorvreport.adi");
    client.SaveReply(path);
    EXPECT_EQ(ReadFileBytes(path), c.saved);
  }

  HttpClient client;
  const QString bad_path = dir.filePath("missing/folder/report.adi");
  try {
    client.SaveReply(bad_path);
    FAIL() << "no error for a folder that does not exist";
  } catch (const AppError& error) {
    EXPECT_TRUE(error.Message().startsWith("Cannot create file \"" + bad_path + "\". "));
  }
}

TEST(HttpReply, TimersKeepFiringWhileTheCallerWaits) {
  LoopbackHttpServer server;
  ScriptedReply slow = ScriptedReply::Ok("done");
  slow.delay_ms = 600;
  server.Enqueue(slow);
  HttpClient client;
  int ticks = 0;
  QTimer timer;
  timer.setInterval(20);
  QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
  timer.start();
  // A handler that runs meanwhile cannot start a second exchange on the same client.
  bool nested_result = true;
  QTimer::singleShot(100, [&] { nested_result = client.Get(server.Url("/nested")); });
  EXPECT_TRUE(client.Get(server.Url()));
  EXPECT_EQ(client.ReplyText(), "done\r\n");
  EXPECT_EQ(client.StatusCode(), 200);
  EXPECT_GE(ticks, 10);
  EXPECT_FALSE(nested_result);
  EXPECT_EQ(server.Requests().size(), 1u);
}

TEST(HttpReply, AStreamedBodyReachesTheSinkAsItArrivesWholeAndInOrder) {
  QByteArray body;
  for (int i = 0; body.size() < 3 * BodyPipe::kMaxWaiting; ++i) {
    body += "<CALL:4>W" + QByteArray::number(i) + "<EOR>\r\n";
  }
  for (Framing framing : {Framing::kContentLength, Framing::kChunked}) {
    for (bool slow_sink : {false, true}) {
      LoopbackHttpServer server;
      ScriptedReply reply = ScriptedReply::Ok(body);
      reply.framing = framing;
      reply.chunk_size = 4096;
      reply.stall_at = 1000;
      reply.stall_ms = 1000;
      server.Enqueue(reply);
      HttpClient client;
      QElapsedTimer elapsed;
      elapsed.start();
      qint64 first_piece_ms = -1;
      QByteArray received;
      EXPECT_TRUE(client.Get(server.Url(), [&](const QByteArray& piece) {
        if (first_piece_ms < 0) first_piece_ms = elapsed.elapsed();
        received += piece;
        // A sink slower than the network holds the transfer back.
        if (slow_sink) QThread::msleep(1);
      }));
      const QString name =
          QStringLiteral("framing %1, slow sink %2").arg(static_cast<int>(framing)).arg(slow_sink);
      // The bytes before the pause are handed over while the server waits.
      EXPECT_GE(first_piece_ms, 0) << name.toStdString();
      EXPECT_LT(first_piece_ms, 900) << name.toStdString();
      EXPECT_GE(elapsed.elapsed(), 1000) << name.toStdString();
      EXPECT_EQ(received.size(), body.size()) << name.toStdString();
      EXPECT_TRUE(received == body) << name.toStdString();
      EXPECT_TRUE(client.ReplyBody().isEmpty()) << name.toStdString();
      EXPECT_EQ(client.StatusCode(), 200);
    }
  }
}

TEST(HttpReply, AStreamedExchangeEndsOnAFailureOrWhenTheSinkThrows) {
  ScriptedReply reset = ScriptedReply::Ok("first part|second part");
  reset.stall_at = 11;
  reset.drop_at_stall = true;
  {
    LoopbackHttpServer server;
    server.Enqueue(reset);
    HttpClient client;
    QByteArray received;
    EXPECT_FALSE(client.Get(server.Url(), [&](const QByteArray& piece) { received += piece; }));
    EXPECT_EQ(client.SocketError(), 104);
    EXPECT_EQ(client.FailureReason(), "the reply of 127.0.0.1 was cut short");
    EXPECT_EQ(received, "first part|");
  }
  ScriptedReply stalls = reset;
  stalls.drop_at_stall = false;
  stalls.stall_ms = 10000;
  LoopbackHttpServer server;
  server.Enqueue(stalls);
  HttpClient client;
  QElapsedTimer elapsed;
  elapsed.start();
  EXPECT_THROW(client.Get(server.Url(),
                          [](const QByteArray&) { throw AppError(QStringLiteral("sink failed")); }),
               AppError);
  // The exchange does not wait for the rest of the reply.
  EXPECT_LT(elapsed.elapsed(), 3000);
  // The client is free for the next exchange.
  LoopbackHttpServer next;
  next.Enqueue(ScriptedReply::Ok("next"));
  EXPECT_TRUE(client.Get(next.Url()));
  EXPECT_EQ(client.ReplyBody(), "next");
}

TEST(HttpReply, AnAbandonedOperationsExchangeEndsAtOnceWithoutAReply) {
  LoopbackHttpServer server;
  ScriptedReply silent = ScriptedReply::Ok("late");
  silent.delay_ms = 10000;
  server.Enqueue(silent);
  HttpClient client;
  QTimer::singleShot(200, [] { RequestAbandon(); });
  QElapsedTimer elapsed;
  elapsed.start();
  EXPECT_FALSE(client.Get(server.Url()));
  // The transfer notices within a second, not after the 90 s time-out.
  EXPECT_LT(elapsed.elapsed(), 1500);
  EXPECT_TRUE(client.ReplyBody().isEmpty());
  // Nothing more goes out until the next operation.
  EXPECT_FALSE(client.Get(server.Url("/next")));
  EXPECT_EQ(server.Requests().size(), 1u);
  ClearAbandon();
}

}  // namespace
