#ifndef QORVSYNC_ADIF_BAND_TABLES_H_
#define QORVSYNC_ADIF_BAND_TABLES_H_

#include <QString>

// Conversions between the log's band, frequency and mode columns and ADIF.
// Numbers are read and written with "." as decimal separator.

// ADIF band name ("20M" or "20m", letters in any case, not trimmed) to the
// log's DigiBand value ("14"); empty for a name in no row.
QString BandToDigiBand(const QString& band);

// The log's DigiBand value to the ADIF band whose range holds it (both
// bounds included); empty for a text that is not a number or lies in no range.
// Every value BandToDigiBand gives comes back as its band.
QString DigiBandToBand(const QString& digi_band);

// The log's QSOBand text to the ADIF frequency in MHz ("14.07400" and
// "14074" give "14.074"). Error: "'%s' is not a valid floating point value".
QString FreqToAdif(const QString& qso_band);

// The log's mode to the ADIF mode: BPSK31 is exported as PSK31.
QString ModeToAdif(const QString& mode);

#endif  // QORVSYNC_ADIF_BAND_TABLES_H_
