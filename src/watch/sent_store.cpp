#include "watch/sent_store.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <algorithm>
#include <tuple>

#include "platform/app_error.h"
#include "platform/whole_file.h"

namespace {

const QString kStateNames[] = {QStringLiteral("sending"), QStringLiteral("sent"),
                               QStringLiteral("rejected")};

std::optional<SentEntry::State> StateNamed(const QString& name) {
  for (int i = 0; i < 3; ++i) {
    if (kStateNames[i] == name) return static_cast<SentEntry::State>(i);
  }
  return std::nullopt;
}

}  // namespace

size_t qHash(const LogRow& row, size_t seed) { return qHashMulti(seed, row.table, row.rowid); }

SentStore::SentStore(QString path) : path_(std::move(path)) { Load(); }

void SentStore::Load() {
  QFile file(path_);
  if (!file.exists()) return;
  const auto unreadable = [this](const QString& why) {
    return AppError(
        QStringLiteral("Cannot read the real-time sending state \"%1\": %2").arg(path_, why));
  };
  if (!file.open(QIODevice::ReadOnly)) throw unreadable(file.errorString());
  QJsonParseError error;
  const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
  if (!document.isObject()) throw unreadable(error.errorString());
  const QJsonObject marks = document[QStringLiteral("marks")].toObject();
  for (auto it = marks.begin(); it != marks.end(); ++it) {
    marks_.insert(it.key(), it.value().toInteger());
  }
  const QJsonObject blocked = document[QStringLiteral("blocked")].toObject();
  if (!blocked.isEmpty()) {
    blocked_ = Block{blocked[QStringLiteral("reason")].toString(),
                     blocked[QStringLiteral("settings")].toString().toLatin1()};
  }
  for (const QJsonValue& value : document[QStringLiteral("qsos")].toArray()) {
    const QJsonObject qso = value.toObject();
    const std::optional<SentEntry::State> state =
        StateNamed(qso[QStringLiteral("state")].toString());
    if (!state) throw unreadable(QStringLiteral("unknown state of a QSO"));
    entries_.insert(
        {qso[QStringLiteral("table")].toString(), qso[QStringLiteral("id")].toInteger()},
        {*state,
         {qso[QStringLiteral("qso")].toString()},
         qso[QStringLiteral("reason")].toString()});
  }
}

void SentStore::Save() const {
  QJsonObject marks;
  for (auto it = marks_.begin(); it != marks_.end(); ++it) marks.insert(it.key(), it.value());
  QJsonArray qsos;
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    QJsonObject qso{{QStringLiteral("table"), it.key().table},
                    {QStringLiteral("id"), it.key().rowid},
                    {QStringLiteral("state"), kStateNames[static_cast<int>(it->state)]},
                    {QStringLiteral("qso"), it->fingerprint.text}};
    if (!it->reason.isEmpty()) qso.insert(QStringLiteral("reason"), it->reason);
    qsos.append(qso);
  }
  QJsonObject document{{QStringLiteral("marks"), marks}, {QStringLiteral("qsos"), qsos}};
  if (blocked_) {
    document.insert(
        QStringLiteral("blocked"),
        QJsonObject{{QStringLiteral("reason"), blocked_->reason},
                    {QStringLiteral("settings"), QString::fromLatin1(blocked_->settings_digest)}});
  }
  const QByteArray bytes = QJsonDocument(document).toJson(QJsonDocument::Compact);
  QSaveFile file(path_);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
      !CommitWholeFile(file)) {
    throw AppError(QStringLiteral("Cannot write the real-time sending state \"%1\": %2")
                       .arg(path_, file.errorString()));
  }
}

std::optional<qint64> SentStore::Mark(const QString& table) const {
  const auto it = marks_.find(table);
  if (it == marks_.end()) return std::nullopt;
  return *it;
}

void SentStore::SetMark(const QString& table, qint64 highest_rowid) {
  marks_.insert(table, highest_rowid);
  Save();
}

void SentStore::ClearTable(const QString& table) {
  marks_.remove(table);
  entries_.removeIf([&table](const auto& it) { return it.key().table == table; });
  Save();
}

const SentEntry* SentStore::Find(const LogRow& row) const {
  const auto it = entries_.find(row);
  return it == entries_.end() ? nullptr : &*it;
}

void SentStore::Put(const LogRow& row, const SentEntry& entry) {
  entries_.insert(row, entry);
  Save();
}

void SentStore::Erase(const LogRow& row) {
  if (entries_.remove(row)) Save();
}

QList<LogRow> SentStore::Sending() const {
  QList<LogRow> rows;
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->state == SentEntry::State::kSending) rows << it.key();
  }
  return rows;
}

QList<std::pair<LogRow, SentEntry>> SentStore::Rejected() const {
  QList<std::pair<LogRow, SentEntry>> rows;
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->state == SentEntry::State::kRejected) rows.append({it.key(), *it});
  }
  std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
    return std::tie(a.first.table, a.first.rowid) < std::tie(b.first.table, b.first.rowid);
  });
  return rows;
}

void SentStore::SetBlocked(const std::optional<Block>& block) {
  blocked_ = block;
  Save();
}
