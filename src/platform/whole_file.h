#ifndef QORVSYNC_PLATFORM_WHOLE_FILE_H_
#define QORVSYNC_PLATFORM_WHOLE_FILE_H_

#include <QSaveFile>

// Ends the writing of a file that replaces its target whole: the new bytes
// go to the disk, then the file is renamed over the target and the rename
// itself is made durable. A kill or a power loss at any moment leaves the old
// file or the new one, never a part. False (with the QSaveFile's error) when
// the file could not be written; the target is unchanged then.
bool CommitWholeFile(QSaveFile& file);

#endif  // QORVSYNC_PLATFORM_WHOLE_FILE_H_
