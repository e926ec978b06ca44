#include "bench_startup.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/dialogs.h"
#include "app/program_actions.h"
#include "app/tfrm_main.h"
#include "app/visual_style.h"
#include "bench_support.h"
#include "platform/app_error.h"

namespace {

// A start-up error would open a box nobody closes: print it instead.
class PrintedDialogs : public Dialogs {
 public:
  void ShowMessage(QWidget*, MessageKind, const QString& text, const QString&) override {
    std::fprintf(stderr, "start-up message: %s\n", qPrintable(text));
    ++shown;
  }
  bool ChooseOpenFile(QWidget*, const QString&, const QString&, QString*) override { return false; }
  int shown = 0;
};

// Ends the wait at the window's first paint.
class FirstPaint : public QObject {
 public:
  explicit FirstPaint(QEventLoop& loop) : loop_(loop) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) loop_.quit();
    return false;
  }

 private:
  QEventLoop& loop_;
};

}  // namespace

int RunStartupBenchmark(const QElapsedTimer& since_process_start) {
  PrintedDialogs dialogs;
  try {
    ApplyVisualStyle(*qApp);
  } catch (const AppError& error) {
    dialogs.ShowMessage(nullptr, MessageKind::kError, error.Message(), QString());
  }
  const qint64 before_window = since_process_start.nsecsElapsed();
  QEventLoop loop;
  FirstPaint first_paint(loop);
  TfrmMain window(ProgramActions(), dialogs);
  window.installEventFilter(&first_paint);
  window.show();
  QTimer::singleShot(10000, &loop, &QEventLoop::quit);
  loop.exec();
  const double seconds = since_process_start.nsecsElapsed() / 1e9;
  const double window_seconds = (since_process_start.nsecsElapsed() - before_window) / 1e9;
  std::printf(
      "start-up: %.3f s from main() to the first paint (%.3f s of it the window), "
      "caption \"%s\"\n",
      seconds, window_seconds, qPrintable(window.windowTitle()));
  PrintRow("start-up to first shown window", 1, {seconds, 0, PeakMemoryMb()}, {});
  // The measurement ends here: closing would start the logbook, which this
  // installation does not have.
  std::fflush(stdout);
  std::_Exit(dialogs.shown == 0 ? 0 : 1);
}
