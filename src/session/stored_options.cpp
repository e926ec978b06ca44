#include "session/stored_options.h"

#include "platform/conversions.h"
#include "platform/ini_file.h"

namespace {

class StoredValues {
 public:
  explicit StoredValues(const QString& path) : ini_(path) {}

  void Checked(const QString& option, bool& value) const {
    if (const std::optional<bool> stored = StoredChecked(Read(option))) value = *stored;
  }
  void Text(const QString& option, QString& value) const { value = Read(option, value); }

 private:
  QString Read(const QString& option, const QString& fallback = QString()) const {
    return TrimControl(ini_.ReadString(kStoredOptionsSection, StoredOptionKey(option), fallback));
  }

  IniFile ini_;
};

}  // namespace

QStringList StoredOptionNames() {
  return {kUpdateLocatorOption, kUpdateStateOption,     kUpdateIotaOption,
          kUpdateCountyOption,  kCountyColumnOption,    kActivePageOption,
          kClublogEmailOption,  kClublogCallsignOption, kClublogPasswordOption,
          kClublogOption,       kStationLocationOption, kKeepFilesOption};
}

QString StoredOptionKey(const QString& option) { return QString(option).replace(u'.', u'_'); }

std::optional<bool> StoredChecked(const QString& value) {
  if (value.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
  if (value.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
  return std::nullopt;
}

void ReadStoredOptions(const QString& settings_file, StoredOptions& options) {
  const StoredValues stored(settings_file);
  stored.Checked(kUpdateLocatorOption, options.confirmation.update_locator);
  stored.Checked(kUpdateStateOption, options.confirmation.update_state);
  stored.Checked(kUpdateIotaOption, options.confirmation.update_iota);
  stored.Checked(kUpdateCountyOption, options.confirmation.update_county);
  stored.Text(kCountyColumnOption, options.confirmation.county_column);
  stored.Text(kStationLocationOption, options.location);
  stored.Checked(kKeepFilesOption, options.keep_files);
  stored.Checked(kClublogOption, options.clublog);
  stored.Text(kClublogEmailOption, options.clublog_email);
  stored.Text(kClublogPasswordOption, options.clublog_password);
  stored.Text(kClublogCallsignOption, options.clublog_callsign);
}
