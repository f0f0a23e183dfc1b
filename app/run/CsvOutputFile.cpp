#include "CsvOutputFile.h"

#include "ByteOrderMark.h"
#include "CsvBlockWriter.h"
#include "CsvRecordWriter.h"
#include "ParallelFor.h"

#include <tables/CsvModelRows.h>
#include <tables/QxtCsvModel.h>
#include <tables/TextCodecBridge.h>

#include <QIODevice>

namespace {

bool writeAll(QIODevice *device, const QByteArray &bytes)
{
    return bytes.isEmpty() || device->write(bytes) == bytes.size();
}

} // namespace

CsvOutputFile::CsvOutputFile(Layout layout)
    : m_layout(std::move(layout))
{ }

bool CsvOutputFile::write(QIODevice *device, QxtCsvModel &output, int threads) const
{
    const std::optional<QStringConverter::Encoding> encoding =
        vondrel::encodingForCodec(m_layout.codec);
    // The mark of the encoding the table is written in: a UTF-8 mark before Latin-1 text
    // would misname the file's encoding.
    if (m_layout.inputHasBom &&
        !writeAll(device, byteOrderMark(encoding.value_or(QStringConverter::Utf8))))
        return false;

    int startRow = m_layout.startRow;
    if (startRow < 1 || startRow - 1 >= m_layout.rowPositions.size()) {
        startRow = 0;
    } else if (!m_layout.removeMetaData &&
               !writeAll(device, linesAbove(encoding.value_or(QStringConverter::Utf8)))) {
        return false;
    }

    const int rows = output.rowCount();
    const int columns = output.columnCount();
    if (startRow >= rows)
        return true;
    output.setQuoteFlags(m_layout.quoteMode);
    // On one thread the model writes itself straight from its own storage, with the bytes
    // the record writer would make, unless a field must be guarded against the quote mode.
    if (threadCount(threads) == 1 && !CsvRecordWriter::guardsFields(m_layout.quoteMode))
        return output.writeCsv(device, false, m_layout.separator, m_layout.codec, startRow);

    // Otherwise blocks of rows are encoded on the writer's threads, which read the fields
    // where they lie: the model is not changed while they run.
    CsvBlockWriter writer(device, m_layout.separator, m_layout.quoteMode, encoding, threads);
    const vondrel::CsvTable &table = vondrel::CsvModelRows::of(output);
    return writer.write(
        rows - startRow, [&table, columns, startRow](qsizetype i, CsvRecordWriter &record) {
            // One list per writer thread, reused for all its rows.
            thread_local std::vector<QStringView> fields;
            table.rowFields(startRow + int(i), fields);
            for (int column = 0; column < columns; ++column)
                record.writeField(size_t(column) < fields.size() ? fields[size_t(column)]
                                                                 : QStringView());
            record.endRecord();
        });
}

QByteArray CsvOutputFile::linesAbove(QStringConverter::Encoding output) const
{
    const QByteArray &raw = m_layout.rawInput;
    // The input's own mark never goes into the middle of the output; it also names the
    // encoding the lines are in, whatever the form says.
    const qsizetype markLength = byteOrderMarkLength(raw);
    const QStringConverter::Encoding input = markLength > 0
        ? QStringConverter::encodingForData(raw.first(markLength)).value_or(output)
        : output;
    const qint64 end =
        qBound<qint64>(0, m_layout.rowPositions.at(m_layout.startRow - 1), raw.size());
    const QByteArray bytes =
        end > markLength ? raw.sliced(markLength, end - markLength) : QByteArray();
    // Byte for byte in the table's encoding; a marked input in another one is re-encoded so
    // that the file does not switch encodings after its first lines.
    QByteArray lines = bytes;
    if (input != output) {
        QStringDecoder decoder(input);
        QStringEncoder encoder(output);
        lines = encoder.encode(decoder.decode(bytes));
    }
    // With CR LF line ends the recorded position lies after the CR.
    QStringEncoder encoder(output);
    const QByteArray lineFeed = encoder.encode(QStringView(u"\n"));
    if (!lines.endsWith(lineFeed))
        lines.append(lineFeed);
    return lines;
}
