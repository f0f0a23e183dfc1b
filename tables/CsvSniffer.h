#pragma once

#include <QByteArray>
#include <QChar>

// What the loader needs to know about a new CSV or TXT file.
struct CsvSniffResult
{
    bool hasBom = false;
    int encoding = 0; // a QStringConverter::Encoding
    int headerRowOffset = 0;
    QChar delimiter;
};

// One separator tried on a sample of the file.
struct CsvDelimiterCandidate
{
    int headerRow = 0;
    int maxColumns = 0;
    QChar delimiter;
};

// Detects encoding and byte order mark of the bytes and picks the separator (';', ',' or
// TAB, in that order of preference) that gives the widest rows in the first 30 rows, read
// with the given quote-mode bits.
CsvSniffResult sniffCsvFormat(const QByteArray &bytes, int quoteFlags);
