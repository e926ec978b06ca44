#include "watch/realtime_sender.h"

#include <QJsonObject>

#include "logdb/new_qsos.h"
#include "platform/app_error.h"
#include "platform/kill_point.h"

namespace {

QJsonObject QsoDetails(const QString& log, const LogRow& row, const QsoFingerprint& fingerprint) {
  return {{QStringLiteral("log"), log},
          {QStringLiteral("table"), row.table},
          {QStringLiteral("id"), row.rowid},
          {QStringLiteral("qso"), DescribeFingerprint(fingerprint)}};
}

}  // namespace

QsoFingerprint FingerprintOf(const UnsentQso& qso) {
  return {
      QStringList{qso.CallSign, qso.QSODate, qso.QSOTime, qso.DigiBand, qso.QSOMode}.join(u'\t')};
}

QString DescribeFingerprint(const QsoFingerprint& fingerprint) {
  QStringList parts = fingerprint.text.split(u'\t');
  for (QString& part : parts) part = part.trimmed();
  return parts.join(u' ');
}

RealtimeSender::RealtimeSender(SentStore& store, const SubmodeTable& submodes,
                               WatchOperations& operations, WatchReport report)
    : store_(store), records_(submodes), operations_(operations), report_(std::move(report)) {}

void RealtimeSender::TurnOn(LogDatabase& database, const QString& log, const QString& table) {
  if (store_.Mark(table)) return;
  store_.SetMark(table, HighestRowId(database, table));
  report_({QStringLiteral("realtime-on"),
           QStringLiteral("Club Log real-time sending is on for log %1: QSOs logged from now on "
                          "go to Club Log as they are logged; the QSOs logged before go by the "
                          "batch upload.")
               .arg(log),
           {{QStringLiteral("log"), log}}});
}

void RealtimeSender::TurnOff(const QString& log, const QString& table) {
  if (!store_.Mark(table)) return;
  store_.ClearTable(table);
  parked_.removeIf([&table](const auto& it) { return it.key().table == table; });
  report_({QStringLiteral("realtime-off"),
           QStringLiteral("Club Log real-time sending is off for log %1.").arg(log),
           {{QStringLiteral("log"), log}}});
}

void RealtimeSender::SettingsRead(const QByteArray& settings_digest) {
  settings_digest_ = settings_digest;
  if (store_.Blocked() && store_.Blocked()->settings_digest != settings_digest) {
    store_.SetBlocked(std::nullopt);
    report_({QStringLiteral("unblocked"),
             QStringLiteral("The settings changed: Club Log real-time sending goes on."),
             {}});
  }
}

void RealtimeSender::SendDue(LogDatabase& database, const QString& log, const QString& table,
                             const QDateTime& now_utc) {
  const std::optional<qint64> mark = store_.Mark(table);
  if (!mark || Blocked()) return;
  for (const UnsentQso& qso : ReadQsosAfter(database, table, *mark)) {
    const LogRow row{table, qso.rowid};
    const QsoFingerprint fingerprint = FingerprintOf(qso);
    const SentEntry* entry = store_.Find(row);
    // A QSO whose answer a kill cut off is sent again (see SentStore).
    if (entry != nullptr && entry->state != SentEntry::State::kSending &&
        entry->fingerprint == fingerprint) {
      continue;
    }
    const auto parked = parked_.constFind(row);
    if (parked != parked_.cend() && parked->fingerprint == fingerprint &&
        parked->next_try > now_utc) {
      continue;
    }
    if (entry != nullptr && entry->state == SentEntry::State::kSent &&
        entry->fingerprint != fingerprint) {
      report_({QStringLiteral("changed"),
               QStringLiteral("%1 was changed after it went to Club Log (it was %2): it goes "
                              "again as a new record; the old record stays on Club Log until "
                              "you delete it there.")
                   .arg(DescribeFingerprint(fingerprint), DescribeFingerprint(entry->fingerprint)),
               QsoDetails(log, row, fingerprint)});
    }
    if (!Send(log, row, qso, fingerprint, now_utc)) return;
  }
}

bool RealtimeSender::Send(const QString& log, const LogRow& row, const UnsentQso& qso,
                          const QsoFingerprint& fingerprint, const QDateTime& now_utc) {
  const QJsonObject details = QsoDetails(log, row, fingerprint);
  const QString described = DescribeFingerprint(fingerprint);
  std::optional<ExportRecord> record;
  QString unreadable = QStringLiteral("its date or time cannot be read");
  try {
    record = records_.Make(qso);
  } catch (const AppError& error) {
    unreadable = error.Message();
  }
  if (!record) {
    store_.Put(row, {SentEntry::State::kRejected, fingerprint, unreadable});
    report_({QStringLiteral("rejected"),
             QStringLiteral("%1 cannot go to Club Log: %2.").arg(described, unreadable), details});
    return true;
  }
  // Durable before the request goes out: a kill from here on leaves a QSO
  // that is sent again at the next start, never one that is forgotten.
  store_.Put(row, {SentEntry::State::kSending, fingerprint, {}});
  KillPoint("watch-realtime-sending");
  const RealtimeResult result = operations_.SendRealtime(log, record->line);
  KillPoint("watch-realtime-answered");
  QJsonObject answered = details;
  answered.insert(QStringLiteral("status"), result.status);
  switch (result.kind) {
    case RealtimeResult::Kind::kSent:
      store_.Put(row, {SentEntry::State::kSent, fingerprint, {}});
      parked_.remove(row);
      report_({QStringLiteral("sent"),
               QStringLiteral("%1 went to Club Log (%2).").arg(described, result.reason),
               answered});
      return true;
    case RealtimeResult::Kind::kRejected:
      store_.Put(row, {SentEntry::State::kRejected, fingerprint, result.reason});
      parked_.remove(row);
      answered.insert(QStringLiteral("reason"), result.reason);
      report_({QStringLiteral("rejected"),
               QStringLiteral("Club Log rejected %1: %2").arg(described, result.reason), answered});
      return true;
    case RealtimeResult::Kind::kRetryLater:
      store_.Erase(row);
      Park(log, row, fingerprint, result, now_utc);
      return true;
    case RealtimeResult::Kind::kBlocked:
      store_.Erase(row);
      store_.SetBlocked(SentStore::Block{result.reason, settings_digest_});
      answered.insert(QStringLiteral("reason"), result.reason);
      report_({QStringLiteral("blocked"),
               QStringLiteral("Club Log refused this client (HTTP 403: %1). Nothing more goes to "
                              "Club Log until the settings change; check the Club Log login.")
                   .arg(result.reason),
               answered});
      return false;
  }
  return true;
}

void RealtimeSender::Park(const QString& log, const LogRow& row, const QsoFingerprint& fingerprint,
                          const RealtimeResult& result, const QDateTime& now_utc) {
  ParkedQso& parked = parked_[row];
  if (parked.fingerprint != fingerprint) parked = {log, row, fingerprint, 0, {}};
  ++parked.attempts;
  const int delay = std::min<qint64>(
      qint64{kFirstRetrySeconds} << std::min(parked.attempts - 1, 20), kLastRetrySeconds);
  parked.next_try = now_utc.addSecs(delay);
  QString why = result.reason;
  if (result.status != 0) {
    why = result.reason.isEmpty()
              ? QStringLiteral("HTTP %1").arg(result.status)
              : QStringLiteral("HTTP %1: %2").arg(result.status).arg(result.reason);
  }
  QJsonObject details = QsoDetails(log, row, fingerprint);
  details.insert(QStringLiteral("status"), result.status);
  details.insert(QStringLiteral("reason"), why);
  details.insert(QStringLiteral("retry_in_s"), delay);
  report_({QStringLiteral("parked"),
           QStringLiteral("%1 did not reach Club Log (%2); tried again in %3 s.")
               .arg(DescribeFingerprint(fingerprint), why)
               .arg(delay),
           details});
}
