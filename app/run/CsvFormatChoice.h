#pragma once

#include <QChar>
#include <QString>

class QTextCodec;
struct CsvSniffResult;

// The CSV format as the window's option fields choose it: the ids and names the combo
// boxes hold, turned into what the CSV model reads and writes with.

// The separator of a "sep_data_field" id; ';' for an id without one ("Automatisch").
QChar csvSeparatorForId(int id);
// The "sep_data_field" id of a separator; 0 when the choices have none for it.
int csvSeparatorId(QChar separator);

// The quote-mode bits from the "sep_data_string" and "sep_data_string_esc" choices and the
// relaxed switch. Double quotes win over single ones. Writing quotes every field whenever
// quoting is on, so a written file reads back the same.
int csvQuoteMode(int quoteChoice, int escapeChoice, bool relaxed, bool forWriting);

// The codec of a "text_encoding" choice: none for "" (the reader then recognises Unicode by
// its byte-order mark and reads UTF-8 otherwise), the locale's for "System", none for a name
// the toolkit does not know.
QTextCodec *csvCodecForName(const QString &name);

// The "text_encoding" name of a detected encoding.
QString csvEncodingName(const CsvSniffResult &detected);

// The 1-based line where a detected table begins: its title line.
int csvDetectedRowOffset(const CsvSniffResult &detected);
