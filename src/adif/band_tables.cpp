#include "adif/band_tables.h"

#include <QVarLengthArray>
#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "platform/conversions.h"

namespace {

struct BandValue {
  const char16_t* band;
  const char16_t* digi_band;
};

// Each value lies in the range of its band below, and each band of a range
// has a value here, so that what is exported can be read back.
// clang-format off
constexpr std::array<BandValue, 19> kBandValues = {{
    {u"160M", u"1.8"},
    {u"80M", u"3.5"},
    {u"60M", u"5"},
    {u"40M", u"7"},
    {u"30M", u"10"},
    {u"20M", u"14"},
    {u"17M", u"18"},
    {u"15M", u"21"},
    {u"12M", u"24"},
    {u"10M", u"28"},
    {u"6M", u"50"},
    {u"4M", u"70"},
    {u"2M", u"144"},
    {u"1.25M", u"222"},
    {u"70CM", u"430"},
    {u"23CM", u"1200"},
    {u"13CM", u"2400"},
    {u"6CM", u"5650"},
    {u"3CM", u"10000"},
}};
// clang-format on

struct BandRange {
  double from;
  double to;
  const char16_t* band;
};

// The 60 m and 23 cm rows start at the log's own values for these bands (5
// and 1200), below the bands' edges.
// clang-format off
constexpr std::array<BandRange, 19> kBandRanges = {{
    {1.8, 2, u"160M"},
    {3.5, 4, u"80M"},
    {5, 5.4, u"60M"},
    {7, 7.3, u"40M"},
    {10, 10.15, u"30M"},
    {14, 14.35, u"20M"},
    {18, 18.168, u"17M"},
    {21, 21.45, u"15M"},
    {24, 24.99, u"12M"},
    {28, 29.7, u"10M"},
    {50, 54, u"6M"},
    {70, 71, u"4M"},
    {144, 148, u"2M"},
    {222, 225, u"1.25M"},
    {420, 450, u"70cm"},
    {1200, 1300, u"23cm"},
    {2300, 2450, u"13cm"},
    {5650, 5925, u"6cm"},
    {10000, 10500, u"3cm"},
}};
// clang-format on

}  // namespace

namespace {

// The table's texts are static, so a text handed out refers to them in place.
QString StaticText(const char16_t* text) {
  return QString::fromRawData(reinterpret_cast<const QChar*>(text),
                              static_cast<qsizetype>(std::char_traits<char16_t>::length(text)));
}

}  // namespace

QString BandToDigiBand(const QString& band) {
  for (const BandValue& row : kBandValues) {
    const QStringView name(row.band);
    if (band.size() == name.size() && band.compare(name, Qt::CaseInsensitive) == 0) {
      return StaticText(row.digi_band);
    }
  }
  return QString();
}

namespace {

// The characters of a frequency while it is rewritten, kept off the heap:
// an export rewrites one for every QSO.
using FrequencyText = QVarLengthArray<char16_t, 32>;

// Where the first dot is, counted from 1; 0 when there is none.
qsizetype DotPosition(const FrequencyText& text) {
  const auto dot = std::find(text.begin(), text.end(), u'.');
  return dot == text.end() ? 0 : dot - text.begin() + 1;
}

// The usual frequency, a plain count of 10 Hz steps of at least 1 MHz, as
// megahertz. Written from its digits: the same text as the general
// conversion gives for it (15 significant digits hold any such count below
// 10^15 exactly), without parsing and formatting a floating-point number.
// Nothing for any other text.
std::optional<QString> WholeStepsInMegahertz(QStringView steps) {
  constexpr qsizetype kStepsPerMegahertz = 5;  // digits after the point
  qsizetype first = 0;
  while (first < steps.size() && steps[first] == u'0') ++first;
  const qsizetype digits = steps.size() - first;
  if (digits <= kStepsPerMegahertz || digits > 15) return std::nullopt;
  for (qsizetype i = first; i < steps.size(); ++i) {
    if (steps[i] < u'0' || steps[i] > u'9') return std::nullopt;
  }
  const qsizetype point = steps.size() - kStepsPerMegahertz;
  qsizetype end = steps.size();
  while (end > point && steps[end - 1] == u'0') --end;
  QString text(end > point ? end - first + 1 : point - first, Qt::Uninitialized);
  QChar* out = text.data();
  for (qsizetype i = first; i < point; ++i) *out++ = steps[i];
  if (end > point) {
    *out++ = u'.';
    for (qsizetype i = point; i < end; ++i) *out++ = steps[i];
  }
  return text;
}

}  // namespace

QString DigiBandToBand(const QString& digi_band) {
  double value = 0;
  if (!TryStrToFloat(digi_band, &value)) return QString();
  for (const BandRange& row : kBandRanges) {
    if (row.from <= value && value <= row.to) return StaticText(row.band);
  }
  return QString();
}

QString FreqToAdif(const QString& qso_band) {
  const qsizetype length = qso_band.size();
  // Short texts are whole or partial MHz values: padded, never parsed.
  if (length < 4) {
    return qso_band +
           (qso_band.contains(u'.') ? QStringLiteral("0000") : QStringLiteral(".00000"));
  }
  FrequencyText text(qso_band.utf16(), qso_band.utf16() + length);
  if (length == 5 || length == 6) text.append(u"00", 2);
  // Otherwise the digits are read as a count of 10 Hz steps.
  qsizetype dot = DotPosition(text);
  if (dot >= 1 && dot <= 3) text.remove(dot - 1);
  dot = DotPosition(text);
  if (dot > 0) {
    text.remove(dot - 1);
    if (length - dot < 2) text.append(u'0');
  }
  const QStringView steps(text.constData(), text.size());
  if (const std::optional<QString> exact = WholeStepsInMegahertz(steps)) return *exact;
  return FloatToStr(StrToFloat(steps.toString()) / 100000);
}

QString ModeToAdif(const QString& mode) {
  return mode.contains(QStringLiteral("BPSK")) ? mode.mid(1) : mode;
}
