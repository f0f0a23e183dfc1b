#pragma once

#include <QString>
#include <QStringList>

class QXmlStreamWriter;

namespace QXlsx {

class Cell;
class SharedStringTable;
class StyleTable;
class Worksheet;

// Writes one worksheet part: its cells row by row and its merged ranges. Texts go to the shared
// string table, formats to the style table. Formula cells are written without their recorded
// results, so a saved file never keeps a value computed from the original data.
class WorksheetWriter
{
public:
    WorksheetWriter(const Worksheet &sheet, StyleTable *styles, SharedStringTable *strings);

    void write(QXmlStreamWriter &xml);

private:
    void writeCell(QXmlStreamWriter &xml, const QString &reference, int style, const Cell &cell);
    const QString &columnName(int column);

    const Worksheet &m_sheet;
    StyleTable *m_styles;
    SharedStringTable *m_strings;
    QStringList m_columnNames; // letters by column, filled as columns are met
};

} // namespace QXlsx
