#ifndef QORVSYNC_CLI_CLI_REQUEST_H_
#define QORVSYNC_CLI_CLI_REQUEST_H_

#include <QDate>
#include <QString>
#include <chrono>

// One command line, parsed and checked.
struct CliRequest {
  enum class Command {
    kDownloadQorv,
    kDownloadEqsl,
    kImport,
    kUpload,
    kClublog,
    kUnmatched,
    kCheckSent,
    kWatch,
    kStatus
  };
  Command command = Command::kDownloadQorv;
  QString name;  // the command's words, "download qorv"
  QString file;  // import, clublog, unmatched
  QString log_name;
  bool json = false;
  QDate since;  // downloads: received since; check-sent: QSOs from
  QDate from;   // downloads: a range of QSO dates instead
  QDate to;
  QString own_call;
  bool clublog = false;
  std::chrono::seconds tqsl_timeout{600};  // upload: TQSL is ended after this long
  bool eqsl = false;
  QString confirm_id;
  bool unmark = false;
};

#endif  // QORVSYNC_CLI_CLI_REQUEST_H_
