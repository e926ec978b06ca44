#include "eqsl/ignore_list.h"

#include <QFile>
#include <QFileInfo>

#include "platform/text_codec.h"

QString IgnoreListPath(const QString& program_folder) {
  return program_folder + QStringLiteral("ignore.txt");
}

QStringList LoadIgnoreList(const QString& program_folder) {
  const QString path = IgnoreListPath(program_folder);
  if (!QFileInfo::exists(path)) return {};
  return ReadTextFileLines(path);
}

bool IsIgnored(const QStringList& ignore_list, const QString& call) {
  return ignore_list.contains(call, Qt::CaseInsensitive);
}

void OpenIgnoreList(const QString& program_folder, OperationUi& ui) {
  const QString path = IgnoreListPath(program_folder);
  if (!QFileInfo::exists(path)) {
    // A file that cannot be created is not opened; the button does nothing.
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.close();
  }
  if (QFileInfo::exists(path)) ui.ShowTextFile(path);
}
