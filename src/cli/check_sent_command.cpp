#include "cli/check_sent_command.h"

#include <QJsonArray>
#include <QSet>

#include "adif/band_tables.h"
#include "cli/exit_status.h"
#include "cli/logged_qsos.h"
#include "cli/operation_commands.h"
#include "cli/report_records.h"
#include "confirmations/report_download.h"
#include "net/http_client.h"
#include "net/http_failure.h"
#include "net/service_reply.h"
#include "platform/app_error.h"
#include "platform/clock.h"
#include "platform/conversions.h"

namespace {

// A QSO as both sides know it: call, day, band and minute.
QString QsoKey(const QString& call, const QDate& date, double band, const QString& time) {
  return QStringLiteral("%1|%2|%3|%4")
      .arg(call.toUpper(), date.toString(Qt::ISODate), QString::number(band, 'f', 4), time);
}

// The QSOs of the table marked sent from `since` on, their times as "hh:mm".
QList<LoggedQso> SentQsos(LogDatabase& database, const QString& table, const QDate& since) {
  QList<LoggedQso> qsos = SelectLoggedQsos(
      database, table, QStringLiteral("QorvSent <> 0 AND QSODate >= ?"),
      {(since.isValid() ? since : QDate(1, 1, 1)).toString(Qt::ISODate)},
      QStringLiteral("QSODate, rowid"), QStringLiteral("Cannot read the sent QSOs of "));
  for (LoggedQso& qso : qsos) qso.time = qso.time.left(5);
  return qsos;
}

// Every QSO Qorv holds for the account, as keys.
QSet<QString> HeldQsos(const Configuration& config, const QDate& since) {
  ReportQuery query;
  query.login = config.EQorvUserName;
  query.password = config.EQorvPassword;
  query.load_date = true;
  query.start_date = since.isValid() ? since : QDate(1900, 1, 1);
  query.end_date = ProgramClock().NowUtc().date().addDays(1);
  const QString url =
      ReportUrl(RequireServiceAddress(config.Services.qorv, QStringLiteral("Qorv"),
                                      config.ProgramFolder + QStringLiteral("qorv.ini")),
                query) +
      QStringLiteral("&qso_qsl=no");
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
  QSet<QString> held;
  for (const ReportRecord& record : ReadReportRecords(client.ReplyLines())) {
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
  const QSet<QString> held = HeldQsos(config, request.since);
  const QList<LoggedQso> sent = SentQsos(session.Database(), config.LogFileName, request.since);
  QJsonArray missing;
  QList<qint64> unheld;
  for (const LoggedQso& qso : sent) {
    if (held.contains(QsoKey(qso.call, qso.date, qso.band, qso.time))) continue;
    unheld.append(qso.rowid);
    const QString band = DigiBandToBand(QString::number(qso.band, 'g', 10));
    missing.append(QJsonObject{{QStringLiteral("id"), qso.rowid},
                               {QStringLiteral("call"), qso.call},
                               {QStringLiteral("date"), qso.date.toString(Qt::ISODate)},
                               {QStringLiteral("time"), qso.time},
                               {QStringLiteral("band"), band},
                               {QStringLiteral("mode"), qso.mode}});
    outcome.lines << QStringLiteral("Not held by Qorv: %1 %2 %3 %4 %5 (ID %6)")
                         .arg(qso.date.toString(Qt::ISODate), qso.time, band, qso.mode, qso.call)
                         .arg(qso.rowid);
  }
  if (request.unmark && !unheld.isEmpty()) {
    LogDatabase::WriteBatch batch(session.Database());
    for (const qint64 rowid : unheld) {
      session.Database().ChangeRow(config.LogFileName, rowid,
                                   {{QStringLiteral("QorvSent"), false}});
    }
    batch.Commit();
    ShowChangesInLogbook();
  }
  outcome.lines << QStringLiteral("Marked sent: %1, held by Qorv: %2, not held: %3%4")
                       .arg(sent.size())
                       .arg(sent.size() - unheld.size())
                       .arg(unheld.size())
                       .arg(request.unmark ? QStringLiteral(" (sent mark cleared)") : QString());
  outcome.details[QStringLiteral("marked_sent")] = static_cast<int>(sent.size());
  outcome.details[QStringLiteral("not_held")] = missing;
  outcome.details[QStringLiteral("unmarked")] =
      request.unmark ? static_cast<int>(unheld.size()) : 0;
  outcome.TakeRun(ui);
  return kExitDone;
}
