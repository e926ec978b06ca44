#include "app/date_format.h"

namespace {

QString Literal(const QString& text) {
  if (text.isEmpty()) return text;
  return u'\'' + QString(text).replace(QLatin1String("'"), QLatin1String("''")) + u'\'';
}

}  // namespace

QString DateBoxFormat(const RegionalSettings& settings) {
  const QString& pattern = settings.short_date_format;
  QString format;
  for (qsizetype i = 0; i < pattern.size();) {
    const QChar c = pattern[i].toLower();
    qsizetype run = 1;
    while (i + run < pattern.size() && pattern[i + run].toLower() == c) ++run;
    if (c == u'd') {
      format += QString(qMin<qsizetype>(run, 4), u'd');
    } else if (c == u'm') {
      format += QString(qMin<qsizetype>(run, 4), u'M');
    } else if (c == u'y') {
      format += QStringLiteral("yyyy");
    } else if (c == u'/') {
      const QString separators(run, settings.date_separator);
      format += settings.date_separator.isLetter() ? Literal(separators) : separators;
    } else if (c == u'\'' || c == u'"') {
      const qsizetype end = pattern.indexOf(pattern[i], i + 1);
      const qsizetype stop = end < 0 ? pattern.size() : end;
      format += Literal(pattern.mid(i + 1, stop - i - 1));
      i = stop + 1;
      continue;
    } else if (c.isLetter()) {
      format += Literal(pattern.mid(i, run));
    } else {
      format += pattern.mid(i, run);
    }
    i += run;
  }
  return format;
}
