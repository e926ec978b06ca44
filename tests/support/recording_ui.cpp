#include "support/recording_ui.h"

#include <QCoreApplication>

void RecordingUi::ProcessEvents() {
  ++event_passes;
  QCoreApplication::processEvents();
  if (on_process_events) on_process_events();
}

bool RecordingUi::ChooseAdifFile(QString* path) {
  ++dialogs_shown;
  if (chosen_files.isEmpty()) {
    path->clear();
    return false;
  }
  *path = chosen_files.takeFirst();
  return true;
}
