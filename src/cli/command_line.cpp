#include "cli/command_line.h"

#include <QCommandLineParser>
#include <QSet>

#include "cli/exit_status.h"

namespace {

const QString kDescription = QStringLiteral(
    "Keeps the Vodrix log in step with Qorv, eQSL and Club Log. Without a command it opens its "
    "window; with one it does the same work without a display.\n"
    "\n"
    "Commands:\n"
    "  download qorv        fetch the Qorv confirmation report and mark the confirmed QSOs\n"
    "  download eqsl        fetch the eQSL inbox and mark the QSOs it confirms\n"
    "  import FILE          run a saved Qorv report over the log\n"
    "  upload [--clublog]   sign the unsent QSOs with TQSL, upload them to Qorv, mark them sent\n"
    "  clublog FILE         upload an ADIF file to Club Log\n"
    "  unmatched [FILE]     the nearest QSOs of each record of the last report (or FILE, or the\n"
    "                       eQSL inbox with --eqsl) that matched none, and what differs\n"
    "  check-sent           QSOs marked sent that Qorv does not hold\n"
    "\n"
    "Options not given on the command line are those the window keeps in qorv.ini beside the\n"
    "program and the dates in the logbook's registry keys. Progress goes to standard error,\n"
    "the outcome to standard output.\n"
    "\n"
    "Exit status: 0 done, 1 failed, 2 usage error, 3 nothing to do (upload: no new QSO).");

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

void AddOptions(QCommandLineParser& parser) {
  parser.addOptions({
      {QStringLiteral("log"),
       QStringLiteral("The log to work on (default: the logbook's current log)."),
       QStringLiteral("NAME")},
      {QStringLiteral("json"), QStringLiteral("The outcome as one JSON object.")},
      {QStringLiteral("since"),
       QStringLiteral("download: confirmations received since DATE (default: the stored date); "
                      "check-sent: only QSOs from DATE on."),
       QStringLiteral("DATE")},
      {QStringLiteral("from"),
       QStringLiteral("download: QSOs from DATE (with --to) instead of --since."),
       QStringLiteral("DATE")},
      {QStringLiteral("to"), QStringLiteral("download: QSOs up to DATE (with --from)."),
       QStringLiteral("DATE")},
      {QStringLiteral("own-call"), QStringLiteral("download qorv: only QSOs made as CALL."),
       QStringLiteral("CALL")},
      {QStringLiteral("clublog"), QStringLiteral("upload: send the export to Club Log too.")},
      {QStringLiteral("tqsl-timeout"),
       QStringLiteral("upload: end TQSL if it has not finished after SECONDS (default: 600); "
                      "nothing is uploaded then."),
       QStringLiteral("SECONDS")},
      {QStringLiteral("eqsl"),
       QStringLiteral("unmatched: the eQSL inbox instead of the Qorv report.")},
      {QStringLiteral("confirm"),
       QStringLiteral("unmatched: mark the QSO ID (as listed) confirmed by its record."),
       QStringLiteral("ID")},
      {QStringLiteral("unmark"),
       QStringLiteral("check-sent: clear the sent mark of the QSOs Qorv does not hold.")},
  });
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
  parser.setApplicationDescription(kDescription);
  parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  AddOptions(parser);
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
  return {request, QString(), false, kExitDone};
}
