#include "watch/watch_settings.h"

#include <QCryptographicHash>
#include <QFile>

#include "platform/ini_file.h"

namespace {

const QString kSection = QStringLiteral("Watch");

int ReadCount(const IniFile& ini, const QString& key, int fallback) {
  bool ok = false;
  const int value = ini.ReadString(kSection, key).toInt(&ok);
  return ok && value >= 0 ? value : fallback;
}

int ReadMinutesAsSeconds(const IniFile& ini, const QString& key, int fallback) {
  bool ok = false;
  const double minutes = ini.ReadString(kSection, key).toDouble(&ok);
  // A week at the most: far beyond any quiet time, and no overflow.
  return ok && minutes >= 0 && minutes <= 7 * 24 * 60 ? qRound(minutes * 60) : fallback;
}

}  // namespace

WatchSettings WatchSettings::Read(const QString& settings_file) {
  const IniFile ini(settings_file);
  WatchSettings settings;
  for (const QString& log : ini.ReadString(kSection, QStringLiteral("Logs")).split(u',')) {
    if (!log.trimmed().isEmpty()) settings.logs << log.trimmed();
  }
  settings.clublog_realtime = ini.ReadString(kSection, QStringLiteral("ClublogRealtime")) == u"1";
  settings.qorv_quiet_seconds =
      ReadMinutesAsSeconds(ini, QStringLiteral("QorvQuietMinutes"), settings.qorv_quiet_seconds);
  settings.download_hours =
      ReadCount(ini, QStringLiteral("DownloadHours"), settings.download_hours);
  return settings;
}

bool WatchSettingsFile::Reload() {
  QFile file(path_);
  const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  if (read_ && bytes == bytes_) return false;
  read_ = true;
  bytes_ = bytes;
  current_ = WatchSettings::Read(path_);
  return true;
}

QByteArray WatchSettingsFile::Digest() const {
  return QCryptographicHash::hash(bytes_, QCryptographicHash::Sha256).toHex();
}
