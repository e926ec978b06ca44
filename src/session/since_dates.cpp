#include "session/since_dates.h"

#include "platform/conversions.h"
#include "platform/registry.h"

namespace {

const QString kDateKey = QStringLiteral("Software\\Vodrix_Log3\\TfmSendQSOstoQorv");

QString ValueName(SinceDate which) {
  return which == SinceDate::kQorv ? QStringLiteral("QorvDate_Date")
                                   : QStringLiteral("eQSLDate_Date");
}

}  // namespace

void SaveSinceDate(SinceDate which, const QDateTime& value) {
  Registry registry;
  if (!registry.OpenKey(kDateKey, true)) return;
  registry.WriteString(ValueName(which), EncodeStoredDate(QDateTimeToDateTime(value)));
  registry.CloseKey();
}
