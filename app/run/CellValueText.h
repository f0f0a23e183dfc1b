#pragma once

#include <QString>
#include <QVariant>

// A spreadsheet cell value as text, the way the run reads it: numbers in plain decimal form with
// all the digits needed to read them back (15000000, never 1.5e+07, which the lenient number
// parser would read as 150000000); everything else as the variant's own text.
QString cellValueText(const QVariant &value);
