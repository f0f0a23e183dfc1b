#pragma once

#include <QChar>
#include <QString>
#include <QVariant>

// What a spreadsheet cell needs of its replacement to be written with the right type.
struct CachedResult
{
    // The typed result (a scaled number, a shifted date or date-time); empty when the engine
    // gave text only.
    QVariant value;
    // The group separator the engine found in an amount or integer; null when none.
    QChar groupSeparator;
    // The field type the engine applied; 0 when the template held no placeholder.
    int fieldType = 0;
    QString text;
};
