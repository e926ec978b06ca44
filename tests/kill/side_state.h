#ifndef QORVSYNC_TESTS_KILL_SIDE_STATE_H_
#define QORVSYNC_TESTS_KILL_SIDE_STATE_H_

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// What a run leaves behind that the kill tests compare: every log row and
// every file the program writes (the registry file, "qorv.ini", error lists,
// the saved report and inbox, the export and signed files).
struct SideState {
  QMap<QString, QString> rows;      // "table/rowid" -> the row's values
  QMap<QString, QString> sent;      // rows marked sent: call, yyyymmdd, hhmm (TAB)
  QMap<QString, QByteArray> files;  // path below the side's root -> bytes
};

// Reads the rows of the log tables and the files below `root` (the program
// binary left out); `integrity` gets PRAGMA integrity_check's answer.
SideState ReadSideState(const QString& root, const QString& database, QString* integrity);

// A file QSaveFile was writing when the program was killed: the target's
// name and six more characters. It never stands in for the target.
bool IsUnfinishedTemporary(const QString& path);

// An export or signed file in "Qorv Logs" that a killed upload left whole:
// an export holding all the records its header counts, a signed file whose
// contacts can be read.
bool IsWholeUploadFile(const QString& path, const QByteArray& bytes);

// The same folder tree copied file by file, the program binary left out;
// `to` is emptied first (except the binary).
void CopyTree(const QString& from, const QString& to);

#endif  // QORVSYNC_TESTS_KILL_SIDE_STATE_H_
