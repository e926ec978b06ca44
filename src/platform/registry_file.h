#ifndef QORVSYNC_PLATFORM_REGISTRY_FILE_H_
#define QORVSYNC_PLATFORM_REGISTRY_FILE_H_

#include <QList>
#include <QString>

#include "platform/registry.h"

// The contents of a registry export file: its keys in file order, each with
// its values in file order. Names keep their spelling; look-ups ignore case.
struct RegistryFile {
  enum class Encoding { kUtf8, kUtf8Bom, kUtf16Le };

  struct NamedValue {
    QString name;  // empty for the default value "@"
    Registry::Value value;
    // A line the reader does not understand (a comment, a garbled value, a
    // key deletion and what follows it), kept with its physical lines
    // joined by "\n" and written back as it was; no value then.
    QString unknown;
  };
  struct Key {
    // Full path, "HKEY_CURRENT_USER\Software\..."; empty for the lines
    // before the first key.
    QString path;
    QList<NamedValue> values;
  };

  QList<Key> keys;
  Encoding encoding = Encoding::kUtf8;
  bool crlf = false;

  // Reads what can be read of a file's bytes; a line it does not understand
  // is kept as it is.
  static RegistryFile Parse(const QByteArray& bytes);
  QByteArray Serialize() const;

  Key* FindKey(const QString& path);
  const Key* FindKey(const QString& path) const;
  // True also when only sub-keys of `path` are listed.
  bool KeyExists(const QString& path) const;
  Key& AddKey(const QString& path);
};

const RegistryFile::NamedValue* FindValue(const RegistryFile::Key& key, const QString& name);
void SetValue(RegistryFile::Key& key, const QString& name, const Registry::Value& value);

#endif  // QORVSYNC_PLATFORM_REGISTRY_FILE_H_
