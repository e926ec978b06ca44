#include "cli/folder_changes.h"

#include <QDir>
#include <QFileInfo>

FolderChanges::FolderChanges(const QStringList& folders)
    : folders_(folders), before_(Scan(folders)) {}

QMap<QString, FolderChanges::Stamp> FolderChanges::Scan(const QStringList& folders) {
  QMap<QString, Stamp> stamps;
  for (const QString& folder : folders) {
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files, QDir::Name)) {
      stamps.insert(file.absoluteFilePath(), {file.lastModified(), file.size()});
    }
  }
  return stamps;
}

QStringList FolderChanges::Changed() const {
  QStringList changed;
  const QMap<QString, Stamp> after = Scan(folders_);
  for (auto it = after.cbegin(); it != after.cend(); ++it) {
    const auto was = before_.constFind(it.key());
    if (was == before_.cend() || was->modified != it->modified || was->size != it->size) {
      changed.append(it.key());
    }
  }
  return changed;
}
