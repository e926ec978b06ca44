// The [Watch] settings and the sent record, as files.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/app_error.h"
#include "platform/text_codec.h"
#include "watch/sent_store.h"
#include "watch/watch_settings.h"

namespace {

TEST(WatchSettingsTest, OffByDefaultAndReadAsWritten) {
  QTemporaryDir dir;
  const QString path = dir.filePath("qorv.ini");
  struct Case {
    QStringList lines;
    WatchSettings expected;
  };
  const Case cases[] = {
      {{}, {{}, false, 600, 6}},
      {{"[Watch]", "Logs= Main , Contest,,", "ClublogRealtime=1", "QorvQuietMinutes=3",
        "DownloadHours=0"},
       {{"Main", "Contest"}, true, 180, 0}},
      {{"[Watch]", "Logs=Main", "QorvQuietMinutes=0.05"}, {{"Main"}, false, 3, 6}},
      // A number that cannot be read keeps its default.
      {{"[watch]", "logs=Main", "ClublogRealtime=yes", "QorvQuietMinutes=-1", "DownloadHours=x"},
       {{"Main"}, false, 600, 6}},
  };
  for (const Case& test : cases) {
    WriteTextFileLines(path, test.lines);
    EXPECT_EQ(WatchSettings::Read(path), test.expected) << test.lines.join(' ').toStdString();
  }
}

TEST(WatchSettingsTest, TheFileIsReadAgainOnlyWhenItChanged) {
  QTemporaryDir dir;
  const QString path = dir.filePath("qorv.ini");
  WriteTextFileLines(path, {"[Watch]", "Logs=Main"});
  WatchSettingsFile file(path);
  EXPECT_TRUE(file.Reload());
  const QByteArray digest = file.Digest();
  EXPECT_FALSE(file.Reload());
  // Same size, same modification second: the bytes decide.
  WriteTextFileLines(path, {"[Watch]", "Logs=Mai2"});
  EXPECT_TRUE(file.Reload());
  EXPECT_EQ(file.Current().logs, QStringList{"Mai2"});
  EXPECT_NE(file.Digest(), digest);
}

TEST(SentStoreTest, KeepsMarksQsosAndTheBlockAcrossAReopen) {
  QTemporaryDir dir;
  const QString path = dir.filePath("watch-sent.json");
  {
    SentStore store(path);
    store.SetMark("log_main", 41);
    store.SetMark("log_other", 7);
    store.Put({"log_main", 42}, {SentEntry::State::kSent, {"K1ABC\t2026-12-11"}, {}});
    store.Put({"log_main", 43}, {SentEntry::State::kSending, {"K2ABC"}, {}});
    store.Put({"log_main", 44}, {SentEntry::State::kRejected, {"K3ABC"}, "Invalid callsign"});
    store.Put({"log_other", 8}, {SentEntry::State::kSent, {"K4ABC"}, {}});
    store.SetBlocked(SentStore::Block{"blocked", "abc"});
    store.ClearTable("log_other");
  }
  const SentStore store(path);
  EXPECT_EQ(store.Mark("log_main"), 41);
  EXPECT_FALSE(store.Mark("log_other"));
  EXPECT_EQ(store.Find({"log_other", 8}), nullptr);
  ASSERT_NE(store.Find({"log_main", 42}), nullptr);
  EXPECT_EQ(store.Find({"log_main", 42})->fingerprint.text, "K1ABC\t2026-12-11");
  EXPECT_EQ(store.Sending(), (QList<LogRow>{{"log_main", 43}}));
  ASSERT_EQ(store.Rejected().size(), 1);
  EXPECT_EQ(store.Rejected()[0].second.reason, "Invalid callsign");
  ASSERT_TRUE(store.Blocked());
  EXPECT_EQ(store.Blocked()->settings_digest, "abc");
}

TEST(SentStoreTest, AFileThatCannotBeReadStopsInsteadOfStartingAfresh) {
  QTemporaryDir dir;
  const QString path = dir.filePath("watch-sent.json");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("{\"marks\":{\"log_main\":4");
  file.close();
  EXPECT_THROW(SentStore{path}, AppError);
}

}  // namespace
