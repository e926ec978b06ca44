#include "platform/whole_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFileInfo>

#include "platform/kill_point.h"

namespace {

// A rename lives in the folder's entries: syncing the folder keeps it.
void SyncFolder(const QString& path) {
  const int folder = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                            O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return;
  ::fsync(folder);
  ::close(folder);
}

}  // namespace

bool CommitWholeFile(QSaveFile& file) {
  if (!file.flush()) return false;
  // QSaveFile's own sync is best effort; a new file that is not yet on the
  // disk must not be renamed over a good one.
  if (file.handle() >= 0 && ::fsync(file.handle()) != 0) {
    file.cancelWriting();
    return false;
  }
  KillPoint("rename");
  if (!file.commit()) return false;
  SyncFolder(file.fileName());
  return true;
}
