#ifndef QORVSYNC_TESTS_CONFIRMATIONS_REPORT_TEXT_H_
#define QORVSYNC_TESTS_CONFIRMATIONS_REPORT_TEXT_H_

#include <QString>
#include <QStringList>

// One ADIF field: "<NAME:n>value" with the value's length.
inline QString F(const char* name, const QString& value) {
  return QStringLiteral("<%1:%2>%3").arg(QLatin1String(name)).arg(value.size()).arg(value);
}
inline QString F(const char* name, const char* value) { return F(name, QString::fromUtf8(value)); }

// A report's lines from one text, split at "\n".
inline QStringList Lines(const QString& text) { return text.split(u'\n'); }

// A record as the service writes it: one field per line (`extra` holds more
// lines), then "<eor>". An empty mode is left out.
inline QString Record(const char* call, const char* band, const char* mode, const char* date,
                      const char* time, const QString& extra = {}) {
  QStringList lines = {F("CALL", call), F("BAND", band)};
  if (*mode) lines << F("MODE", mode);
  lines << F("QSO_DATE", date) << F("TIME_ON", time) << F("QSLRDATE", "20211001");
  if (!extra.isEmpty()) lines << extra;
  lines << QStringLiteral("<eor>");
  return lines.join(u'\n');
}

#endif  // QORVSYNC_TESTS_CONFIRMATIONS_REPORT_TEXT_H_
