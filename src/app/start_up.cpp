#include "app/start_up.h"

#include <QDateEdit>

#include "app/logbook_session.h"
#include "app/stored_date_box.h"
#include "app/tfrm_main.h"
#include "platform/app_error.h"
#include "session/start_up.h"
#include "ui_tfrm_main.h"

namespace {

class WindowRoad : public StartUpRoad {
 public:
  explicit WindowRoad(TfrmMain& form) : form_(form), ui_(form.Form()) {}

  void TqslPath(const QString& path) override { ui_.edtTqsl->setText(path); }

  // The box shows the stored date and time of day as written, whatever the
  // time zone. An absent value reads as empty text, which is no number.
  void SinceDateRead(SinceDate which, const std::optional<QDateTime>& value) override {
    if (!value) {
      throw AppError(
          FormatMessage(QStringLiteral("'%s' is not a valid floating point value"), QString()));
    }
    QDateEdit* box = which == SinceDate::kQorv ? ui_.DateTimePicker : ui_.DateTimePicker2;
    ShowStoredDateTime(box, value->date(), value->time());
  }

  void StationLocation(const QString& location) override {
    ui_.edLocation->setCurrentText(location);
  }

  void LogNameKnown(const QString& log_name) override { form_.SetCaption(log_name); }

 private:
  TfrmMain& form_;
  Ui::TfrmMain& ui_;
};

}  // namespace

void StartUp(TfrmMain& form) {
  WindowRoad road(form);
  RunStartUp(form.Config(), form.Session().Database(), road);
  // The poll runs also when the logbook is not running yet: it follows a
  // logbook started later.
  form.StartLogPoll();
}
