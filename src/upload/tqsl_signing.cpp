#include "upload/tqsl_signing.h"

#include <locale.h>

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QObject>

#include "platform/conversions.h"
#include "platform/operation_abandon.h"
#include "platform/shell.h"

namespace {

// Notices a request to quit the program while TQSL runs: the wait then ends
// without TQSL's end, and a signed file TQSL may have left must not go out.
class QuitWatch : public QObject {
 public:
  QuitWatch() {
    if (QCoreApplication::instance() != nullptr)
      QCoreApplication::instance()->installEventFilter(this);
  }
  ~QuitWatch() override {
    if (QCoreApplication::instance() != nullptr)
      QCoreApplication::instance()->removeEventFilter(this);
  }
  bool Seen() const { return seen_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit) seen_ = true;
    return false;
  }

 private:
  bool seen_ = false;
};

void OpenOwnTqslWindow(Shell& shell, const QString& program_folder) {
  for (const QLatin1String name : {QLatin1String("tqsl.exe"), QLatin1String("tqsl")}) {
    const QString own = program_folder + name;
    if (!QFileInfo(own).isFile()) continue;
    QString ignored;
    shell.StartProgram(own, QString(), program_folder, &ignored);
    return;
  }
}

}  // namespace

QString SignedFilePath(const QString& export_file) {
  const qsizetype slash = export_file.lastIndexOf(u'/');
  const qsizetype dot = export_file.lastIndexOf(u'.');
  return (dot > slash ? export_file.left(dot) : export_file) + QStringLiteral(".tq8");
}

QStringList TqslArguments(const QString& location, const QString& export_file, bool unattended) {
  QStringList arguments{QStringLiteral("-d")};
  if (unattended) arguments << QStringLiteral("-a") << QStringLiteral("all");
  arguments << QStringLiteral("-l") << TrimControl(location) << export_file << QStringLiteral("-x");
  return arguments;
}

QProcessEnvironment UnattendedTqslEnvironment() {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  // What the variables name for every category, as TQSL will ask for it.
  const locale_t named = newlocale(LC_ALL_MASK, "", static_cast<locale_t>(0));
  if (named != static_cast<locale_t>(0)) {
    freelocale(named);
    return environment;
  }
  environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
  environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
  return environment;
}

SigningEnd SignExportFile(const QString& tqsl_path, const QString& location,
                          const QString& export_file, const QString& program_folder,
                          const TqslRunMode& mode) {
  Shell& shell = ProgramShell();
  // Nobody would see TQSL's own window without a person at the screen.
  if (!mode.unattended) OpenOwnTqslWindow(shell, program_folder);

  // Only a signed file this run's TQSL wrote may go out, never one an earlier
  // run of the same second left.
  const QString signed_file = SignedFilePath(export_file);
  QFile::remove(signed_file);
  QuitWatch quit;
  ProgramRun run;
  run.arguments = TqslArguments(location, export_file, mode.unattended);
  if (mode.unattended) {
    run.environment = UnattendedTqslEnvironment();
    run.time_limit = mode.time_limit;
  }
  quint32 exit_code = 0;
  const RunEnd end = shell.RunAndWait(tqsl_path, run, &exit_code);
  // TQSL creates its signed file when it starts: a run ended by closing or by
  // its time limit may have left a partial one that must not be uploaded.
  if (quit.Seen() || AbandonRequested()) return SigningEnd::kQuit;
  if (end == RunEnd::kTimedOut) return SigningEnd::kTimedOut;
  // So may a TQSL that was killed; its partial file goes.
  if (end == RunEnd::kKilled) QFile::remove(signed_file);
  return QFileInfo::exists(signed_file) ? SigningEnd::kSigned : SigningEnd::kNotCreated;
}
