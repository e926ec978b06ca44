#include <QApplication>
#include <QLocale>

#include "app/dialogs.h"
#include "app/program_actions.h"
#include "app/tfrm_main.h"
#include "app/visual_style.h"
#include "app/window_font.h"
#include "clublog/tfrm_clublog.h"
#include "platform/app_error.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // Numbers are read and written with "." before any window exists; the
  // user's date and time formats come from the system locale.
  QLocale::setDefault(QLocale::c());

  LoadWindowFonts();
  QtDialogs dialogs;
  try {
    ApplyVisualStyle(app);
  } catch (const AppError& error) {
    dialogs.ShowMessage(nullptr, MessageKind::kError, error.Message(), QString());
  }

  TfrmMain window(ProgramActions(), dialogs);
  // The Club Log reply window, hidden until the first Club Log upload.
  TfrmClublog frmClublog;
  window.show();
  return app.exec();
}
