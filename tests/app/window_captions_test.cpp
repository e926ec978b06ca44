// Every caption of both windows fits its element, with Tahoma and with the
// face that stands in for it where Tahoma is missing.
#include <QAbstractButton>
#include <QCheckBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTabBar>

#include "app/tfrm_clublog.h"
#include "app/visual_style.h"
#include "app/window_font.h"
#include "main_window_fixture.h"

namespace {

// The width a caption needs in its element: the text, plus the check box's
// indicator and the space after it, or the button's frame and padding.
int NeededWidth(const QWidget* element, const QString& text) {
  const QFontMetrics metrics(element->font());
  const int text_width = metrics.horizontalAdvance(text);
  const QStyle* style = element->style();
  if (qobject_cast<const QCheckBox*>(element) != nullptr) {
    return text_width + style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, element) +
           style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, element);
  }
  if (auto* button = qobject_cast<const QPushButton*>(element)) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = text;
    return style
        ->sizeFromContents(QStyle::CT_PushButton, &option, QSize(text_width, metrics.height()),
                           element)
        .width();
  }
  return text_width;
}

// The captions of a window that do not fit their elements, or whose elements
// reach past their parents, each with the widths concerned.
QStringList CutCaptions(QWidget& window) {
  QStringList cut;
  const auto check = [&cut](const QString& name, const QString& text, int needed, int width,
                            bool inside) {
    if (needed > width || !inside) {
      cut.append(QStringLiteral("%1 \"%2\": needs %3, has %4%5")
                     .arg(name, text)
                     .arg(needed)
                     .arg(width)
                     .arg(inside ? QString() : QStringLiteral(", reaches past its parent")));
    }
  };
  for (QWidget* element : window.findChildren<QWidget*>()) {
    QString text;
    if (auto* button = qobject_cast<QAbstractButton*>(element)) text = button->text();
    if (auto* label = qobject_cast<QLabel*>(element)) text = label->text();
    if (text.isEmpty()) continue;
    element->ensurePolished();
    check(element->objectName(), text, NeededWidth(element, text), element->width(),
          element->geometry().right() < element->parentWidget()->width());
  }
  for (QTabBar* bar : window.findChildren<QTabBar*>()) {
    bar->ensurePolished();
    for (int i = 0; i < bar->count(); ++i) {
      const QRect tab = bar->tabRect(i);
      check(QStringLiteral("tab %1").arg(i), bar->tabText(i),
            QFontMetrics(bar->font()).horizontalAdvance(bar->tabText(i)), tab.width(),
            tab.right() < bar->width());
    }
  }
  return cut;
}

TEST_F(MainWindowTest, EveryCaptionFitsWithTahomaAndWithoutIt) {
  ApplyVisualStyle(*qApp);
  for (const bool tahoma_installed : {true, false}) {
    SCOPED_TRACE(tahoma_installed ? "Tahoma" : "without Tahoma");
    // As in a program just started: the system's font until the window sets
    // its own.
    QApplication::setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    const QList<int> added = tahoma_installed ? LoadWindowFonts() : QList<int>();
    ASSERT_EQ(QFontDatabase::families().contains("Tahoma"), tahoma_installed);
    TfrmMain& window = Create();
    window.show();
    EXPECT_EQ(QFontInfo(window.font()).family() == "Tahoma", tahoma_installed)
        << QFontInfo(window.font()).family().toStdString();
    EXPECT_EQ(window.font().pointSize(), 8);
    EXPECT_EQ(CutCaptions(window).join(u'\n').toStdString(), "");
    TfrmClublog reply;
    reply.show();
    EXPECT_EQ(CutCaptions(reply).join(u'\n').toStdString(), "");
    window_.reset();
    for (int id : added) QFontDatabase::removeApplicationFont(id);
  }
  qApp->setStyleSheet(QString());
}

}  // namespace
