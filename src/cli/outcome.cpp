#include "cli/outcome.h"

#include <QJsonDocument>

#include "cli/exit_status.h"

void Outcome::TakeTally(const MatchTally& tally) {
  if (!tally.began) return;
  tables = tally.tables;
  unmatched = tally.unmatched;
}

void Outcome::TakeRun(const ConsoleUi& ui) {
  for (const ConsoleUi::Message& message : ui.Messages()) AddMessage(message.text);
  for (const QString& file : ui.TextFiles()) {
    if (!files.contains(file)) files.append(file);
  }
}

void Outcome::AddMessage(const QString& text) {
  if (!messages.contains(text)) messages.append(text);
}

bool Outcome::UnmatchedKnown() const {
  // A run an error stopped did not reach the end of its records: the rows it
  // confirmed stay, but how many records match nothing is not known.
  return unmatched >= 0 && status != kExitFailed;
}

QJsonObject Outcome::ToJson() const {
  QJsonObject object = details;
  if (!command.isEmpty()) object[QStringLiteral("command")] = command;
  object[QStringLiteral("status")] = status;
  if (!log_name.isEmpty()) object[QStringLiteral("log")] = log_name;
  if (records >= 0) object[QStringLiteral("records")] = records;
  if (unmatched >= 0) {
    int confirmed = 0;
    int already = 0;
    QJsonObject logs;
    for (auto it = tables.cbegin(); it != tables.cend(); ++it) {
      logs[it.key()] = QJsonObject{{QStringLiteral("confirmed"), it->confirmed},
                                   {QStringLiteral("already_confirmed"), it->already_confirmed}};
      confirmed += it->confirmed;
      already += it->already_confirmed;
    }
    object[QStringLiteral("logs")] = logs;
    object[QStringLiteral("confirmed")] = confirmed;
    object[QStringLiteral("already_confirmed")] = already;
    if (UnmatchedKnown()) object[QStringLiteral("unmatched")] = unmatched;
  }
  if (qsos_sent >= 0) object[QStringLiteral("qsos_sent")] = qsos_sent;
  object[QStringLiteral("files")] = QJsonArray::fromStringList(files);
  object[QStringLiteral("messages")] = QJsonArray::fromStringList(messages);
  return object;
}

QString Outcome::ToText() const {
  QStringList text;
  if (records >= 0) text << QStringLiteral("Records read: %1").arg(records);
  for (auto it = tables.cbegin(); it != tables.cend(); ++it) {
    text << QStringLiteral("Log table %1: %2 confirmed, %3 already confirmed")
                .arg(it.key())
                .arg(it->confirmed)
                .arg(it->already_confirmed);
  }
  if (UnmatchedKnown()) text << QStringLiteral("Unmatched: %1").arg(unmatched);
  if (qsos_sent >= 0) text << QStringLiteral("QSOs sent: %1").arg(qsos_sent);
  text += lines;
  for (const QString& file : files) text << QStringLiteral("File: ") + file;
  return text.join(u'\n');
}

void PrintOutcome(const Outcome& outcome, bool json, std::FILE* out) {
  const QByteArray bytes = json ? QJsonDocument(outcome.ToJson()).toJson(QJsonDocument::Compact)
                                : outcome.ToText().toLocal8Bit();
  if (!bytes.isEmpty()) {
    std::fputs(bytes.constData(), out);
    std::fputc('\n', out);
  }
  std::fflush(out);
}
