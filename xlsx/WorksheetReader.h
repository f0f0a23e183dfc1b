#pragma once

#include "Cell.h"
#include "CellRange.h"
#include "Format.h"

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QString>

#include <vector>

class QXmlStreamReader;

namespace QXlsx {

class Worksheet;

// Reads a worksheet part into a Worksheet: the cells of every row (types s, str, inlineStr, b,
// e, n, d; rows and cells with or without an "r" position), their styles, formulas (shared
// formulas expanded so that every cell gets its own text) and the merged ranges.
class WorksheetReader
{
    Q_DECLARE_TR_FUNCTIONS(QXlsx::WorksheetReader)

public:
    WorksheetReader(Worksheet *sheet, const QList<QString> &sharedStrings,
                    const QList<Format> &cellFormats);

    // False with an error raised on xml when the part cannot be read whole.
    bool read(QXmlStreamReader &xml);

private:
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
    struct FormulaData
    {
        QString type;
        QString text;
        QString reference;
        int sharedIndex = -1;
        bool present = false;
    };

    void readSheetData(QXmlStreamReader &xml);
    void readRow(QXmlStreamReader &xml, int row);
    bool readCell(QXmlStreamReader &xml, int row, int *column);
    bool readElementText(QXmlStreamReader &xml);
    bool parseValue(QXmlStreamReader &xml, QStringView type, bool hasValue,
                    const QString &inlineText, QVariant *value, Cell::CellType *cellType);
    void storeFormula(Cell &cell, int row, int column, const FormulaData &formula);
    void readMergeCells(QXmlStreamReader &xml);
    void expandSharedFormulas();
    bool insideArrayFormula(int row, int column) const;

    Worksheet *m_sheet;
    const QList<QString> &m_sharedStrings;
    const QList<Format> &m_cellFormats;
    QString m_text; // reused for every value, so that numbers cost no allocation
    QHash<int, SharedFormula> m_sharedFormulas;
    std::vector<SharedFormulaUse> m_sharedFormulaUses;
    QList<CellRange> m_arrayRanges;
};

} // namespace QXlsx
