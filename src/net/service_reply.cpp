#include "net/service_reply.h"

#include <QHash>
#include <QRegularExpression>

namespace {

constexpr qsizetype kGistChars = 200;

// Character references a service's page is likely to hold.
QString DecodeReferences(const QString& text) {
  static const QRegularExpression reference(QStringLiteral("&(#x?[0-9A-Fa-f]+|[A-Za-z]+);"));
  QString decoded;
  qsizetype last = 0;
  for (QRegularExpressionMatchIterator it = reference.globalMatch(text); it.hasNext();) {
    const QRegularExpressionMatch match = it.next();
    const QString name = match.captured(1);
    QString replacement = match.captured(0);
    if (name.startsWith(u'#')) {
      bool ok = false;
      const uint code = name.startsWith(QLatin1String("#x"), Qt::CaseInsensitive)
                            ? name.mid(2).toUInt(&ok, 16)
                            : name.mid(1).toUInt(&ok, 10);
      if (ok && code > 0 && code <= 0x10FFFF) replacement = QString::fromUcs4(&code, 1);
    } else {
      static const QHash<QString, QString> kNamed = {{QStringLiteral("amp"), QStringLiteral("&")},
                                                     {QStringLiteral("lt"), QStringLiteral("<")},
                                                     {QStringLiteral("gt"), QStringLiteral(">")},
                                                     {QStringLiteral("quot"), QStringLiteral("\"")},
                                                     {QStringLiteral("apos"), QStringLiteral("'")},
                                                     {QStringLiteral("nbsp"), QStringLiteral(" ")}};
      replacement = kNamed.value(name.toLower(), replacement);
    }
    decoded += QStringView(text).mid(last, match.capturedStart() - last);
    decoded += replacement;
    last = match.capturedEnd();
  }
  decoded += QStringView(text).mid(last);
  return decoded;
}

}  // namespace

QString ReplyGist(const QString& reply_text) {
  static const QRegularExpression hidden(
      QStringLiteral("<!--.*?-->|<(head|script|style)\\b.*?</\\1\\s*>"),
      QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
  // Block elements end a line; inline ones (<b>, <a>) stand within it.
  static const QRegularExpression block(
      QStringLiteral("<\\s*/?\\s*(br|p|div|h[1-6]|li|ul|ol|tr|td|th|table|title|body|html|hr|"
                     "pre|center)\\b[^>]*>"),
      QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression tag(QStringLiteral("<[^<>]*>"));
  static const QRegularExpression markup(QStringLiteral("<(!|/?[A-Za-z][A-Za-z0-9]*[\\s/>])"));
  QString text = reply_text;
  // In a page, line breaks are blanks; its elements make the lines.
  if (text.contains(markup)) text.replace(u'\r', u' ').replace(u'\n', u' ');
  text.remove(hidden);
  text.replace(block, QStringLiteral("\n"));
  text.remove(tag);
  text = DecodeReferences(text);
  for (const QString& line : text.split(QRegularExpression(QStringLiteral("[\r\n]")))) {
    const QString words = line.simplified();
    if (words.isEmpty()) continue;
    return words.size() > kGistChars ? words.left(kGistChars) + u'\x2026' : words;
  }
  return QString();
}

QString ReplyExplanation(const QString& what_happened, int status, const QString& reply_text) {
  const QString said = ReplyGist(reply_text);
  const QString head = QStringLiteral("%1 (HTTP %2)").arg(what_happened).arg(status);
  return said.isEmpty() ? head : QStringLiteral("%1: \"%2\"").arg(head, said);
}
