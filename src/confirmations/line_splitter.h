#ifndef QORVSYNC_CONFIRMATIONS_LINE_SPLITTER_H_
#define QORVSYNC_CONFIRMATIONS_LINE_SPLITTER_H_

#include <QString>
#include <QStringView>
#include <functional>

// Decoded text given piece by piece, cut into lines at CR LF, lone CR and
// lone LF, a break split over two pieces included; a last line without a
// break is given by Finish.
class LineSplitter {
 public:
  using Take = std::function<void(const QString&)>;

  void Add(QStringView text, const Take& take);
  void Finish(const Take& take);

 private:
  QString pending_;
  // A CR that ended the last piece: an LF at the start of the next one
  // belongs to the same break.
  bool after_cr_ = false;
};

#endif  // QORVSYNC_CONFIRMATIONS_LINE_SPLITTER_H_
