#include "CsvSniffer.h"

#include "QxtCsvModel.h"
#include "TablesLog.h"
#include "TextEncodingDetector.h"

#include <QBuffer>
#include <QStringConverter>
#include <QTextCodec>

#include <algorithm>
#include <array>

namespace {

constexpr int sampleRows = 30;

struct EncodingGuess
{
    QStringConverter::Encoding encoding;
    bool hasBom;
};

EncodingGuess guessEncoding(const QByteArray &bytes)
{
    const TextEncodingDetector detector;
    switch (detector.detect(bytes.constData(), size_t(bytes.size()))) {
    case TextEncodingDetector::NoText:
    case TextEncodingDetector::Utf8:
        return {QStringConverter::Utf8, false};
    case TextEncodingDetector::EightBit:
    case TextEncodingDetector::Ascii:
        return {QStringConverter::Latin1, false};
    case TextEncodingDetector::Utf8Bom:
        return {QStringConverter::Utf8, true};
    case TextEncodingDetector::Utf16LeBom:
        return {QStringConverter::Utf16LE, true};
    case TextEncodingDetector::Utf16Le:
        return {QStringConverter::Utf16LE, false};
    case TextEncodingDetector::Utf16BeBom:
        return {QStringConverter::Utf16BE, true};
    case TextEncodingDetector::Utf16Be:
        return {QStringConverter::Utf16BE, false};
    }
    return {QStringConverter::Utf8, false};
}

// The longest run of consecutive rows with the same field count (the earliest of equal
// runs), as first row and length; a guess at where the table proper begins.
std::pair<int, int> longestUniformRun(const QList<QStringList> &rows)
{
    std::pair<int, int> best {0, 0};
    int runStart = 0;
    for (int i = 1; i <= rows.size(); ++i) {
        if (i < rows.size() && rows.at(i).size() == rows.at(runStart).size())
            continue;
        if (i - runStart > best.second && !rows.at(runStart).isEmpty())
            best = {runStart, i - runStart};
        runStart = i;
    }
    return best.second >= 2 ? best : std::pair<int, int> {0, 0};
}

} // namespace

CsvSniffResult sniffCsvFormat(const QByteArray &bytes, int quoteFlags)
{
    const EncodingGuess guess = guessEncoding(bytes);
    QTextCodec *codec = QTextCodec::codecForName(QStringConverter::nameForEncoding(guess.encoding));
    if (!codec)
        codec = QTextCodec::codecForName("UTF-8");

    std::array<CsvDelimiterCandidate, 3> candidates {};
    candidates[0].delimiter = u';';
    candidates[1].delimiter = u',';
    candidates[2].delimiter = u'\t';
    for (CsvDelimiterCandidate &candidate : candidates) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        QxtCsvModel model;
        model.setQuoteFlags(quoteFlags);
        model.readCsv(&buffer, false, candidate.delimiter, codec, sampleRows, 0);
        candidate.maxColumns = model.columnCount();

        QList<QStringList> rows;
        model.rowSlice(rows, 0, model.rowCount());
        const auto [runStart, runLength] = longestUniformRun(rows);
        qCDebug(lcTables) << "Delimiter:" << candidate.delimiter
                          << "Char-Counter:" << candidate.maxColumns << "headerRow:" << runStart
                          << "headerScore:" << double(runLength);
    }

    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const CsvDelimiterCandidate &a, const CsvDelimiterCandidate &b) {
                         return a.maxColumns > b.maxColumns;
                     });

    CsvSniffResult result;
    result.hasBom = guess.hasBom;
    result.encoding = guess.encoding;
    result.headerRowOffset = candidates.front().headerRow;
    result.delimiter = candidates.front().delimiter;
    return result;
}
