#pragma once

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QStringConverter>

class QIODevice;
class QTextCodec;
class QxtCsvModel;

// The CSV output of a run: the byte-order mark when the input had one, the input's lines above
// the table copied byte for byte, then the table from its first line on.
class CsvOutputFile
{
public:
    struct Layout
    {
        // The input file's bytes and the end offsets of its first records.
        QByteArray rawInput;
        QList<qint64> rowPositions;
        // The first model row written: the title row, or the first data row without one.
        int startRow = 0;
        bool inputHasBom = false;
        // Leave the lines above the table out.
        bool removeMetaData = false;
        QChar separator = u';';
        int quoteMode = 0;
        // None: UTF-8.
        QTextCodec *codec = nullptr;
    };

    explicit CsvOutputFile(Layout layout);

    // Writes the model's rows into device, which is open for writing; a quote mode that needs
    // fields guarded encodes them on up to threads threads (0: one per core). The model takes
    // the layout's quote mode. False when any write failed.
    bool write(QIODevice *device, QxtCsvModel &output, int threads) const;

private:
    QByteArray linesAbove(QStringConverter::Encoding output) const;

    Layout m_layout;
};
