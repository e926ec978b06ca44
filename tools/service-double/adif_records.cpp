#include "adif_records.h"

QByteArray AdifRecord::Value(const QByteArray& name) const {
  for (const AdifField& field : fields) {
    if (field.name.compare(name, Qt::CaseInsensitive) == 0) return field.value;
  }
  return {};
}

QList<AdifRecord> ParseAdif(const QByteArray& text) {
  QList<AdifRecord> records;
  AdifRecord current;
  qsizetype pos = 0;
  while ((pos = text.indexOf('<', pos)) >= 0) {
    const qsizetype close = text.indexOf('>', pos);
    if (close < 0) break;
    const QList<QByteArray> parts = text.mid(pos + 1, close - pos - 1).split(':');
    pos = close + 1;
    const QByteArray name = parts[0].trimmed().toUpper();
    if (name == "EOH") {
      current = {};
    } else if (name == "EOR") {
      records.append(current);
      current = {};
    } else if (parts.size() >= 2) {
      bool ok = false;
      const qsizetype length = parts[1].trimmed().toLongLong(&ok);
      if (!ok || length < 0) continue;
      current.fields.append({parts[0].trimmed(),
                             parts.size() >= 3 ? parts[2].trimmed() : QByteArray(),
                             text.mid(pos, length)});
      pos += length;
    }
  }
  return records;
}

QByteArray WriteAdifField(const AdifField& field) {
  QByteArray tag = "<" + field.name + ":" + QByteArray::number(field.value.size());
  if (!field.type.isEmpty()) tag += ":" + field.type;
  return tag + ">" + field.value;
}
