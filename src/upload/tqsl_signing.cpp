#include "upload/tqsl_signing.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QObject>

#include "platform/conversions.h"
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

QString TqslParameters(const QString& location, const QString& export_file) {
  return QStringLiteral("-d -l \"%1\" \"%2\" -x").arg(TrimControl(location), export_file);
}

SigningEnd SignExportFile(const QString& tqsl_path, const QString& location,
                          const QString& export_file, const QString& program_folder) {
  Shell& shell = ProgramShell();
  QString ignored;
  shell.StartProgram(QStringLiteral("tqsl.exe"), QString(), program_folder, &ignored);

  QuitWatch quit;
  quint32 exit_code = 0;
  shell.RunAndWait(tqsl_path, TqslParameters(location, export_file), &exit_code);
  if (quit.Seen()) return SigningEnd::kQuit;
  return QFileInfo::exists(SignedFilePath(export_file)) ? SigningEnd::kSigned
                                                        : SigningEnd::kNotCreated;
}
