#pragma once

#include <QString>
#include <QVector>

// One country of the reference list. Only the columns that are known for
// certain are filled: the stored order, the two-letter code, the IBAN flag and
// the alternative codes and names of a few rows. The number, German name and
// three-letter code stay unset (-1 / empty) where no value has been fixed.
struct CountryRecord
{
    qint32 id = -1;
    QString altCode;
    QString altName;
    QString reserved;
    QString iso2;
    bool ibanCountry = false;
    QString germanName;
    QString iso3;
};

// 250 rows in the order of the German country names. Nothing reads it yet.
extern const QVector<CountryRecord> countryTable;
