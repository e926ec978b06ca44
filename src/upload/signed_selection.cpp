#include "upload/signed_selection.h"

#include <QHash>

namespace {

// A box of more lines would not fit the screen.
constexpr qsizetype kShownQsos = 25;

// Takes one contact with the key from the signed file's stock.
bool Take(QHash<QsoKey, int>& stock, const QsoKey& key) {
  const auto found = stock.find(key);
  if (found == stock.end() || found.value() == 0) return false;
  --found.value();
  return true;
}

QString DescribeQso(const ExportedKey& qso) {
  const QString& date = qso.key.date;
  return QStringLiteral("%1  %2-%3-%4  %5  %6")
      .arg(qso.key.call, date.left(4), date.mid(4, 2), date.mid(6, 2), qso.key.band,
           qso.submode.isEmpty() ? qso.key.mode : qso.submode);
}

}  // namespace

SignedSelection SelectSignedQsos(const ExportedFile& exported, const QList<QsoKey>& contacts) {
  QHash<QsoKey, int> stock;
  for (const QsoKey& contact : contacts) ++stock[contact];
  SignedSelection selection;
  for (qsizetype i = 0; i < exported.rowids.size(); ++i) {
    const ExportedKey& qso = exported.keys.at(i);
    QsoKey by_submode = qso.key;
    by_submode.mode = qso.submode;
    if (Take(stock, qso.key) || (!qso.submode.isEmpty() && Take(stock, by_submode))) {
      selection.signed_rowids.append(exported.rowids.at(i));
    } else {
      selection.left_out.append(qso);
    }
  }
  return selection;
}

QString LeftOutMessage(const QList<ExportedKey>& left_out) {
  QString text = QStringLiteral(
                     "TQSL left %1 QSO(s) out of the signed file (invalid, or signed before). "
                     "They were not uploaded and stay unsent:\n")
                     .arg(left_out.size());
  for (qsizetype i = 0; i < left_out.size() && i < kShownQsos; ++i) {
    text += u'\n' + DescribeQso(left_out.at(i));
  }
  if (left_out.size() > kShownQsos) {
    text += QStringLiteral("\n... and %1 more").arg(left_out.size() - kShownQsos);
  }
  return text;
}
