// What the outcome says: the same fact under the same key in every command,
// and a listing kept when a later check refuses the command.
#include <QJsonArray>

#include "cli/cli_fixture.h"

namespace {

bool IsIsoDate(const QJsonValue& value) {
  return QDate::fromString(value.toString(), Qt::ISODate).isValid();
}

TEST_F(CliTest, OptionsBeforeTheCommandRunIt) {
  const auto side = MakeSide("side");
  const CommandRun run = side->Run({"--since", "2021-09-01", "download", "qorv"});
  ASSERT_EQ(run.exit_code, 0) << run.err.constData();
  EXPECT_TRUE(run.out.contains("Records read: 4")) << run.out.constData();
}

TEST_F(CliTest, BothDownloadsNameTheNextDateSince) {
  const auto side = MakeSide("side");
  const QJsonObject qorv = Json(side->Run({"download", "qorv", "--json"}));
  EXPECT_TRUE(IsIsoDate(qorv["since"])) << qorv["since"].toString().toStdString();
  const QJsonObject eqsl = Json(side->Run({"download", "eqsl", "--json"}));
  EXPECT_TRUE(IsIsoDate(eqsl["since"])) << eqsl["since"].toString().toStdString();
  for (const char* old_key : {"qsl_since", "received_since"}) {
    EXPECT_FALSE(qorv.contains(old_key) || eqsl.contains(old_key)) << old_key;
  }

  const CommandRun nothing =
      side->Run({"download", "eqsl", "--from", "2000-01-01", "--to", "2000-12-31", "--json"});
  EXPECT_EQ(nothing.exit_code, 0) << nothing.err.constData();
  EXPECT_EQ(Json(nothing)["messages"].toArray(), QJsonArray{"The inbox holds nothing new."})
      << nothing.out.constData();
  EXPECT_FALSE(Json(nothing).contains("unmatched")) << nothing.out.constData();
}

// A --confirm that names no listed QSO is a usage error; the listing made
// before it is still the outcome.
TEST_F(CliTest, ListingSurvivesALaterUsageError) {
  const auto side = MakeSide("side");
  ASSERT_EQ(side->Run({"download", "qorv"}).exit_code, 0);
  const CommandRun run = side->Run({"unmatched", "--confirm", "log_main:2", "--json"});
  EXPECT_EQ(run.exit_code, 2);
  const QJsonObject json = Json(run);
  EXPECT_EQ(json["status"].toInt(), 2);
  EXPECT_EQ(json["unmatched_records"].toArray().size(), 2) << run.out.constData();
  EXPECT_EQ(json["messages"].toArray().size(), 1) << run.out.constData();

  const CommandRun words = side->Run({"unmatched", "--confirm", "log_main:2"});
  EXPECT_TRUE(words.out.contains("DL1XYZ")) << words.out.constData();
}

}  // namespace
