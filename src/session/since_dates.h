#ifndef QORVSYNC_SESSION_SINCE_DATES_H_
#define QORVSYNC_SESSION_SINCE_DATES_H_

#include <QDateTime>

// The two stored since-dates of the downloads, kept in the logbook's registry
// key of its upload form for the next start.
enum class SinceDate { kQorv, kEqsl };

// Stores the date-time (its wall-clock fields) for the next download to ask
// from. A download's caller stores the date its run returned, right after
// the run, so that the date moves last.
void SaveSinceDate(SinceDate which, const QDateTime& value);

#endif  // QORVSYNC_SESSION_SINCE_DATES_H_
