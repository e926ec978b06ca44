#include "upload/export_file.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <cerrno>

#include "platform/app_error.h"
#include "platform/clock.h"
#include "platform/event_pump.h"
#include "platform/text_codec.h"

namespace {

void CreateFolder(const QString& folder) {
  if (QDir(folder).exists()) return;
  if (::mkdir(QFile::encodeName(folder).constData(), 0777) != 0) {
    throw AppError(QStringLiteral("Cannot create folder \"%1\". %2")
                       .arg(QDir::toNativeSeparators(folder), qt_error_string(errno)));
  }
}

class LineWriter {
 public:
  explicit LineWriter(const QString& path) : file_(path) {
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate)) Fail("Cannot create file");
  }

  void Write(const QString& line) {
    const QByteArray bytes = ToAnsi(line);
    if (file_.write(bytes) != bytes.size() || file_.write("\r\n", 2) != 2) {
      Fail("Cannot write file");
    }
  }

  void Close() {
    if (!file_.flush()) Fail("Cannot write file");
    file_.close();
  }

 private:
  [[noreturn]] void Fail(const char* what) {
    throw AppError(QStringLiteral("%1 \"%2\". %3")
                       .arg(QLatin1String(what), QDir::toNativeSeparators(file_.fileName()),
                            file_.errorString()));
  }

  QFile file_;
};

}  // namespace

std::optional<ExportedFile> WriteExportFile(OperationUi& ui, const QString& folder,
                                            const QList<UnsentQso>& qsos,
                                            const SubmodeTable& submodes) {
  CreateFolder(folder);
  ExportedFile exported;
  exported.path = QDir(folder).filePath(ExportFileName(ProgramClock().NowLocal()));
  LineWriter writer(exported.path);
  // "Created:" reads the clock anew, after the name was made.
  for (const QString& line : ExportHeader(qsos.size(), ProgramClock().NowLocal())) {
    writer.Write(line);
  }

  exported.rowids.reserve(qsos.size());
  exported.keys.reserve(qsos.size());
  EventPump pump(ui);
  const qint64 count = qsos.size();
  qint64 written = 0;
  for (const UnsentQso& qso : qsos) {
    std::optional<ExportRecord> record = MakeExportRecord(qso, submodes);
    if (!record) {
      writer.Close();
      ui.ShowMessage(MessageKind::kPlain, QStringLiteral("Error in callsign ") + qso.CallSign);
      return std::nullopt;
    }
    writer.Write(record->line);
    exported.rowids.append(qso.rowid);
    exported.keys.append(std::move(record->key));
    ++written;
    pump.SetProgress(static_cast<int>(written * 100 / count));
    pump.Tick();
  }
  writer.Close();
  return exported;
}
