// Any bytes as a Qorv confirmation report, run over a small log set with
// every copy option on. The run may stop with the errors it reports to the
// user; anything else (a crash, a sanitizer report, another exception) is a
// find.
#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

#include "confirmations/confirmation_run.h"
#include "create/logbook_schema.h"
#include "fuzz_ui.h"
#include "logdb/log_database.h"
#include "platform/app_error.h"
#include "platform/text_codec.h"

namespace {

LogDatabase* database = nullptr;

void CreateLog(const QString& path) {
  LogbookDatabaseWriter writer(path);
  writer.CreateAconfigTable();
  writer.AddLog({"Home", "A", "Log_Home", "W1AW", "secret", "", ""});
  writer.AddLog({"Port", "A", "Log\"Port", "W1AW", "secret", "", ""});
  for (const char* table : {"Log_Home", "Log\"Port"}) {
    writer.CreateLogTable(QLatin1String(table));
    Qso qso;
    qso.QSODate = QStringLiteral("2021-09-15");
    qso.QSOTime = QStringLiteral("18:24");
    qso.CallSign = QStringLiteral("ABCDE");
    qso.DigiBand = 14;
    qso.QSOMode = QStringLiteral("FT8");
    writer.InsertQsos(QLatin1String(table), {qso, qso});
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static QCoreApplication app(*argc, *argv);
  static QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("logs.mdb"));
  CreateLog(path);
  static LogDatabase log;
  log.OpenLogDatabase(path);
  database = &log;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  FuzzUi ui;
  ConfirmationRun run(ui, *database, QStringLiteral("A"), [] {
    return ConfirmationOptions{true, true, true, true, QStringLiteral("State4")};
  });
  try {
    run.RunReportLines(SplitLines(DecodeText(bytes).text));
  } catch (const AppError&) {
  }
  if (run.ErrorList().size() % 2 != 0) __builtin_trap();
  return 0;
}
