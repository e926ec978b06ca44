#include "platform/event_pump.h"

namespace {
constexpr qint64 kPumpIntervalMs = 16;
// A step of these loops takes microseconds, about what reading the clock
// costs, so the clock is read at every eighth step only.
constexpr unsigned kStepsPerClockRead = 8;
}  // namespace

EventPump::EventPump(OperationUi& ui) : ui_(ui) { since_last_.start(); }

void EventPump::SetProgress(int percent) {
  if (percent == progress_) return;
  progress_ = percent;
  ui_.SetProgress(percent);
}

void EventPump::Tick() {
  if (++steps_ % kStepsPerClockRead != 0) return;
  if (since_last_.elapsed() >= kPumpIntervalMs) Flush();
}

void EventPump::Flush() {
  ui_.ProcessEvents();
  since_last_.restart();
}
