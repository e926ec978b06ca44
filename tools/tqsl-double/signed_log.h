// The signed log (.tq8) written by the TQSL double and checked by the service
// double: a gzip stream holding a short header and the ADIF text, with the
// ADIF's length and SHA-256 so that any change on the way is detected.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

struct SignedLog {
  QString location;
  QString callsign;
  QString source_file;
  int qso_count = 0;
  QByteArray adif;
};

// The .tq8 bytes for the log.
QByteArray WriteSignedLog(const SignedLog& log);

// Reads and checks .tq8 bytes; on failure returns nothing and sets *error.
std::optional<SignedLog> ReadSignedLog(const QByteArray& tq8, QString* error);

// Number of records ("<eor>" in any letter case) in ADIF text.
int CountAdifRecords(const QByteArray& adif);
