#ifndef QORVSYNC_EQSL_EQSL_PAGE_H_
#define QORVSYNC_EQSL_EQSL_PAGE_H_

#include <QDate>
#include <QDateTime>

// The dates of the "eQSLcc Download" page as they stood at the press: the
// received-since picker (DateTimePicker2), the "Load from Date" box
// (cbLoadDateEQSL) and the range pickers (DateTimePicker5, DateTimePicker4).
struct EqslDates {
  bool load_from_date = false;
  QDate range_start;
  QDate range_end;
  QDateTime received_since;
};

#endif  // QORVSYNC_EQSL_EQSL_PAGE_H_
