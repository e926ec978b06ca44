#include "adif/adif_reader.h"

#include <gtest/gtest.h>

#include "support/error_text.h"

namespace {

enum class Reader { kPlain, kTyped };

// The value read, or the error's message.
QString Read(Reader reader, const QString& line, const QString& field) {
  QString value;
  const QString error = ErrorText([&] {
    value = reader == Reader::kPlain ? GetAdifValue(line, field) : GetAdifValueTyped(line, field);
  });
  return error == QStringLiteral("no error") ? value : error;
}

QString NotInteger(const char* text) {
  return QStringLiteral("'%1' is not a valid integer value").arg(QLatin1String(text));
}

}  // namespace

TEST(AdifReader, PosNoCaseFoldsOnlyAsciiLetters) {
  const struct {
    const char16_t* needle;
    const char16_t* haystack;
    qsizetype position;
  } cases[] = {
      {u"<call", u"xx<CALL:5>", 3},
      {u"b", u"abcb", 2},
      {u"Q", u"abc", 0},
      {u"", u"abc", 0},
      {u"abcd", u"abc", 0},
      {u"S", u"\u017F", 0},
      {u"I", u"\u0131", 0},
      {u"k", u"\u212A", 0},
      {u"\u00E9", u"\u00C9", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PosNoCase(QStringView(c.needle), QStringView(c.haystack)), c.position)
        << QString::fromUtf16(c.needle).toStdString();
  }
}

TEST(AdifReader, ReadsValuesByTheTagLength) {
  const Reader plain = Reader::kPlain;
  const Reader typed = Reader::kTyped;
  const QString long_value = QString(300, u'x');
  const struct {
    Reader reader;
    QString line;
    const char* field;
    QString result;
  } cases[] = {
      {plain, "<call:5>ABCDE", "CALL", "ABCDE"},
      {plain, "<CALL:5>ABCDE<BAND:3>20M<MODE:2>CW", "CALL", "ABCDE"},
      {plain, "<CALL:5>ABCDE<BAND:3>20M<MODE:2>CW", "BAND", "20M"},
      {plain, "<CALL:5>ABCDE<BAND:3>20M<MODE:2>CW", "MODE", "CW"},
      {plain, "<CALL:5>ABCDE<BAND:3>20M", "MODE", ""},
      {plain, "", "CALL", ""},
      // One character with nothing after it reads as empty.
      {plain, "<CALL:1>K", "CALL", ""},
      {plain, "<CALL:1>K ", "CALL", "K"},
      {plain, "<CALL:7>ABCDE", "CALL", "ABCDE"},
      {plain, "<CALL:5> ABCD", "CALL", "ABCD"},
      {plain, "<CALL:8>ABCDE<BAND:3>20M", "CALL", "ABCDE<BA"},
      {plain, "<CALL:3>ABCDE", "CALL", "ABC"},
      {plain, "<CALL:0>ABCDE", "CALL", ""},
      {plain, "<CALL:-1>ABCDE", "CALL", ""},
      {plain, "<CALL:7>\tABCDE\x01", "CALL", "ABCDE"},
      {plain, "<CALL:3>ABC<CALL:3>DEF", "CALL", "ABC"},
      {plain, "<STATION_CALLSIGN:5>ABCDE<CALL:5>FGHIJ", "CALL", "FGHIJ"},
      // A field is found by its whole name, letters in any case.
      {plain, "<CALLSIGN:3>XYZ<CALL:5>FGHIJ", "CALL", "FGHIJ"},
      {plain, "<QSO_DATE_OFF:8>20210916<QSO_DATE:8>20210915", "QSO_DATE", "20210915"},
      {plain, "<GRIDSQUARE_EXT:2>ab<gridsquare:4>FN42", "GRIDSQUARE", "FN42"},
      {plain, "<IOTA_ISLAND_ID:3>123<EOR>", "IOTA", ""},
      {plain, "<BAND_RX:3>40M<Band:3>20M", "BAND", "20M"},
      {plain, "<CNTY_ALT:3>XYZ<CNTY:4>MA,X ", "CNTY", "MA,X"},
      {plain, "<GRIDSQUARE:6>jo62qm<EOR>", "gridsquare", "jo62qm"},
      {plain, QString(400, u' ') + "<CALL:5>ABCDE ", "CALL", "ABCDE"},
      // The window is 255 characters from the tag's "<".
      {plain, "<COMMENT:300>" + long_value + " ", "COMMENT", QString(255 - 13, u'x')},
      // A tag without a length is no field tag.
      {plain, "<CALL>ABCDE", "CALL", ""},
      {plain, "<CALL>AB:CD", "CALL", ""},
      {plain, "<CALL:5", "CALL", NotInteger("")},
      {plain, "<QSO_DATE:8:D>20210915", "QSO_DATE", NotInteger("8:D")},
      {plain, "<MODE:3>ft8<EOR>", "MODE", "ft8"},

      {typed, "<MODE:3>ft8<EOR>", "MODE", "FT8"},
      {typed, "<call:5>abcde<band:3>20m", "CALL", "ABCDE"},
      {typed, "<QSO_DATE:8:D>20210915<TIME_ON:4>1830", "QSO_DATE", "20210915"},
      {typed, "<QSO_DATE:8>20210915<TIME_ON:4>1830", "QSO_DATE", "20210915"},
      // A value that ends the line is read as well.
      {typed, "<QSO_DATE:8:D>20210915<TIME_ON:4>1830", "TIME_ON", "1830"},
      {typed, "<QSO_DATE:8:D>20210915", "QSO_DATE", "20210915"},
      {typed, "<call:6>n0call", "CALL", "N0CALL"},
      {typed, "<CALL:5><BAND:3>20M", "CALL", ""},
      {typed, "<CALL:8>abcde<BAND:3>20M", "CALL", "ABCDE<BA"},
      {typed, "<CALL:0>ABCDE<EOR>", "CALL", ""},
      {typed, "<CALL:5>ABCDE" + QString(240, u' ') + "<EOR>", "CALL", "ABCDE"},
      {typed, "<CALL:5>ABCDE" + QString(250, u' ') + "<EOR>", "CALL", "ABCDE"},
      {typed, "<BAND:3>20M<EOR>", "CALL", ""},
      {typed, "<MODE:3:S>FT8<EOR>", "MODE", NotInteger("3:S")},
      {typed, "<CALL>ABCDE<EOR>", "CALL", ""},
      {typed, "<CALL:5", "CALL", NotInteger("")},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Read(c.reader, c.line, QLatin1String(c.field)), c.result)
        << (c.reader == plain ? "plain " : "typed ") << c.field << " in " << c.line.toStdString();
  }
}

TEST(AdifReader, TagNamesCompareFoldingOnlyAsciiLetters) {
  const struct {
    const char16_t* a;
    const char16_t* b;
    bool equal;
  } cases[] = {
      {u"qso_date", u"QSO_DATE", true},
      {u"Call", u"CALL", true},
      {u"CALL", u"CALLS", false},
      {u"@", u"`", false},
      {u"[", u"{", false},
      {u"_", u"\u007F", false},
      {u"\u017F", u"S", false},
      {u"\u0141", u"\u0161", false},
      {u"", u"", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EqualsNoCase(QStringView(c.a), QStringView(c.b)), c.equal)
        << QString::fromUtf16(c.a).toStdString();
  }
  QChar end;
  EXPECT_EQ(AdifTagNameAt(u"x<gridsquare:4>FN42", 1, &end), u"gridsquare");
  EXPECT_EQ(end, u':');
  EXPECT_EQ(AdifTagNameAt(u"<eor>", 0, &end), u"eor");
  EXPECT_EQ(end, u'>');
  EXPECT_TRUE(AdifTagNameAt(u"<CALL", 0, &end).isNull());
}

TEST(AdifReader, TagsAndRecordEndsAreWholeNamesInAnyCase) {
  const struct {
    const char* line;
    const char* name;
    bool field;
    bool record_end;
  } cases[] = {
      {"<call:5>ABCDE<eor>", "CALL", true, true},
      {"<Call:5>ABCDE<EoR>", "CALL", true, true},
      {"<CALLSIGN:5>ABCDE", "CALL", false, false},
      {"<QSO_DATE_OFF:8>20210916", "QSO_DATE", false, false},
      {"<APP_X_QSO_DATE:8>20210916", "QSO_DATE", false, false},
      {"<CALL>ABCDE<EOR", "CALL", false, false},
      {"<EOR:0>", "CALL", false, false},
      {"<EOH>", "EOH", false, false},
      {"", "CALL", false, false},
  };
  for (const auto& c : cases) {
    const QString line = QString::fromLatin1(c.line);
    EXPECT_EQ(HasAdifTag(line, QString::fromLatin1(c.name)), c.field) << c.line;
    EXPECT_EQ(HasAdifRecordEnd(line), c.record_end) << c.line;
  }
}

TEST(AdifReader, ReadersOnlyReadTheLine) {
  const QString line = QStringLiteral("<call:5>abcde<EOR>");
  EXPECT_EQ(GetAdifValueTyped(line, u"CALL"), QStringLiteral("ABCDE"));
  EXPECT_EQ(GetAdifValue(line, u"CALL"), QStringLiteral("abcde"));
  EXPECT_EQ(line, QStringLiteral("<call:5>abcde<EOR>"));
}
