// Any bytes as a report: every line is read for the fields the runs ask for.
// The only failure a reader may report is the conversion error.
#include <QByteArray>
#include <QStringList>
#include <cstddef>
#include <cstdint>

#include "adif/adif_reader.h"
#include "platform/app_error.h"
#include "platform/text_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const char16_t* const kNames[] = {
      u"CALL",  u"BAND", u"MODE", u"SUBMODE",  u"QSO_DATE", u"TIME_ON", u"QSLRDATE", u"GRIDSQUARE",
      u"STATE", u"IOTA", u"CNTY", u"RST_RCVD", u"eor",      u"",        u"<"};
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  for (const QString& line : SplitLines(DecodeText(bytes).text)) {
    for (const char16_t* name : kNames) {
      const QStringView field(name);
      try {
        const QString value = GetAdifValue(line, field);
        if (value.size() > 255) __builtin_trap();
      } catch (const AppError&) {
      }
      try {
        const QString value = GetAdifValueTyped(line, field);
        if (value.size() > 255) __builtin_trap();
      } catch (const AppError&) {
      }
      if (PosNoCase(field, line) > line.size()) __builtin_trap();
    }
  }
  return 0;
}
