#ifndef QORVSYNC_TESTS_SUPPORT_SCRIPTED_DIALOGS_H_
#define QORVSYNC_TESTS_SUPPORT_SCRIPTED_DIALOGS_H_

#include <QList>
#include <QString>
#include <QStringList>

#include "app/dialogs.h"

// Dialogs that answer at once: message boxes are recorded, file dialogs take
// the next prepared answer (an empty answer cancels; no answer left cancels).
class ScriptedDialogs : public Dialogs {
 public:
  struct Message {
    MessageKind kind;
    QString text;
    QString caption;
  };
  struct FileRequest {
    QString filter;
    QString default_suffix;
    QString initial_path;
  };

  void ShowMessage(QWidget*, MessageKind kind, const QString& text,
                   const QString& caption) override {
    messages.append({kind, text, caption});
  }

  bool ChooseOpenFile(QWidget*, const QString& filter, const QString& default_suffix,
                      QString* path) override {
    file_requests.append({filter, default_suffix, *path});
    if (file_answers.isEmpty()) return false;
    const QString answer = file_answers.takeFirst();
    if (answer.isEmpty()) return false;
    *path = answer;
    return true;
  }

  QStringList MessageTexts() const {
    QStringList texts;
    for (const Message& message : messages) texts.append(message.text);
    return texts;
  }

  QList<Message> messages;
  QList<FileRequest> file_requests;
  QStringList file_answers;
};

#endif  // QORVSYNC_TESTS_SUPPORT_SCRIPTED_DIALOGS_H_
