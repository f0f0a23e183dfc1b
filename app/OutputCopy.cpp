#include "OutputCopy.h"

#include "AppLog.h"
#include "Document.h"
#include "QxtCsvModel.h"
#include "RunSettings.h"
#include "Worksheet.h"

#include <QBuffer>

namespace {

// The format of the in-memory round trip of an edited table: every field quoted, quotes
// doubled, UTF-8. It reads back field for field whatever the user's own format could hold
// (separators, line breaks, characters outside a legacy codec).
constexpr int roundTripWriteMode =
    QxtCsvModel::QuoteDouble | QxtCsvModel::EscapeDoubledQuote | QxtCsvModel::QuoteAlways;
constexpr int roundTripReadMode = QxtCsvModel::QuoteDouble | QxtCsvModel::EscapeDoubledQuote;
constexpr char16_t roundTripSeparator = u',';

} // namespace

std::unique_ptr<QxtCsvModel> OutputCopy::ofCsv(QxtCsvModel &input, const QByteArray &rawInput,
                                               const RunSettings &settings)
{
    auto copy = std::make_unique<QxtCsvModel>();
    if (!settings.inputEditable) {
        QBuffer buffer;
        buffer.setData(rawInput);
        copy->setQuoteFlags(settings.readQuoteMode);
        copy->readCsv(&buffer, false, settings.separator, settings.codec, -1, 0);
        return copy;
    }

    QBuffer serialised;
    const int inputMode = input.quoteFlags();
    input.setQuoteFlags(roundTripWriteMode);
    const bool written = input.writeCsv(&serialised, false, roundTripSeparator, nullptr, 0);
    input.setQuoteFlags(inputMode);
    if (!written) {
        // An empty copy fails the shape check, so nothing unfinished is written.
        qCWarning(lcRun) << "The edited table could not be copied";
        return copy;
    }
    serialised.close();
    serialised.open(QIODevice::ReadOnly);
    copy->setQuoteFlags(roundTripReadMode);
    copy->readCsv(&serialised, false, roundTripSeparator, nullptr, -1, 0);
    copy->setQuoteFlags(settings.readQuoteMode);
    return copy;
}

std::unique_ptr<QXlsx::Document> OutputCopy::ofXlsx(QXlsx::Document &input,
                                                    const QByteArray &rawInput, bool inputEditable)
{
    QBuffer buffer;
    if (inputEditable) {
        // Saving stores dates as serial numbers, as the file itself does.
        if (!input.saveAs(&buffer))
            qCWarning(lcRun) << "The edited workbook could not be copied";
        buffer.close();
    } else {
        buffer.setData(rawInput);
    }
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
