#ifndef QORVSYNC_CLI_LOG_TIME_H_
#define QORVSYNC_CLI_LOG_TIME_H_

#include <QString>
#include <QTime>
#include <optional>

// A QSOTime read as the export reads it for TIME_ON: "HH:MM", "H:MM",
// "HH:MM:SS" and the other forms of a time with ":" give the hour and minute
// (seconds dropped); anything else is no time. So "9:05" in the log is the
// same QSO as "0905" in a report.
std::optional<QTime> ReadLogTime(const QString& stored);

// "hh:mm" of the stored time, or the stored text as it is when it is no time.
QString LogTimeText(const QString& stored);

#endif  // QORVSYNC_CLI_LOG_TIME_H_
