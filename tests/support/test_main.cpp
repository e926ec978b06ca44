// Test entry point: a QApplication on the offscreen platform, and a private
// registry, runtime folder and home for the whole run, so that no test sees
// the machine's own settings or locale. The time zone stays the one the tests
// are run in: tests that depend on it set their own, and the rest must hold
// in any zone.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <cstdlib>

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("LANG", "C.UTF-8", 1);
  setenv("LC_ALL", "C.UTF-8", 1);
  QTemporaryDir sandbox;
  const QByteArray root = sandbox.path().toUtf8();
  setenv("XDG_CONFIG_HOME", (root + "/config").constData(), 1);
  setenv("XDG_RUNTIME_DIR", (root + "/runtime").constData(), 1);
  setenv("HOME", (root + "/home").constData(), 1);
  unsetenv("TQSLDIR");
  unsetenv("http_proxy");
  unsetenv("https_proxy");
  unsetenv("HTTP_PROXY");
  unsetenv("HTTPS_PROXY");
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
