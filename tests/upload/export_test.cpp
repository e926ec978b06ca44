// The export of the unsent QSOs: the file byte for byte, the mode rule with
// the submode table, the records that stop the export, and the progress.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>

#include "app/app_test_support.h"
#include "platform/text_codec.h"
#include "support/error_text.h"
#include "upload/export_file.h"
#include "upload/submode_table.h"
#include "upload/upload_fixture.h"

namespace {

// The export names its file and header by the local clock.
const QDateTime kNow(QDate(2024, 3, 5), QTime(7, 8, 9), Qt::LocalTime);

QByteArray CrLf(const QStringList& lines) { return ToAnsi(JoinLinesCrLf(lines)); }

QStringList Header(int count) {
  return {"#",
          "#   Created:  05-03-2024 07.08.09",
          "#   Vodrix log v.3.31-61  https://www.vodrix-log.example",
          QStringLiteral("#   Exported: %1 records").arg(count),
          "#",
          "",
          "<ADIF_VERS:3>3.0",
          "<PROGRAMID:10>Vodrix log",
          "<PROGRAMVERSION:7>3.31-61",
          "<EOH>",
          ""};
}

class ExportTest : public UploadFixture {
 protected:
  void SetUp() override {
    UploadFixture::SetUp();
    RegionalSettings settings;
    settings.time_separator = u'.';
    regional_ = std::make_unique<ScopedRegionalSettings>(settings);
    submodes_ = SubmodeTable::Load(program_ + "Submode.txt");
  }

  std::optional<ExportedFile> Export() {
    return WriteExportFile(ui_, ExportFolder(), *database_, "Log1", submodes_);
  }

  QByteArray ExportBytes() const {
    const QStringList files = ExportFolderFiles();
    EXPECT_EQ(files, QStringList{"Qorv_ADIF_20240305070809.adi"});
    return files.isEmpty() ? QByteArray() : ReadFileBytes(ExportFolder() + "/" + files[0]);
  }

  FixedClock clock_{kNow};
  std::unique_ptr<ScopedRegionalSettings> regional_;
  SubmodeTable submodes_;
};

TEST_F(ExportTest, WritesTheFileByteForByte) {
  AddQsos(
      {MakeQso("W1AW ", "2024-01-02", "9:05", 14, "14.07400", "BPSK31"),
       MakeQso("DL1ABC", "2024-01-03", "23:59:30", 5, "5.35700", "CONTEST"),
       MakeQso("K1JT", "", "12:30", 144, "145960", "FM", "AO-91"),
       MakeQso(QString::fromUtf8("OZ1\u00D8X"), "2024-01-04", "00:00", 14, "14074", "FT4", "   "),
       MakeQso("SENT1", "2024-01-01", "10:00", 14, "14.07400", "CW", "", true)});

  const std::optional<ExportedFile> exported = Export();
  ASSERT_TRUE(exported);
  EXPECT_EQ(exported->path, ExportFolder() + "/Qorv_ADIF_20240305070809.adi");
  // The empty date sorts first; equal dates keep the database's order.
  EXPECT_EQ(exported->rowids, (QList<qint64>{3, 1, 2, 4}));

  QStringList lines = Header(4);
  lines << "<CALL:4>K1JT<QSO_DATE:8>18991230<TIME_ON:4>1230<BAND:2>2M<FREQ:6>145.96"
           "<MODE:2>FM<SAT_NAME:5>AO-91<PROP_MODE:3>SAT<EOR>"
        << "<CALL:5>W1AW <QSO_DATE:8>20240102<TIME_ON:4>0905<BAND:3>20M<FREQ:6>14.074"
           "<MODE:3>PSK<SUBMODE:5>PSK31<EOR>"
        << "<CALL:6>DL1ABC<QSO_DATE:8>20240103<TIME_ON:4>2359<BAND:3>60M<FREQ:5>5.357"
           "<MODE:8>CONTESTI<EOR>"
        << QString::fromUtf8(
               "<CALL:5>OZ1\u00D8X<QSO_DATE:8>20240104<TIME_ON:4>0000<BAND:3>20M"
               "<FREQ:6>14.074<MODE:4>MFSK<SUBMODE:3>FT4<EOR>");
  const QByteArray bytes = ExportBytes();
  EXPECT_EQ(bytes, CrLf(lines));
  EXPECT_TRUE(bytes.contains("<CALL:5>OZ1\xD8X<"));  // Windows-1252, one byte
  EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
  EXPECT_EQ(ui_.progress, (QList<int>{25, 50, 75, 100}));
  EXPECT_TRUE(ui_.messages.isEmpty());
}

TEST_F(ExportTest, SubmodeTableDecidesModeAndSubmode) {
  const SubmodeTable table = SubmodeTable::FromLines(
      {"# no equals sign here", "contest=X", "CONTEST=Y", "ft8=MFSK=odd", "OLIVIA 8/250=OLIVIA"});
  EXPECT_EQ(table.Lookup("CONTEST"), "X");  // first line, any letter case
  EXPECT_EQ(table.Lookup("FT8"), "MFSK=odd");
  EXPECT_EQ(table.Lookup("olivia 8/250"), "OLIVIA");
  EXPECT_EQ(table.Lookup("# no equals sign here"), "");
  EXPECT_EQ(table.Lookup("CW"), "");

  AddQsos({MakeQso("N1A", "2024-01-02", "10:00", 14, "14.07400", "CONTEST")});
  submodes_ = table;
  ASSERT_TRUE(Export());
  EXPECT_TRUE(ExportBytes().endsWith("<MODE:1>X<SUBMODE:8>CONTESTI<EOR>\r\n"));
}

TEST_F(ExportTest, ShippedTableMapsUsualSubmodes) {
  const struct {
    const char* submode;
    const char* mode;
  } cases[] = {{"FT4", "MFSK"},
               {"JS8", "MFSK"},
               {"Q65", "MFSK"},
               {"PSK31", "PSK"},
               {"QPSK63", "PSK"},
               {"USB", "SSB"},
               {"LSB", "SSB"},
               {"JT65B", "JT65"},
               {"JT9-1", "JT9"},
               {"OLIVIA 8/250", "OLIVIA"},
               {"DOMINOEX", "DOMINO"},
               {"THOR16", "THOR"},
               {"FMHELL", "HELL"},
               {"PCW", "CW"},
               {"FT8", ""},
               {"CW", ""},
               {"RTTY", ""}};
  for (const auto& c : cases) EXPECT_EQ(submodes_.Lookup(c.submode), c.mode) << c.submode;
}

TEST_F(ExportTest, UnreadableDateOrTimeStopsWithTheCallSign) {
  const struct {
    const char* date;
    const char* time;
  } cases[] = {{"2024-01-05", ""},
               {"2024-01-05", "25:00"},
               {"2024-02-30", "10:00"},
               {"2024.01.05", "10:00"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.date) + " " + c.time);
    writer_->Execute("DELETE FROM Log1");
    QFile::remove(ExportFolder() + "/Qorv_ADIF_20240305070809.adi");
    ui_.messages.clear();
    AddQsos({MakeQso("GOOD", "2024-01-01", "10:00", 14, "14.07400", "CW"),
             MakeQso("BAD1 ", c.date, c.time, 14, "14.07400", "CW")});

    EXPECT_FALSE(Export());
    ASSERT_EQ(ui_.messages.size(), 1);
    EXPECT_EQ(ui_.messages[0].text, "Error in callsign BAD1 ");
    EXPECT_EQ(ui_.messages[0].kind, MessageKind::kPlain);
    // The file stays as far as it was written.
    EXPECT_EQ(ExportBytes(), CrLf(Header(2) << "<CALL:4>GOOD<QSO_DATE:8>20240101<TIME_ON:4>1000"
                                               "<BAND:3>20M<FREQ:6>14.074<MODE:2>CW<EOR>"));
  }
}

TEST_F(ExportTest, FrequencyThatIsNoNumberIsAnError) {
  AddQsos({MakeQso("N1A", "2024-01-02", "10:00", 14, "14.0x400", "CW")});
  EXPECT_EQ(ErrorText([this] { Export(); }), "'140x400' is not a valid floating point value");
  // An export stopped half way leaves no file cut short for TQSL to sign.
  EXPECT_EQ(ExportFolderFiles(), QStringList{});
}

TEST_F(ExportTest, OneQsoMovesTheProgressInOneStep) {
  AddQsos({MakeQso("N1A", "2024-01-02", "10:00", 14, "14.07400", "CW")});
  ASSERT_TRUE(Export());
  EXPECT_EQ(ui_.progress, QList<int>{100});
}

TEST_F(ExportTest, ExportInTheSameSecondReplacesTheFile) {
  AddQsos({MakeQso("N1A", "2024-01-02", "10:00", 14, "14.07400", "CW")});
  ASSERT_TRUE(Export());
  writer_->Execute("UPDATE Log1 SET CallSign = 'N2BB'");
  ASSERT_TRUE(Export());
  EXPECT_TRUE(ExportBytes().contains("<CALL:4>N2BB<"));
}

}  // namespace
