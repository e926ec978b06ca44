#include "cli/console_ui.h"

#include <QLocale>

namespace {

constexpr int kBarWidth = 40;

// The window's busy captions other than "Waiting...", as steps.
QString StepOfCaption(const QString& caption) {
  if (caption == u"Waiting, send file on Qorv") {
    return QStringLiteral("signing with TQSL and uploading to Qorv");
  }
  if (caption == u"Submit to Clublog") return QStringLiteral("uploading to Club Log");
  return caption;
}

QString KindWord(MessageKind kind) {
  switch (kind) {
    case MessageKind::kInformation:
      return QStringLiteral("note");
    case MessageKind::kWarning:
      return QStringLiteral("warning");
    // The window's plain boxes carry refusals ("Error: No such
    // Username/Password found", "Error in callsign").
    case MessageKind::kPlain:
    case MessageKind::kError:
      return QStringLiteral("error");
  }
  return QString();
}

}  // namespace

ConsoleUi::ConsoleUi(std::FILE* err, bool terminal, QString log_name, QString waiting_step)
    : err_(err),
      terminal_(terminal),
      log_name_(std::move(log_name)),
      waiting_step_(std::move(waiting_step)) {}

void ConsoleUi::Line(const QString& text) {
  EndProgress();
  std::fputs(text.toLocal8Bit().constData(), err_);
  std::fputc('\n', err_);
  std::fflush(err_);
}

void ConsoleUi::EndProgress() {
  if (!bar_open_) return;
  // Back to the line's start and erased to its end: no bar stays behind.
  std::fputs("\r\x1b[K", err_);
  std::fflush(err_);
  bar_open_ = false;
}

void ConsoleUi::BeginStep(const QString& name) {
  step_ = name;
  percent_ = -1;
  Line(name);
}

void ConsoleUi::DrawBar() {
  const int filled = percent_ * kBarWidth / 100;
  const QByteArray bar = QByteArray(filled, '#') + QByteArray(kBarWidth - filled, '-');
  std::fprintf(err_, "\r[%s] %3d%%", bar.constData(), percent_);
  std::fflush(err_);
  bar_open_ = true;
}

void ConsoleUi::SetCaption(const QString& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  // The window's caption returns to the log name when a step ends.
  if (caption == log_name_) {
    EndProgress();
    step_.clear();
    return;
  }
  BeginStep(caption == u"Waiting..." ? waiting_step_ : StepOfCaption(caption));
}

void ConsoleUi::SetProgress(int percent) {
  percent = qBound(0, percent, 100);
  if (percent == percent_) return;
  percent_ = percent;
  // Without a terminal the step's line says enough; a bar belongs to a step.
  if (terminal_ && !step_.isEmpty()) DrawBar();
}

void ConsoleUi::BeginMatching(qsizetype records) {
  BeginStep(QStringLiteral("matching %1 %2")
                .arg(QLocale(QLocale::English).toString(records),
                     records == 1 ? QStringLiteral("record") : QStringLiteral("records")));
}

// The command line says its results from the operations' outcomes.
void ConsoleUi::SetResult(ResultLabel /*label*/, const QString& /*text*/) {}

void ConsoleUi::ShowMessage(MessageKind kind, const QString& text, const QString& caption) {
  messages_.append({kind, text});
  const QString title = caption.isEmpty() ? QString() : caption + QStringLiteral(": ");
  Line(QStringLiteral("qorvsync: %1: %2%3").arg(KindWord(kind), title, text));
}

void ConsoleUi::ExplainFailure(const QString& explanation) {
  ShowMessage(MessageKind::kError, explanation, QString());
}

void ConsoleUi::ShowTextFile(const QString& path) {
  if (!text_files_.contains(path)) text_files_.append(path);
}

bool ConsoleUi::ChooseAdifFile(QString* path) {
  path->clear();
  return false;
}

void ConsoleUi::ReplaceText(const QString& text) { Line(QStringLiteral("Club Log: ") + text); }

void ConsoleUi::AddLines(const QStringList& lines) {
  for (const QString& line : lines) Line(QStringLiteral("Club Log: ") + line);
}

bool ConsoleUi::HasFailureMessage() const {
  for (const Message& message : messages_) {
    if (message.kind != MessageKind::kInformation) return true;
  }
  return false;
}
