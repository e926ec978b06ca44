#include "app/dialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>

QString DefaultCaption(MessageKind kind) {
  switch (kind) {
    case MessageKind::kPlain:
      return QCoreApplication::applicationName();
    case MessageKind::kInformation:
      return QStringLiteral("Information");
    case MessageKind::kWarning:
      return QStringLiteral("Warning");
    case MessageKind::kError:
      return QStringLiteral("Error");
  }
  return QString();
}

void QtDialogs::ShowMessage(QWidget* parent, MessageKind kind, const QString& text,
                            const QString& caption) {
  QMessageBox::Icon icon = QMessageBox::Information;
  if (kind == MessageKind::kPlain) icon = QMessageBox::NoIcon;
  if (kind == MessageKind::kWarning) icon = QMessageBox::Warning;
  if (kind == MessageKind::kError) icon = QMessageBox::Critical;
  QMessageBox box(icon, caption.isEmpty() ? DefaultCaption(kind) : caption, text, QMessageBox::Ok,
                  parent);
  box.exec();
}

bool QtDialogs::ChooseOpenFile(QWidget* parent, const QString& filter,
                               const QString& default_suffix, QString* path) {
  QFileDialog dialog(parent, QString(), QString(), filter);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setDefaultSuffix(default_suffix);
  if (!path->isEmpty()) dialog.selectFile(*path);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  *path = dialog.selectedFiles().constFirst();
  return true;
}
