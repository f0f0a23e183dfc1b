#pragma once

class QAbstractItemModel;

namespace QXlsx {
class Document;
}

// What the script step works on: the output model before it is written.
struct ScriptTarget
{
    // A CSV model or a sheet model over the output workbook.
    QAbstractItemModel *model = nullptr;
    bool isXlsx = false;
    // XLSX only: the output workbook behind the model, so that dates are read with the cells'
    // formats.
    QXlsx::Document *document = nullptr;
    // The model row of the first data row.
    int firstRow = 0;
    bool hasTitle = true;
    // The workbook counts dates from 1904 (always false for CSV).
    bool date1904 = false;
};
