// The element values the window stores in "qorv.ini" are the options the
// command line reads from it: one list of stored names serves both.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "main_window_fixture.h"
#include "session/stored_options.h"

namespace {

class StoredOptionsParityTest : public MainWindowTest {};

TEST_F(StoredOptionsParityTest, WhatTheWindowStoresTheCommandLineReads) {
  TfrmMain& window = Create();
  window.show();
  // Each value differs from what the reader starts with below, so an option
  // it does not find under the window's name shows.
  Find<QCheckBox>("cbUpdateloc")->setChecked(true);
  Find<QCheckBox>("cbUpdatestate")->setChecked(false);
  Find<QCheckBox>("cbUpdateIOTA")->setChecked(true);
  Find<QCheckBox>("cbCNTY")->setChecked(false);
  Find<QComboBox>("cmbCNTY")->setCurrentText(QStringLiteral("State2"));
  Find<QCheckBox>("cbKeep")->setChecked(true);
  Find<QCheckBox>("cbClublog")->setChecked(false);
  Find<QLineEdit>("clublogemail")->setText(QStringLiteral("op@example.org"));
  Find<QLineEdit>("callsign")->setText(QStringLiteral("K1ABC"));
  Find<QLineEdit>("password")->setText(QStringLiteral("se cret"));
  Find<QComboBox>("edLocation")->setCurrentText(QStringLiteral("Home QTH"));
  window.close();

  StoredOptions options;
  options.confirmation = {false, true, false, true, QStringLiteral("State4")};
  options.keep_files = false;
  options.clublog = true;
  options.location = QStringLiteral("from the registry");
  ReadStoredOptions(SettingsFile(), options);

  EXPECT_TRUE(options.confirmation.update_locator);
  EXPECT_FALSE(options.confirmation.update_state);
  EXPECT_TRUE(options.confirmation.update_iota);
  EXPECT_FALSE(options.confirmation.update_county);
  EXPECT_EQ(options.confirmation.county_column, "State2");
  EXPECT_TRUE(options.keep_files);
  EXPECT_FALSE(options.clublog);
  EXPECT_EQ(options.clublog_email, "op@example.org");
  EXPECT_EQ(options.clublog_callsign, "K1ABC");
  EXPECT_EQ(options.clublog_password, "se cret");
  EXPECT_EQ(options.location, "Home QTH");
}

}  // namespace
