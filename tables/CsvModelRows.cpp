#include "CsvModelRows.h"

#include "QxtCsvModel.h"

namespace vondrel {

const CsvTable &CsvModelRows::of(const QxtCsvModel &model)
{
    return model.rows();
}

bool CsvModelRows::holdRead(const QxtCsvModel &model, QChar separator, QTextCodec *codec,
                            int quoteFlags)
{
    return model.holdsReadOf(separator, codec, quoteFlags);
}

void CsvModelRows::copy(QxtCsvModel &target, const QxtCsvModel &source, bool padRows)
{
    target.copyRows(source, padRows);
}

void CsvModelRows::overlayColumn(QxtCsvModel &model, int column, int firstRow,
                                 std::vector<qint32> entries,
                                 std::shared_ptr<const CsvColumnTexts> texts)
{
    model.overlayColumn(column, firstRow, std::move(entries), std::move(texts));
}

} // namespace vondrel
