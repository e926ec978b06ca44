#ifndef QORVSYNC_UPLOAD_SUBMODE_TABLE_H_
#define QORVSYNC_UPLOAD_SUBMODE_TABLE_H_

#include <QHash>
#include <QString>

// "Submode.txt" beside the program: lines name=value map an exported mode (a
// submode such as FT4) to the ADIF mode it belongs to (MFSK). Names compare
// without regard to case; the first line of a name wins; lines without "="
// take part in no lookup.
class SubmodeTable {
 public:
  // Error: 'Cannot open file "<path>". <reason>'.
  static SubmodeTable Load(const QString& path);
  static SubmodeTable FromLines(const QStringList& lines);

  // The ADIF mode for `mode`, empty when no line names it.
  QString Lookup(const QString& mode) const;

 private:
  QHash<QString, QString> modes_;  // keyed by the name in upper case (ASCII letters)
};

#endif  // QORVSYNC_UPLOAD_SUBMODE_TABLE_H_
