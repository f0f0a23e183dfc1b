#include "DefinedName.h"

#include "Worksheet.h"

#include <QSet>

namespace QXlsx {

namespace {

// Built-in names of features a copy does not keep.
const QString FilterDatabase = QStringLiteral("_xlnm._FilterDatabase");

// Whether a formula holds only references, numbers, operators and functions: no text literal
// and no bracketed reference; quoted sheet names ('Kunden 2024'!A1, with '' for a quote) may
// hold anything.
bool holdsNoData(QStringView formula)
{
    bool inSheetName = false;
    for (qsizetype i = 0; i < formula.size(); ++i) {
        const QChar c = formula[i];
        if (inSheetName) {
            if (c == u'\'') {
                if (i + 1 < formula.size() && formula[i + 1] == u'\'')
                    ++i;
                else
                    inSheetName = false;
            }
        } else if (c == u'\'') {
            inSheetName = true;
        } else if (c == u'"' || c == u'[' || c == u']') {
            return false;
        }
    }
    return !inSheetName;
}

} // namespace

QList<DefinedName> keptNames(const QList<DefinedName> &names)
{
    QList<DefinedName> kept;
    QSet<std::pair<QString, int>> seen;
    for (const DefinedName &name : names) {
        const QString formula = name.formula.trimmed();
        if (name.name.isEmpty() || formula.isEmpty() || formula.size() > Worksheet::MaxTextLength ||
            !holdsNoData(formula) || name.name.compare(FilterDatabase, Qt::CaseInsensitive) == 0)
            continue;
        // Spreadsheet programs do not tell names apart by case.
        const std::pair<QString, int> key {name.name.toCaseFolded(), name.sheetIndex};
        if (seen.contains(key))
            continue;
        seen.insert(key);
        kept.append(name);
    }
    return kept;
}

} // namespace QXlsx
