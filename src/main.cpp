#include <unistd.h>

#include <QApplication>
#include <QLocale>
#include <cstdio>

#include "app/dialogs.h"
#include "app/program_actions.h"
#include "app/tfrm_clublog.h"
#include "app/tfrm_main.h"
#include "app/visual_style.h"
#include "app/window_font.h"
#include "cli/cli_main.h"
#include "cli/command_line.h"
#include "cli/log_names.h"
#include "platform/app_error.h"
#include "platform/kill_point.h"

namespace {

// A command runs without a display: no window toolkit is loaded.
int RunCommand(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("qorvsync"));
  QCoreApplication::setApplicationVersion(QStringLiteral(QORVSYNC_VERSION));
  QLocale::setDefault(QLocale::c());
  const int status =
      RunCommandLine(QCoreApplication::arguments(), stdout, stderr, isatty(STDERR_FILENO));
  // A kill test's moment may come after the command's work: held here, the
  // command is killed at its end instead of ending first.
  KillPoint("exit");
  return status;
}

// The shell's completion asks for the logbook's logs, one a line.
int ListLogs(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  for (const QString& name : LogbookLogNames()) std::printf("%s\n", name.toLocal8Bit().constData());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  if (arguments.size() == 2 && arguments.at(1) == u"--list-logs") return ListLogs(argc, argv);
  if (WantsCommandLine(arguments)) return RunCommand(argc, argv);

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
