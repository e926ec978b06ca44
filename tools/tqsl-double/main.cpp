// The TQSL stand-in. "tqsl -d -l LOCATION FILE.adi -x" signs FILE.adi for the
// station location and writes FILE.tq8 beside it; environment switches make it
// fail, crash, hang or take its time (see README.md).
#include <locale.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <QTextStream>
#include <QThread>
#include <cstdlib>

#include "signed_log.h"
#include "station_data.h"

namespace {

constexpr int kUsageError = 1;
constexpr int kLocationError = 2;
constexpr int kSomeLeftOut = 9;
constexpr int kNoDisplay = 255;

QString Env(const char* name) { return QString::fromLocal8Bit(qgetenv(name)); }

void Complain(const QString& text) { QTextStream(stderr) << "tqsl: " << text << "\n"; }

// One line per run, the arguments separated by TAB, for tests that check how
// the program was called.
void LogRun(const QStringList& args) {
  const QString log_path = Env("TQSL_DOUBLE_LOG");
  if (log_path.isEmpty()) return;
  QFile log(log_path);
  if (!log.open(QIODevice::Append)) return;
  QStringList fields{"run"};
  fields += args;
  log.write(fields.join('\t').toUtf8() + "\n");
}

struct Options {
  QString location;
  QString input;
  QString output;
  QString action;  // -a
};

// Where the real TQSL stops at a modal box that nobody may be there to
// answer, the double waits until it is killed.
[[noreturn]] void StayAtModalBox(const QString& box) {
  Complain("waiting at the modal box \"" + box + "\"");
  for (;;) QThread::sleep(60);
}

bool LocaleInstalled() {
  const locale_t named = newlocale(LC_ALL_MASK, "", static_cast<locale_t>(0));
  if (named == static_cast<locale_t>(0)) return false;
  freelocale(named);
  return true;
}

std::optional<Options> ParseArgs(const QStringList& args) {
  Options options;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    if (arg == "-d" || arg == "-x" || arg == "-q" || arg == "-n" || arg == "-s") continue;
    if (arg == "-l" || arg == "-o" || arg == "-a" || arg == "-p") {
      if (i + 1 >= args.size()) return std::nullopt;
      const QString& value = args[++i];
      if (arg == "-l") options.location = value;
      if (arg == "-o") options.output = value;
      if (arg == "-a") options.action = value;
      continue;
    }
    if (arg.startsWith("-l") && arg.size() > 2) {
      options.location = arg.mid(2);
      continue;
    }
    if (arg.startsWith('-') || !options.input.isEmpty()) return std::nullopt;
    options.input = arg;
  }
  if (options.input.isEmpty() || options.location.isEmpty()) return std::nullopt;
  if (options.output.isEmpty()) {
    const QFileInfo info(options.input);
    options.output = info.path() + "/" + info.completeBaseName() + ".tq8";
  }
  return options;
}

// Drops the records whose call sign TQSL_DOUBLE_LEAVE_OUT lists (comma
// separated), as the real TQSL leaves out records it finds invalid or signed
// before. One record per line, as the export writes them.
QByteArray LeaveOut(const QByteArray& adif, int* left_out) {
  *left_out = 0;
  const QStringList calls = Env("TQSL_DOUBLE_LEAVE_OUT").split(',', Qt::SkipEmptyParts);
  if (calls.isEmpty()) return adif;
  QByteArray kept;
  for (const QByteArray& line : adif.split('\n')) {
    bool dropped = false;
    for (const QString& call : calls) {
      const QByteArray tag =
          "<CALL:" + QByteArray::number(call.toUtf8().size()) + ">" + call.toUtf8() + "<";
      dropped = dropped || line.toUpper().contains(tag.toUpper());
    }
    if (dropped) {
      ++*left_out;
      continue;
    }
    if (!kept.isEmpty()) kept += '\n';
    kept += line;
  }
  return kept;
}

int Sign(const Options& options) {
  QString error;
  const auto locations = ReadStationData(StationDataPath(), &error);
  if (!locations) {
    Complain("cannot read station data " + StationDataPath() + ": " + error);
    return kLocationError;
  }
  if (!locations->contains(options.location)) {
    Complain("station location \"" + options.location + "\" does not exist");
    return kLocationError;
  }
  QFile input(options.input);
  if (!input.open(QIODevice::ReadOnly)) {
    Complain("cannot open " + options.input + ": " + input.errorString());
    return kUsageError;
  }
  SignedLog log;
  log.location = options.location;
  log.callsign = locations->value(options.location).value("CALL");
  log.source_file = QFileInfo(options.input).absoluteFilePath();
  int left_out = 0;
  log.adif = LeaveOut(input.readAll(), &left_out);
  log.qso_count = CountAdifRecords(log.adif);

  const QString mode = Env("TQSL_DOUBLE_MODE");
  QSaveFile output(options.output);
  if (!output.open(QIODevice::WriteOnly)) {
    Complain("cannot write " + options.output + ": " + output.errorString());
    return kUsageError;
  }
  if (mode != "empty") output.write(WriteSignedLog(log));
  if (!output.commit()) {
    Complain("cannot write " + options.output + ": " + output.errorString());
    return kUsageError;
  }
  if (mode == "signerror") return kUsageError;
  return left_out > 0 ? kSomeLeftOut : 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments().mid(1);
  LogRun(args);

  if (Env("TQSL_DOUBLE_NEED_DISPLAY") == "1" && qEnvironmentVariableIsEmpty("DISPLAY") &&
      qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
    Complain("cannot open display");
    return kNoDisplay;
  }
  // Opened without arguments TQSL would show its main window; the double just
  // stays for a moment.
  if (args.isEmpty()) {
    QThread::msleep(Env("TQSL_DOUBLE_IDLE_MS").toULong());
    return 0;
  }
  // The real TQSL creates its signed file empty when it starts.
  if (Env("TQSL_DOUBLE_EARLY_FILE") == "1") {
    if (const std::optional<Options> early = ParseArgs(args)) {
      QFile(early->output).open(QIODevice::WriteOnly);
    }
  }
  QThread::msleep(Env("TQSL_DOUBLE_DELAY_MS").toULong());
  if (Env("TQSL_DOUBLE_NEED_LOCALE") == "1" && !LocaleInstalled()) {
    StayAtModalBox("Cannot set locale");
  }

  const QString mode = Env("TQSL_DOUBLE_MODE");
  if (mode == "crash") std::abort();
  if (mode == "hang") {
    for (;;) QThread::sleep(60);
  }
  if (mode == "fail") {
    Complain("signing failed (TQSL_DOUBLE_MODE=fail)");
    return kUsageError;
  }
  if (mode == "nofile") return 0;

  const std::optional<Options> options = ParseArgs(args);
  if (!options) {
    Complain("usage: tqsl -d -l LOCATION FILE.adi -x");
    return kUsageError;
  }
  if (Env("TQSL_DOUBLE_ASK") == "1" && options->action.isEmpty()) {
    StayAtModalBox("Errors Detected");
  }
  return Sign(*options);
}
