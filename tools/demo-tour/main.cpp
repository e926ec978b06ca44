// demo-tour --shots FOLDER --saved-report FILE
//
// Starts the program's main window in this process, as qorvsync does, and
// takes it through the demo's guided tour (see tour.h). Placed beside qorvsync
// so that both share the program folder.
#include <QApplication>
#include <QCommandLineParser>
#include <QLocale>
#include <QTextStream>

#include "app/program_actions.h"
#include "app/tfrm_clublog.h"
#include "app/tfrm_main.h"
#include "app/visual_style.h"
#include "app/window_font.h"
#include "platform/app_error.h"
#include "tour.h"
#include "tour_desktop.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QCommandLineParser parser;
  parser.addOption(
      {QStringLiteral("shots"), QStringLiteral("Folder for pictures."), QStringLiteral("folder")});
  parser.addOption({QStringLiteral("saved-report"), QStringLiteral("Report file to import."),
                    QStringLiteral("file")});
  parser.process(app);
  QLocale::setDefault(QLocale::c());

  LoadWindowFonts();
  QTextStream out(stdout);
  TourDialogs dialogs(out);
  TourShell shell(out);
  SetProgramShell(&shell);
  try {
    ApplyVisualStyle(app);
  } catch (const AppError& error) {
    dialogs.ShowMessage(nullptr, MessageKind::kError, error.Message(), QString());
  }

  int result = 0;
  {
    TfrmMain window(ProgramActions(), dialogs);
    TfrmClublog frmClublog;
    window.show();
    Tour tour(window, dialogs, out, parser.value(QStringLiteral("shots")),
              parser.value(QStringLiteral("saved-report")));
    result = tour.Run();
  }
  SetProgramShell(nullptr);
  return result;
}
