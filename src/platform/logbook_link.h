#ifndef QORVSYNC_PLATFORM_LOGBOOK_LINK_H_
#define QORVSYNC_PLATFORM_LOGBOOK_LINK_H_

#include <QString>
#include <functional>

#include "platform/window_link.h"

// The program's hold on the logbook's entry window: the shared handles as
// last looked up, the look-up of the log selector, the log poll's reading of
// the selector, and the nudge that makes the logbook show database changes.
// Windows are found by class only; what is not found is 0 and nothing is
// sent to it.
class LogbookLink {
 public:
  // Waits the given milliseconds while pending events (the log poll among
  // them) run; the program passes its Delay.
  using DelayFunction = std::function<void(quint32)>;

  explicit LogbookLink(WindowLink& link);

  WindowHandle LogbookWindow() const { return logbook_window_; }
  WindowHandle LogbookContainer() const { return logbook_container_; }
  WindowHandle LogbookControl() const { return logbook_control_; }
  qint64 LogSelectorId() const { return log_selector_id_; }

  // Finds the entry window, its toolbar after the first top panel and the
  // log selector in it, and reads the selector's control id.
  void LocateLogSelector();

  // One run of the log poll up to the reading of the selector: finds the
  // entry window and the selector again (the id is left as it is) and reads
  // the selector's text, at most 19 characters. Returns the log name to
  // switch to, or an empty text when there is nothing to do: no entry
  // window, no selector, an empty text, or the text equal to `log_name`
  // (with letter case).
  QString PollSelectorText(const QString& log_name);

  // Puts the text into the entry field of the fourth sub-panel of the first
  // top panel (field A) and of the second top panel (field B): first into A
  // when the first top panel has sub-panels, else into B; then into A; then
  // into B. Leaves the entry window, the fourth sub-panel of the second top
  // panel as the control and field B as the container.
  void SetLogbookEntryText(const QString& text);

  // "HH" into the entry fields, a wait of one second, two clicks on the
  // control and the selection-change command to the entry window, then the
  // entry fields emptied. The clicks and the command use the handles as they
  // stand after the wait: a log poll during the wait puts the selector back
  // as the control.
  void NudgeLogbook(const DelayFunction& delay);
  // Whether the logbook's QSO entry window, which a nudge reaches, is open.
  bool HasEntryWindow();

 private:
  void LocateSelectorFromWindow();
  // The fourth sub-panel of the top panel `top_index` (0 or 1), recording
  // the look-up in the shared handles; 0 when any step is missing.
  WindowHandle FindFourthSubPanel(int top_index);
  void PutIntoField(int top_index, const QString& text);

  WindowLink& link_;
  WindowHandle logbook_window_ = 0;
  WindowHandle logbook_container_ = 0;
  WindowHandle logbook_control_ = 0;
  qint64 log_selector_id_ = 0;
};

#endif  // QORVSYNC_PLATFORM_LOGBOOK_LINK_H_
