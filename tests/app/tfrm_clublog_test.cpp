// The reply window as a real widget: its frame, its text box and its place in
// the bottom-right corner of the work area each time it is shown.
#include "app/tfrm_clublog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "platform/system_folders.h"

namespace {

TEST(TfrmClublogTest, FixedWindowWithCloseButtonOnTop) {
  TfrmClublog window;
  EXPECT_EQ(window.windowTitle(), "Reply from Clublog");
  EXPECT_EQ(window.size(), QSize(460, 143));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  const Qt::WindowFlags flags = window.windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::Window));
  EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_FALSE(window.isVisible());
  // Closing only hides it, and it never keeps the program alive.
  EXPECT_FALSE(window.testAttribute(Qt::WA_DeleteOnClose));
  EXPECT_FALSE(window.testAttribute(Qt::WA_QuitOnClose));

  window.show();
  QPlainTextEdit* memo = window.Memo1();
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(memo->objectName(), "Memo1");
  EXPECT_EQ(memo->geometry(), window.rect());
  EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_TRUE(memo->verticalScrollBar()->isVisible());
  EXPECT_TRUE(memo->horizontalScrollBar()->isVisible());
  EXPECT_EQ(memo->font().families().value(0), "Tahoma");
  EXPECT_EQ(memo->font().pixelSize(), 13);
}

TEST(TfrmClublogTest, ReturnsToTheCornerEachTimeItIsShown) {
  const QRect work_area = PrimaryWorkArea();
  ASSERT_FALSE(work_area.isEmpty());
  TfrmClublog window;
  window.show();
  EXPECT_EQ(window.frameGeometry().bottomRight(), work_area.bottomRight());

  // Moved by the user: a further show of the shown window leaves it there.
  window.move(work_area.topLeft() + QPoint(10, 10));
  window.show();
  EXPECT_EQ(window.pos(), work_area.topLeft() + QPoint(10, 10));

  // Closed and shown again: back in the corner, with its text kept.
  window.ReplaceText(QStringLiteral("Upload accepted and queued!"));
  EXPECT_TRUE(window.close());
  EXPECT_FALSE(window.isVisible());
  window.show();
  EXPECT_EQ(window.frameGeometry().bottomRight(), work_area.bottomRight());
  EXPECT_EQ(window.Memo1()->toPlainText(), "Upload accepted and queued!");
}

TEST(TfrmClublogTest, TheFirstWindowIsTheProgramsOne) {
  EXPECT_EQ(TfrmClublog::Program(), nullptr);
  {
    TfrmClublog first;
    TfrmClublog second;
    EXPECT_EQ(TfrmClublog::Program(), &first);
  }
  EXPECT_EQ(TfrmClublog::Program(), nullptr);
}

TEST(TfrmClublogTest, RepliesReplaceOrGoBelow) {
  TfrmClublog window;
  window.AddLines({"first reply"});
  window.AddLines({"second", "reply"});
  EXPECT_EQ(window.Memo1()->toPlainText(), "first reply\nsecond\nreply");
  window.ReplaceText(QStringLiteral("500"));
  EXPECT_EQ(window.Memo1()->toPlainText(), "500");
}

}  // namespace
