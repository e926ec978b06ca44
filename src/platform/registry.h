#ifndef QORVSYNC_PLATFORM_REGISTRY_H_
#define QORVSYNC_PLATFORM_REGISTRY_H_

#include <QByteArray>
#include <QString>
#include <chrono>
#include <optional>

#include "platform/file_lock.h"

// The current user's registry, kept in one file in the format of registry
// exports: ${XDG_CONFIG_HOME:-$HOME/.config}/registry/HKEY_CURRENT_USER.reg.
// Key names are given below HKEY_CURRENT_USER ("Software\\Vodrix_Log3");
// key and value names compare without regard to letter case. Works like the
// system's registry object: open one key, read and write its values.
class Registry {
 public:
  enum class ValueType { kString, kExpandString, kDword, kBinary, kOther };

  struct Value {
    ValueType type = ValueType::kString;
    QString text;        // kString, kExpandString
    quint32 number = 0;  // kDword
    QByteArray bytes;    // kBinary, kOther (hex(N): N kept in raw_type)
    int raw_type = 1;
  };

  // A change waits at most `lock_patience` for the file's lock while another
  // program holds it.
  explicit Registry(const QString& file = DefaultFile(),
                    std::chrono::milliseconds lock_patience = FileLock::kDefaultPatience);
  static QString DefaultFile();

  // Opens a key; with can_create a missing key is created (empty) and the file
  // written. Returns false when the key is missing and not created, or the
  // file cannot be read or written. Reloads the file on every open.
  bool OpenKey(const QString& key, bool can_create);
  void CloseKey();
  bool HasCurrentKey() const;

  bool ValueExists(const QString& name) const;
  std::optional<Value> ReadValue(const QString& name) const;

  // A text value: empty when absent. A value of another type:
  // "Invalid data type for '%s'".
  QString ReadString(const QString& name) const;
  // A dword: "Failed to get data for '%s'" when absent, "Invalid data type for
  // '%s'" when of another type.
  int ReadInteger(const QString& name) const;

  // Write the value into the open key and the whole file at once (a temporary
  // file renamed over the old one). Errors: "Failed to set data for '%s'",
  // followed by a line that says so when another program kept the file
  // locked too long.
  void WriteString(const QString& name, const QString& value);
  void WriteExpandString(const QString& name, const QString& value);
  void WriteInteger(const QString& name, int value);
  // Any value, kept with its type (binary and other types as bytes).
  void WriteValue(const QString& name, const Value& value);

 private:
  QString file_;
  std::chrono::milliseconds lock_patience_;
  QString current_key_;
};

#endif  // QORVSYNC_PLATFORM_REGISTRY_H_
