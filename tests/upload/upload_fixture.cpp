#include "upload/upload_fixture.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>

#include "platform/text_codec.h"

ScopedEnv::ScopedEnv(const char* name, const QByteArray& value)
    : name_(name), had_(qEnvironmentVariableIsSet(name)), previous_(qgetenv(name)) {
  qputenv(name, value);
}

ScopedEnv::~ScopedEnv() {
  if (had_) {
    qputenv(name_.constData(), previous_);
  } else {
    qunsetenv(name_.constData());
  }
}

Qso MakeQso(const QString& call, const QString& date, const QString& time, double digi_band,
            const QString& qso_band, const QString& mode, const QString& sat_name, bool sent) {
  Qso qso;
  qso.CallSign = call;
  qso.QSODate = date;
  qso.QSOTime = time;
  qso.DigiBand = digi_band;
  qso.QSOBand = qso_band;
  qso.QSOMode = mode;
  qso.SAT_NAME = sat_name;
  qso.QorvSent = sent;
  return qso;
}

QString DoublePath(const QString& relative) {
  return QStringLiteral(QORV_BINARY_DIR "/tools/") + relative;
}

void UploadFixture::SetUp() {
  ASSERT_TRUE(root_.isValid());
  install_ = root_.filePath(QStringLiteral("install")) + u'/';
  program_ = root_.filePath(QStringLiteral("program")) + u'/';
  tqsl_dir_ = root_.filePath(QStringLiteral("tqsl"));
  for (const QString& dir : {install_ + "db", program_, tqsl_dir_, root_.filePath("bin")}) {
    ASSERT_TRUE(QDir().mkpath(dir));
  }
  ASSERT_TRUE(QFile::copy(QStringLiteral(QORV_SOURCE_DIR "/src/upload/Submode.txt"),
                          program_ + QStringLiteral("Submode.txt")));
  WriteFileBytes(tqsl_dir_ + QStringLiteral("/station_data"),
                 "<StationDataFile>\n<StationData name=\"Home\">\n<CALL>N0CALL</CALL>\n"
                 "<GRIDSQUARE>FN31</GRIDSQUARE>\n</StationData>\n</StationDataFile>\n");
  SetEnv("TQSLDIR", QFile::encodeName(tqsl_dir_));
  SetEnv("PATH", QFile::encodeName(root_.filePath("bin")));
  SetEnv("TQSL_DOUBLE_MODE", "");
  SetEnv("TQSL_DOUBLE_DELAY_MS", "0");

  const QString db_path = install_ + QStringLiteral("db/logs.mdb");
  writer_ = std::make_unique<LogbookDatabaseWriter>(db_path);
  writer_->CreateAconfigTable();
  writer_->AddLog({"Main", "Set1", "Log1", "op", "secret", "", ""});
  writer_->CreateLogTable(QStringLiteral("Log1"));
  database_ = std::make_unique<LogDatabase>();
  database_->OpenLogDatabase(db_path);

  request_ = {install_,
              program_,
              QStringLiteral("Log1"),
              QStringLiteral("op"),
              QStringLiteral("secret"),
              DoublePath(QStringLiteral("tqsl-double/tqsl")),
              QStringLiteral("Home"),
              TqslRunMode{}};
  hooks_.service = [this] { return service_; };
  hooks_.keep_files = [this] { return keep_files_; };
  hooks_.clublog = [this] { return clublog_; };
  hooks_.submit_to_clublog = [this](const QString& file, bool keep_export) {
    clublog_files_.append(file);
    clublog_keeps_.append(keep_export);
    return ClublogStepEnd{clublog_result_, true};
  };
}

void UploadFixture::TearDown() {
  database_.reset();
  writer_.reset();
  // Last set, first restored: a variable set twice gets its first value back.
  while (!env_.empty()) env_.pop_back();
}

void UploadFixture::AddQsos(const QList<Qso>& qsos) { writer_->InsertQsos("Log1", qsos); }

QMap<qint64, int> UploadFixture::SentFlags() {
  QMap<qint64, int> flags;
  QSqlQuery query(writer_->Connection());
  EXPECT_TRUE(query.exec(QStringLiteral("SELECT ID, QorvSent FROM Log1 ORDER BY ID")));
  while (query.next()) flags.insert(query.value(0).toLongLong(), query.value(1).toInt());
  return flags;
}

QStringList UploadFixture::ExportFolderFiles() const {
  return QDir(ExportFolder()).entryList(QDir::Files, QDir::Name);
}
