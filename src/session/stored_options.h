#ifndef QORVSYNC_SESSION_STORED_OPTIONS_H_
#define QORVSYNC_SESSION_STORED_OPTIONS_H_

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

#include "confirmations/confirmation_options.h"

// The window's element values that "qorv.ini" keeps from one run to the next,
// in the section named after the window, one key per element property:
// "cbKeep.Checked" is kept under "cbKeep_Checked". The window stores and
// restores them; the command line reads them.
inline const QString kStoredOptionsSection = QStringLiteral("TfrmMain");

inline const QString kUpdateLocatorOption = QStringLiteral("cbUpdateloc.Checked");
inline const QString kUpdateStateOption = QStringLiteral("cbUpdatestate.Checked");
inline const QString kUpdateIotaOption = QStringLiteral("cbUpdateIOTA.Checked");
inline const QString kUpdateCountyOption = QStringLiteral("cbCNTY.Checked");
inline const QString kCountyColumnOption = QStringLiteral("cmbCNTY.Text");
inline const QString kActivePageOption = QStringLiteral("RzPageControl1.ActivePage");
inline const QString kClublogEmailOption = QStringLiteral("clublogemail.Text");
inline const QString kClublogCallsignOption = QStringLiteral("callsign.Text");
inline const QString kClublogPasswordOption = QStringLiteral("password.Text");
inline const QString kClublogOption = QStringLiteral("cbClublog.Checked");
inline const QString kStationLocationOption = QStringLiteral("edLocation.Text");
inline const QString kKeepFilesOption = QStringLiteral("cbKeep.Checked");

// Every stored element property, in the order the window writes them.
QStringList StoredOptionNames();

// The key an element property is kept under.
QString StoredOptionKey(const QString& option);

// A stored check box: "True" or "False" in any letter case; nothing else
// changes the box.
std::optional<bool> StoredChecked(const QString& value);

// What the window's elements hold when it opens: the dates, the TQSL path and
// the station location from the logbook's registry keys, and the element
// values the window stored in "qorv.ini" (which win, as they do in the window,
// whose stored values are restored after start-up).
struct StoredOptions {
  QDateTime qorv_since;  // DateTimePicker
  QDateTime eqsl_since;  // DateTimePicker2
  QString tqsl_path;     // edtTqsl
  QString location;      // edLocation
  ConfirmationOptions confirmation;
  bool keep_files = false;  // cbKeep
  bool clublog = false;     // cbClublog
  QString clublog_email;
  QString clublog_password;
  QString clublog_callsign;
};

// The values "qorv.ini" at `settings_file` keeps, over what `options` holds;
// a value absent or unreadable keeps the element as it is.
void ReadStoredOptions(const QString& settings_file, StoredOptions& options);

#endif  // QORVSYNC_SESSION_STORED_OPTIONS_H_
