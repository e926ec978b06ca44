#ifndef QORVSYNC_WATCH_REALTIME_SENDER_H_
#define QORVSYNC_WATCH_REALTIME_SENDER_H_

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

#include "logdb/log_database.h"
#include "upload/export_format.h"
#include "watch/sent_store.h"
#include "watch/watch_events.h"
#include "watch/watch_operations.h"

// A QSO that Club Log asked to send again later.
struct ParkedQso {
  QString log;
  LogRow row;
  QsoFingerprint fingerprint;
  int attempts = 0;
  QDateTime next_try;  // UTC
};

// Real-time sending of the QSOs of the watched logs, one request per QSO,
// each QSO once (see SentStore):
// - 200 (logged or duplicate): sent;
// - 400: listed with Club Log's reason and not sent again, unless the QSO's
//   call, date, time, band or mode changes;
// - 500, another status or a failed exchange: parked and tried again after a
//   delay that doubles with each try, from 30 s up to an hour;
// - 403: nothing more goes to Club Log until the settings change (Club Log
//   blocks a client that keeps sending after a 403).
// A QSO sent and then edited in call, date, time, band or mode is sent again:
// for Club Log it is a new record. The record sent before stays on Club Log
// (the real-time interface cannot delete it); the user is told in one line.
// Needs no operation lock: it only reads the log.
class RealtimeSender {
 public:
  static constexpr int kFirstRetrySeconds = 30;
  static constexpr int kLastRetrySeconds = 3600;

  RealtimeSender(SentStore& store, const SubmodeTable& submodes, WatchOperations& operations,
                 WatchReport report);

  // Real-time sending of `table` (the table of `log`) turned on: the first
  // time, the QSOs logged so far are left to the batch upload.
  void TurnOn(LogDatabase& database, const QString& log, const QString& table);
  // Turned off: the table's mark and record are forgotten, so that turning it
  // on again leaves the QSOs logged meanwhile to the batch upload too.
  void TurnOff(const QString& log, const QString& table);

  // Sends what is due of the table's QSOs logged since it was turned on.
  void SendDue(LogDatabase& database, const QString& log, const QString& table,
               const QDateTime& now_utc);

  // The settings file was read, with this digest of its bytes: a 403's stop
  // made under other settings ends.
  void SettingsRead(const QByteArray& settings_digest);

  bool Blocked() const { return store_.Blocked().has_value(); }
  QList<ParkedQso> Parked() const { return parked_.values(); }

 private:
  // False when sending must stop for this pass.
  bool Send(const QString& log, const LogRow& row, const UnsentQso& qso,
            const QsoFingerprint& fingerprint, const QDateTime& now_utc);
  void Park(const QString& log, const LogRow& row, const QsoFingerprint& fingerprint,
            const RealtimeResult& result, const QDateTime& now_utc);

  SentStore& store_;
  ExportRecordMaker records_;
  WatchOperations& operations_;
  WatchReport report_;
  QHash<LogRow, ParkedQso> parked_;
  QByteArray settings_digest_;
};

// The call, date, time, band and mode of a QSO as the log holds them.
QsoFingerprint FingerprintOf(const UnsentQso& qso);
// The same five, for a person: "W1AW 2026-12-11 10:15 14 FT8".
QString DescribeFingerprint(const QsoFingerprint& fingerprint);

#endif  // QORVSYNC_WATCH_REALTIME_SENDER_H_
