// Short write transactions for runs that change many rows.
#include "logdb/log_database.h"
#include "platform/app_error.h"

LogDatabase::WriteBatch::WriteBatch(LogDatabase& database) : database_(database) {
  ++database_.batch_depth_;
}

LogDatabase::WriteBatch::~WriteBatch() {
  if (--database_.batch_depth_ == 0 && database_.in_transaction_) {
    database_.EndBatchTransaction();
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
  transaction_age_.start();
}

void LogDatabase::MaybeCommit() {
  if (in_transaction_ && transaction_age_.elapsed() >= kBatchCommitMs) CommitBatchTransaction();
}

void LogDatabase::CommitBatchTransaction() {
  ExecuteText(QStringLiteral("COMMIT"));
  in_transaction_ = false;
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
