#pragma once

#include "CellRange.h"

#include <QSharedDataPointer>
#include <QString>

namespace QXlsx {

class CellFormulaPrivate;

// The formula of a cell, without the leading "=". An array formula also names the cells it
// fills. The default formula is invalid: the cell has none.
class CellFormula
{
public:
    enum FormulaType {
        NormalType,
        ArrayType,
    };

    CellFormula();
    explicit CellFormula(const QString &text, FormulaType type = NormalType,
                         const CellRange &reference = CellRange());
    CellFormula(const CellFormula &other);
    CellFormula(CellFormula &&other) noexcept;
    CellFormula &operator=(const CellFormula &other);
    CellFormula &operator=(CellFormula &&other) noexcept;
    ~CellFormula();

    // The formula text copied to a cell rowOffset rows and columnOffset columns away, its
    // relative references moved along. The moved text is made when asked for, so the many
    // cells of a shared formula hold one text between them.
    static CellFormula moved(const QString &text, int rowOffset, int columnOffset);

    bool isValid() const;
    QString formulaText() const;
    // For a formula made by moved(): the text it was moved from and how far; for any other
    // formula its own text and 0, 0.
    QString originalText() const;
    int rowOffset() const;
    int columnOffset() const;
    FormulaType formulaType() const;
    // The cells an array formula fills; invalid for a normal formula.
    CellRange reference() const;

private:
    QSharedDataPointer<CellFormulaPrivate> d;
};

} // namespace QXlsx
