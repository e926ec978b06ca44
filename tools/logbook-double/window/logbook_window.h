#ifndef QORVSYNC_LOGBOOK_WINDOW_LOGBOOK_WINDOW_H_
#define QORVSYNC_LOGBOOK_WINDOW_LOGBOOK_WINDOW_H_

#include <QStringList>

// Runs the logbook double from its installation folder (the executable's
// folder, or --dir DIR): shows the entry window and serves its window tree
// until the window is closed or SIGTERM/SIGINT arrives. Options:
// --dir DIR, --socket PATH, --message-log FILE. Needs a QApplication.
int RunLogbookWindow(const QStringList& args);

#endif  // QORVSYNC_LOGBOOK_WINDOW_LOGBOOK_WINDOW_H_
