// The window's elements: names, kinds, texts, pages, places, and the window's
// own frame.
#include <QAbstractButton>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>

#include "app_test_support.h"
#include "main_window_fixture.h"

namespace {

struct Element {
  const char* name;
  const char* kind;
  const char* where;  // the page or panel it stands on
  QRect geometry;     // empty: not compared (labels size themselves)
  const char* text;   // caption or hint; nullptr: not compared
};

const Element kElements[] = {
    {"Image1", "ClickLabel", "TabSheet1", {0, 0, 238, 200}, "Click to enter Qorv"},
    {"RzLabel1", "QLabel", "TabSheet1", {273, 41, 0, 0}, "Own Call:"},
    {"DateTimePicker", "QDateEdit", "TabSheet1", {244, 14, 112, 21}, nullptr},
    {"edOwnCall", "QLineEdit", "TabSheet1", {244, 55, 112, 21}, ""},
    // Wider than designed: the caption with this toolkit's indicator needs it.
    {"cbUpdateloc", "QCheckBox", "TabSheet1", {244, 80, 120, 17}, "Update QTH locator"},
    {"cbUpdatestate", "QCheckBox", "TabSheet1", {244, 100, 89, 17}, "Update State"},
    {"cbUpdateIOTA", "QCheckBox", "TabSheet1", {244, 120, 97, 17}, "Update IOTA"},
    {"cbCNTY", "QCheckBox", "TabSheet1", {244, 140, 60, 17}, "CNTY-->"},
    {"cmbCNTY", "QComboBox", "TabSheet1", {305, 139, 62, 21}, "State4"},
    {"cbLoadDate", "QCheckBox", "TabSheet1", {375, 3, 97, 17}, "Load from Date"},
    {"Label3", "QLabel", "TabSheet1", {392, 24, 0, 0}, "Start Date"},
    {"DateTimePicker1", "QDateEdit", "TabSheet1", {374, 41, 98, 21}, nullptr},
    {"Label4", "QLabel", "TabSheet1", {397, 74, 0, 0}, "End Date"},
    {"DateTimePicker3", "QDateEdit", "TabSheet1", {374, 91, 98, 21}, nullptr},
    {"RzLabel2", "QLabel", "TabSheet1", {392, 137, 0, 0}, ""},
    {"btnQorvAdif", "QPushButton", "TabSheet1", {258, 170, 109, 25}, "Load adif file"},
    {"Bevel1", "QFrame", "TabSheet1", {368, 1, 3, 130}, nullptr},
    {"Bevel4", "QFrame", "TabSheet1", {370, 128, 115, 3}, nullptr},
    {"Image2", "ClickLabel", "TabSheet2", {0, 0, 238, 200}, "Click to enter eQSLcc"},
    {"DateTimePicker2", "QDateEdit", "TabSheet2", {244, 14, 110, 21}, nullptr},
    {"cbLoadDateEQSL", "QCheckBox", "TabSheet2", {375, 3, 97, 17}, "Load from Date"},
    {"Label6", "QLabel", "TabSheet2", {392, 24, 0, 0}, "Start Date"},
    {"DateTimePicker5", "QDateEdit", "TabSheet2", {374, 41, 98, 21}, nullptr},
    {"Label5", "QLabel", "TabSheet2", {397, 74, 0, 0}, "End Date"},
    {"DateTimePicker4", "QDateEdit", "TabSheet2", {374, 91, 98, 21}, nullptr},
    {"RzLabel3", "QLabel", "TabSheet2", {300, 132, 0, 0}, ""},
    {"btnIgnore", "QPushButton", "TabSheet2", {297, 168, 145, 25}, "Ignore List"},
    {"Bevel2", "QFrame", "TabSheet2", {360, 2, 3, 120}, nullptr},
    {"Bevel3", "QFrame", "TabSheet2", {242, 123, 240, 3}, nullptr},
    {"Image3", "ClickLabel", "TabSheet3", {0, 0, 238, 200}, "Click to enter Qorv"},
    {"Label1", "QLabel", "TabSheet3", {312, 9, 0, 0}, "Path to TQSL.exe"},
    {"edtTqsl", "QLineEdit", "TabSheet3", {244, 31, 228, 21}, ""},
    {"Label2", "QLabel", "TabSheet3", {286, 77, 0, 0}, "TQSL Station Location Name"},
    {"edLocation", "DropDownComboBox", "TabSheet3", {284, 96, 145, 21}, ""},
    {"lbQorv", "QLabel", "TabSheet3", {244, 136, 0, 0}, ""},
    {"cbKeep", "QCheckBox", "TabSheet3", {290, 176, 129, 17}, "Save adi and tq8 files"},
    {"Image4", "QLabel", "TabSheet4", {0, 0, 238, 85}, nullptr},
    {"Label7", "QLabel", "TabSheet4", {320, 3, 0, 0}, "email clublog"},
    {"clublogemail", "QLineEdit", "TabSheet4", {280, 24, 177, 24}, ""},
    {"Label8", "QLabel", "TabSheet4", {343, 51, 0, 0}, "Callsign"},
    {"callsign", "QLineEdit", "TabSheet4", {287, 72, 161, 24}, ""},
    {"Label9", "QLabel", "TabSheet4", {312, 102, 0, 0}, "Clublog password"},
    {"password", "QLineEdit", "TabSheet4", {287, 124, 161, 24}, ""},
    {"CheckBox1", "QCheckBox", "TabSheet4", {264, 128, 17, 17}, ""},
    {"btnADIF", "QPushButton", "TabSheet4", {72, 158, 113, 25}, "Load ADIF"},
    {"cbClublog", "QCheckBox", "TabSheet4", {304, 168, 128, 20}, "Upload with Qorv"},
    {"RzPageControl1", "QTabWidget", "centralwidget", {0, 0, 495, 227}, nullptr},
    {"Panel1", "QFrame", "centralwidget", {0, 227, 495, 72}, nullptr},
    {"ProgressBar", "QProgressBar", "Panel1", {16, 6, 457, 28}, nullptr},
    {"btnQorv", "QPushButton", "Panel1", {170, 40, 152, 25}, "Download confirmations"},
};

QString TextOf(const QWidget* widget) {
  if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
  if (auto* edit = qobject_cast<const QLineEdit*>(widget)) return edit->text();
  if (auto* combo = qobject_cast<const QComboBox*>(widget)) return combo->currentText();
  if (auto* label = qobject_cast<const QLabel*>(widget)) {
    return label->toolTip().isEmpty() ? label->text() : label->toolTip();
  }
  return QString();
}

TEST_F(MainWindowTest, EveryElementHasItsKindPlaceAndText) {
  Create();
  for (const Element& expected : kElements) {
    SCOPED_TRACE(expected.name);
    const QWidget* element = Find<QWidget>(expected.name);
    ASSERT_NE(element, nullptr);
    EXPECT_TRUE(element->inherits(expected.kind)) << element->metaObject()->className();
    EXPECT_EQ(element->parentWidget()->objectName(), QLatin1String(expected.where));
    EXPECT_EQ(element->pos(), expected.geometry.topLeft());
    if (!expected.geometry.isEmpty()) {
      EXPECT_EQ(element->size(), expected.geometry.size());
    }
    if (expected.text != nullptr) {
      EXPECT_EQ(TextOf(element), QString::fromUtf8(expected.text));
    }
  }
}

TEST_F(MainWindowTest, PagesCarryTheirCaptionsInOrder) {
  Create();
  const char* names[] = {"TabSheet1", "TabSheet2", "TabSheet3", "TabSheet4"};
  const char* captions[] = {"Qorv Download", "eQSLcc Download", "Upload to Qorv",
                            "Clublog Settings"};
  ASSERT_EQ(Pages()->count(), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(Pages()->widget(i)->objectName(), QLatin1String(names[i]));
    EXPECT_EQ(Pages()->tabText(i), QLatin1String(captions[i]));
  }
}

TEST_F(MainWindowTest, WindowIsFixedOnTopWithoutMaximize) {
  TfrmMain& window = Create();
  window.show();
  EXPECT_EQ(window.size(), QSize(495, 318));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  const Qt::WindowFlags flags = window.windowFlags();
  EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_FALSE(window.statusBar()->isSizeGripEnabled());
  EXPECT_EQ(window.statusBar()->height(), 19);
  EXPECT_EQ(window.statusBar()->geometry().top(), 299);
  const QLabel* panel = Find<QLabel>("StatusPanel");
  EXPECT_EQ(panel->text(), QStringLiteral("v" QORVSYNC_VERSION));
  EXPECT_EQ(panel->width(), 50);
  EXPECT_EQ(panel->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
  const QTimer* timer = Find<QTimer>("Timer");
  EXPECT_EQ(timer->interval(), 300);
  EXPECT_FALSE(timer->isActive());
}

TEST_F(MainWindowTest, BoxesBehaveAsDesigned) {
  ScopedRegionalSettings regional({u'.', u':', QStringLiteral("d.m.yy")});
  Create();
  // Date boxes show a four-digit year in the user's order and separator.
  auto* date = Find<QDateEdit>("DateTimePicker");
  date->setDate(QDate(2021, 10, 31));
  EXPECT_EQ(date->text(), QStringLiteral("31.10.2021"));
  EXPECT_TRUE(Find<QWidget>("DateTimePicker1")->isHidden());
  EXPECT_TRUE(Find<QWidget>("DateTimePicker4")->isHidden());

  auto* own_call = Find<QLineEdit>("edOwnCall");
  own_call->setText(QStringLiteral("dl1abc/p"));
  EXPECT_EQ(own_call->text(), QStringLiteral("DL1ABC/P"));

  auto* county = Find<QComboBox>("cmbCNTY");
  EXPECT_TRUE(county->isEditable());
  ASSERT_EQ(county->count(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(county->itemText(i), QStringLiteral("State%1").arg(i + 1));
  EXPECT_TRUE(Find<QComboBox>("edLocation")->isEditable());

  auto* password = Find<QLineEdit>("password");
  password->ensurePolished();
  EXPECT_EQ(password->echoMode(), QLineEdit::Password);
  EXPECT_EQ(password->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, password),
            '*');
  EXPECT_EQ(Find<QProgressBar>("ProgressBar")->maximum(), 100);
}

}  // namespace
