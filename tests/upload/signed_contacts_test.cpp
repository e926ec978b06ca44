// Reading the signed file's contacts (real TQSL's and the TQSL double's) and
// choosing the exported QSOs they stand for.
#include "upload/signed_contacts.h"

#include <gtest/gtest.h>

#include <QFile>

#include "platform/gzip.h"
#include "upload/signed_selection.h"

namespace {

QByteArray RealTqslText() {
  QFile text(QStringLiteral(QORV_SOURCE_DIR "/tests/data/tqsl_signed_log.txt"));
  EXPECT_TRUE(text.open(QIODevice::ReadOnly));
  return text.readAll();
}

TEST(SignedContacts, ContactsOfBothSignedFormats) {
  // Real TQSL: certificate and station records are no contacts; a value may
  // hold "<", ">" and line breaks, its length says where it ends.
  EXPECT_EQ(ReadSignedContacts(Gzip(RealTqslText())),
            (QList<QsoKey>{{"W1AW", "20240102", "1000", "20M", "FT4"},
                           {"DL1ABC", "20240103", "1200", "2M", "FM"}}));
  // The TQSL double: a text header, then the export's ADIF.
  EXPECT_EQ(ReadSignedContacts(Gzip(
                "TQSL-DOUBLE SIGNED LOG 1\nLocation: Home\n\n#\r\n<ADIF_VERS:3>3.0\r\n"
                "<PROGRAMID:10>Vodrix log\r\n<EOH>\r\n<CALL:5>dl1ab <QSO_DATE:8>20240103"
                "<TIME_ON:4>0905<BAND:3>20m<FREQ:6>14.074<MODE:4>MFSK<SUBMODE:3>FT4<EOR>\r\n")),
            (QList<QsoKey>{{"DL1AB", "20240103", "0905", "20M", "MFSK"}}));
  EXPECT_EQ(ReadSignedContacts(Gzip("")), QList<QsoKey>());
}

TEST(SignedContacts, OnlyAWholeGzipStreamIsRead) {
  const QByteArray whole = Gzip(RealTqslText());
  EXPECT_FALSE(ReadSignedContacts(QByteArray()));
  EXPECT_FALSE(ReadSignedContacts(RealTqslText()));
  EXPECT_FALSE(ReadSignedContacts(whole.chopped(10)));
}

TEST(SignedSelection, EachContactStandsForOneExportedQso) {
  const auto exported_key = [](const char* call, const char* mode, const char* submode = "") {
    return ExportedKey{MakeQsoKey(call, "20240102", "10:00", "20m", mode), submode};
  };
  ExportedFile exported;
  exported.rowids = {11, 12, 13, 14, 15};
  exported.keys = {exported_key("W1AW", "MFSK", "FT4"), exported_key("K1JT", "CW"),
                   exported_key("K1JT", "CW"), exported_key("DL1AB", "SSB"),
                   exported_key("G4XYZ", "MFSK", "FT4")};
  const QList<QsoKey> contacts = {
      MakeQsoKey(" w1aw", "2024-01-02", "10:00:00Z", "20M", "FT4"),  // by its SUBMODE
      MakeQsoKey("K1JT", "20240102", "1000", "20M", "CW"),           // one of two alike
      MakeQsoKey("DL1AB", "20240102", "1001", "20M", "SSB"),         // another minute
      MakeQsoKey("G4XYZ", "20240102", "1000", "20M", "MFSK")};       // by its MODE
  const SignedSelection selection = SelectSignedQsos(exported, contacts);
  EXPECT_EQ(selection.signed_rowids, (QList<qint64>{11, 12, 15}));
  ASSERT_EQ(selection.left_out.size(), 2);
  EXPECT_EQ(selection.left_out[0].key.call, "K1JT");
  EXPECT_EQ(selection.left_out[1].key.call, "DL1AB");

  const QString message = LeftOutMessage(selection.left_out);
  EXPECT_TRUE(message.contains("stay unsent"));
  EXPECT_TRUE(message.contains("\nK1JT  2024-01-02  20M  CW\nDL1AB  2024-01-02  20M  SSB"))
      << message.toStdString();
}

TEST(SignedSelection, LongListsAreCut) {
  QList<ExportedKey> many;
  for (int i = 0; i < 40; ++i) {
    many.append({MakeQsoKey(QStringLiteral("N%1A").arg(i), "20240102", "1000", "20M", "CW"), ""});
  }
  const QString message = LeftOutMessage(many);
  EXPECT_TRUE(message.contains("N24A"));
  EXPECT_FALSE(message.contains("N25A"));
  EXPECT_TRUE(message.endsWith("... and 15 more"));
}

}  // namespace
