#include "tour_desktop.h"

#include "platform/app_error.h"
#include "platform/text_codec.h"

namespace {

constexpr int kShownLines = 6;

}  // namespace

void TourDialogs::ShowMessage(QWidget*, MessageKind, const QString& text, const QString& caption) {
  out_ << "    message box" << (caption.isEmpty() ? QString() : " \"" + caption + "\"") << ": "
       << QString(text).replace(u'\n', u' ') << " [OK]\n";
  out_.flush();
}

bool TourDialogs::ChooseOpenFile(QWidget*, const QString&, const QString&, QString* path) {
  if (next_file_.isEmpty()) {
    out_ << "    open-file dialog: [Cancel]\n";
    return false;
  }
  *path = next_file_;
  next_file_.clear();
  out_ << "    open-file dialog: " << *path << " [Open]\n";
  out_.flush();
  return true;
}

void TourShell::OpenUrl(const QString& url) { out_ << "    browser opens " << url << '\n'; }

void TourShell::OpenTextFile(const QString& path) {
  QStringList lines;
  try {
    lines = ReadTextFileLines(path);
  } catch (const AppError& error) {
    out_ << "    text editor cannot open " << path << ": " << error.Message() << '\n';
    return;
  }
  out_ << "    text editor opens " << path << " (" << lines.size() << " lines)\n";
  for (qsizetype i = 0; i < lines.size() && i < kShownLines; ++i) {
    out_ << "      | " << lines[i] << '\n';
  }
  if (lines.size() > kShownLines) out_ << "      | ...\n";
  out_.flush();
}
