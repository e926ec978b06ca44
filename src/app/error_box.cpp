#include "app/error_box.h"

#include <exception>

#include "platform/app_error.h"
#include "platform/operation_abandon.h"

void ShowErrorBox(OperationUi& ui, const QString& message) {
  ui.ShowMessage(MessageKind::kError, message);
}

bool RunGuarded(OperationUi& ui, const std::function<void()>& body) {
  try {
    body();
    return true;
  } catch (const OperationAbandoned&) {
    // Closing the program stopped the operation: nothing to tell.
  } catch (const AppError& error) {
    ShowErrorBox(ui, error.Message());
  } catch (const std::exception& error) {
    ShowErrorBox(ui, QString::fromLocal8Bit(error.what()));
  } catch (...) {
    ShowErrorBox(ui, QStringLiteral("Unknown error"));
  }
  return false;
}
