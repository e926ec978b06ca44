// Writes the qorvsync(1) manual page in roff from the words of --help, so
// that the two cannot drift apart. Usage: qorvsync-man-page VERSION OUTPUT

#include <QCommandLineOption>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QTextStream>

#include "cli/help_text.h"

namespace {

// Text as roff shows it literally: backslashes and minus signs escaped, and a
// line that would start with a control character protected.
QString Roff(const QString& text) {
  QString out = text;
  out.replace(u'\\', QStringLiteral("\\e"));
  out.replace(u'-', QStringLiteral("\\-"));
  if (out.startsWith(u'.') || out.startsWith(u'\'')) out.prepend(QStringLiteral("\\&"));
  return out;
}

// A list paragraph: "Heading:" then lines "  name   what", a line indented
// further continuing the one before.
void WriteList(QTextStream& out, const QStringList& lines) {
  out << ".SH " << Roff(lines.first().chopped(1).toUpper()) << '\n';
  static const QRegularExpression item(QStringLiteral("^  (\\S.*?)\\s{2,}(\\S.*)$"));
  for (const QString& line : lines.mid(1)) {
    const QRegularExpressionMatch match = item.match(line);
    if (match.hasMatch()) {
      out << ".TP\n.B " << Roff(match.captured(1)) << '\n' << Roff(match.captured(2)) << '\n';
    } else {
      out << Roff(line.trimmed()) << '\n';
    }
  }
}

void WriteOption(QTextStream& out, const QCommandLineOption& option) {
  QStringList names;
  for (const QString& name : option.names()) {
    names << QStringLiteral("\\fB") + Roff((name.size() == 1 ? "-" : "--") + name) +
                 QStringLiteral("\\fR");
  }
  out << ".TP\n" << names.join(QStringLiteral(", "));
  if (!option.valueName().isEmpty()) out << " \\fI" << Roff(option.valueName()) << "\\fR";
  out << '\n' << Roff(option.description()) << '\n';
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const QString version = QString::fromLocal8Bit(argv[1]);
  QFile file(QString::fromLocal8Bit(argv[2]));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 1;
  QTextStream out(&file);
  const QStringList paragraphs = HelpDescription().split(QStringLiteral("\n\n"));
  const QString summary = paragraphs.first().section(QStringLiteral(". "), 0, 0);

  out << ".TH QORVSYNC 1 \"\" \"qorvsync " << Roff(version) << "\" \"User Commands\"\n"
      << ".nh\n.ad l\n"
      << ".SH NAME\nqorvsync \\- " << Roff(summary.left(1).toLower() + summary.mid(1)) << '\n'
      << ".SH SYNOPSIS\n.B qorvsync\n.br\n.B qorvsync\n.I command\n"
      << "[\\fIoptions\\fR] [\\fIFILE\\fR]\n"
      << ".SH DESCRIPTION\n";
  QStringList lists;
  for (const QString& paragraph : paragraphs) {
    const QStringList lines = paragraph.split(u'\n');
    if (lines.first().endsWith(u':')) {
      lists << paragraph;
      continue;
    }
    out << ".PP\n";
    for (const QString& line : lines) out << Roff(line) << '\n';
  }
  for (const QString& list : lists) WriteList(out, list.split(u'\n'));

  out << ".SH OPTIONS\n";
  for (const QCommandLineOption& option : HelpOptions()) WriteOption(out, option);
  WriteOption(out, QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                                      QStringLiteral("Displays help on commandline options.")));
  WriteOption(out,
              QCommandLineOption(QStringLiteral("help-all"),
                                 QStringLiteral("Displays help, including generic Qt options.")));
  WriteOption(out, QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                                      QStringLiteral("Displays version information.")));

  out << ".SH FILES\n"
      << ".TP\n.I ~/.config/qorvsync/qorv.ini, ignore.txt, Submode.txt\n"
      << "The settings, the eQSL ignore list and the user's own submode table of an installed "
         "copy (beside the executable for a copy run from a folder of its own).\n"
      << ".TP\n.I ~/.local/state/qorvsync/QorvError.txt, eQSLccError.txt\n"
      << "The records of the last runs that matched no QSO.\n"
      << ".TP\n.I /usr/share/qorvsync/Submode.txt\n"
      << "The package's submode table, used when the user keeps none.\n"
      << ".TP\n.I ~/.config/registry/HKEY_CURRENT_USER.reg\n"
      << "The logbook's registry keys: its installation folder and the stored dates.\n";
  out.flush();
  return out.status() == QTextStream::Ok && file.error() == QFileDevice::NoError ? 0 : 1;
}
