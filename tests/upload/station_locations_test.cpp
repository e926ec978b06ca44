// The station location list read out of TQSL's station data.
#include "upload/station_locations.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/text_codec.h"
#include "support/error_text.h"

namespace {

TEST(StationLocations, NamesFollowTheSearchRule) {
  const struct {
    const char* text;
    QStringList names;
  } cases[] = {
      {"<StationDataFile><StationData name=\"Home\"><CALL>N0CALL</CALL></StationData>"
       "<StationData name=\"Portable 2\"><CALL>N0CALL/P</CALL></StationData></StationDataFile>",
       {"Home", "Portable 2"}},
      // Duplicates stay, in file order; a name may run across a line break.
      {"<StationData name=\"B\">x<StationData name=\"A\">y<StationData name=\"B\">",
       {"B", "A", "B"}},
      {"<StationData name=\"Two\r\nlines\">", {"Two\r\nlines"}},
      // A quote inside the name that is not followed by ">" belongs to it.
      {"<StationData name=\"Say \"hi\" here\">", {"Say \"hi\" here"}},
      // The tag compares with its letter case.
      {"<stationdata name=\"lower\"><STATIONDATA name=\"upper\">", {}},
      // The five XML entities are decoded, once: TQSL wants the name itself.
      {"<StationData name=\"Home &amp; Away\"><StationData name=\"&lt;&gt;&quot;&apos;\">"
       "<StationData name=\"&amp;lt; &copy; &amp\">",
       {"Home & Away", "<>\"'", "&lt; &copy; &amp"}},
      {"<StationDataFile></StationDataFile>", {}},
      {"<StationData name=\"unterminated", {}},
      {"", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StationLocationNames(QString::fromLatin1(c.text)), c.names) << c.text;
  }
}

TEST(StationLocations, FileIsReadAsTqslWritesIt) {
  QTemporaryDir dir;
  const QString path = dir.filePath("station_data");
  // UTF-8 as TQSL writes it; a file that is not UTF-8 reads as Windows-1252.
  WriteFileBytes(path,
                 "<StationData name=\"K\xC3\xB8"
                 "benhavn\"><StationData name=\"Home\">");
  EXPECT_EQ(ReadStationLocations(path), (QStringList{QString::fromUtf8("K\u00F8benhavn"), "Home"}));
  WriteFileBytes(path,
                 "<StationData name=\"K\xF8"
                 "benhavn\">");
  EXPECT_EQ(ReadStationLocations(path), QStringList{QString::fromUtf8("K\u00F8benhavn")});

  const QString missing = dir.filePath("none/station_data");
  EXPECT_TRUE(ErrorText([&] {
                ReadStationLocations(missing);
              }).startsWith("Cannot open file \"" + missing + "\"."));
}

}  // namespace
