#include "CountryTable.h"

#include <QSet>

namespace {

// Two-letter codes in the stored order (alphabetical by German country name).
const char *const kIso2Order[] = {
    "AF", "EG", "AX", "AL", "DZ", "AS", "AD", "AO", "AI", "AQ", "AG", "GQ", "AR", "AM", "AW", "AZ",
    "ET", "AU", "BS", "BH", "BD", "BB", "BY", "BE", "BZ", "BJ", "BM", "BT", "BO", "BQ", "BA", "BW",
    "BV", "BR", "IO", "BN", "BG", "BF", "BI", "KY", "CL", "CN", "CK", "CR", "DK", "DE", "DM", "DO",
    "DJ", "EC", "SV", "CI", "ER", "EE", "FK", "FO", "FJ", "FI", "FM", "FR", "TF", "GF", "PF", "GA",
    "GM", "GE", "GH", "GI", "GD", "GR", "GL", "GB", "GP", "GU", "GT", "GG", "GN", "GW", "GY", "HT",
    "HM", "HN", "HK", "IN", "ID", "IQ", "IR", "IE", "IS", "IM", "IL", "IT", "JM", "JP", "YE", "JE",
    "JO", "VI", "VG", "KH", "CM", "CA", "CV", "KZ", "QA", "KE", "KG", "KI", "CC", "CO", "KM", "CD",
    "CG", "KP", "KR", "KO", "HR", "CU", "KW", "LA", "LS", "LV", "LB", "LR", "LY", "LI", "LT", "LU",
    "MO", "MG", "MW", "MY", "MV", "ML", "MT", "MA", "MH", "MQ", "MR", "MU", "YT", "MK", "MX", "MD",
    "MC", "MN", "ME", "MS", "MZ", "MM", "NA", "NR", "NP", "NC", "NZ", "NI", "NL", "NE", "NG", "NU",
    "MP", "NF", "NO", "OM", "AT", "PK", "PS", "PW", "PA", "PG", "PY", "PE", "PH", "PN", "PL", "PT",
    "PR", "RE", "RW", "RO", "RU", "SB", "ZM", "WS", "SM", "ST", "SA", "SE", "CH", "SN", "RS", "SC",
    "SL", "ZW", "SG", "SX", "SK", "SI", "SO", "ES", "LK", "BL", "SH", "KN", "LC", "MF", "PM", "VC",
    "ZA", "SD", "GS", "SS", "SR", "SJ", "SZ", "SY", "TJ", "TW", "TZ", "TH", "TL", "TG", "TK", "TO",
    "TT", "TD", "CZ", "TN", "TR", "TM", "TC", "TV", "UG", "UA", "HU", "UM", "UY", "US", "UZ", "VU",
    "VA", "VE", "AE", "VN", "WF", "CX", "EH", "CF", "CY", "CW",
};

// Countries that use IBANs. Kosovo's row ("KO") is not among them, although
// the IBAN length table knows "XK".
const char *const kIbanCountries[] = {
    "AD", "AE", "AL", "AT", "AZ", "BA", "BE", "BG", "BH", "BL", "BR", "CH", "CR", "CY", "CZ", "DE",
    "DK", "DO", "EE", "ES", "FI", "FO", "FR", "GB", "GE", "GI", "GL", "GR", "GT", "HR", "HU", "IE",
    "IL", "IQ", "IS", "IT", "JO", "KW", "KZ", "LB", "LC", "LI", "LT", "LU", "LV", "MC", "MD", "ME",
    "MF", "MK", "MR", "MT", "MU", "MZ", "NL", "NO", "PK", "PL", "PS", "PT", "QA", "RO", "RS", "SA",
    "SC", "SE", "SI", "SK", "SM", "ST", "SV", "TL", "TN", "TR", "UA", "VG",
};

QVector<CountryRecord> buildCountryTable()
{
    QSet<QString> iban;
    for (const char *code : kIbanCountries)
        iban.insert(QString::fromLatin1(code));

    QVector<CountryRecord> table;
    table.reserve(int(std::size(kIso2Order)));
    for (const char *code : kIso2Order) {
        CountryRecord record;
        record.iso2 = QString::fromLatin1(code);
        record.ibanCountry = iban.contains(record.iso2);
        table.append(record);
    }

    for (CountryRecord &record : table) {
        if (record.iso2 == QLatin1String("GR")) {
            record.altCode = QStringLiteral("EL");
        } else if (record.iso2 == QLatin1String("GB")) {
            record.altCode = QStringLiteral("UK");
            record.altName = QStringLiteral("Grossbritannien");
        } else if (record.iso2 == QLatin1String("KO")) {
            record.altCode = QStringLiteral("XK");
            record.iso3 = QStringLiteral("XKX");
        } else if (record.iso2 == QLatin1String("BY")) {
            record.altName = QStringLiteral("Belarus");
        } else if (record.iso2 == QLatin1String("CZ")) {
            record.altName = QStringLiteral("Tschechien");
        }
    }
    return table;
}

} // namespace

const QVector<CountryRecord> countryTable = buildCountryTable();
