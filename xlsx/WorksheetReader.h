#pragma once

#include "ByteBuffer.h"
#include "Cell.h"
#include "CellRange.h"
#include "Format.h"

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QString>

#include <vector>

namespace QXlsx {

class Worksheet;
class XmlPullReader;

// Reads a worksheet part into a Worksheet: the cells of every row (types s, str, inlineStr, b,
// e, n, d; rows and cells with or without an "r" position), their styles, formulas (every cell
// of a shared formula gets its own), the merged ranges, column widths, row heights, hidden and
// grouped rows and columns, the sheet's default sizes and a frozen pane. Texts and formulas
// longer than a cell can hold make the part unreadable.
class WorksheetReader
{
    Q_DECLARE_TR_FUNCTIONS(QXlsx::WorksheetReader)

public:
    WorksheetReader(Worksheet *sheet, const QList<QString> &sharedStrings,
                    const QList<Format> &cellFormats);

    // False with an error raised on xml when the part cannot be read whole.
    bool read(XmlPullReader &xml);

private:
    enum class ValueType : quint8 {
        Number,
        SharedString,
        InlineString,
        FormulaString,
        Boolean,
        Error,
        Date,
    };
    struct SharedFormula
    {
        int row;
        int column;
        QString text;
    };
    struct SharedFormulaUse
    {
        int row;
        int column;
        int index;
    };
    struct ArrayFormula
    {
        CellRange range;
        int row;
        int column;
        bool inSheetOrder; // every cell before it was read in row and column order
    };
    struct FormulaData
    {
        enum Kind : quint8 {
            Normal,
            Shared,
            Array,
            DataTable,
        };
        Kind kind = Normal;
        bool present = false;
        int sharedIndex = -1;
        CellRange reference;
        QString text;
    };

    void readSheetData(XmlPullReader &xml);
    void readRow(XmlPullReader &xml, int row);
    bool readCell(XmlPullReader &xml, int row, int *column);
    bool readFormula(XmlPullReader &xml, FormulaData *formula);
    bool parseValue(XmlPullReader &xml, ValueType type, bool hasValue, const QString &inlineText,
                    QVariant *value, Cell::CellType *cellType);
    void storeFormula(Cell &cell, int row, int column, const FormulaData &formula);
    void readColumns(XmlPullReader &xml);
    void readSheetProperties(XmlPullReader &xml);
    void readSheetFormat(XmlPullReader &xml);
    void readSheetViews(XmlPullReader &xml);
    void readMergeCells(XmlPullReader &xml);
    void expandSharedFormulas();
    void markArrayResults();

    Worksheet *m_sheet;
    const QList<QString> &m_sharedStrings;
    const QList<Format> &m_cellFormats;
    ByteBuffer m_text; // reused for every value, so that numbers cost no allocation
    ByteBuffer m_formulaText;
    QHash<int, SharedFormula> m_sharedFormulas;
    std::vector<SharedFormulaUse> m_sharedFormulaUses;
    std::vector<ArrayFormula> m_arrayFormulas;
    int m_lastRow = 0;
    int m_lastColumn = 0;
    bool m_inSheetOrder = true;
};

} // namespace QXlsx
