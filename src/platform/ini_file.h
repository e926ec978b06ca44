#ifndef QORVSYNC_PLATFORM_INI_FILE_H_
#define QORVSYNC_PLATFORM_INI_FILE_H_

#include <QList>
#include <QString>
#include <utility>

// A Windows ini file read and written one key at a time with the profile
// routines' semantics: sections and keys without regard to letter case, the
// value after the first "=", blanks trimmed, one pair of enclosing quotes
// (both " or both ') removed on reading. Writing a key replaces it in place
// or appends it to its section (creating section and file) and keeps every
// other line. Read by byte-order mark else Windows-1252; written in
// Windows-1252 with CR LF.
class IniFile {
 public:
  explicit IniFile(const QString& path);

  const QString& Path() const { return path_; }

  // `fallback` when the file, the section or the key is missing.
  QString ReadString(const QString& section, const QString& key,
                     const QString& fallback = QString()) const;
  bool KeyExists(const QString& section, const QString& key) const;

  // Errors (the file cannot be written) throw AppError with the system's text.
  void WriteString(const QString& section, const QString& key, const QString& value);
  // Several keys of one section, in order, as one write of the file.
  void WriteStrings(const QString& section, const QList<std::pair<QString, QString>>& values);

  // New files are created readable by their owner only (the settings file
  // holds the Club Log password).
  void SetOwnerOnly(bool owner_only) { owner_only_ = owner_only; }

 private:
  QString path_;
  bool owner_only_ = false;
};

#endif  // QORVSYNC_PLATFORM_INI_FILE_H_
