#ifndef QORVSYNC_PLATFORM_EVENT_PUMP_H_
#define QORVSYNC_PLATFORM_EVENT_PUMP_H_

#include <QElapsedTimer>

#include "platform/operation_ui.h"

// Long loops call Tick() after every step of a few microseconds. Pending
// events run about every 16 ms, which keeps the window painting without
// paying for an event pass per QSO; progress is set only when the
// percentage changes.
class EventPump {
 public:
  explicit EventPump(OperationUi& ui);

  void SetProgress(int percent);
  void Tick();
  // Runs the pending events now, whatever the time since the last pass.
  void Flush();

 private:
  OperationUi& ui_;
  QElapsedTimer since_last_;
  int progress_ = -1;
  unsigned steps_ = 0;
};

#endif  // QORVSYNC_PLATFORM_EVENT_PUMP_H_
