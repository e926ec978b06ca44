// The logbook double: `--create DIR [--qsos N] [--seed S]` writes an
// installation; without --create it runs the logbook's entry window.
#include <QApplication>
#include <QStringList>

#include "create/installation.h"
#include "window/logbook_window.h"

int main(int argc, char** argv) {
  QStringList args;
  for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  if (args.contains(QStringLiteral("--create"))) {
    QCoreApplication app(argc, argv);
    return RunCreateCommand(args);
  }
  QApplication app(argc, argv);
  return RunLogbookWindow(args);
}
