#include "cli/command_line.h"

#include <QCommandLineParser>
#include <QSet>

#include "cli/exit_status.h"
#include "cli/help_text.h"

namespace {

struct CommandForm {
  QStringList words;
  CliRequest::Command command;
  bool needs_file;
  bool takes_file;
  QSet<QString> options;  // besides --log and --json
};

const QList<CommandForm>& Forms() {
  static const QList<CommandForm> forms = {
      {{QStringLiteral("download"), QStringLiteral("qorv")},
       CliRequest::Command::kDownloadQorv,
       false,
       false,
       {QStringLiteral("since"), QStringLiteral("from"), QStringLiteral("to"),
        QStringLiteral("own-call")}},
      {{QStringLiteral("download"), QStringLiteral("eqsl")},
       CliRequest::Command::kDownloadEqsl,
       false,
       false,
       {QStringLiteral("since"), QStringLiteral("from"), QStringLiteral("to")}},
      {{QStringLiteral("import")}, CliRequest::Command::kImport, true, true, {}},
      {{QStringLiteral("upload")},
       CliRequest::Command::kUpload,
       false,
       false,
       {QStringLiteral("clublog"), QStringLiteral("tqsl-timeout")}},
      {{QStringLiteral("clublog")}, CliRequest::Command::kClublog, true, true, {}},
      {{QStringLiteral("unmatched")},
       CliRequest::Command::kUnmatched,
       false,
       true,
       {QStringLiteral("eqsl"), QStringLiteral("confirm")}},
      {{QStringLiteral("check-sent")},
       CliRequest::Command::kCheckSent,
       false,
       false,
       {QStringLiteral("since"), QStringLiteral("unmark")}},
      {{QStringLiteral("watch")}, CliRequest::Command::kWatch, false, false, {}},
      {{QStringLiteral("status")}, CliRequest::Command::kStatus, false, false, {}},
  };
  return forms;
}

const QStringList kValueOptions = {QStringLiteral("log"),         QStringLiteral("since"),
                                   QStringLiteral("from"),        QStringLiteral("to"),
                                   QStringLiteral("own-call"),    QStringLiteral("confirm"),
                                   QStringLiteral("tqsl-timeout")};
const QStringList kFlagOptions = {QStringLiteral("clublog"), QStringLiteral("eqsl"),
                                  QStringLiteral("unmark")};

ParsedCommandLine Usage(const QString& problem) {
  ParsedCommandLine parsed;
  parsed.text = QStringLiteral("qorvsync: ") + problem +
                QStringLiteral("\nTry 'qorvsync --help' for more information.");
  parsed.text_is_error = true;
  parsed.status = kExitUsage;
  parsed.problem = problem;
  return parsed;
}

ParsedCommandLine Text(const QString& text) {
  ParsedCommandLine parsed;
  parsed.text = text;
  return parsed;
}

bool ReadDate(const QCommandLineParser& parser, const QString& name, QDate* date,
              QString* problem) {
  if (!parser.isSet(name)) return true;
  const QString text = parser.value(name);
  *date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
  if (date->isValid()) return true;
  *problem = QStringLiteral("--%1: '%2' is not a date (yyyy-mm-dd)").arg(name, text);
  return false;
}

// The first word of every command.
QSet<QString> CommandWords() {
  QSet<QString> words;
  for (const CommandForm& form : Forms()) words.insert(form.words.first());
  return words;
}

// An option of the command line ("--since", "--since=DATE", "-h"), not one of
// the window's toolkit.
bool IsOwnOption(const QString& argument) {
  if (argument == u"-h" || argument == u"-v") return true;
  if (!argument.startsWith(QLatin1String("--"))) return false;
  const QString name = argument.mid(2).section(u'=', 0, 0);
  return name == u"help" || name == u"version" || name == u"json" || kValueOptions.contains(name) ||
         kFlagOptions.contains(name);
}

// What is wrong with command words that name no command: a command of two
// words asks for its second.
QString UnknownCommand(const QStringList& words) {
  QStringList seconds;
  for (const CommandForm& form : Forms()) {
    if (form.words.size() > 1 && form.words.first() == words.first()) {
      seconds << QStringLiteral("'%1'").arg(form.words.at(1));
    }
  }
  if (seconds.isEmpty()) return QStringLiteral("unknown command '%1'").arg(words.join(u' '));
  const QString choice = seconds.join(QStringLiteral(" or "));
  if (words.size() == 1) return QStringLiteral("'%1' needs %2").arg(words.first(), choice);
  return QStringLiteral("unknown command '%1': '%2' takes %3")
      .arg(words.join(u' '), words.first(), choice);
}

}  // namespace

bool WantsCommandLine(const QStringList& arguments) {
  if (arguments.size() < 2) return false;
  // A word that is not an option is a command (or a wrong one, said so);
  // only options of the window's toolkit, such as -platform, keep the window.
  if (!arguments.at(1).startsWith(u'-')) return true;
  for (const QString& argument : arguments.mid(1)) {
    if (CommandWords().contains(argument) || IsOwnOption(argument)) return true;
  }
  return false;
}

namespace {

// The arguments read; `command` is given the command's words once they are
// known, also when a later check refuses them.
ParsedCommandLine ParseArguments(const QStringList& arguments, QString* command) {
  QCommandLineParser parser;
  parser.setApplicationDescription(HelpDescription());
  parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  parser.addOptions(HelpOptions());
  parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("See Commands above."),
                               QStringLiteral("[command] [FILE]"));
  if (!parser.parse(arguments)) return Usage(parser.errorText());
  if (parser.isSet(help)) {
    // The usage line names the program as it is called, not the path it was started by.
    QString text = parser.helpText();
    text.replace(QStringLiteral("Usage: ") + arguments.value(0), QStringLiteral("Usage: qorvsync"));
    return Text(text);
  }
  if (parser.isSet(version)) {
    return Text(QStringLiteral("qorvsync " QORVSYNC_VERSION));
  }

  const QStringList words = parser.positionalArguments();
  if (words.isEmpty()) return Usage(QStringLiteral("no command given"));
  const CommandForm* form = nullptr;
  for (const CommandForm& candidate : Forms()) {
    if (words.mid(0, candidate.words.size()) == candidate.words) form = &candidate;
  }
  if (form == nullptr) return Usage(UnknownCommand(words));
  *command = form->words.join(u' ');
  const QStringList rest = words.mid(form->words.size());
  if (rest.size() > (form->takes_file ? 1 : 0)) {
    return Usage(QStringLiteral("unexpected argument '%1'").arg(rest.last()));
  }
  if (form->needs_file && rest.isEmpty()) {
    return Usage(QStringLiteral("'%1' needs a FILE").arg(form->words.join(u' ')));
  }
  for (const QString& name : kValueOptions + kFlagOptions) {
    if (name != u"log" && parser.isSet(name) && !form->options.contains(name)) {
      return Usage(QStringLiteral("--%1 does not go with '%2'").arg(name, form->words.join(u' ')));
    }
  }

  // The watch follows the logs its settings name.
  const bool whole_logbook =
      form->command == CliRequest::Command::kWatch || form->command == CliRequest::Command::kStatus;
  if (whole_logbook && parser.isSet(QStringLiteral("log"))) {
    return Usage(QStringLiteral("--log does not go with '%1': the logs watched are those of "
                                "[Watch] Logs= in qorv.ini")
                     .arg(form->words.join(u' ')));
  }

  CliRequest request;
  request.command = form->command;
  request.name = form->words.join(u' ');
  request.file = rest.value(0);
  request.log_name = parser.value(QStringLiteral("log"));
  if (parser.isSet(QStringLiteral("log")) && request.log_name.trimmed().isEmpty()) {
    return Usage(QStringLiteral("--log needs a log name"));
  }
  request.json = parser.isSet(QStringLiteral("json"));
  QString problem;
  if (!ReadDate(parser, QStringLiteral("since"), &request.since, &problem) ||
      !ReadDate(parser, QStringLiteral("from"), &request.from, &problem) ||
      !ReadDate(parser, QStringLiteral("to"), &request.to, &problem)) {
    return Usage(problem);
  }
  if (request.from.isValid() != request.to.isValid()) {
    return Usage(QStringLiteral("--from and --to go together"));
  }
  if (request.from.isValid() && request.since.isValid()) {
    return Usage(QStringLiteral("--since does not go with --from and --to"));
  }
  if (request.from.isValid() && request.from > request.to) {
    return Usage(QStringLiteral("--from comes after --to"));
  }
  request.own_call = parser.value(QStringLiteral("own-call"));
  request.clublog = parser.isSet(QStringLiteral("clublog"));
  if (parser.isSet(QStringLiteral("tqsl-timeout"))) {
    const QString text = parser.value(QStringLiteral("tqsl-timeout"));
    bool number = false;
    const int seconds = text.toInt(&number);
    if (!number || seconds <= 0) {
      return Usage(QStringLiteral("--tqsl-timeout: '%1' is not a number of seconds").arg(text));
    }
    request.tqsl_timeout = std::chrono::seconds(seconds);
  }
  request.eqsl = parser.isSet(QStringLiteral("eqsl"));
  request.confirm_id = parser.value(QStringLiteral("confirm"));
  request.unmark = parser.isSet(QStringLiteral("unmark"));
  ParsedCommandLine parsed;
  parsed.request = request;
  return parsed;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const QStringList& arguments) {
  QString command;
  ParsedCommandLine parsed = ParseArguments(arguments, &command);
  parsed.command = command;
  // Known also when the arguments are refused, so that a script asking for
  // JSON gets it for every exit.
  const qsizetype end = arguments.indexOf(QStringLiteral("--"));
  parsed.json = arguments.mid(1, end < 0 ? -1 : end - 1).contains(QStringLiteral("--json"));
  return parsed;
}
