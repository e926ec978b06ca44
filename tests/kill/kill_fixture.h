#ifndef QORVSYNC_TESTS_KILL_KILL_FIXTURE_H_
#define QORVSYNC_TESTS_KILL_KILL_FIXTURE_H_

#include <QByteArray>
#include <QList>
#include <QString>

#include "create/logbook_schema.h"

// A log of a season's QSOs on three bands and modes, every second one sent
// before; runs over it take long enough to be killed in the middle. The first QSO is "DL1XYZ/P", which the report
// names without "/P".
QList<Qso> KillMainQsos();
QList<Qso> KillPortableQsos();

// The Qorv report's records: two of three QSOs of each log confirmed, with a
// locator and a county, the first one without "/P", and calls that match
// nothing.
QByteArray KillQorvReport();
// The eQSL inbox: every fourth QSO, and calls that match nothing.
QByteArray KillEqslInbox();
// What Qorv holds of the QSOs marked sent: every other one of them.
QByteArray KillHeldContacts();

#endif  // QORVSYNC_TESTS_KILL_KILL_FIXTURE_H_
