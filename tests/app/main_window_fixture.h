#ifndef QORVSYNC_TESTS_APP_MAIN_WINDOW_FIXTURE_H_
#define QORVSYNC_TESTS_APP_MAIN_WINDOW_FIXTURE_H_

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <memory>

#include "app/tfrm_main.h"
#include "session/start_up.h"
#include "support/scripted_dialogs.h"

// A main window on the offscreen platform with its settings file in a
// private folder, a fixed screen and pre-answered dialogs.
class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder_.isValid()); }
  void TearDown() override { window_.reset(); }

  QString SettingsFile() const { return folder_.filePath(QStringLiteral("qorv.ini")); }

  TfrmMain& Create(MainActions actions = {}, ScreenMetrics screen = {QSize(1920, 1080), 96}) {
    window_ = std::make_unique<TfrmMain>(std::move(actions), dialogs_);
    window_->Storage().SetIniFileName(SettingsFile());
    window_->Storage().SetScreenMetrics([screen] { return screen; });
    window_->Config().ProgramFolder = folder_.path() + u'/';
    window_->Config().StateFolder = window_->Config().ProgramFolder;
    // As start-up reads them from the settings file.
    ReadServices(window_->Config());
    return *window_;
  }

  template <typename T>
  T* Find(const char* name) const {
    T* element = window_->findChild<T*>(QLatin1String(name));
    EXPECT_NE(element, nullptr) << name;
    return element;
  }

  QTabWidget* Pages() const { return Find<QTabWidget>("RzPageControl1"); }

  // A click on a tab of the page control, as the user makes it.
  void ClickTab(int index) const {
    QTabBar* bar = Pages()->tabBar();
    const QPointF pos = bar->tabRect(index).center();
    const QPointF global = bar->mapToGlobal(pos);
    QMouseEvent press(QEvent::MouseButtonPress, pos, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(bar, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, pos, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(bar, &release);
  }

  // A left click in the middle of a widget.
  static void ClickWidget(QWidget* widget) {
    const QPointF pos = QRectF(widget->rect()).center();
    const QPointF global = widget->mapToGlobal(pos);
    QMouseEvent press(QEvent::MouseButtonPress, pos, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, pos, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
  }

  QTemporaryDir folder_;
  ScriptedDialogs dialogs_;
  std::unique_ptr<TfrmMain> window_;
};

#endif  // QORVSYNC_TESTS_APP_MAIN_WINDOW_FIXTURE_H_
