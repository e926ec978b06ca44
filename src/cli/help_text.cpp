#include "cli/help_text.h"

QString HelpDescription() {
  return QStringLiteral(
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
      "  watch                keep running: new QSOs to Club Log as they are logged, Qorv\n"
      "                       uploads once the log is quiet, downloads every few hours, as\n"
      "                       [Watch] in qorv.ini says; one line per action; ends on SIGTERM\n"
      "  status               what the watch has parked, what failed, what is due when\n"
      "\n"
      "Options not given on the command line are those the window keeps in qorv.ini (beside the\n"
      "program, or in ~/.config/qorvsync/ when it is installed) and the dates in the logbook's\n"
      "registry keys. Progress goes to standard error, the outcome to standard output.\n"
      "\n"
      "Exit status: 0 done, 1 failed, 2 usage error, 3 nothing to do (upload: no new QSO;\n"
      "import: a file without records).");
}

QList<QCommandLineOption> HelpOptions() {
  return {
      {QStringLiteral("log"),
       QStringLiteral("The log to work on (default: the logbook's current log)."),
       QStringLiteral("NAME")},
      {QStringLiteral("json"),
       QStringLiteral("The outcome as one JSON object; watch: each action as one JSON object.")},
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
  };
}
