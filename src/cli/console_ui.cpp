#include "cli/console_ui.h"

namespace {

constexpr int kBarWidth = 40;
// Without a terminal a line is written at every tenth of the way, not at
// every percent: a log file of a nightly run stays readable.
constexpr int kLineStep = 10;

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

ConsoleUi::ConsoleUi(std::FILE* err, bool terminal, QString log_name)
    : err_(err), terminal_(terminal), log_name_(std::move(log_name)) {}

void ConsoleUi::Line(const QString& text) {
  EndProgress();
  std::fputs(text.toLocal8Bit().constData(), err_);
  std::fputc('\n', err_);
  std::fflush(err_);
}

void ConsoleUi::EndProgress() {
  if (!bar_open_) return;
  std::fputc('\n', err_);
  bar_open_ = false;
}

void ConsoleUi::SetCaption(const QString& caption) {
  // The window's caption returns to the log name between steps; only the busy
  // texts are steps worth a line.
  if (caption == caption_ || caption == log_name_) {
    caption_ = caption;
    return;
  }
  caption_ = caption;
  percent_ = -1;
  Line(caption);
}

void ConsoleUi::SetProgress(int percent) {
  percent = qBound(0, percent, 100);
  if (percent == percent_) return;
  const int before = percent_;
  percent_ = percent;
  if (terminal_) {
    const int filled = percent * kBarWidth / 100;
    const QByteArray bar = QByteArray(filled, '#') + QByteArray(kBarWidth - filled, '-');
    std::fprintf(err_, "\r[%s] %3d%%", bar.constData(), percent);
    std::fflush(err_);
    bar_open_ = true;
  } else if (percent == 100 || percent / kLineStep != before / kLineStep) {
    if (percent > 0) Line(QStringLiteral("%1%").arg(percent));
  }
}

void ConsoleUi::SetResult(ResultLabel label, const QString& text) { results_[label] = text; }

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
  *path = chosen_file_;
  const bool chosen = !chosen_file_.isEmpty();
  chosen_file_.clear();
  return chosen;
}

void ConsoleUi::NoteMatch(MatchOutcome outcome, const QString& table) {
  switch (outcome) {
    case MatchOutcome::kConfirmed:
      ++tallies_[table].confirmed;
      break;
    case MatchOutcome::kAlreadyConfirmed:
      ++tallies_[table].already_confirmed;
      break;
    case MatchOutcome::kUnmatched:
      ++unmatched_;
      break;
  }
}

void ConsoleUi::ReplaceText(const QString& text) {
  clublog_reply_ = QStringList{text};
  Line(QStringLiteral("Club Log: ") + text);
}

void ConsoleUi::AddLines(const QStringList& lines) {
  clublog_reply_ += lines;
  for (const QString& line : lines) Line(QStringLiteral("Club Log: ") + line);
}

bool ConsoleUi::HasFailureMessage() const {
  for (const Message& message : messages_) {
    if (message.kind != MessageKind::kInformation) return true;
  }
  return false;
}

bool ConsoleUi::HasMessage(const QString& text) const {
  for (const Message& message : messages_) {
    if (message.text == text) return true;
  }
  return false;
}
