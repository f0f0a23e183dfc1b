#include "CellFormula.h"

namespace QXlsx {

class CellFormulaPrivate : public QSharedData
{
public:
    QString text;
    CellFormula::FormulaType type = CellFormula::NormalType;
    CellRange reference;
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

bool CellFormula::isValid() const
{
    return d;
}

QString CellFormula::formulaText() const
{
    return d ? d->text : QString();
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
