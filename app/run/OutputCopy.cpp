#include "OutputCopy.h"

#include "RowAddressing.h"
#include "RunSettings.h"

#include <tables/CsvModelRows.h>
#include <tables/QxtCsvModel.h>
#include <tables/WorkPulse.h>
#include <xlsx/Document.h>
#include <xlsx/Worksheet.h>

#include <QBuffer>

std::unique_ptr<QxtCsvModel> OutputCopy::ofCsv(const QxtCsvModel &input, const QByteArray &rawInput,
                                               const RunSettings &settings, int threads)
{
    auto copy = std::make_unique<QxtCsvModel>();
    copy->setQuoteFlags(settings.readQuoteMode);
    // An editable table is copied as it stands, each row as wide as the table, as a round
    // trip through CSV text gives it. An unedited one is copied as well while it still holds
    // what the form's format makes of the file. Both share the input's text.
    if (settings.inputEditable ||
        vondrel::CsvModelRows::holdRead(input, settings.separator, settings.codec,
                                        settings.readQuoteMode)) {
        vondrel::CsvModelRows::copy(*copy, input, settings.inputEditable);
        return copy;
    }

    // Otherwise the rows above the data come from the file's bytes as the form reads them
    // now; the data rows, which the pass makes from the input's cells, from the table.
    auto read = std::make_unique<QxtCsvModel>();
    QBuffer buffer;
    buffer.setData(rawInput);
    read->setQuoteFlags(settings.readQuoteMode);
    read->setReadThreads(threads);
    // A read the user did not ask for shows no progress window of its own.
    read->setProgressCallback([](qint64) {
        vondrel::WorkPulse::pulse();
        return true;
    });
    read->readCsv(&buffer, false, settings.separator, settings.codec, -1, 0);
    if (!matches(input, *read))
        return read;
    vondrel::CsvModelRows::copy(*copy, input, false);
    const int dataRow = RowAddressing::forCsv(settings.hasTitle, settings.rowOffset).dataRow;
    for (int row = 0; row < qMin(dataRow, read->rowCount()); ++row) {
        for (int column = 0; column < read->columnCount(); ++column) {
            const QString text = read->text(row, column);
            if (copy->text(row, column) != text)
                copy->setText(row, column, text);
        }
    }
    return copy;
}

std::unique_ptr<QXlsx::Document> OutputCopy::ofXlsx(QXlsx::Document &input,
                                                    const QByteArray &rawInput, bool inputEditable)
{
    // The loaded workbook holds what the file's bytes read as, with the user's edits when the
    // input may be edited (its dates already stored as serial numbers, as a file stores them):
    // the copy is made in memory and shares the input's cells and rows until it writes them,
    // instead of holding a second reading of the whole sheet.
    if (!input.sheetNames().isEmpty() && (inputEditable || input.isReadFrom(rawInput)))
        return input.copy();
    QBuffer buffer;
    buffer.setData(rawInput);
    auto copy = std::make_unique<QXlsx::Document>(&buffer);
    if (const QXlsx::Worksheet *sheet = input.currentWorksheet())
        copy->selectSheet(sheet->sheetName());
    return copy;
}

bool OutputCopy::matches(const QxtCsvModel &input, const QxtCsvModel &copy)
{
    return !input.lastReadCancelled() && !input.lastReadFailed() && !copy.lastReadCancelled() &&
        !copy.lastReadFailed() && input.rowCount() == copy.rowCount() &&
        input.columnCount() == copy.columnCount();
}

bool OutputCopy::matches(const QXlsx::Document &input, const QXlsx::Document &copy)
{
    const QXlsx::Worksheet *inputSheet = input.currentWorksheet();
    const QXlsx::Worksheet *copySheet = copy.currentWorksheet();
    return inputSheet && copySheet && inputSheet->sheetName() == copySheet->sheetName() &&
        inputSheet->dimension() == copySheet->dimension();
}
