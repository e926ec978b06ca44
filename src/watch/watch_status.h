#ifndef QORVSYNC_WATCH_WATCH_STATUS_H_
#define QORVSYNC_WATCH_WATCH_STATUS_H_

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include "watch/realtime_sender.h"
#include "watch/sent_store.h"

// What the running watch has in hand, written to "watch-status.json" in the
// state folder whenever it changes, for the status command to print.
struct WatchStatus {
  QString blocked;  // why Club Log sending stopped; empty when it did not
  QList<ParkedQso> parked;
  QList<std::pair<LogRow, SentEntry>> rejected;
  QMap<QString, QString> failed;  // by "<operation> of log <log>": why its last run failed
  // By "<operation> of log <log>", UTC.
  QMap<QString, QDateTime> last_download;
  QMap<QString, QDateTime> due;
  QMap<QString, QDateTime> last_done;  // every operation's last run that did its work
  QStringList waiting;                 // what waits and for what, one sentence each

  QJsonObject ToJson() const;
};

QString WatchStatusPath(const QString& state_folder);

// Writes the snapshot whole when its bytes differ from `*written`, which then
// holds them. Throws AppError when it cannot be written.
void WriteWatchStatus(const QString& path, const WatchStatus& status, QByteArray* written);

// The snapshot file as an object; empty when there is none or it cannot be read.
QJsonObject ReadWatchStatus(const QString& path);

// The status command's lines: what is parked, what failed, what waits, and
// when the next downloads and uploads are due, and when each operation last
// did its work.
QStringList DescribeWatchStatus(const QJsonObject& status);

#endif  // QORVSYNC_WATCH_WATCH_STATUS_H_
