#ifndef QORVSYNC_CLUBLOG_REALTIME_UPLOAD_H_
#define QORVSYNC_CLUBLOG_REALTIME_UPLOAD_H_

#include <QString>

#include "clublog/clublog_upload.h"

// What Club Log's real-time interface made of one QSO.
struct RealtimeResult {
  enum class Kind {
    kSent,        // 200: logged, or already there (a duplicate)
    kRejected,    // 400: refused for good; `reason` holds Club Log's words
    kRetryLater,  // 500, any other status, or no complete exchange
    kBlocked,     // 403: Club Log refuses this client; sending again risks a ban
  };
  Kind kind = Kind::kRetryLater;
  int status = 0;  // the HTTP status; 0 when the exchange did not complete
  QString reason;  // Club Log's words, or why the exchange failed
};

// Posts one QSO to "/realtime.php" at `settings.service` as a form with the
// login, the program's application key and `adif_record`, which holds exactly
// one record ending in "<EOR>".
RealtimeResult SendRealtimeQso(const ClublogSettings& settings, const QString& adif_record);

#endif  // QORVSYNC_CLUBLOG_REALTIME_UPLOAD_H_
