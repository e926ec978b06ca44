#ifndef QORVSYNC_UPLOAD_TQSL_SIGNING_H_
#define QORVSYNC_UPLOAD_TQSL_SIGNING_H_

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <chrono>

// TQSL signs the export file for a station location and writes the signed
// file beside it.

// The signed file: the export file's path with the extension ".tq8".
QString SignedFilePath(const QString& export_file);

// How TQSL is run. With a person at the screen (the window) TQSL asks its
// questions and takes the time it needs. Without one (the command line, a
// timer) nobody could answer a question: TQSL is told to ask nothing, is
// given a locale that exists, and is ended after `time_limit`.
struct TqslRunMode {
  bool unattended = false;
  std::chrono::seconds time_limit{0};
};

// -d -l location file -x, the location without blanks at its ends. Each is
// one argument of its own, so quotes or blanks in a location name stay in it.
// Unattended, "-a all" answers TQSL's questions about QSOs it finds
// questionable or signed before: it signs what it can and leaves out only what
// it cannot sign; only the QSOs the signed file holds are marked sent later.
QStringList TqslArguments(const QString& location, const QString& export_file,
                          bool unattended = false);

// This process's environment for an unattended TQSL: unchanged when the
// locale it names is installed, else with LC_ALL and LANG set to "C.UTF-8"
// (TQSL stops at a modal "Cannot set locale" box otherwise).
QProcessEnvironment UnattendedTqslEnvironment();

enum class SigningEnd {
  kSigned,      // the signed file is there
  kNotCreated,  // TQSL could not be started or wrote no signed file
  kTimedOut,    // unattended: TQSL was ended at its time limit
  kQuit,        // the program is quitting or the upload was abandoned:
                // nothing more may happen
};

// With a person at the screen, opens TQSL's own window when the program
// folder holds "tqsl.exe" or "tqsl" (never one found through PATH: a window
// that stays open would stop the next upload as "already running"). Then runs
// the TQSL the user configured (`tqsl_path` as typed) on the export file and
// waits for its end while the window's events go on running. Only the signed
// file decides, not TQSL's exit code; a signed file left by a TQSL that was
// ended does not count.
SigningEnd SignExportFile(const QString& tqsl_path, const QString& location,
                          const QString& export_file, const QString& program_folder,
                          const TqslRunMode& mode = {});

#endif  // QORVSYNC_UPLOAD_TQSL_SIGNING_H_
