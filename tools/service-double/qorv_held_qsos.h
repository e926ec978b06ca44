// The Qorv report asked with qso_qsl=no lists every QSO the service holds for
// the account, confirmed or not: here, every QSO of the signed files the
// double accepted.
#pragma once

#include <QList>

#include "adif_records.h"
#include "state.h"

// The contacts of every accepted upload (uploads/*.contacts), in upload
// order, each a record of CALL, QSO_DATE, TIME_ON, BAND and MODE.
QList<AdifRecord> HeldQsoRecords(const State& state);
