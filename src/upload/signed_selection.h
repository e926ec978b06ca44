#ifndef QORVSYNC_UPLOAD_SIGNED_SELECTION_H_
#define QORVSYNC_UPLOAD_SIGNED_SELECTION_H_

#include <QList>
#include <QString>

#include "upload/export_file.h"
#include "upload/signed_contacts.h"

// The exported QSOs split by whether TQSL signed them: TQSL leaves out the
// records it finds invalid and those it signed before, so only the QSOs the
// signed file holds went out with the upload.
struct SignedSelection {
  QList<qint64> signed_rowids;  // to be marked sent
  QList<ExportedKey> left_out;  // stay unsent, in export order
};

// Each contact of the signed file stands for one exported QSO with its call,
// date, time, band and mode (the exported MODE or SUBMODE).
SignedSelection SelectSignedQsos(const ExportedFile& exported, const QList<QsoKey>& contacts);

// The message that names the QSOs TQSL left out (call, date, band, mode) and
// says that they stay unsent; long lists are cut.
QString LeftOutMessage(const QList<ExportedKey>& left_out);

#endif  // QORVSYNC_UPLOAD_SIGNED_SELECTION_H_
