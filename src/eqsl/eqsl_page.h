#ifndef QORVSYNC_EQSL_EQSL_PAGE_H_
#define QORVSYNC_EQSL_EQSL_PAGE_H_

#include <QDate>
#include <QDateTime>

// The date controls of the "eQSLcc Download" page, read when the run needs
// them: the received-since picker (DateTimePicker2), the "Load from Date" box
// (cbLoadDateEQSL) and the range pickers (DateTimePicker5, DateTimePicker4).
class EqslDatePage {
 public:
  virtual ~EqslDatePage() = default;

  virtual bool LoadFromDate() const = 0;
  virtual QDate RangeStart() const = 0;
  virtual QDate RangeEnd() const = 0;
  virtual QDateTime ReceivedSince() const = 0;
  virtual void SetReceivedSince(const QDateTime& value) = 0;
};

#endif  // QORVSYNC_EQSL_EQSL_PAGE_H_
