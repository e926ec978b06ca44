#ifndef QORVSYNC_TOOLS_LOGBOOK_DOUBLE_CREATE_QSO_GENERATOR_H_
#define QORVSYNC_TOOLS_LOGBOOK_DOUBLE_CREATE_QSO_GENERATOR_H_

#include <QDate>
#include <QList>

#include "create/logbook_schema.h"

// Realistic QSOs for a log: call signs of many prefixes, band, frequency and
// mode that fit each other (FT8 on its calling frequencies, CW low and SSB
// high in the band, a few satellite QSOs), in date and time order between
// `first` and `last`, with a mix of confirmation and sent flags (the newest
// QSOs mostly unsent). The same seed gives the same QSOs.
QList<Qso> GenerateQsos(int count, quint32 seed, QDate first = QDate(2019, 1, 1),
                        QDate last = QDate(2024, 12, 31));

#endif  // QORVSYNC_TOOLS_LOGBOOK_DOUBLE_CREATE_QSO_GENERATOR_H_
