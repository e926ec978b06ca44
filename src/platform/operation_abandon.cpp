#include "platform/operation_abandon.h"

#include <atomic>

namespace {

// Read by the HTTP transfer thread too.
std::atomic<bool>& Requested() {
  static std::atomic<bool> requested{false};
  return requested;
}

}  // namespace

void RequestAbandon() { Requested() = true; }

void ClearAbandon() { Requested() = false; }

bool AbandonRequested() { return Requested(); }
