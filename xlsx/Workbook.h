#pragma once

#include "DefinedName.h"
#include "Format.h"
#include "FormatPool.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace QXlsx {

class Worksheet;

// The worksheets of a workbook with what they share: the date system and the formats.
class Workbook
{
public:
    explicit Workbook(bool date1904 = false);
    ~Workbook();
    Q_DISABLE_COPY_MOVE(Workbook)

    // An independent copy of every sheet; cells share their texts and formats with this
    // workbook until either side writes them.
    std::unique_ptr<Workbook> copy() const;

    // Whether serial numbers count from 1904 instead of 1900.
    bool isDate1904() const;

    QStringList sheetNames() const;
    int sheetCount() const;
    Worksheet *sheet(int index) const;
    // The sheet of that name; null when there is none.
    Worksheet *sheet(const QString &name) const;
    Worksheet *addSheet(const QString &name);

    FormatPool &formats();

    // The font of cells without a font of their own (a format with font data only). Kept from
    // the file so that a saved copy looks like the original.
    Format defaultFont() const;
    void setDefaultFont(const Format &font);

    // The names the workbook gives formulas, as a copy keeps them (see keptNames()).
    QList<DefinedName> definedNames() const;
    void setDefinedNames(const QList<DefinedName> &names);

private:
    bool m_date1904;
    FormatPool m_formats;
    Format m_defaultFont;
    QList<DefinedName> m_definedNames;
    std::vector<std::unique_ptr<Worksheet>> m_sheets;
};

} // namespace QXlsx
