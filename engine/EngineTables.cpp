#include "EngineTables.h"

#include <array>

const QMap<int, QChar> separatorTable = {
    {1, QChar(u'\t')},
    {2, QChar(u',')},
    {3, QChar(u';')},
};

const QMap<QString, int> ibanLengthTable = {
    {QStringLiteral("AD"), 24}, {QStringLiteral("AE"), 23}, {QStringLiteral("AL"), 28},
    {QStringLiteral("AT"), 20}, {QStringLiteral("AZ"), 28}, {QStringLiteral("BA"), 20},
    {QStringLiteral("BE"), 16}, {QStringLiteral("BG"), 22}, {QStringLiteral("BH"), 22},
    {QStringLiteral("BR"), 29}, {QStringLiteral("CH"), 21}, {QStringLiteral("CR"), 22},
    {QStringLiteral("CY"), 28}, {QStringLiteral("CZ"), 24}, {QStringLiteral("DE"), 22},
    {QStringLiteral("DK"), 18}, {QStringLiteral("DO"), 28}, {QStringLiteral("EE"), 20},
    {QStringLiteral("ES"), 24}, {QStringLiteral("FI"), 18}, {QStringLiteral("FO"), 18},
    {QStringLiteral("FR"), 27}, {QStringLiteral("GB"), 22}, {QStringLiteral("GE"), 22},
    {QStringLiteral("GI"), 23}, {QStringLiteral("GL"), 18}, {QStringLiteral("GR"), 27},
    {QStringLiteral("GT"), 28}, {QStringLiteral("HR"), 21}, {QStringLiteral("HU"), 28},
    {QStringLiteral("IE"), 22}, {QStringLiteral("IL"), 23}, {QStringLiteral("IS"), 26},
    {QStringLiteral("IT"), 27}, {QStringLiteral("JO"), 30}, {QStringLiteral("KW"), 30},
    {QStringLiteral("KZ"), 20}, {QStringLiteral("LB"), 28}, {QStringLiteral("LI"), 21},
    {QStringLiteral("LT"), 20}, {QStringLiteral("LU"), 20}, {QStringLiteral("LV"), 21},
    {QStringLiteral("MC"), 27}, {QStringLiteral("MD"), 24}, {QStringLiteral("ME"), 22},
    {QStringLiteral("MK"), 19}, {QStringLiteral("MR"), 27}, {QStringLiteral("MT"), 31},
    {QStringLiteral("MU"), 30}, {QStringLiteral("NL"), 18}, {QStringLiteral("NO"), 15},
    {QStringLiteral("PK"), 24}, {QStringLiteral("PL"), 28}, {QStringLiteral("PS"), 29},
    {QStringLiteral("PT"), 25}, {QStringLiteral("QA"), 29}, {QStringLiteral("RO"), 24},
    {QStringLiteral("RS"), 22}, {QStringLiteral("SA"), 24}, {QStringLiteral("SE"), 24},
    {QStringLiteral("SI"), 19}, {QStringLiteral("SK"), 24}, {QStringLiteral("SM"), 27},
    {QStringLiteral("TN"), 24}, {QStringLiteral("TR"), 26}, {QStringLiteral("UA"), 29},
    {QStringLiteral("VG"), 24}, {QStringLiteral("XK"), 20},
};

int ibanLengthOf(char16_t a, char16_t b)
{
    static const auto lengths = [] {
        std::array<int, 26 * 26> table {};
        for (auto it = ibanLengthTable.cbegin(); it != ibanLengthTable.cend(); ++it) {
            const QString &cc = it.key();
            if (cc.size() == 2 && cc[0] >= u'A' && cc[0] <= u'Z' && cc[1] >= u'A' && cc[1] <= u'Z')
                table[size_t(cc[0].unicode() - u'A') * 26 + size_t(cc[1].unicode() - u'A')] = *it;
        }
        return table;
    }();
    if (a < u'A' || a > u'Z' || b < u'A' || b > u'Z')
        return 0;
    return lengths[size_t(a - u'A') * 26 + size_t(b - u'A')];
}

const QMap<SearchMode, QString> searchModeNames = {
    {1, QStringLiteral("Erweiterte Suche alt")},
    {2, QStringLiteral("Erweiterte Suche mit Wildcard")},
    {3, QStringLiteral("Nicht mehr verwendet")},
    {4, QStringLiteral("Regulärer Ausdruck")},
    {6, QStringLiteral("Erweiterte Suche mit regulärem Ausdruck")},
};

const QString clearedFieldsKey = QStringLiteral("CLEARED_FIELDS:");
const QString connectedFieldsKey = QStringLiteral("CONNECTED_FIELDS:");
const QString optionsFileName = QStringLiteral("/vondrel.opt");
