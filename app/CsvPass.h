#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

class QxtCsvModel;
class ResultCache;
struct RunSettings;

// Pseudonymises the data rows of a CSV table into its output copy, which starts as a copy of
// the input of the same shape: cleared columns are emptied, templated columns get their
// replacements, every other cell the input's text. Rows above the data are left alone.
class CsvPass
{
public:
    CsvPass(const QxtCsvModel &input, QxtCsvModel &output);

    // threads: for the pseudonyms that depend on the text alone (0: one per core).
    void run(const RunSettings &settings, ResultCache &cache, int threads);

private:
    // A cell of the output that must take a new text.
    struct Edit
    {
        int row;
        int column;
        QString text;
    };

    void planColumns(const RunSettings &settings, ResultCache &cache);
    void registerCells(const std::vector<int> &columns, int firstRow,
                       const QList<QStringList> &inputRows, ResultCache &cache);
    void collectEdits(int firstRow, const QList<QStringList> &inputRows,
                      const QList<QStringList> &outputRows);
    void fillReplacements(const ResultCache &cache);

    const QxtCsvModel &m_input;
    QxtCsvModel &m_output;
    int m_dataRow = 0;
    bool m_inputEditable = true;
    // The copy's rows are read whole, else cell by cell where needed.
    bool m_readOutputRows = true;
    // Per column: copy, clear, or the cache slot of its template.
    std::vector<int> m_plan;
    // Per slot and data row, the cache entry of the cell; -1: left as it is.
    std::vector<QList<qint32>> m_entries;
    // The columns each task registers: a text-only column alone, the order-dependent ones
    // together, so that they meet new values row by row as the run reads them.
    std::vector<std::vector<int>> m_tasks;
    std::vector<Edit> m_edits;
};
