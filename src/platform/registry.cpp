#include "platform/registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <memory>

#include "platform/app_error.h"
#include "platform/file_lock.h"
#include "platform/registry_file.h"
#include "platform/whole_file.h"

namespace {

const QString kRoot = QStringLiteral("HKEY_CURRENT_USER\\");

QString FullPath(const QString& key) {
  QString path = key;
  while (path.startsWith(u'\\')) path.remove(0, 1);
  while (path.endsWith(u'\\')) path.chop(1);
  return kRoot + path;
}

// A missing file is an empty registry; false only when it cannot be read.
bool Load(const QString& path, RegistryFile* contents) {
  QFile file(path);
  if (!file.exists()) {
    *contents = RegistryFile();
    return true;
  }
  if (!file.open(QIODevice::ReadOnly)) return false;
  *contents = RegistryFile::Parse(file.readAll());
  return true;
}

// The whole file goes to a temporary file that is renamed over the old one,
// so the logbook never reads half a registry.
bool Save(const QString& path, const RegistryFile& contents) {
  if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  const QByteArray bytes = contents.Serialize();
  if (file.write(bytes) != bytes.size()) {
    file.cancelWriting();
    return false;
  }
  return CommitWholeFile(file);
}

// The logbook changes the same file: every read-change-write holds the
// file's lock from the read to the rename of the new file.
std::unique_ptr<FileLock> LockForChange(const QString& path, std::chrono::milliseconds patience) {
  if (!QDir().mkpath(QFileInfo(path).absolutePath())) return nullptr;
  return std::make_unique<FileLock>(path, patience);
}

bool Locked(const std::unique_ptr<FileLock>& lock) { return lock && lock->Locked(); }

// What a failed change says, and why when another program kept the lock.
QString ChangeFailure(const QString& failure, const std::unique_ptr<FileLock>& lock,
                      const QString& path, std::chrono::milliseconds patience) {
  if (!lock || !lock->GaveUp()) return failure;
  return failure + QStringLiteral(
                       "\nAnother program kept the registry file %1 locked for %2 s; nothing "
                       "was written.")
                       .arg(path)
                       .arg(std::chrono::duration_cast<std::chrono::seconds>(patience).count());
}

}  // namespace

Registry::Registry(const QString& file, std::chrono::milliseconds lock_patience)
    : file_(file), lock_patience_(lock_patience) {}

QString Registry::DefaultFile() {
  const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return config + QStringLiteral("/registry/HKEY_CURRENT_USER.reg");
}

bool Registry::OpenKey(const QString& key, bool can_create) {
  CloseKey();
  RegistryFile contents;
  if (!Load(file_, &contents)) return false;
  const QString path = FullPath(key);
  if (!contents.KeyExists(path)) {
    if (!can_create) return false;
    const std::unique_ptr<FileLock> lock = LockForChange(file_, lock_patience_);
    if (!Locked(lock) || !Load(file_, &contents)) return false;
    if (!contents.KeyExists(path)) {
      contents.AddKey(path);
      if (!Save(file_, contents)) return false;
    }
  }
  current_key_ = path;
  return true;
}

void Registry::CloseKey() { current_key_.clear(); }

bool Registry::HasCurrentKey() const { return !current_key_.isEmpty(); }

bool Registry::ValueExists(const QString& name) const { return ReadValue(name).has_value(); }

std::optional<Registry::Value> Registry::ReadValue(const QString& name) const {
  if (!HasCurrentKey()) return std::nullopt;
  RegistryFile contents;
  if (!Load(file_, &contents)) return std::nullopt;
  const RegistryFile::Key* key = contents.FindKey(current_key_);
  if (key == nullptr) return std::nullopt;
  const RegistryFile::NamedValue* named = FindValue(*key, name);
  if (named == nullptr) return std::nullopt;
  return named->value;
}

QString Registry::ReadString(const QString& name) const {
  const std::optional<Value> value = ReadValue(name);
  if (!value) return QString();
  if (value->type != ValueType::kString && value->type != ValueType::kExpandString) {
    throw AppError(FormatMessage(QStringLiteral("Invalid data type for '%s'"), name));
  }
  return value->text;
}

int Registry::ReadInteger(const QString& name) const {
  const std::optional<Value> value = ReadValue(name);
  if (!value) throw AppError(FormatMessage(QStringLiteral("Failed to get data for '%s'"), name));
  if (value->type != ValueType::kDword) {
    throw AppError(FormatMessage(QStringLiteral("Invalid data type for '%s'"), name));
  }
  return static_cast<int>(value->number);
}

void Registry::WriteValue(const QString& name, const Value& value) {
  const QString failure = FormatMessage(QStringLiteral("Failed to set data for '%s'"), name);
  RegistryFile contents;
  if (!HasCurrentKey()) throw AppError(failure);
  const std::unique_ptr<FileLock> lock = LockForChange(file_, lock_patience_);
  if (!Locked(lock)) throw AppError(ChangeFailure(failure, lock, file_, lock_patience_));
  if (!Load(file_, &contents)) throw AppError(failure);
  SetValue(contents.AddKey(current_key_), name, value);
  if (!Save(file_, contents)) throw AppError(failure);
}

void Registry::WriteString(const QString& name, const QString& value) {
  Value data;
  data.type = ValueType::kString;
  data.raw_type = 1;
  data.text = value;
  WriteValue(name, data);
}

void Registry::WriteExpandString(const QString& name, const QString& value) {
  Value data;
  data.type = ValueType::kExpandString;
  data.raw_type = 2;
  data.text = value;
  WriteValue(name, data);
}

void Registry::WriteInteger(const QString& name, int value) {
  Value data;
  data.type = ValueType::kDword;
  data.raw_type = 4;
  data.number = static_cast<quint32>(value);
  WriteValue(name, data);
}
