#ifndef QORVSYNC_UPLOAD_TQSL_SIGNING_H_
#define QORVSYNC_UPLOAD_TQSL_SIGNING_H_

#include <QString>

// TQSL signs the export file for a station location and writes the signed
// file beside it.

// The signed file: the export file's path with the extension ".tq8".
QString SignedFilePath(const QString& export_file);

// -d -l "location" "file" -x, the location without blanks at its ends.
QString TqslParameters(const QString& location, const QString& export_file);

enum class SigningEnd {
  kSigned,      // the signed file is there
  kNotCreated,  // TQSL could not be started or wrote no signed file
  kQuit,        // the program is quitting: nothing more may happen
};

// Opens TQSL's own window from the program folder (the bare name
// "tqsl.exe"; nothing happens when it cannot be found), then runs the TQSL
// the user configured (`tqsl_path` as typed) on the export file and waits
// for its end while the window's events go on running. Only the signed file
// decides, not TQSL's exit code.
SigningEnd SignExportFile(const QString& tqsl_path, const QString& location,
                          const QString& export_file, const QString& program_folder);

#endif  // QORVSYNC_UPLOAD_TQSL_SIGNING_H_
