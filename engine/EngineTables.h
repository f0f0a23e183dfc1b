#pragma once

#include <QChar>
#include <QMap>
#include <QString>

// Fixed tables shared by the engine and the application. Built once before
// main() and only read afterwards.

// Separator id held by the option "sep_data_field" -> separator character.
extern const QMap<int, QChar> separatorTable;

// Upper-case country code -> total IBAN length; the countries IBANs are generated for.
extern const QMap<QString, int> ibanLengthTable;
// The length ibanLengthTable holds for the country of the ASCII upper-case letters a
// and b; 0 when it has none. A direct lookup for the millions of IBANs of a run.
int ibanLengthOf(char16_t a, char16_t b);

using SearchMode = int;
// Search-mode id -> German name (there is no id 5).
extern const QMap<SearchMode, QString> searchModeNames;

extern const QString clearedFieldsKey;
extern const QString connectedFieldsKey;
extern const QString optionsFileName;
