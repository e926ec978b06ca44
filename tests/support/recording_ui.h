#ifndef QORVSYNC_TESTS_SUPPORT_RECORDING_UI_H_
#define QORVSYNC_TESTS_SUPPORT_RECORDING_UI_H_

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>

#include "platform/operation_ui.h"

// An OperationUi that records what an operation shows and answers the file
// dialog from what the test prepared. No box is ever shown.
class RecordingUi : public OperationUi {
 public:
  struct Message {
    MessageKind kind;
    QString text;
    QString caption;
  };

  void SetCaption(const QString& caption) override { captions.append(caption); }
  QString LogName() const override { return log_name; }
  void SetProgress(int percent) override { progress.append(percent); }
  void SetResult(ResultLabel label, const QString& text) override { results[label] = text; }
  void ProcessEvents() override;
  void ShowMessage(MessageKind kind, const QString& text, const QString& caption) override {
    messages.append({kind, text, caption});
  }
  void ExplainFailure(const QString& explanation) override { explanations.append(explanation); }
  void ShowTextFile(const QString& path) override { text_files.append(path); }
  // Answers with the next prepared path; no path left means "cancelled".
  bool ChooseAdifFile(QString* path) override;

  QString log_name;
  QStringList captions;
  QList<int> progress;
  QMap<ResultLabel, QString> results;
  QList<Message> messages;
  QStringList explanations;
  QStringList text_files;
  QStringList chosen_files;  // answers for ChooseAdifFile, in order
  int dialogs_shown = 0;
  int event_passes = 0;
  // Runs at every ProcessEvents, for tests that act in the middle of a run.
  std::function<void()> on_process_events;
};

#endif  // QORVSYNC_TESTS_SUPPORT_RECORDING_UI_H_
