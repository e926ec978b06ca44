#include "upload/tqsl_signing.h"

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

}  // namespace

QString SignedFilePath(const QString& export_file) {
  const qsizetype slash = export_file.lastIndexOf(u'/');
  const qsizetype dot = export_file.lastIndexOf(u'.');
  return (dot > slash ? export_file.left(dot) : export_file) + QStringLiteral(".tq8");
}

QStringList TqslArguments(const QString& location, const QString& export_file) {
  return {QStringLiteral("-d"), QStringLiteral("-l"), TrimControl(location), export_file,
          QStringLiteral("-x")};
}

SigningEnd SignExportFile(const QString& tqsl_path, const QString& location,
                          const QString& export_file, const QString& program_folder) {
  Shell& shell = ProgramShell();
  for (const QLatin1String name : {QLatin1String("tqsl.exe"), QLatin1String("tqsl")}) {
    const QString own = program_folder + name;
    if (!QFileInfo(own).isFile()) continue;
    QString ignored;
    shell.StartProgram(own, QString(), program_folder, &ignored);
    break;
  }

  // Only a signed file this run's TQSL wrote may go out, never one an earlier
  // run of the same second left.
  const QString signed_file = SignedFilePath(export_file);
  QFile::remove(signed_file);
  QuitWatch quit;
  quint32 exit_code = 0;
  const bool ended = shell.RunAndWait(tqsl_path, TqslArguments(location, export_file), &exit_code);
  // TQSL creates its signed file when it starts: a run ended by closing may
  // have left a partial one that must not be uploaded.
  if (quit.Seen() || AbandonRequested()) return SigningEnd::kQuit;
  // So may a TQSL that was killed; its partial file goes.
  if (!ended) QFile::remove(signed_file);
  return QFileInfo::exists(signed_file) ? SigningEnd::kSigned : SigningEnd::kNotCreated;
}
