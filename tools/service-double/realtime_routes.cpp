// Club Log's real-time interface: one QSO per request, answered as the switch
// file says, every QSO that passed the login kept with the answer it got.
#include <QFile>
#include <QSaveFile>

#include "routes.h"

namespace {

constexpr char kApiKey[] = "d41c07ab83e6f2905b1d7c4e8a36f0b92c5e1d7a";
constexpr char kAnswerFile[] = "/clublog/realtime-answer";
constexpr char kReceivedFile[] = "/clublog/realtime-received.txt";

struct Answer {
  int status = 200;
  QByteArray text = "OK";
};

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The switch: "200" (also a missing file), "duplicate", "400 <reason>",
// "500 <n>" (the next n answers, counted down in the file, then 200) or "403".
Answer NextAnswer(const QString& dir) {
  const QByteArray line = ReadFile(dir + kAnswerFile).split('\n').first().trimmed();
  const QByteArray word = line.split(' ').first();
  const QByteArray rest = line.mid(word.size()).trimmed();
  if (word == "duplicate") return {200, "Dupe"};
  if (word == "400") return {400, rest.isEmpty() ? QByteArray("Rejected") : rest};
  if (word == "403") return {403, "Access denied: this client is blocked"};
  if (word == "500") {
    const int left = rest.isEmpty() ? 1 : rest.toInt();
    if (left <= 0) return {};
    QSaveFile file(dir + kAnswerFile);
    if (file.open(QIODevice::WriteOnly)) {
      file.write(left > 1 ? "500 " + QByteArray::number(left - 1) + "\n" : "200\n");
      file.commit();
    }
    return {500, "Internal error, try again later"};
  }
  return {};
}

// The record on one line: backslash, CR and LF written as "\\", "\r", "\n".
QByteArray OneLine(QByteArray adif) {
  return adif.replace('\\', "\\\\").replace('\r', "\\r").replace('\n', "\\n");
}

// One line per QSO: request number, status, answer text, the record.
void Record(const QString& dir, int number, const Answer& answer, const QByteArray& adif) {
  QFile file(dir + kReceivedFile);
  if (!file.open(QIODevice::Append)) return;
  file.write(QByteArray::number(number).rightJustified(6, '0') + '\t' +
             QByteArray::number(answer.status) + '\t' + answer.text + '\t' + adif + '\n');
}

// A record logged before with status 200 is a duplicate, as Club Log says.
bool LoggedBefore(const QString& dir, const QByteArray& one_line_adif) {
  for (const QByteArray& line : ReadFile(dir + kReceivedFile).split('\n')) {
    const QList<QByteArray> fields = line.split('\t');
    if (fields.size() >= 4 && fields[1] == "200" && fields[2] == "OK" &&
        fields.mid(3).join('\t') == one_line_adif) {
      return true;
    }
  }
  return false;
}

void Reply(httplib::Response& response, const Answer& answer) {
  response.status = answer.status;
  response.set_content(answer.text.toStdString(), "text/plain");
}

void RealtimeHandler(Context& context, const httplib::Request& request, httplib::Response& response,
                     int number) {
  if (Param(request, "api") != kApiKey) {
    return Reply(response, {403, "Invalid or missing API key"});
  }
  const std::optional<Account> account =
      context.state.FindAccount("clublog", Param(request, "email"), Param(request, "password"));
  if (!account || account->callsign.compare(Param(request, "callsign"), Qt::CaseInsensitive)) {
    return Reply(response, {403, "Login rejected: check your email, password and callsign"});
  }
  const QByteArray adif = Param(request, "adif");
  if (!adif.toLower().contains("<eor>")) return Reply(response, {400, "No ADIF record was sent"});
  const std::lock_guard<std::mutex> lock(context.realtime_mutex);
  const QString& dir = context.state.Dir();
  Answer answer = NextAnswer(dir);
  const QByteArray record = OneLine(adif);
  if (answer.status == 200 && LoggedBefore(dir, record)) answer.text = "Dupe";
  Record(dir, number, answer, record);
  Reply(response, answer);
}

}  // namespace

void AddClublogRealtimeRoutes(httplib::Server& server, Context& context, bool tls) {
  server.Post("/realtime.php",
              Recorded(context, tls, [&context](const auto& request, auto& response, int number) {
                RealtimeHandler(context, request, response, number);
              }));
}
