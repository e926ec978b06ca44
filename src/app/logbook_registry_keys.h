#ifndef QORVSYNC_APP_LOGBOOK_REGISTRY_KEYS_H_
#define QORVSYNC_APP_LOGBOOK_REGISTRY_KEYS_H_

#include <QString>

// The registry keys start-up reads, below HKEY_CURRENT_USER: the logbook's
// own, its entry window's, its Qorv dialog's (the two stored dates) and the
// system's Internet settings (the proxy).
inline const QString kLogbookKey = QStringLiteral("Software\\Vodrix_Log3");
inline const QString kEditNewQsoKey = QStringLiteral("Software\\Vodrix_Log3\\TfmEditNewQso");
inline const QString kSendQsosKey = QStringLiteral("Software\\Vodrix_Log3\\TfmSendQSOstoQorv");
inline const QString kInternetSettingsKey =
    QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings");

#endif  // QORVSYNC_APP_LOGBOOK_REGISTRY_KEYS_H_
