#include "cli/log_names.h"

#include "logdb/log_names.h"
#include "platform/app_error.h"
#include "platform/registry.h"
#include "session/logbook_files.h"
#include "session/logbook_registry_keys.h"

namespace {

QString DatabasePath() {
  Registry registry;
  if (!registry.OpenKey(kLogbookKey, false)) return QString();
  return registry.ReadString(kInstallPathValue) + kLogbookDatabase;
}

}  // namespace

QStringList LogNames(LogDatabase& database) {
  const std::optional<QStringList> names = ReadLogNames(database);
  if (!names) throw AppError(QStringLiteral("Cannot read the logbook's list of logs"));
  return *names;
}

QStringList LogbookLogNames() {
  try {
    return ReadLogNamesOfFile(DatabasePath());
  } catch (const AppError&) {
    // A damaged registry file gives no names rather than an error.
    return {};
  }
}
