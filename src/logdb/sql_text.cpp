#include "logdb/sql_text.h"

QString QuoteIdentifier(const QString& name) {
  QString inner = name;
  inner.replace(QLatin1Char('"'), QLatin1String("\"\""));
  return QLatin1Char('"') + inner + QLatin1Char('"');
}

QString EscapeLike(const QString& text) {
  QString escaped;
  escaped.reserve(text.size());
  for (const QChar c : text) {
    if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\')) {
      escaped += QLatin1Char('\\');
    }
    escaped += c;
  }
  return escaped;
}

QString DatabaseErrorText(const QSqlError& error) {
  return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}
