#include "logdb/date_calls.h"

#include <algorithm>

#include "logdb/sqlite_statement.h"

namespace {

// Reading a row of the date costs a small part of a search of the call
// index; a date is read once its look-ups reach this share of its rows.
constexpr qint64 kRowsPerLookup = 8;

void FoldInto(std::string_view text, std::string* out) {
  out->assign(text);
  for (char& c : *out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
}

}  // namespace

void DateCalls::Ask(const QByteArray& date, quint64 snapshot, std::pair<qint64, qint64> rowids) {
  // A new transaction of the same date keeps the count: the date has shown
  // itself busy, only its rows must be read again.
  if (date_ != date) {
    date_ = date;
    asked_ = 0;
    read_ = false;
  } else if (snapshot_ != snapshot) {
    read_ = false;
  }
  snapshot_ = snapshot;
  span_ = rowids.second - rowids.first + 1;
  ++asked_;
}

bool DateCalls::WorthReading() const { return asked_ * kRowsPerLookup >= span_; }

void DateCalls::Read(SqliteStatement& rows, const QByteArray& date, quint64 snapshot) {
  calls_.clear();
  read_ = false;
  while (rows.Step()) {
    // A QSO without a call matches no look-up.
    if (rows.IsNull(1)) continue;
    calls_.emplace_back();
    FoldInto(rows.Utf8(1), &calls_.back().first);
    calls_.back().second = rows.Int64(0);
  }
  rows.Reset();
  std::sort(calls_.begin(), calls_.end());
  date_ = date;
  snapshot_ = snapshot;
  read_ = true;
}

void DateCalls::RowsOf(const QByteArray& call, bool prefix, std::vector<qint64>* rowids) {
  rowids->clear();
  FoldInto(std::string_view(call.constData(), call.size()), &folded_);
  auto at =
      std::lower_bound(calls_.begin(), calls_.end(), folded_,
                       [](const auto& held, const std::string& key) { return held.first < key; });
  for (; at != calls_.end(); ++at) {
    const std::string_view held = at->first;
    if (prefix ? held.substr(0, folded_.size()) != folded_ : held != folded_) break;
    rowids->push_back(at->second);
  }
  std::sort(rowids->begin(), rowids->end());
}
