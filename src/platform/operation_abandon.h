#ifndef QORVSYNC_PLATFORM_OPERATION_ABANDON_H_
#define QORVSYNC_PLATFORM_OPERATION_ABANDON_H_

// Closing the program while an operation runs abandons the operation. The
// window requests it; the waits inside an operation (an HTTP exchange, a
// program run and waited for, a delay) then end at once, and the window's
// next call from the operation throws OperationAbandoned, which unwinds the
// operation to its handler without a message.
struct OperationAbandoned {};

void RequestAbandon();
void ClearAbandon();
bool AbandonRequested();

#endif  // QORVSYNC_PLATFORM_OPERATION_ABANDON_H_
