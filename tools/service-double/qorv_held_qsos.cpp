#include "qorv_held_qsos.h"

#include <QDir>
#include <QFile>

QList<AdifRecord> HeldQsoRecords(const State& state) {
  QList<AdifRecord> records;
  const QDir uploads(state.Dir() + "/uploads");
  // Every accepted upload, real TQSL's or the TQSL double's, left its contact
  // list: call, date, time, band and mode, TAB-separated. Real TQSL writes
  // "2024-01-02" and "10:00:00Z"; the report gives them as ADIF does.
  for (const QString& name : uploads.entryList({"*.contacts"}, QDir::Files, QDir::Name)) {
    QFile file(uploads.filePath(name));
    if (!file.open(QIODevice::ReadOnly)) continue;
    for (const QByteArray& line : file.readAll().split('\n')) {
      const QList<QByteArray> values = line.split('\t');
      if (values.size() != 5) continue;
      AdifRecord record;
      const char* names[] = {"CALL", "QSO_DATE", "TIME_ON", "BAND", "MODE"};
      for (int i = 0; i < 5; ++i) {
        QByteArray value = values.at(i);
        if (i == 1 || i == 2) value.removeIf([](char c) { return c < '0' || c > '9'; });
        record.fields.append({names[i], {}, value});
      }
      records.append(record);
    }
  }
  return records;
}
