// Lines no service should send: lengths that overflow, NUL bytes, lines of
// ten megabytes. The reader gives a value or its conversion error, never
// more than its window, and stays fast.
#include <gtest/gtest.h>

#include <ctime>

#include "adif/adif_reader.h"
#include "support/error_text.h"

namespace {

QString Read(const QString& line, const char* field, bool typed = false) {
  QString value;
  const QString error = ErrorText([&] {
    value = typed ? GetAdifValueTyped(line, QString::fromLatin1(field))
                  : GetAdifValue(line, QString::fromLatin1(field));
  });
  return error == QStringLiteral("no error") ? value : error;
}

TEST(AdifHostileInput, LengthsAndBytesThatNoServiceShouldSend) {
  const QString nul = QString::fromUtf16(u"AB\0CD", 5);
  const struct {
    QString line;
    const char* field;
    bool typed;
    QString result;
  } cases[] = {
      {"<CALL:99999999999>AB<X:0>", "CALL", false, "'99999999999' is not a valid integer value"},
      {"<CALL:2147483648>AB<X:0>", "CALL", false, "'2147483648' is not a valid integer value"},
      {"<CALL:2147483647>ABCDE<X:0>", "CALL", false, "ABCDE<X:0>"},
      {"<CALL:-2147483648>ABCDE<X:0>", "CALL", false, ""},
      {"<CALL: 5 >ABCDE<X:0>", "CALL", false, "' 5 ' is not a valid integer value"},
      {"<CALL:5>" + nul + "<X:0>", "CALL", false, nul},
      {"<CALL:5>" + nul + "<X:0>", "CALL", true, nul},
      {QString::fromUtf16(u"<CALL\0:5>ABCDE<X:0>", 19), "CALL", false, ""},
      {"<<<<<<CALL:3>ABC<X:0>", "CALL", false, "ABC"},
      {"<CALL:3>ABC<EOR", "EOR", false, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Read(c.line, c.field, c.typed), c.result) << c.line.toStdString();
  }
}

TEST(AdifHostileInput, TenMegabyteLinesStayFast) {
  const qsizetype ten_mb = 10 * 1024 * 1024;
  const QString tail = QStringLiteral("<CALL:5>ABCDE<BAND:3>20M<EOR>");
  const struct {
    const char* what;
    QString line;
    QString call;
  } cases[] = {
      {"blanks before the record", QString(ten_mb, u' ') + tail, "ABCDE"},
      {"a tag opener at every character", QString(ten_mb, u'<') + tail, "ABCDE"},
      {"one value of ten megabytes", "<CALL:10485760>" + QString(ten_mb, u'x') + "<EOR>",
       QString(255 - 15, u'x')},
  };
  for (const auto& c : cases) {
    // The processor time the reading takes: a machine busy with other work
    // stretches the wall clock, not this.
    const std::clock_t start = std::clock();
    EXPECT_EQ(Read(c.line, "CALL"), c.call) << c.what;
    for (const char* field : {"QSO_DATE", "TIME_ON", "MODE", "SUBMODE", "QSLRDATE", "CNTY"}) {
      EXPECT_EQ(Read(c.line, field), "") << c.what << " " << field;
    }
    EXPECT_LT((std::clock() - start) * 1000 / CLOCKS_PER_SEC, 2000) << c.what;
  }
}

}  // namespace
