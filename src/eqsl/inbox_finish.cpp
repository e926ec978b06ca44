#include "eqsl/inbox_finish.h"

#include <algorithm>

#include "platform/conversions.h"
#include "platform/registry.h"
#include "platform/text_codec.h"

QString EqslErrorFilePath(const QString& program_folder) {
  return program_folder + QStringLiteral("eQSLccError.txt");
}

void FinishInboxRun(EqslDatePage& page, const QDateTime& start_utc, const QStringList& error_list,
                    const QString& program_folder, OperationUi& ui) {
  // The date moves last: a run killed before it is asked for again whole.
  if (!error_list.isEmpty()) {
    const QString path = EqslErrorFilePath(program_folder);
    WriteTextFileLines(path, error_list);
    ui.ShowTextFile(path);
  }

  // A range ending later than the day of the press stops there, so that later
  // runs still ask for what arrives meanwhile.
  const QDate press_day = start_utc.date();
  const QDate date = page.LoadFromDate() ? std::min(page.RangeEnd(), press_day) : press_day;
  page.SetReceivedSince(QDateTime(date, page.ReceivedSince().time()));
  Registry registry;
  if (registry.OpenKey(kSendQsosKey, true)) {
    registry.WriteString(QString::fromLatin1(kEqslDateValue),
                         EncodeStoredDate(QDateTimeToDateTime(page.ReceivedSince())));
    registry.CloseKey();
  }
}
