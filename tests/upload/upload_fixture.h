#ifndef QORVSYNC_TESTS_UPLOAD_UPLOAD_FIXTURE_H_
#define QORVSYNC_TESTS_UPLOAD_UPLOAD_FIXTURE_H_

#include <gtest/gtest.h>

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "create/logbook_schema.h"
#include "logdb/log_database.h"
#include "support/recording_ui.h"
#include "upload/qorv_upload.h"

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const QByteArray& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  QByteArray name_;
  bool had_ = false;
  QByteArray previous_;
};

// One QSO of a fixture log, the columns the export reads.
Qso MakeQso(const QString& call, const QString& date, const QString& time, double digi_band,
            const QString& qso_band, const QString& mode, const QString& sat_name = QString(),
            bool sent = false);

// A logbook installation with one log table "Log1" in a real SQLite file, the
// program folder with the shipped "Submode.txt", TQSL's station data with the
// location "Home", the TQSL double as the configured TQSL, and a PATH in
// which the bare name "tqsl.exe" finds nothing.
class UploadFixture : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Adds rows to Log1; their ids are 1, 2, ... in the order added.
  void AddQsos(const QList<Qso>& qsos);
  // QorvSent of every row of Log1, by id.
  QMap<qint64, int> SentFlags();
  // The file names in "Qorv Logs", sorted.
  QStringList ExportFolderFiles() const;
  QString ExportFolder() const { return install_ + QStringLiteral("Qorv Logs"); }

  bool Run() {
    outcome_ = RunQorvUpload(ui_, *database_, request_, hooks_);
    return outcome_.common_tail;
  }
  void SetEnv(const char* name, const QByteArray& value) {
    env_.push_back(std::make_unique<ScopedEnv>(name, value));
  }

  QTemporaryDir root_;
  QString install_;  // ends with "/"
  QString program_;  // ends with "/"
  QString tqsl_dir_;
  std::unique_ptr<LogbookDatabaseWriter> writer_;
  std::unique_ptr<LogDatabase> database_;
  std::vector<std::unique_ptr<ScopedEnv>> env_;
  RecordingUi ui_;
  QorvUploadRequest request_;
  QorvUploadHooks hooks_;
  UploadOutcome outcome_;  // of the last Run
  // What the hooks answer and saw.
  QString service_ = QStringLiteral("http://127.0.0.1:9");
  bool keep_files_ = false;
  bool clublog_ = false;
  bool clublog_result_ = true;
  QStringList clublog_files_;
  QList<bool> clublog_keeps_;  // keep_export of each Club Log step
};

// Path of a double built under tools/.
QString DoublePath(const QString& relative);

#endif  // QORVSYNC_TESTS_UPLOAD_UPLOAD_FIXTURE_H_
