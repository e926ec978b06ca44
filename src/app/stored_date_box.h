#ifndef QORVSYNC_APP_STORED_DATE_BOX_H_
#define QORVSYNC_APP_STORED_DATE_BOX_H_

#include <QDate>
#include <QDateTime>
#include <QTime>

class QDateEdit;

// The date boxes that show a stored date-time (QSL since, received since).
// The box shows the stored date as it is, in local time. A local date-time
// cannot hold every time of day (not the hour the clocks skip when they go
// forward), so the stored time of day is kept beside the box, and what goes
// back into the registry has the time of day that came from it.

// Makes a date box work in local time (Qt's date box works in UTC unless
// told otherwise, which would show and give back shifted dates).
void UseLocalTime(QDateEdit* box);

// The box shows the date, holding the time of day too where the local clock
// has it.
void ShowStoredDateTime(QDateEdit* box, const QDate& date, const QTime& time_of_day);

// The box's date with the kept time of day (the box's own time when nothing
// was stored into it).
QDateTime StoredDateTime(const QDateEdit* box);

#endif  // QORVSYNC_APP_STORED_DATE_BOX_H_
