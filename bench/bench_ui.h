#ifndef QORVSYNC_BENCH_BENCH_UI_H_
#define QORVSYNC_BENCH_BENCH_UI_H_

#include <QCoreApplication>

#include "platform/operation_ui.h"

// The window a benchmarked run reports to: pending events run as they would
// in the program, nothing is drawn and no box is shown.
class BenchUi : public OperationUi {
 public:
  void SetCaption(const QString&) override {}
  QString LogName() const override { return {}; }
  void SetProgress(int) override {}
  void SetResult(ResultLabel, const QString&) override {}
  void ProcessEvents() override { QCoreApplication::processEvents(); }
  void ShowMessage(MessageKind, const QString&, const QString&) override {}
  void ShowTextFile(const QString&) override {}
  bool ChooseAdifFile(QString*) override { return false; }
};

#endif  // QORVSYNC_BENCH_BENCH_UI_H_
