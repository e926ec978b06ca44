#include "upload/export_file.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <cerrno>

#include "platform/app_error.h"
#include "platform/clock.h"
#include "platform/event_pump.h"
#include "platform/kill_point.h"
#include "platform/text_codec.h"
#include "platform/whole_file.h"

namespace {

void CreateFolder(const QString& folder) {
  if (QDir(folder).exists()) return;
  if (::mkdir(QFile::encodeName(folder).constData(), 0777) != 0) {
    throw AppError(QStringLiteral("Cannot create folder \"%1\". %2")
                       .arg(QDir::toNativeSeparators(folder), qt_error_string(errno)));
  }
}

// The export appears under its name only whole: TQSL and Club Log never
// read a file cut short by a kill or a full disk.
class LineWriter {
 public:
  explicit LineWriter(const QString& path) : file_(path) {
    if (!file_.open(QIODevice::WriteOnly)) Fail("Cannot create file");
  }

  void Write(const QString& line) {
    const QByteArray bytes = ToAnsi(line);
    if (file_.write(bytes) != bytes.size() || file_.write("\r\n", 2) != 2) {
      Fail("Cannot write file");
    }
  }

  void Close() {
    if (!CommitWholeFile(file_)) Fail("Cannot write file");
  }

 private:
  [[noreturn]] void Fail(const char* what) {
    throw AppError(QStringLiteral("%1 \"%2\". %3")
                       .arg(QLatin1String(what), QDir::toNativeSeparators(file_.fileName()),
                            file_.errorString()));
  }

  QSaveFile file_;
};

}  // namespace

std::optional<ExportedFile> WriteExportFile(OperationUi& ui, const QString& folder,
                                            LogDatabase& database, const QString& table,
                                            const SubmodeTable& submodes, bool* nothing_new) {
  ExportedFile exported;
  std::optional<LineWriter> writer;
  std::optional<EventPump> pump;
  qint64 count = 0;
  QString bad_call;
  ExportRecordMaker records(submodes);
  // Each record goes into the file as its row comes off the statement.
  database.ReadUnsent(
      table,
      [&](qint64 unsent) {
        count = unsent;
        if (count == 0) return;
        CreateFolder(folder);
        exported.path = QDir(folder).filePath(ExportFileName(ProgramClock().NowLocal()));
        writer.emplace(exported.path);
        // "Created:" reads the clock anew, after the name was made.
        for (const QString& line : ExportHeader(count, ProgramClock().NowLocal())) {
          writer->Write(line);
        }
        exported.rowids.reserve(count);
        exported.keys.reserve(count);
        pump.emplace(ui);
      },
      [&](const UnsentQso& qso) {
        std::optional<ExportRecord> record = records.Make(qso);
        if (!record) {
          bad_call = qso.CallSign;
          return false;
        }
        writer->Write(record->line);
        KillPoint("export-record");
        exported.rowids.append(qso.rowid);
        exported.keys.append(std::move(record->key));
        pump->SetProgress(static_cast<int>(exported.rowids.size() * 100 / count));
        pump->Tick();
        return true;
      });
  if (!writer) {
    if (nothing_new != nullptr) *nothing_new = true;
    ui.ShowMessage(MessageKind::kInformation, QStringLiteral("No new QSO."));
    return std::nullopt;
  }
  writer->Close();
  if (exported.rowids.size() < count) {
    ui.ShowMessage(MessageKind::kPlain, QStringLiteral("Error in callsign ") + bad_call);
    return std::nullopt;
  }
  return exported;
}
