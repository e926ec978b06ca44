#include "watch/watch_status.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

#include "platform/app_error.h"
#include "platform/whole_file.h"

namespace {

QJsonObject Times(const QMap<QString, QDateTime>& times) {
  QJsonObject object;
  for (auto it = times.begin(); it != times.end(); ++it) {
    object.insert(it.key(), it.value().toUTC().toString(Qt::ISODate));
  }
  return object;
}

}  // namespace

QJsonObject WatchStatus::ToJson() const {
  QJsonArray parked_list;
  for (const ParkedQso& qso : parked) {
    parked_list.append(
        QJsonObject{{QStringLiteral("log"), qso.log},
                    {QStringLiteral("table"), qso.row.table},
                    {QStringLiteral("id"), qso.row.rowid},
                    {QStringLiteral("qso"), DescribeFingerprint(qso.fingerprint)},
                    {QStringLiteral("attempts"), qso.attempts},
                    {QStringLiteral("next_try"), qso.next_try.toUTC().toString(Qt::ISODate)}});
  }
  QJsonArray rejected_list;
  for (const auto& [row, entry] : rejected) {
    rejected_list.append(
        QJsonObject{{QStringLiteral("table"), row.table},
                    {QStringLiteral("id"), row.rowid},
                    {QStringLiteral("qso"), DescribeFingerprint(entry.fingerprint)},
                    {QStringLiteral("reason"), entry.reason}});
  }
  QJsonObject object{{QStringLiteral("parked"), parked_list},
                     {QStringLiteral("rejected"), rejected_list},
                     {QStringLiteral("last_download"), Times(last_download)},
                     {QStringLiteral("due"), Times(due)},
                     {QStringLiteral("last_done"), Times(last_done)},
                     {QStringLiteral("waiting"), QJsonArray::fromStringList(waiting)}};
  QJsonObject failed_runs;
  for (auto it = failed.begin(); it != failed.end(); ++it) failed_runs.insert(it.key(), it.value());
  object.insert(QStringLiteral("failed"), failed_runs);
  if (!blocked.isEmpty()) object.insert(QStringLiteral("blocked"), blocked);
  return object;
}

QString WatchStatusPath(const QString& state_folder) {
  return state_folder + QStringLiteral("watch-status.json");
}

void WriteWatchStatus(const QString& path, const WatchStatus& status, QByteArray* written) {
  const QByteArray bytes = QJsonDocument(status.ToJson()).toJson(QJsonDocument::Indented);
  if (bytes == *written) return;
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
      !CommitWholeFile(file)) {
    throw AppError(
        QStringLiteral("Cannot write the watch status \"%1\": %2").arg(path, file.errorString()));
  }
  *written = bytes;
}

QJsonObject ReadWatchStatus(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QJsonDocument::fromJson(file.readAll()).object();
}

QStringList DescribeWatchStatus(const QJsonObject& status) {
  QStringList lines;
  if (status.contains(QStringLiteral("blocked"))) {
    lines << QStringLiteral("Club Log sending stopped (HTTP 403: %1) until the settings change")
                 .arg(status[QStringLiteral("blocked")].toString());
  }
  for (const QJsonValue& value : status[QStringLiteral("parked")].toArray()) {
    const QJsonObject qso = value.toObject();
    lines << QStringLiteral("parked: %1 (log %2), %3 tries, next at %4")
                 .arg(qso[QStringLiteral("qso")].toString(), qso[QStringLiteral("log")].toString())
                 .arg(qso[QStringLiteral("attempts")].toInt())
                 .arg(qso[QStringLiteral("next_try")].toString());
  }
  for (const QJsonValue& value : status[QStringLiteral("rejected")].toArray()) {
    const QJsonObject qso = value.toObject();
    lines << QStringLiteral("rejected by Club Log: %1 (table %2, ID %3): %4")
                 .arg(qso[QStringLiteral("qso")].toString(),
                      qso[QStringLiteral("table")].toString())
                 .arg(qso[QStringLiteral("id")].toInteger())
                 .arg(qso[QStringLiteral("reason")].toString());
  }
  const QJsonObject failed = status[QStringLiteral("failed")].toObject();
  for (auto it = failed.begin(); it != failed.end(); ++it) {
    lines << QStringLiteral("%1 failed: %2").arg(it.key(), it->toString());
  }
  for (const QJsonValue& value : status[QStringLiteral("waiting")].toArray()) {
    lines << value.toString();
  }
  const QJsonObject due = status[QStringLiteral("due")].toObject();
  for (auto it = due.begin(); it != due.end(); ++it) {
    lines << QStringLiteral("%1 due at %2").arg(it.key(), it->toString());
  }
  if (lines.isEmpty()) lines << QStringLiteral("Nothing is parked, failed or due.");
  const QJsonObject done = status[QStringLiteral("last_done")].toObject();
  for (auto it = done.begin(); it != done.end(); ++it) {
    lines << QStringLiteral("%1 last done at %2").arg(it.key(), it->toString());
  }
  return lines;
}
