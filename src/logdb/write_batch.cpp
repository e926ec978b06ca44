// Short write transactions for runs that change many rows.
#include "logdb/log_database.h"
#include "platform/app_error.h"
#include "platform/kill_point.h"

namespace {

// SQLite's default: a commit that leaves the write-ahead log longer than
// this many pages copies it into the database and syncs both.
constexpr int kAutoCheckpointPages = 1000;

}  // namespace

// A run commits every 100 ms; with the default, every few of those commits
// would copy the log into the database and wait for the disk twice. During a
// batch the log only grows (the logbook reads the changes from it as soon as
// they are committed) and is copied once when the batch ends.
LogDatabase::WriteBatch::WriteBatch(LogDatabase& database) : database_(database) {
  if (database_.batch_depth_++ == 0) {
    try {
      database_.ExecuteText(QStringLiteral("PRAGMA wal_autocheckpoint = 0"));
    } catch (const AppError&) {
    }
  }
}

LogDatabase::WriteBatch::~WriteBatch() {
  if (--database_.batch_depth_ != 0) return;
  if (database_.in_transaction_) database_.EndBatchTransaction();
  try {
    database_.ExecuteText(
        QStringLiteral("PRAGMA wal_autocheckpoint = %1").arg(kAutoCheckpointPages));
    database_.ExecuteText(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"));
  } catch (const AppError&) {
  }
}

void LogDatabase::WriteBatch::Commit() {
  if (database_.in_transaction_) database_.CommitBatchTransaction();
}

void LogDatabase::BeginWriteIfBatching() {
  if (batch_depth_ == 0 || in_transaction_) return;
  // IMMEDIATE takes the write lock now (waiting out the logbook's writes), so
  // the transaction cannot fail later on a snapshot that went stale.
  ExecuteText(QStringLiteral("BEGIN IMMEDIATE"));
  in_transaction_ = true;
  ++snapshot_;
  transaction_age_.start();
}

void LogDatabase::MaybeCommit() {
  if (in_transaction_ && transaction_age_.elapsed() >= kBatchCommitMs) CommitBatchTransaction();
  if (reading_ && transaction_age_.elapsed() >= kBatchCommitMs) EndReading();
}

void LogDatabase::BeginReadIfHoldingBack() {
  if (!staged_ || in_transaction_ || reading_) return;
  // Look-ups one after another in one snapshot cost a fraction of each in
  // its own; the snapshot is let go as soon as it is old, like a batch.
  ExecuteText(QStringLiteral("BEGIN"));
  reading_ = true;
  ++snapshot_;
  transaction_age_.start();
}

void LogDatabase::EndReading() noexcept {
  if (!reading_) return;
  reading_ = false;
  try {
    ExecuteText(QStringLiteral("COMMIT"));
  } catch (const AppError&) {
    try {
      ExecuteText(QStringLiteral("ROLLBACK"));
    } catch (const AppError&) {
    }
  }
}

void LogDatabase::CommitBatchTransaction() {
  ExecuteText(QStringLiteral("COMMIT"));
  in_transaction_ = false;
  KillPoint("commit");
}

void LogDatabase::EndBatchTransaction() noexcept {
  try {
    CommitBatchTransaction();
    return;
  } catch (const AppError&) {
  }
  // The commit could not get the lock within the busy time-out; the
  // connection must not stay inside the transaction.
  try {
    ExecuteText(QStringLiteral("ROLLBACK"));
  } catch (const AppError&) {
  }
  in_transaction_ = false;
}
