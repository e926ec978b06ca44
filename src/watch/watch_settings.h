#ifndef QORVSYNC_WATCH_WATCH_SETTINGS_H_
#define QORVSYNC_WATCH_WATCH_SETTINGS_H_

#include <QByteArray>
#include <QString>
#include <QStringList>

// The section [Watch] of "qorv.ini". Without it nothing is watched:
//   Logs=Main,Contest       the logs (LogName of Aconfig) to follow, "," between
//   ClublogRealtime=1       new QSOs go to Club Log one by one (0, the default: no)
//   QorvQuietMinutes=10     Qorv upload once no new QSO came for this long (0: no
//                           upload); a decimal number: 0.5 is 30 seconds
//   DownloadHours=6         Qorv and eQSL downloads this often (0: no downloads)
// A number that cannot be read keeps its default.
struct WatchSettings {
  QStringList logs;
  bool clublog_realtime = false;
  int qorv_quiet_seconds = 600;
  int download_hours = 6;

  static WatchSettings Read(const QString& settings_file);
  bool operator==(const WatchSettings&) const = default;
};

// The settings file, read again whenever its bytes change, so that an edit
// applies at the next pass without a restart.
class WatchSettingsFile {
 public:
  explicit WatchSettingsFile(QString path) : path_(std::move(path)) {}

  // True when the file changed since the last call (the first call: always).
  // Any change counts, also outside [Watch]: the Club Log login lives there too.
  bool Reload();
  const WatchSettings& Current() const { return current_; }
  // A digest of the file's bytes as last read.
  QByteArray Digest() const;

 private:
  QString path_;
  bool read_ = false;
  QByteArray bytes_;
  WatchSettings current_;
};

#endif  // QORVSYNC_WATCH_WATCH_SETTINGS_H_
