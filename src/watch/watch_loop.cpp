#include "watch/watch_loop.h"

#include <QJsonObject>
#include <QThread>

#include "logdb/new_qsos.h"
#include "platform/app_error.h"
#include "platform/operation_lock.h"

namespace {

const QString kHolder = QStringLiteral("qorvsync watch");
// A download that failed is tried again after this long at the most.
constexpr qint64 kDownloadRetrySeconds = 1800;

QString OfLog(const QString& what, const QString& log) {
  return QStringLiteral("%1 of log %2").arg(what, log);
}

}  // namespace

WatchLoop::WatchLoop(const WatchPlaces& places, WatchOperations& operations, WatchReport report,
                     const Clock& clock, std::function<bool()> has_display)
    : places_(places),
      operations_(operations),
      report_(std::move(report)),
      clock_(clock),
      has_display_(std::move(has_display)),
      settings_file_(places.settings_file),
      submodes_(SubmodeTable::Load(places.submode_file)),
      store_(places.state_folder + QStringLiteral("watch-sent.json")),
      sender_(store_, submodes_, operations_, report_),
      started_(clock.NowUtc()) {
  const QJsonObject last =
      ReadWatchStatus(WatchStatusPath(places_.state_folder))[QStringLiteral("last_download")]
          .toObject();
  for (auto it = last.begin(); it != last.end(); ++it) {
    last_download_.insert(it.key(), QDateTime::fromString(it->toString(), Qt::ISODate));
  }
  if (const qsizetype cut_off = store_.Sending().size()) {
    Say(QStringLiteral("resume"),
        QStringLiteral("%1 QSO(s) whose Club Log answer was cut off go again (Club Log takes a "
                       "record it already holds as a duplicate).")
            .arg(cut_off));
  }
}

WatchLoop::~WatchLoop() = default;

void WatchLoop::Pass() {
  try {
    Work();
    last_error_.clear();
  } catch (const AppError& error) {
    // Said once while it lasts: the next passes try again.
    if (error.Message() != last_error_) Say(QStringLiteral("error"), error.Message());
    last_error_ = error.Message();
  }
  try {
    WriteStatus();
  } catch (const AppError& error) {
    if (error.Message() != last_error_) Say(QStringLiteral("error"), error.Message());
    last_error_ = error.Message();
  }
}

void WatchLoop::Work() {
  ReadSettings();
  const WatchSettings& settings = settings_file_.Current();
  if (settings.logs.isEmpty()) {
    SayOnce(QStringLiteral("off"), QStringLiteral("idle"),
            QStringLiteral("Nothing is watched: name the logs under [Watch] Logs= in %1.")
                .arg(places_.settings_file));
    return;
  }
  Forget(QStringLiteral("off"));
  if (!database_.IsOpen()) database_.OpenLogDatabase(places_.database_path);
  const QDateTime now = clock_.NowUtc();
  for (const QString& log : settings.logs) {
    Follow(log, now);
    UploadWhenQuiet(log, now);
    DownloadWhenDue(QStringLiteral("Qorv download"), log, now,
                    [this, &log](const std::optional<QDate>& since) {
                      return operations_.DownloadQorv(log, since);
                    });
    DownloadWhenDue(QStringLiteral("eQSL download"), log, now,
                    [this, &log](const std::optional<QDate>& since) {
                      return operations_.DownloadEqsl(log, since);
                    });
  }
}

void WatchLoop::ReadSettings() {
  if (!settings_file_.Reload()) return;
  sender_.SettingsRead(settings_file_.Digest());
  const WatchSettings& settings = settings_file_.Current();
  Say(QStringLiteral("settings"),
      QStringLiteral("Settings read: logs %1; Club Log real-time %2; Qorv upload %3; downloads %4.")
          .arg(settings.logs.isEmpty() ? QStringLiteral("none")
                                       : settings.logs.join(QStringLiteral(", ")),
               settings.clublog_realtime ? QStringLiteral("on") : QStringLiteral("off"),
               settings.qorv_quiet_seconds == 0
                   ? QStringLiteral("off")
                   : QStringLiteral("after %1 quiet minutes")
                         .arg(QString::number(settings.qorv_quiet_seconds / 60.0)),
               settings.download_hours == 0
                   ? QStringLiteral("off")
                   : QStringLiteral("every %1 hours").arg(settings.download_hours)));
}

void WatchLoop::Follow(const QString& log, const QDateTime& now) {
  const QString table = database_.LoadLogConfiguration(log).LogFileName;
  const QString missing = QStringLiteral("missing:") + log;
  if (table.isEmpty()) {
    SayOnce(
        missing, QStringLiteral("error"),
        QStringLiteral("Log %1 is not in the logbook's configuration: it is not watched.").arg(log),
        log);
    return;
  }
  Forget(missing);
  const WatchSettings& settings = settings_file_.Current();
  const QString upload = OfLog(QStringLiteral("Qorv upload"), log);
  const qint64 highest = HighestRowId(database_, table);
  const auto seen = seen_.constFind(table);
  // The first look arms the upload too: QSOs left unsent before the start go
  // once the log has been quiet.
  if (seen == seen_.cend() || highest > *seen) {
    if (seen != seen_.cend()) {
      Say(QStringLiteral("new"), QStringLiteral("New QSOs in log %1.").arg(log), log);
    }
    seen_.insert(table, highest);
    next_upload_.insert(upload, now.addSecs(settings.qorv_quiet_seconds));
  }
  if (settings.clublog_realtime) {
    sender_.TurnOn(database_, log, table);
    sender_.SendDue(database_, log, table, now);
  } else {
    sender_.TurnOff(log, table);
  }
}

void WatchLoop::UploadWhenQuiet(const QString& log, const QDateTime& now) {
  const QString key = OfLog(QStringLiteral("Qorv upload"), log);
  const int quiet_seconds = settings_file_.Current().qorv_quiet_seconds;
  const auto due = next_upload_.constFind(key);
  if (quiet_seconds == 0 || due == next_upload_.cend() || *due > now) return;
  const QString no_display = QStringLiteral("display");
  if (!has_display_()) {
    SayOnce(no_display, QStringLiteral("waiting"),
            QStringLiteral("No display: the Qorv upload waits, because TQSL needs the desktop "
                           "session's display to sign."));
    return;
  }
  Forget(no_display);
  const std::optional<OperationOutcome> outcome =
      UnderLock(key, log, [this, &log] { return operations_.UploadQorv(log); });
  if (!outcome) return;
  if (outcome->done) {
    next_upload_.remove(key);
  } else {
    next_upload_.insert(key, now.addSecs(quiet_seconds));
  }
}

QDateTime WatchLoop::DownloadDue(const QString& key) const {
  const qint64 interval = qint64{settings_file_.Current().download_hours} * 3600;
  const QDateTime done = last_download_.value(key);
  const QDateTime tried = last_try_.value(key);
  if (tried.isValid() && (!done.isValid() || tried > done)) {
    return tried.addSecs(std::min(interval, kDownloadRetrySeconds));
  }
  // Never done: due at once.
  return done.isValid() ? done.addSecs(interval) : QDateTime();
}

void WatchLoop::DownloadWhenDue(const QString& what, const QString& log, const QDateTime& now,
                                const DownloadOperation& operation) {
  if (settings_file_.Current().download_hours == 0) return;
  const QString key = OfLog(what, log);
  const QDateTime due = DownloadDue(key);
  if (due.isValid() && due > now) return;
  const QDateTime done = last_download_.value(key);
  const std::optional<QDate> since =
      done.isValid() ? std::optional<QDate>(done.toUTC().date()) : std::nullopt;
  const std::optional<OperationOutcome> outcome =
      UnderLock(key, log, [&operation, &since] { return operation(since); });
  if (!outcome) return;
  last_try_.insert(key, now);
  if (outcome->done) last_download_.insert(key, now);
}

std::optional<OperationOutcome> WatchLoop::UnderLock(
    const QString& key, const QString& log, const std::function<OperationOutcome()>& operation) {
  const QString wait = QStringLiteral("lock:") + key;
  const OperationLock lock(places_.database_path, kHolder);
  if (!lock.Held()) {
    SayOnce(wait, QStringLiteral("waiting"),
            QStringLiteral("%1 waits: %2").arg(key, lock.Refusal()), log);
    return std::nullopt;
  }
  Forget(wait);
  const OperationOutcome outcome = operation();
  if (outcome.done) {
    failures_.remove(key);
    last_done_.insert(key, clock_.NowUtc());
  } else {
    failures_.insert(key, outcome.summary);
  }
  Say(outcome.done ? QStringLiteral("done") : QStringLiteral("failed"),
      QStringLiteral("%1: %2").arg(key, outcome.summary), log);
  return outcome;
}

void WatchLoop::Say(const QString& action, const QString& message, const QString& log) {
  QJsonObject details;
  if (!log.isEmpty()) details.insert(QStringLiteral("log"), log);
  report_({action, message, details});
}

void WatchLoop::SayOnce(const QString& key, const QString& action, const QString& message,
                        const QString& log) {
  if (waiting_.value(key) == message) return;
  waiting_.insert(key, message);
  Say(action, message, log);
}

void WatchLoop::WriteStatus() {
  WatchStatus status;
  if (store_.Blocked()) status.blocked = store_.Blocked()->reason;
  status.parked = sender_.Parked();
  status.rejected = store_.Rejected();
  status.failed = failures_;
  status.last_download = last_download_;
  status.due = next_upload_;
  status.last_done = last_done_;
  const WatchSettings& settings = settings_file_.Current();
  if (settings.download_hours > 0) {
    for (const QString& log : settings.logs) {
      for (const QString& what :
           {QStringLiteral("Qorv download"), QStringLiteral("eQSL download")}) {
        const QString key = OfLog(what, log);
        const QDateTime due = DownloadDue(key);
        status.due.insert(key, due.isValid() ? due : started_);
      }
    }
  }
  status.waiting = waiting_.values();
  WriteWatchStatus(WatchStatusPath(places_.state_folder), status, &status_written_);
}

void RunWatch(WatchLoop& loop, const std::atomic<bool>& stop) {
  while (!stop) {
    loop.Pass();
    for (int waited = 0; waited < WatchLoop::kPassIntervalMs && !stop; waited += 100) {
      QThread::msleep(100);
    }
  }
}
