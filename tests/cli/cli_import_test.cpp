// "import" runs only what is a report, and says where a report it cannot
// read stops.
#include <QJsonArray>

#include "cli/cli_fixture.h"
#include "platform/text_codec.h"

namespace {

struct ImportCase {
  const char* name;
  QByteArray content;
  int exit_code;
  const char* says;  // after the file's path
};

const ImportCase kImportCases[] = {
    {"Program",
     QByteArray("\x7f"
                "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0<CALL:5>",
                24),
     2, " is not an ADIF file"},
    {"Prose", "Dear operator,\nthank you for the QSO.\n", 2, " is not an ADIF file"},
    {"Empty", "", 3, " holds no ADIF records"},
    {"Blank", " \r\n\r\n", 3, " holds no ADIF records"},
    {"HeaderOnly", "ARRL Qorv Status Report\n<ADIF_VER:5>3.1.0\n<eoh>\n", 3,
     " holds no ADIF records"},
};

class ImportFileTest : public CliTest, public testing::WithParamInterface<ImportCase> {};

TEST_P(ImportFileTest, RefusedWithWhatTheFileIs) {
  const ImportCase& c = GetParam();
  const auto side = MakeSide("side");
  const QString file = root_.filePath("offered.adi");
  WriteFileBytes(file, c.content);
  const QStringList rows = side->Rows();
  const CommandRun run = side->Run({"import", file, "--json"});
  EXPECT_EQ(run.exit_code, c.exit_code) << run.err.constData();
  const QString says = file + c.says;
  EXPECT_TRUE(run.err.contains(says.toUtf8())) << run.err.constData();
  EXPECT_EQ(Json(run)["messages"].toArray(), QJsonArray{says});
  EXPECT_FALSE(Json(run).contains("records")) << run.out.constData();
  EXPECT_EQ(side->Rows(), rows);
}

INSTANTIATE_TEST_SUITE_P(Cases, ImportFileTest, testing::ValuesIn(kImportCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The window's text of the error, with the file and its line before it, said
// once; what the records before that line confirmed stays and is counted.
TEST_F(CliTest, HugeFieldLengthNamesFileAndLine) {
  const auto side = MakeSide("side");
  const QString file = root_.filePath("cut.adi");
  const QByteArray first_record(kQorvReport, QByteArray(kQorvReport).indexOf("<CALL:5>K1ABC"));
  WriteFileBytes(file, "ARRL Qorv Status Report\n<eoh>\n" + first_record +
                           "<CALL:99999999999999999999>K1ABC\n<eor>\n");
  const QString message = file + ", line 12: '99999999999999999999' is not a valid integer value";

  const CommandRun run = side->Run({"import", file, "--json"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err.count(message.toUtf8()), 1) << run.err.constData();
  const QJsonObject json = Json(run);
  EXPECT_EQ(json["messages"].toArray(), QJsonArray{message});
  EXPECT_EQ(json["logs"]["log_main"]["confirmed"].toInt(), 1) << run.out.constData();
  // The run stopped before the end of its records: no count of unmatched.
  EXPECT_FALSE(json.contains("unmatched")) << run.out.constData();
  const CommandRun text = side->Run({"import", file});
  EXPECT_FALSE(text.out.contains("Unmatched")) << text.out.constData();
  EXPECT_TRUE(side->Rows()[0].contains("|EN34ab|")) << side->Rows()[0].toStdString();
}

}  // namespace
