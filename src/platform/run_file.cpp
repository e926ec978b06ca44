#include "platform/run_file.h"

#include <QFileInfo>

#include "platform/app_error.h"
#include "platform/shell.h"

bool RunFile(const QString& path, const QString& parameters, const QString& folder,
             OperationUi& ui) {
  if (!QFileInfo::exists(path)) {
    ui.ShowMessage(MessageKind::kError, QStringLiteral("Can not find file to run:") + u'\n' + path,
                   QStringLiteral("Error!"));
    return false;
  }
  QString error;
  if (!ProgramShell().StartProgram(path, parameters, folder, &error)) throw AppError(error);
  return true;
}
