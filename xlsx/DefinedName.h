#pragma once

#include <QList>
#include <QString>

namespace QXlsx {

// A name a workbook gives a formula, such as "Steuersatz" for "Geheim!$B$1", valid in the
// whole workbook or on one sheet.
struct DefinedName
{
    QString name;
    QString formula; // without the leading "="
    int sheetIndex = -1; // the worksheet it belongs to (Workbook order); -1 for the whole workbook
    bool hidden = false;

    friend bool operator==(const DefinedName &a, const DefinedName &b)
    {
        return a.name == b.name && a.formula == b.formula && a.sheetIndex == b.sheetIndex &&
            a.hidden == b.hidden;
    }
};

// The names a copy keeps: those whose formula holds no data of its own. A name is dropped when
// its formula holds a text literal ("..."), refers to another workbook or to a table
// ([...]), cannot be read (an unclosed quote), or belongs to a feature a copy drops (the
// filter range of an autofilter); a second name of the same spelling and scope is dropped too.
QList<DefinedName> keptNames(const QList<DefinedName> &names);

} // namespace QXlsx
