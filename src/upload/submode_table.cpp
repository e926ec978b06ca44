#include "upload/submode_table.h"

#include <QStringList>

#include "platform/conversions.h"
#include "platform/text_codec.h"

SubmodeTable SubmodeTable::Load(const QString& path) { return FromLines(ReadTextFileLines(path)); }

SubmodeTable SubmodeTable::FromLines(const QStringList& lines) {
  SubmodeTable table;
  for (const QString& line : lines) {
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0) continue;
    const QString name = AsciiUpper(line.left(equals));
    // The first line of a name wins, as a search from the top finds it.
    if (!table.modes_.contains(name)) table.modes_.insert(name, line.mid(equals + 1));
  }
  return table;
}

QString SubmodeTable::Lookup(const QString& mode) const { return modes_.value(AsciiUpper(mode)); }
