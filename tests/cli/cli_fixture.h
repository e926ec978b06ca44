#ifndef QORVSYNC_TESTS_CLI_CLI_FIXTURE_H_
#define QORVSYNC_TESTS_CLI_CLI_FIXTURE_H_

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <memory>

#include "cli/cli_sandbox.h"
#include "support/service_double_process.h"

// The service double with one Qorv and eQSL account (W1AW) and a logbook
// whose log set holds two logs. Of the Qorv report's four confirmations one
// is new in both logs, one confirms a QSO confirmed before, one names the
// call without the logged "/P" and one the wrong band; the eQSL inbox
// confirms one QSO and names one on another band.
class CliTest : public testing::Test {
 protected:
  void SetUp() override;

  static QList<Qso> MainQsos();
  static QList<Qso> PortableQsos();
  std::unique_ptr<LogbookSide> MakeSide(const QString& name) const;
  static QJsonObject Json(const CommandRun& run);

  QTemporaryDir root_;
  ServiceDoubleProcess service_;
};

inline constexpr char kQorvReport[] =
    "<CALL:6>N0CALL\n<BAND:3>20M\n<MODE:3>FT8\n<QSO_DATE:8>20210915\n<TIME_ON:4>1830\n"
    "<QSLRDATE:8>20211001\n<GRIDSQUARE:6>EN34ab\n<CNTY:8>MN,Anoka\n<eor>\n"
    "<CALL:5>K1ABC\n<BAND:3>40M\n<MODE:3>SSB\n<QSO_DATE:8>20210916\n<TIME_ON:4>1000\n"
    "<QSLRDATE:8>20211001\n<eor>\n"
    "<CALL:6>DL1XYZ\n<BAND:3>20M\n<MODE:2>CW\n<QSO_DATE:8>20210917\n<TIME_ON:4>1200\n"
    "<QSLRDATE:8>20211002\n<GRIDSQUARE:4>JO62\n<eor>\n"
    "<CALL:5>G4AAA\n<BAND:3>20M\n<MODE:3>FT8\n<QSO_DATE:8>20210918\n<TIME_ON:4>0945\n"
    "<QSLRDATE:8>20211002\n<eor>\n";

#endif  // QORVSYNC_TESTS_CLI_CLI_FIXTURE_H_
