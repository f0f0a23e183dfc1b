#pragma once

#include <xlsx/Format.h>

#include <QHash>
#include <QMap>

namespace QXlsx {
class Cell;
class Document;
} // namespace QXlsx

class QString;
class ResultCache;
struct CachedResult;
struct RunSettings;

// Pseudonymises the data rows of the current worksheet into the output copy's current
// worksheet: cells of cleared columns lose their values and keep their formats, templated
// columns get their replacements as text or, by field type and settings, as numbers and dates.
// Other cells and other sheets keep what the copy holds.
class XlsxPass
{
public:
    XlsxPass(const QXlsx::Document &input, QXlsx::Document &output);

    // False when the output refused a value; the copy is then incomplete and must not be saved.
    bool run(const RunSettings &settings, ResultCache &cache, int threads);

    // Per column position: the cells whose text could not be read as the date or date-time
    // the column's type needs, and are now empty. Only columns with such cells.
    QMap<int, qsizetype> unreadValues() const { return m_unread; }

private:
    bool writeResult(int row, int column, const QXlsx::Cell &source, const CachedResult &result,
                     const RunSettings &settings);
    bool writeText(int row, int column, const QString &text, const QXlsx::Format &format);

    const QXlsx::Document &m_input;
    QXlsx::Document &m_output;
    // The text format made from each cell format met: a sheet has few formats, and making
    // one costs more than writing a cell.
    QHash<QXlsx::Format, QXlsx::Format> m_textFormats;
    QMap<int, qsizetype> m_unread;
};
