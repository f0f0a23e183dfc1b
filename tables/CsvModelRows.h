#pragma once

#include "CsvTable.h"

#include <QChar>

#include <memory>
#include <vector>

class QTextCodec;
class QxtCsvModel;

namespace vondrel {

// What a processing run does with a CSV model's rows beyond what a view or a script needs:
// reading many fields at once, copying the rows without copying their text, and showing
// results by entry without a copy of them. Kept off the model's own face.
class CsvModelRows
{
public:
    // The rows for reading many fields at once; valid until the model changes.
    static const CsvTable &of(const QxtCsvModel &model);
    // Whether the rows are exactly what the model's last read made of its device with this
    // separator, codec and quote mode: read with them, completely, and not changed since.
    static bool holdRead(const QxtCsvModel &model, QChar separator, QTextCodec *codec,
                         int quoteFlags);
    // Makes target's rows a copy of source's; their text is shared until either side changes
    // it. With padRows every row gets source's column count of fields, as a round trip through
    // a CSV text would give it. Headers and read results are not copied.
    static void copy(QxtCsvModel &target, const QxtCsvModel &source, bool padRows);
    // Lets column show texts by entry from firstRow on, in place of its own fields and
    // without a copy of them (see CsvTable::overlayColumn).
    static void overlayColumn(QxtCsvModel &model, int column, int firstRow,
                              std::vector<qint32> entries,
                              std::shared_ptr<const CsvColumnTexts> texts);
};

} // namespace vondrel
