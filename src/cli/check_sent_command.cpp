#include "cli/check_sent_command.h"

#include <QJsonArray>
#include <QSet>

#include "adif/band_tables.h"
#include "cli/exit_status.h"
#include "cli/log_time.h"
#include "cli/operation_commands.h"
#include "confirmations/report_download.h"
#include "confirmations/report_records.h"
#include "logdb/logged_qsos.h"
#include "net/http_client.h"
#include "net/http_failure.h"
#include "net/service_reply.h"
#include "platform/app_error.h"
#include "platform/clock.h"
#include "platform/conversions.h"
#include "session/configuration.h"

namespace {

// A QSO as both sides know it: call, day, band and minute ("hh:mm").
QString QsoKey(const QString& call, const QDate& date, double band, const QString& time) {
  return QStringLiteral("%1|%2|%3|%4")
      .arg(call.toUpper(), date.toString(Qt::ISODate), QString::number(band, 'f', 4), time);
}

// The report of every QSO Qorv holds for the account, as lines.
QStringList HeldReport(const Configuration& config, const QDate& since) {
  ReportQuery query;
  query.login = config.EQorvUserName;
  query.password = config.EQorvPassword;
  query.load_date = true;
  query.start_date = since.isValid() ? since : QDate(1900, 1, 1);
  query.end_date = ProgramClock().NowUtc().date().addDays(1);
  const QString url = ReportUrl(QorvServiceAddress(config), query) + QStringLiteral("&qso_qsl=no");
  HttpClient client;
  if (config.ProxyEnable) client.SetProxy(config.ProxyHost, config.ProxyPort);
  client.SetProtocol(QStringLiteral("1.1"));
  const QString what_failed = QStringLiteral("The QSOs Qorv holds could not be fetched");
  if (!client.Get(url)) {
    throw AppError(ExchangeFailedMessage(what_failed, client.FailureReason()));
  }
  if (!client.ReplyText().contains(kQorvReportHeader)) {
    throw AppError(ExchangeFailedMessage(
        what_failed, ReplyExplanation(QStringLiteral("Qorv answered with no report"),
                                      client.StatusCode(), client.ReplyText())));
  }
  return client.ReplyLines();
}

// Every QSO of the report, as keys; empty with `problem` set when the report
// is not whole: a list made from part of it would call held QSOs missing.
QSet<QString> HeldQsos(const QStringList& report, QString* problem) {
  const QList<ReportRecord> records = ReadReportRecords(report);
  const std::optional<int> announced = AnnouncedRecordCount(report);
  if (!announced) {
    *problem = QStringLiteral(
        "The Qorv report does not say how many records it holds, so it cannot be known to be "
        "whole. Nothing was listed or unmarked.");
    return {};
  }
  if (*announced != records.size()) {
    *problem = QStringLiteral(
                   "The Qorv report was cut short: it announces %1 records and %2 arrived. "
                   "Nothing was listed or unmarked.")
                   .arg(*announced)
                   .arg(records.size());
    return {};
  }
  QSet<QString> held;
  for (const ReportRecord& record : records) {
    double band = 0;
    if (!TryStrToFloat(BandToDigiBand(record.band), &band)) continue;
    held.insert(QsoKey(record.call, record.qso_date, band, RecordTime(record)));
  }
  return held;
}

}  // namespace

int CheckSentCommand(const CliRequest& request, HeadlessSession& session, ConsoleUi& ui,
                     Outcome& outcome) {
  const Configuration& config = session.Config();
  if (config.EQorvUserName.isEmpty() || config.EQorvPassword.isEmpty()) {
    ui.ShowMessage(MessageKind::kWarning, QStringLiteral("Not Qorv login or password"), QString());
    outcome.TakeRun(ui);
    return kExitFailed;
  }
  ui.SetCaption(QStringLiteral("Waiting..."));
  QString problem;
  const QSet<QString> held = HeldQsos(HeldReport(config, request.since), &problem);
  if (!problem.isEmpty()) {
    ui.ShowMessage(MessageKind::kError, problem, QString());
    outcome.TakeRun(ui);
    return kExitFailed;
  }
  const QList<LoggedQso> sent = ReadSentQsos(session.Database(), config.LogFileName, request.since);
  QJsonArray missing;
  QList<qint64> unheld;
  int confirmed = 0;
  for (const LoggedQso& qso : sent) {
    // A QSO Qorv confirmed is one it holds, whatever its report says.
    if (qso.confirmed) {
      ++confirmed;
      continue;
    }
    // The time as the export wrote it into the upload: "9:05" went as 0905.
    const QString time = LogTimeText(qso.time);
    if (held.contains(QsoKey(qso.call, qso.date, qso.band, time))) continue;
    unheld.append(qso.rowid);
    const QString band = DigiBandToBand(QString::number(qso.band, 'g', 10));
    missing.append(QJsonObject{{QStringLiteral("id"), qso.rowid},
                               {QStringLiteral("call"), qso.call},
                               {QStringLiteral("date"), qso.date.toString(Qt::ISODate)},
                               {QStringLiteral("time"), time},
                               {QStringLiteral("band"), band},
                               {QStringLiteral("mode"), qso.mode}});
    outcome.lines << QStringLiteral("Not held by Qorv: %1 %2 %3 %4 %5 (ID %6)")
                         .arg(qso.date.toString(Qt::ISODate), time, band, qso.mode, qso.call)
                         .arg(qso.rowid);
  }
  const int unmarked = request.unmark ? static_cast<int>(unheld.size()) : 0;
  if (unmarked > 0) {
    LogDatabase::WriteBatch batch(session.Database());
    for (const qint64 rowid : unheld) {
      session.Database().ChangeRow(config.LogFileName, rowid,
                                   {{QStringLiteral("QorvSent"), false}});
    }
    batch.Commit();
    ShowChangesInLogbook();
  }
  outcome.lines << QStringLiteral(
                       "Marked sent: %1, held by Qorv: %2 (%3 of them confirmed), "
                       "not held: %4")
                       .arg(sent.size())
                       .arg(sent.size() - unheld.size())
                       .arg(confirmed)
                       .arg(unheld.size());
  if (unmarked > 0) outcome.lines << QStringLiteral("Sent marks cleared: %1").arg(unmarked);
  outcome.details[QStringLiteral("marked_sent")] = static_cast<int>(sent.size());
  outcome.details[QStringLiteral("not_held")] = missing;
  outcome.details[QStringLiteral("unmarked")] = unmarked;
  outcome.TakeRun(ui);
  return kExitDone;
}
