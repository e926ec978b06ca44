#include "app/stored_date_box.h"

#include <QDateEdit>
#include <QVariant>

namespace {

constexpr char kTimeOfDay[] = "storedTimeOfDay";

}  // namespace

void UseLocalTime(QDateEdit* box) { box->setTimeSpec(Qt::LocalTime); }

void ShowStoredDateTime(QDateEdit* box, const QDate& date, const QTime& time_of_day) {
  box->setProperty(kTimeOfDay, time_of_day);
  const QDateTime local(date, time_of_day);
  if (local.isValid()) {
    box->setDateTime(local);
  } else {
    box->setDate(date);  // a time the local clock skips: the box keeps the day
  }
}

QDateTime StoredDateTime(const QDateEdit* box) {
  const QTime kept = box->property(kTimeOfDay).toTime();
  return QDateTime(box->date(), kept.isValid() ? kept : box->time());
}
