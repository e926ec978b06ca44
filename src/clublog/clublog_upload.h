#ifndef QORVSYNC_CLUBLOG_CLUBLOG_UPLOAD_H_
#define QORVSYNC_CLUBLOG_CLUBLOG_UPLOAD_H_

#include <QString>
#include <QStringList>
#include <functional>

#include "platform/operation_ui.h"

// Where Club Log is and the login typed on the "Clublog Settings" page. The
// three login texts are taken as typed; blanks at their ends are not sent.
struct ClublogSettings {
  QString service;  // "scheme://host[:port]"; the form goes to "/putlogs.php" there
  QString email;
  QString password;
  QString callsign;
};

// Where Club Log's reply goes: the reply window, or the command line's output.
// The window supplies its own, so the upload needs no widgets.
class ClublogReplyView {
 public:
  virtual ~ClublogReplyView() = default;
  // The view holds exactly `text` afterwards.
  virtual void ReplaceText(const QString& text) = 0;
  // The lines go below what the view already holds.
  virtual void AddLines(const QStringList& lines) = 0;
  virtual void Show() = 0;
  // Why Club Log did not take the file: the cause and its own words, for a
  // view that shows more than the reply window does.
  virtual void ExplainFailure(const QString& /*explanation*/) {}
};

// The text by which Club Log says it took the file.
inline constexpr char kClublogAccepted[] = "Upload accepted and queued!";

// What Club Log answered, as the view was given it: the acceptance text, the
// reply's lines, or the status code of a failed exchange.
struct ClublogReply {
  bool accepted = false;
  QStringList lines;
};

// How the Club Log step of the upload ended.
struct ClublogSubmission {
  bool common_tail = false;  // the upload goes on to its common tail
  ClublogReply reply;        // empty when nothing was sent
};

// Posts the ADIF file with the login to Club Log (HTTP/1.0, never through a
// proxy), puts the reply into the reply window and shows it without waiting:
// an acceptance replaces the window's text with the acceptance text, any other
// reply is added below the text, and a failed exchange leaves only the status
// code (500 when no status line came); both are explained to the view
// (ExplainFailure: the cause, Club Log's own words). A file that cannot be
// read throws AppError before anything is sent.
ClublogReply UploadToClublog(const ClublogSettings& settings, const QString& file_path,
                             ClublogReplyView& reply);

// The Club Log step at the end of the upload: the export file goes to Club
// Log under the caption "Submit to Clublog" and is deleted once Club Log
// accepted it, unless `keep_files` (asked after the acceptance) says to keep
// it. A file that cannot be read is reported in the standard error box,
// nothing is sent and the upload ends here, without its common tail.
ClublogSubmission SubmitExportToClublog(OperationUi& ui, const ClublogSettings& settings,
                                        const QString& export_file,
                                        const std::function<bool()>& keep_files,
                                        ClublogReplyView& reply);

// "Load ADIF": the file picked in the open-file dialog goes to Club Log. A
// cancelled choice sends nothing. Nothing is deleted and the caption stays.
void LoadAdifToClublog(OperationUi& ui, const ClublogSettings& settings,
                       ClublogReplyView& reply_window);

#endif  // QORVSYNC_CLUBLOG_CLUBLOG_UPLOAD_H_
