#include "eqsl/inbox_finish.h"

#include <algorithm>

#include "platform/text_codec.h"

QString EqslErrorFilePath(const QString& program_folder) {
  return program_folder + QStringLiteral("eQSLccError.txt");
}

QDateTime FinishInboxRun(const EqslDates& dates, const QDateTime& start_utc,
                         const QStringList& error_list, const QString& program_folder,
                         OperationUi& ui) {
  // The date moves last (its caller stores it once the run returned): a run
  // killed before it is asked for again whole.
  if (!error_list.isEmpty()) {
    const QString path = EqslErrorFilePath(program_folder);
    WriteTextFileLines(path, error_list);
    ui.ShowTextFile(path);
  }

  // A range ending later than the day of the press stops there, so that later
  // runs still ask for what arrives meanwhile.
  const QDate press_day = start_utc.date();
  const QDate date = dates.load_from_date ? std::min(dates.range_end, press_day) : press_day;
  return QDateTime(date, dates.received_since.time());
}
