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

using SearchMode = int;
// Search-mode id -> German name (there is no id 5).
extern const QMap<SearchMode, QString> searchModeNames;

extern const QString clearedFieldsKey;
extern const QString connectedFieldsKey;
extern const QString optionsFileName;
