#ifndef QORVSYNC_SESSION_SINCE_DATES_H_
#define QORVSYNC_SESSION_SINCE_DATES_H_

#include <QDateTime>
#include <optional>

// The two dates the next download asks from, kept in the logbook's Qorv
// dialog key as the logbook keeps them: days since 1899-12-30 with the time
// of day as the fraction, local wall-clock time.
enum class SinceDate { kQorv, kEqsl };

// The stored date and time of day of the logbook's form key; nullopt when the
// value is absent. Throws AppError "'%s' is not a valid date" as today.
std::optional<QDateTime> ReadSinceDate(SinceDate which);

// Stores it as the logbook does, making the key when it is missing.
void SaveSinceDate(SinceDate which, const QDateTime& value);

#endif  // QORVSYNC_SESSION_SINCE_DATES_H_
