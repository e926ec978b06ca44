#ifndef QORVSYNC_WATCH_WATCH_EVENTS_H_
#define QORVSYNC_WATCH_WATCH_EVENTS_H_

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <functional>

// One action of the watch, said as one line.
struct WatchEvent {
  QString action;       // a fixed word: "sent", "rejected", "parked", "blocked", "upload", ...
  QString message;      // the sentence for a person
  QJsonObject details;  // the facts behind it, for --json
};

// The event as one line without its line end: the message, or with `json` one
// JSON object holding "time" (UTC), "action", "message" and the details.
QString EventLine(const WatchEvent& event, bool json, const QDateTime& now_utc);

// Where the watch says what it does.
using WatchReport = std::function<void(const WatchEvent&)>;

#endif  // QORVSYNC_WATCH_WATCH_EVENTS_H_
