// The tag reader behind the record reader of `unmatched`, the report header
// and the signed file: which texts are tags, and what value each cuts out.
#include "adif/adif_tags.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

// "NAME=value" for each field, "NAME" for each marker.
QString Tags(const QString& text) {
  QStringList found;
  ForEachAdifTag(text, [&](const AdifTag& tag) {
    found << (tag.IsMarker() ? tag.name.toString()
                             : tag.name.toString() + u'=' + tag.Value(text).toString());
  });
  return found.join(u' ');
}

}  // namespace

TEST(AdifTags, FieldsAndMarkersAreFoundAsTheRecordReaderFindsThem) {
  const struct {
    const char* text;
    const char* tags;
  } cases[] = {
      {"<call:5>N0CAL<BAND:3>20M<eor>", "call=N0CAL BAND=20M eor"},
      {"<QSO_DATE:8:D>20210915", "QSO_DATE=20210915"},  // a one-letter type
      {"<QSO_DATE:8:DX>20210915", ""},                  // not a type
      {"<CALL:1234567>x", ""},                          // a length of seven digits
      {"<CALL:3>AB", "CALL=AB"},                        // cut at the text's end
      {"<CALL:>x<CALL:x>y< CALL:1>z<CALL-X:1>w", ""},   // no length, no name
      {"<<CALL:2>AB", "CALL=AB"},
      // The search goes on after the tag, as the runs' look-up does.
      {"<NAME:10><CALL:2>AB", "NAME=<CALL:2>AB CALL=AB"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Tags(QString::fromLatin1(c.text)), QString::fromLatin1(c.tags)) << c.text;
  }
}
