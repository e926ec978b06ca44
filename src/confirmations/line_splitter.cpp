#include "confirmations/line_splitter.h"

void LineSplitter::Add(QStringView text, const Take& take) {
  pending_ += text;
  qsizetype start = 0;
  const qsizetype n = pending_.size();
  if (after_cr_ && n > 0 && pending_.at(0) == u'\n') start = 1;
  if (n > 0) after_cr_ = false;
  for (qsizetype i = start; i < n; ++i) {
    const QChar ch = pending_.at(i);
    if (ch != u'\r' && ch != u'\n') continue;
    take(pending_.mid(start, i - start));
    if (ch == u'\r') {
      if (i + 1 == n) {
        after_cr_ = true;
      } else if (pending_.at(i + 1) == u'\n') {
        ++i;
      }
    }
    start = i + 1;
  }
  pending_.remove(0, start);
}

void LineSplitter::Finish(const Take& take) {
  if (!pending_.isEmpty()) take(pending_);
  pending_.clear();
  after_cr_ = false;
}
