#ifndef QORVSYNC_LOGDB_SQLITE_STATEMENT_H_
#define QORVSYNC_LOGDB_SQLITE_STATEMENT_H_

#include <QByteArray>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// The SQLite connection under a Qt SQL connection, for the statements that
// run once per QSO of a big report: Qt SQL's own per-execution work (the
// placeholder names of positional binds, a new column record at every run)
// costs several times the search itself. Null when the driver is not SQLite.
sqlite3* SqliteHandle(const QSqlDatabase& db);

// `text` in UTF-8, the log's own encoding, written over `out`, whose room is
// used again: ASCII, nearly every value, is copied without a conversion.
void WriteUtf8(QStringView text, QByteArray* out);

// A pattern for LIKE ... ESCAPE '\' in UTF-8, written over `out`: "%", "_" and
// "\" in `text` match only themselves; `any_before` and `any_after` put a "%"
// around it.
void WriteLikePattern(QStringView text, bool any_before, bool any_after, QByteArray* out);

// One prepared statement on that connection, kept for the connection's life.
// Errors throw AppError with the database's own text.
class SqliteStatement {
 public:
  SqliteStatement(sqlite3* db, const QString& sql);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  // Positions count from 1, as SQLite's do.
  void Bind(int position, const QString& text);
  // UTF-8 text as it is.
  void BindUtf8(int position, const char* text, qsizetype size);
  void BindUtf8(int position, const QByteArray& utf8) {
    BindUtf8(position, utf8.constData(), utf8.size());
  }
  // A pattern for LIKE ... ESCAPE '\': "%", "_" and "\" in `text` match only
  // themselves; `any_before` and `any_after` put a "%" around it.
  void BindLikePattern(int position, QStringView text, bool any_before, bool any_after);
  void Bind(int position, double value);
  void Bind(int position, qint64 value);
  // Null, whole numbers, floating-point numbers, else as text.
  void Bind(int position, const QVariant& value);
  void BindBlob(int position, const QByteArray& bytes);

  // The next row: true when there is one. The first call runs the statement.
  bool Step();
  // Ends the run (the next Step starts again with the same bindings).
  void Reset();

  int ColumnCount() const;
  QString ColumnName(int column) const;
  qint64 Int64(int column) const;
  bool IsNull(int column) const;
  // The value as UTF-8 text, as SQLite converts it (LIKE compares the same
  // text); valid until the next Step or Reset.
  std::string_view Utf8(int column) const;
  // Null as a null QVariant, else the stored type: integer, real or text.
  QVariant Value(int column) const;
  // The value as text: NULL as a null text, numbers as Value() writes them.
  QString Text(int column) const;
  QByteArray Blob(int column) const;
  // The same text, written over `into` so that a reader of many rows reuses
  // the room of the row before.
  void ReadText(int column, QString* into) const;

 private:
  [[noreturn]] void Fail() const;
  // The buffer kept for a position; its bytes stay until it is bound anew.
  QByteArray& Buffer(int position);
  void BindBuffer(int position);

  sqlite3* db_;
  sqlite3_stmt* statement_ = nullptr;
  // The bound texts, kept until they are bound anew, so SQLite need not copy.
  std::vector<QByteArray> texts_;
  bool stepped_ = false;
};

#endif  // QORVSYNC_LOGDB_SQLITE_STATEMENT_H_
