#include "watch/watch_events.h"

#include <QJsonDocument>

QString EventLine(const WatchEvent& event, bool json, const QDateTime& now_utc) {
  if (!json) return event.message;
  QJsonObject object = event.details;
  object.insert(QStringLiteral("time"), now_utc.toUTC().toString(Qt::ISODate));
  object.insert(QStringLiteral("action"), event.action);
  object.insert(QStringLiteral("message"), event.message);
  return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}
