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
       {QStringLiteral("clublog")}},
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
  };
  return forms;
}

const QStringList kValueOptions = {QStringLiteral("log"),      QStringLiteral("since"),
                                   QStringLiteral("from"),     QStringLiteral("to"),
                                   QStringLiteral("own-call"), QStringLiteral("confirm")};
const QStringList kFlagOptions = {QStringLiteral("clublog"), QStringLiteral("eqsl"),
                                  QStringLiteral("unmark")};

ParsedCommandLine Usage(const QString& problem) {
  return {std::nullopt,
          QStringLiteral("qorvsync: ") + problem +
              QStringLiteral("\nTry 'qorvsync --help' for more information."),
          true, kExitUsage};
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

}  // namespace

bool WantsCommandLine(const QStringList& arguments) {
  if (arguments.size() < 2) return false;
  const QString& first = arguments.at(1);
  if (!first.startsWith(u'-')) return true;
  for (const QString& argument : arguments.mid(1)) {
    if (argument == u"--help" || argument == u"-h" || argument == u"--version" ||
        argument == u"-v" || argument == u"--json" || argument.startsWith(u"--log")) {
      return true;
    }
  }
  return false;
}

ParsedCommandLine ParseCommandLine(const QStringList& arguments) {
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
    return {std::nullopt, text, false, kExitDone};
  }
  if (parser.isSet(version)) {
    return {std::nullopt, QStringLiteral("qorvsync " QORVSYNC_VERSION), false, kExitDone};
  }

  const QStringList words = parser.positionalArguments();
  if (words.isEmpty()) return Usage(QStringLiteral("no command given"));
  const CommandForm* form = nullptr;
  for (const CommandForm& candidate : Forms()) {
    if (words.mid(0, candidate.words.size()) == candidate.words) form = &candidate;
  }
  if (form == nullptr) return Usage(QStringLiteral("unknown command '%1'").arg(words.join(u' ')));
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
  request.eqsl = parser.isSet(QStringLiteral("eqsl"));
  request.confirm_id = parser.value(QStringLiteral("confirm"));
  request.unmark = parser.isSet(QStringLiteral("unmark"));
  return {request, QString(), false, kExitDone};
}
