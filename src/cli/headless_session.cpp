#include "cli/headless_session.h"

#include "platform/clock.h"
#include "session/start_up.h"

namespace {

class HeadlessRoad : public StartUpRoad {
 public:
  explicit HeadlessRoad(StoredOptions& options) : options_(options) {}

  void TqslPath(const QString& path) override { options_.tqsl_path = path; }
  void SinceDateRead(SinceDate which, const std::optional<QDateTime>& value) override {
    const QDateTime date = value.value_or(QDateTime(ProgramClock().NowLocal().date(), QTime(0, 0)));
    (which == SinceDate::kQorv ? options_.qorv_since : options_.eqsl_since) = date;
  }
  void StationLocation(const QString& location) override { options_.location = location; }
  void LogNameKnown(const QString&) override {}

 private:
  StoredOptions& options_;
};

}  // namespace

HeadlessSession::HeadlessSession(const ProgramFiles& files, const QString& log_name,
                                 bool open_logbook) {
  config_.ProgramFolder = files.SettingsFolder();
  config_.StateFolder = files.StateFolder();
  HeadlessRoad road(options_);
  StartUpParameters parameters;
  parameters.log_name = log_name;
  parameters.open_logbook = open_logbook;
  RunStartUp(config_, database_, road, parameters);
  // The values the window stored win over the logbook's, as in the window,
  // whose stored values are restored after start-up.
  ReadStoredOptions(ProgramSettingsFile(config_), options_);
}
