// The Qorv report asked with qso_qsl=no lists every QSO the service holds for
// the account, confirmed or not: here, every QSO of the signed files the
// double accepted.
#pragma once

#include <QList>

#include "adif_records.h"
#include "state.h"

// The contact records of uploads/*.tq8.adi, in upload order, each with
// TIME_ON (a signed record's QSO_TIME is taken as TIME_ON).
QList<AdifRecord> HeldQsoRecords(const State& state);
