#include "CellFormula.h"

#include "FormulaShifter.h"

namespace QXlsx {

class CellFormulaPrivate : public QSharedData
{
public:
    QString text;
    CellFormula::FormulaType type = CellFormula::NormalType;
    CellRange reference;
    int rowOffset = 0;
    int columnOffset = 0;
};

CellFormula::CellFormula() = default;

CellFormula::CellFormula(const QString &text, FormulaType type, const CellRange &reference)
{
    if (text.isEmpty())
        return;
    d = new CellFormulaPrivate;
    d->text = text;
    d->type = type;
    if (type == ArrayType)
        d->reference = reference;
}

CellFormula::CellFormula(const CellFormula &other) = default;
CellFormula::CellFormula(CellFormula &&other) noexcept = default;
CellFormula &CellFormula::operator=(const CellFormula &other) = default;
CellFormula &CellFormula::operator=(CellFormula &&other) noexcept = default;
CellFormula::~CellFormula() = default;

CellFormula CellFormula::moved(const QString &text, int rowOffset, int columnOffset)
{
    CellFormula formula(text);
    if (formula.d) {
        formula.d->rowOffset = rowOffset;
        formula.d->columnOffset = columnOffset;
    }
    return formula;
}

bool CellFormula::isValid() const
{
    return d;
}

QString CellFormula::formulaText() const
{
    if (!d)
        return {};
    if (d->rowOffset == 0 && d->columnOffset == 0)
        return d->text;
    return shiftFormula(d->text, d->rowOffset, d->columnOffset);
}

QString CellFormula::originalText() const
{
    return d ? d->text : QString();
}

int CellFormula::rowOffset() const
{
    return d ? d->rowOffset : 0;
}

int CellFormula::columnOffset() const
{
    return d ? d->columnOffset : 0;
}

CellFormula::FormulaType CellFormula::formulaType() const
{
    return d ? d->type : NormalType;
}

CellRange CellFormula::reference() const
{
    return d ? d->reference : CellRange();
}

} // namespace QXlsx
