#pragma once

#include <QMap>
#include <QtGlobal>

#include <vector>

class QxtCsvModel;
class ResultCache;
struct RunSettings;

// Pseudonymises the data rows of a CSV table into its output copy, which holds the input's
// cells from the first data row on (OutputCopy): cleared columns are emptied, templated
// columns get their replacements, every other cell stays as it is. Rows above the data are
// left alone.
//
// The input's cells are read in place; each distinct text of a column is registered once
// with the cache, the cache makes the results (on several threads where they depend on the
// text alone), and the copy shows them out of the cache's texts, without copies per cell.
class CsvPass
{
public:
    CsvPass(const QxtCsvModel &input, QxtCsvModel &output);

    // threads: for registering text-only columns and making their results (0: one per
    // core).
    void run(const RunSettings &settings, ResultCache &cache, int threads);

    // Per column position: the cells whose text could not be read as the date or date-time
    // the column's type needs, and are now empty. Only columns with such cells.
    QMap<int, qsizetype> unreadValues() const { return m_unread; }

private:
    void planColumns(const RunSettings &settings, ResultCache &cache);
    void registerCells(const std::vector<int> &columns, int firstRow, int endRow,
                       ResultCache &cache);
    void countUnread(const ResultCache &cache);
    void writeResults(const ResultCache &cache);

    const QxtCsvModel &m_input;
    QxtCsvModel &m_output;
    int m_dataRow = 0;
    bool m_inputEditable = true;
    // The columns that change, ascending, and per column its cache slot or -1 when cleared.
    std::vector<int> m_changed;
    std::vector<int> m_slotOf;
    // Per column position, its slot; -1 for other columns.
    std::vector<int> m_slotOfColumn;
    // Per slot and data row, the cache entry of the cell; -1: left as it is.
    std::vector<std::vector<qint32>> m_entries;
    // The columns each task registers: a text-only column alone, the order-dependent ones
    // together, so that they meet new values row by row as the run reads them.
    std::vector<std::vector<int>> m_tasks;
    QMap<int, qsizetype> m_unread;
};
