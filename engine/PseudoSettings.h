#pragma once

#include "FieldTypes.h"

#include <QString>

#include <array>

// How the keyed field types shape their pseudonyms. The run changes only
// simulateReal and maxShiftDays; the rest keeps its defaults.
struct PseudoSettings
{
    // Token prefix of a keyed type 1 to 13; empty for the postal code (7).
    QString prefix(FieldType type) const;
    // First token length of a keyed type 1 to 13.
    int tokenLength(FieldType type) const;
    // Second token length of a keyed type 1 to 13; 3 for the postal code (7).
    int extLength(FieldType type) const;

    // Types 1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12, 13 in this order.
    std::array<QString, 12> prefixes = {
        QStringLiteral("txt"),  QStringLiteral("mail"), QStringLiteral("place"),
        QStringLiteral("name"), QStringLiteral("str"),  QStringLiteral("str"),
        QStringLiteral("comp"), QStringLiteral("tel"),  QStringLiteral("stno"),
        QStringLiteral("vat"),  QStringLiteral("dom"),  QStringLiteral("ip"),
    };
    // Types 1 to 13 in order.
    std::array<qint32, 13> tokenLengths = {10, 12, 8, 10, 8, 8, 5, 10, 10, 10, 12, 12, 12};
    // Types 1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12, 13 in this order.
    std::array<qint32, 12> extLengths = {4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4};
    QString emailDomain = QStringLiteral("example.invalid");
    QString topLevelDomain = QStringLiteral("invalid");
    bool simulateReal = false;
    qint32 maxShiftDays = 365;
    qint32 maxShiftSeconds = 86400;
    // Date-times are cut to a multiple of this many seconds before shifting when above 1.
    qint32 timeStepSeconds = 1;
    // Which clock a shifted date-time is expressed in: 0 local time, 1 UTC, else the system time
    // zone.
    qint32 timeSpecMode = 0;
};
