// The user's regional settings: read from the system locale on first use,
// replaceable as a whole (tests set their own).
#include <optional>

#include "platform/conversions.h"

namespace {

std::optional<RegionalSettings>& Current() {
  static std::optional<RegionalSettings> settings;
  return settings;
}

// The first character of a Qt pattern that is neither a pattern letter, nor
// quoted text, nor a blank; the fallback when there is none.
QChar FirstSeparator(const QString& qt_pattern, QChar fallback) {
  bool quoted = false;
  for (const QChar c : qt_pattern) {
    if (c == u'\'') {
      quoted = !quoted;
    } else if (!quoted && !c.isLetter() && c != u' ') {
      return c;
    }
  }
  return fallback;
}

// Qt's d/dd/ddd/dddd, M.../MMMM, yy/yyyy to d, m and y patterns; quoted text
// is kept as it is.
QString FromQtDatePattern(const QString& qt_pattern) {
  QString result;
  qsizetype i = 0;
  while (i < qt_pattern.size()) {
    const QChar c = qt_pattern[i];
    if (c == u'\'') {
      const qsizetype close = qt_pattern.indexOf(u'\'', i + 1);
      const qsizetype end = close < 0 ? qt_pattern.size() : close + 1;
      result += qt_pattern.mid(i, end - i);
      i = end;
      continue;
    }
    qsizetype run = 1;
    while (i + run < qt_pattern.size() && qt_pattern[i + run] == c) ++run;
    if (c == u'M') {
      result += QString(run, u'm');
    } else if (c == u'y' && run <= 2) {
      result += QStringLiteral("yyyy");
    } else {
      result += qt_pattern.mid(i, run);
    }
    i += run;
  }
  return result;
}

}  // namespace

RegionalSettings RegionalSettings::FromLocale(const QLocale& locale) {
  const QString date_format = locale.dateFormat(QLocale::ShortFormat);
  RegionalSettings settings;
  settings.short_date_format = FromQtDatePattern(date_format);
  settings.date_separator = FirstSeparator(date_format, u'/');
  settings.time_separator = FirstSeparator(locale.timeFormat(QLocale::ShortFormat), u':');
  return settings;
}

RegionalSettings RegionalSettings::FromSystem() { return FromLocale(QLocale::system()); }

const RegionalSettings& CurrentRegionalSettings() {
  std::optional<RegionalSettings>& settings = Current();
  if (!settings) settings = RegionalSettings::FromSystem();
  return *settings;
}

void SetRegionalSettings(const RegionalSettings& settings) { Current() = settings; }
