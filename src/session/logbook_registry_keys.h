#ifndef QORVSYNC_SESSION_LOGBOOK_REGISTRY_KEYS_H_
#define QORVSYNC_SESSION_LOGBOOK_REGISTRY_KEYS_H_

#include <QString>

// The registry keys and values of the logbook that the program reads and
// writes, below HKEY_CURRENT_USER, each spelled here only.

// The logbook's own key: where it is installed.
inline const QString kLogbookKey = QStringLiteral("Software\\Vodrix_Log3");
inline const QString kInstallPathValue = QStringLiteral("InstallPath");

// Its entry window's key: the TQSL program it names.
inline const QString kEditNewQsoKey = QStringLiteral("Software\\Vodrix_Log3\\TfmEditNewQso");
inline const QString kTqslPathValue = QStringLiteral("TrustedQSLPatch");

// Its Qorv dialog's key: the two since-dates and the station location.
inline const QString kSendQsosKey = QStringLiteral("Software\\Vodrix_Log3\\TfmSendQSOstoQorv");
inline const QString kQorvSinceValue = QStringLiteral("QorvDate_Date");
inline const QString kEqslSinceValue = QStringLiteral("eQSLDate_Date");
inline const QString kStationLocationValue = QStringLiteral("edtTQSLStationLocationName_Text");

// The system's Internet settings: the proxy.
inline const QString kInternetSettingsKey =
    QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings");
inline const QString kProxyEnableValue = QStringLiteral("ProxyEnable");
inline const QString kProxyServerValue = QStringLiteral("ProxyServer");

#endif  // QORVSYNC_SESSION_LOGBOOK_REGISTRY_KEYS_H_
