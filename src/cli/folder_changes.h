#ifndef QORVSYNC_CLI_FOLDER_CHANGES_H_
#define QORVSYNC_CLI_FOLDER_CHANGES_H_

#include <QDateTime>
#include <QMap>
#include <QString>
#include <QStringList>

// The files of some folders as they were before a command ran, to name the
// files it wrote: new ones and ones whose time or size changed.
class FolderChanges {
 public:
  explicit FolderChanges(const QStringList& folders);
  QStringList Changed() const;

 private:
  struct Stamp {
    QDateTime modified;
    qint64 size = 0;
  };
  static QMap<QString, Stamp> Scan(const QStringList& folders);

  QStringList folders_;
  QMap<QString, Stamp> before_;
};

#endif  // QORVSYNC_CLI_FOLDER_CHANGES_H_
