#include "qorv_held_qsos.h"

#include <QDir>
#include <QFile>

QList<AdifRecord> HeldQsoRecords(const State& state) {
  QList<AdifRecord> records;
  const QDir uploads(state.Dir() + "/uploads");
  for (const QString& name : uploads.entryList({"*.tq8.adi"}, QDir::Files, QDir::Name)) {
    QFile file(uploads.filePath(name));
    if (!file.open(QIODevice::ReadOnly)) continue;
    for (AdifRecord record : ParseAdif(file.readAll())) {
      if (record.Value("TIME_ON").isEmpty() && !record.Value("QSO_TIME").isEmpty()) {
        record.fields.append({"TIME_ON", {}, record.Value("QSO_TIME")});
      }
      records.append(record);
    }
  }
  return records;
}
