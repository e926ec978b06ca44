#include "logdb/sqlite_statement.h"

#include <sqlite3.h>

#include <QLocale>
#include <QSqlDriver>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "logdb/sql_text.h"
#include "platform/app_error.h"

sqlite3* SqliteHandle(const QSqlDatabase& db) {
  const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
  if (!handle.isValid() || std::strcmp(handle.typeName(), "sqlite3*") != 0) return nullptr;
  return *static_cast<sqlite3* const*>(handle.constData());
}

SqliteStatement::SqliteStatement(sqlite3* db, const QString& sql) : db_(db) {
  if (db_ == nullptr) throw AppError(QStringLiteral("The log database is not open."));
  const QByteArray text = sql.toUtf8();
  if (sqlite3_prepare_v3(db_, text.constData(), static_cast<int>(text.size()),
                         SQLITE_PREPARE_PERSISTENT, &statement_, nullptr) != SQLITE_OK) {
    Fail();
  }
  texts_.resize(sqlite3_bind_parameter_count(statement_));
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(statement_); }

void SqliteStatement::Fail() const { throw AppError(QString::fromUtf8(sqlite3_errmsg(db_))); }

void WriteUtf8(QStringView text, QByteArray* out) {
  const qsizetype size = text.size();
  qsizetype ascii = 0;
  while (ascii < size && text[ascii].unicode() < 0x80) ++ascii;
  if (ascii != size) {
    *out = text.toUtf8();
    return;
  }
  out->resize(size);
  char* bytes = out->data();
  for (qsizetype i = 0; i < size; ++i) bytes[i] = static_cast<char>(text[i].unicode());
}

void WriteLikePattern(QStringView text, bool any_before, bool any_after, QByteArray* out) {
  out->resize(0);
  if (any_before) *out += '%';
  for (const QChar c : text) {
    if (c.unicode() >= 0x80) {
      const QString escaped = (any_before ? QStringLiteral("%") : QString()) +
                              EscapeLike(text.toString()) +
                              (any_after ? QStringLiteral("%") : QString());
      *out = escaped.toUtf8();
      return;
    }
    if (c == u'%' || c == u'_' || c == u'\\') *out += '\\';
    *out += static_cast<char>(c.unicode());
  }
  if (any_after) *out += '%';
}

QByteArray& SqliteStatement::Buffer(int position) {
  if (position < 1 || position > static_cast<int>(texts_.size())) {
    throw AppError(QStringLiteral("Bind position %1 out of range").arg(position));
  }
  return texts_[position - 1];
}

void SqliteStatement::BindBuffer(int position) {
  const QByteArray& utf8 = texts_[position - 1];
  if (sqlite3_bind_text(statement_, position, utf8.constData(), static_cast<int>(utf8.size()),
                        SQLITE_STATIC) != SQLITE_OK) {
    Fail();
  }
}

void SqliteStatement::Bind(int position, const QString& text) {
  // The log keeps its text in UTF-8: bound so, comparisons need no
  // conversion. Each position has a buffer of its own, which a look-up per
  // QSO then never allocates anew.
  WriteUtf8(text, &Buffer(position));
  BindBuffer(position);
}

void SqliteStatement::BindUtf8(int position, const char* text, qsizetype size) {
  QByteArray& utf8 = Buffer(position);
  utf8.resize(size);
  std::copy(text, text + size, utf8.data());
  BindBuffer(position);
}

void SqliteStatement::BindLikePattern(int position, QStringView text, bool any_before,
                                      bool any_after) {
  WriteLikePattern(text, any_before, any_after, &Buffer(position));
  BindBuffer(position);
}

void SqliteStatement::Bind(int position, double value) {
  if (sqlite3_bind_double(statement_, position, value) != SQLITE_OK) Fail();
}

void SqliteStatement::Bind(int position, qint64 value) {
  if (sqlite3_bind_int64(statement_, position, value) != SQLITE_OK) Fail();
}

void SqliteStatement::BindBlob(int position, const QByteArray& bytes) {
  if (sqlite3_bind_blob64(statement_, position, bytes.constData(),
                          static_cast<sqlite3_uint64>(bytes.size()),
                          SQLITE_TRANSIENT) != SQLITE_OK) {
    Fail();
  }
}

void SqliteStatement::Bind(int position, const QVariant& value) {
  switch (value.typeId()) {
    case QMetaType::UnknownType:
      if (sqlite3_bind_null(statement_, position) != SQLITE_OK) Fail();
      return;
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
      Bind(position, value.toLongLong());
      return;
    case QMetaType::Double:
    case QMetaType::Float:
      Bind(position, value.toDouble());
      return;
    default: {
      // A null text is NULL, as Qt SQL binds it.
      const QString text = value.toString();
      if (value.isNull() || text.isNull()) {
        if (sqlite3_bind_null(statement_, position) != SQLITE_OK) Fail();
        return;
      }
      Bind(position, text);
    }
  }
}

bool SqliteStatement::Step() {
  stepped_ = true;
  switch (sqlite3_step(statement_)) {
    case SQLITE_ROW:
      return true;
    case SQLITE_DONE:
      return false;
    default: {
      const QString message = QString::fromUtf8(sqlite3_errmsg(db_));
      sqlite3_reset(statement_);
      stepped_ = false;
      throw AppError(message);
    }
  }
}

void SqliteStatement::Reset() {
  // A statement not run since its last reset has nothing to end; the look-ups
  // reset before and after every run.
  if (!stepped_) return;
  sqlite3_reset(statement_);
  stepped_ = false;
}

int SqliteStatement::ColumnCount() const { return sqlite3_column_count(statement_); }

QString SqliteStatement::ColumnName(int column) const {
  return QString::fromUtf8(sqlite3_column_name(statement_, column));
}

qint64 SqliteStatement::Int64(int column) const { return sqlite3_column_int64(statement_, column); }

bool SqliteStatement::IsNull(int column) const {
  return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

std::string_view SqliteStatement::Utf8(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
  return text ? std::string_view(text, sqlite3_column_bytes(statement_, column))
              : std::string_view();
}

QVariant SqliteStatement::Value(int column) const {
  switch (sqlite3_column_type(statement_, column)) {
    case SQLITE_NULL:
      return QVariant();
    case SQLITE_INTEGER:
      return QVariant(static_cast<qlonglong>(sqlite3_column_int64(statement_, column)));
    case SQLITE_FLOAT:
      return QVariant(sqlite3_column_double(statement_, column));
    default: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
      return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(statement_, column)));
    }
  }
}

QByteArray SqliteStatement::Blob(int column) const {
  const void* bytes = sqlite3_column_blob(statement_, column);
  return QByteArray(static_cast<const char*>(bytes), sqlite3_column_bytes(statement_, column));
}

QString SqliteStatement::Text(int column) const {
  // Numbers written as QVariant::toString() writes them, without the QVariant.
  switch (sqlite3_column_type(statement_, column)) {
    case SQLITE_NULL:
      return QString();
    case SQLITE_INTEGER:
      return QString::number(sqlite3_column_int64(statement_, column));
    case SQLITE_FLOAT: {
      // Whole numbers (a band of 14 MHz) need no search for the shortest form.
      const double value = sqlite3_column_double(statement_, column);
      if (value == std::trunc(value) && std::abs(value) < 1e15 && !std::signbit(value)) {
        return QString::number(static_cast<qint64>(value));
      }
      return QString::number(value, 'g', QLocale::FloatingPointShortest);
    }
    default: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
      return QString::fromUtf8(text, sqlite3_column_bytes(statement_, column));
    }
  }
}

void SqliteStatement::ReadText(int column, QString* into) const {
  if (sqlite3_column_type(statement_, column) == SQLITE_TEXT) {
    const auto* text = sqlite3_column_text(statement_, column);
    const int size = sqlite3_column_bytes(statement_, column);
    if (size > 0 && std::all_of(text, text + size, [](unsigned char c) { return c < 0x80; })) {
      into->resize(size);
      QChar* out = into->data();
      for (int i = 0; i < size; ++i) out[i] = QChar(char16_t{text[i]});
      return;
    }
  }
  *into = Text(column);
}
