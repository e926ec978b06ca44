#include "app/visual_style.h"

#include <QApplication>
#include <QFile>

#include "app/app_resources.h"
#include "platform/app_error.h"

void ApplyVisualStyle(QApplication& app, const QString& name) {
  InitAppResources();
  QFile file(QStringLiteral(":/styles/%1.qss").arg(name));
  if (!file.open(QIODevice::ReadOnly)) {
    throw AppError(QStringLiteral("Style '%1' not found.").arg(name));
  }
  app.setStyleSheet(QString::fromUtf8(file.readAll()));
}
