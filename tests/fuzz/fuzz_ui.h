#ifndef QORVSYNC_TESTS_FUZZ_FUZZ_UI_H_
#define QORVSYNC_TESTS_FUZZ_FUZZ_UI_H_

#include "platform/operation_ui.h"

// A window that shows nothing; progress must stay within 0 to 100.
class FuzzUi : public OperationUi {
 public:
  void SetCaption(const QString&) override {}
  QString LogName() const override { return QString(); }
  void SetProgress(int percent) override {
    if (percent < 0 || percent > 100) __builtin_trap();
  }
  void SetResult(ResultLabel, const QString&) override {}
  void ProcessEvents() override {}
  void ShowMessage(MessageKind, const QString&, const QString&) override {}
  void ShowTextFile(const QString&) override {}
  bool ChooseAdifFile(QString*) override { return false; }
};

#endif  // QORVSYNC_TESTS_FUZZ_FUZZ_UI_H_
