#ifndef QORVSYNC_UPLOAD_TQSL_SIGNING_H_
#define QORVSYNC_UPLOAD_TQSL_SIGNING_H_

#include <QString>
#include <QStringList>

// TQSL signs the export file for a station location and writes the signed
// file beside it.

// The signed file: the export file's path with the extension ".tq8".
QString SignedFilePath(const QString& export_file);

// -d -l location file -x, the location without blanks at its ends. Each is
// one argument of its own, so quotes or blanks in a location name stay in it.
QStringList TqslArguments(const QString& location, const QString& export_file);

enum class SigningEnd {
  kSigned,      // the signed file is there
  kNotCreated,  // TQSL could not be started or wrote no signed file
  kQuit,        // the program is quitting: nothing more may happen
};

// Opens TQSL's own window when the program folder holds "tqsl.exe" or "tqsl"
// (never one found through PATH: a window that stays open would stop the next
// upload as "already running"), then runs the TQSL the user configured
// (`tqsl_path` as typed) on the export file and waits for its end while the
// window's events go on running. Only the signed file decides, not TQSL's
// exit code.
SigningEnd SignExportFile(const QString& tqsl_path, const QString& location,
                          const QString& export_file, const QString& program_folder);

#endif  // QORVSYNC_UPLOAD_TQSL_SIGNING_H_
