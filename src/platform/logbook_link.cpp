#include "platform/logbook_link.h"

using namespace window_link;

namespace {

const QString kEntryWindowClass = QStringLiteral("TfmEditNewQso");
const QString kPanelClass = QStringLiteral("TPanel");
const QString kToolBarClass = QStringLiteral("TToolBar");
const QString kSelectorClass = QStringLiteral("TRxDBLookupCombo");
const QString kEntryFieldClass = QStringLiteral("TdxButtonEdit");

// Room for 19 characters and the terminating zero.
constexpr int kSelectorTextRoom = 20;
constexpr int kEntrySubPanel = 4;

}  // namespace

LogbookLink::LogbookLink(WindowLink& link) : link_(link) {}

void LogbookLink::LocateLogSelector() {
  logbook_window_ = link_.FindWindow(kEntryWindowClass);
  LocateSelectorFromWindow();
  log_selector_id_ = link_.GetCtrlId(logbook_control_);
}

void LogbookLink::LocateSelectorFromWindow() {
  const WindowHandle first_panel = link_.FindChild(logbook_window_, 0, kPanelClass);
  logbook_container_ = first_panel;
  logbook_container_ = link_.FindChild(logbook_window_, first_panel, kToolBarClass);
  logbook_control_ = link_.FindChild(logbook_container_, 0, kSelectorClass);
}

QString LogbookLink::PollSelectorText(const QString& log_name) {
  logbook_window_ = link_.FindWindow(kEntryWindowClass);
  if (logbook_window_ == 0) return QString();
  LocateSelectorFromWindow();
  if (logbook_control_ == 0) return QString();
  const QString text = link_.GetText(logbook_control_, kSelectorTextRoom);
  if (text.isEmpty() || text == log_name) return QString();
  return text;
}

WindowHandle LogbookLink::FindFourthSubPanel(int top_index) {
  logbook_window_ = link_.FindWindow(kEntryWindowClass);
  WindowHandle top_panel = 0;
  for (int i = 0; i <= top_index; ++i) {
    top_panel = link_.FindChild(logbook_window_, top_panel, kPanelClass);
    if (top_panel == 0) break;
  }
  logbook_container_ = top_panel;
  // Stops at the first missing sub-panel: starting again "after 0" would
  // count the first sub-panels twice.
  WindowHandle sub_panel = 0;
  for (int i = 0; i < kEntrySubPanel; ++i) {
    sub_panel = link_.FindChild(top_panel, sub_panel, kPanelClass);
    if (sub_panel == 0) break;
  }
  logbook_control_ = sub_panel;
  return sub_panel;
}

void LogbookLink::PutIntoField(int top_index, const QString& text) {
  const WindowHandle sub_panel = FindFourthSubPanel(top_index);
  logbook_container_ = link_.FindChild(sub_panel, 0, kEntryFieldClass);
  link_.SetText(logbook_container_, text);
}

void LogbookLink::SetLogbookEntryText(const QString& text) {
  logbook_window_ = link_.FindWindow(kEntryWindowClass);
  const WindowHandle first_panel = link_.FindChild(logbook_window_, 0, kPanelClass);
  logbook_container_ = first_panel;
  const bool first_has_sub_panels = link_.FindChild(first_panel, 0, kPanelClass) != 0;
  PutIntoField(first_has_sub_panels ? 0 : 1, text);
  PutIntoField(0, text);
  PutIntoField(1, text);
}

bool LogbookLink::HasEntryWindow() { return link_.FindWindow(kEntryWindowClass) != 0; }

void LogbookLink::NudgeLogbook(const DelayFunction& delay) {
  SetLogbookEntryText(QStringLiteral("HH"));
  delay(1000);
  for (int click = 0; click < 2; ++click) {
    link_.Send(logbook_control_, kWmLButtonDown, 0, 0);
    link_.Send(logbook_control_, kWmLButtonUp, 0, 0);
  }
  const quintptr wparam = (quintptr(kCbnSelChange) << 16) | quintptr(log_selector_id_ & 0xFFFF);
  link_.Send(logbook_window_, kWmCommand, wparam, qint64(logbook_control_));
  SetLogbookEntryText(QString());
}
