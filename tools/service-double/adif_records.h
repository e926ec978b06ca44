// Reading and writing the ADIF records the double serves: tags <NAME:len[:type]>
// with their values; everything up to <EOH> is header and skipped.
#pragma once

#include <QByteArray>
#include <QList>

struct AdifField {
  QByteArray name;
  QByteArray type;
  QByteArray value;
};

struct AdifRecord {
  QList<AdifField> fields;
  // The value of the field, letter case of the name ignored; empty when absent.
  QByteArray Value(const QByteArray& name) const;
};

QList<AdifRecord> ParseAdif(const QByteArray& text);

// "<NAME:len>value" or "<NAME:len:type>value".
QByteArray WriteAdifField(const AdifField& field);
