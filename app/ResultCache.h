#pragma once

#include "CachedResult.h"
#include "MappingEntry.h"

#include "TextIndex.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QVariant>

#include <vector>

struct PseudoContext;

// The replacements of one run, column by column: each distinct input text of a column is
// pseudonymised once, the first time the run meets it, and kept together with the row of its
// first occurrence for the mapping file.
//
// Results that depend on the order in which the run meets new values (running numbers,
// UUIDs, IBANs, BICs and templates with text around their placeholder) are made at once, in
// the run's order. All others depend on the text alone; they are made later, all together
// and possibly on several threads, with the same results as one by one.
//
// Columns may be filled from different threads at the same time, one thread per column,
// except that all order-dependent columns belong to one thread, which meets their values in
// the run's order.
class ResultCache
{
public:
    enum class Mode {
        // CSV: texts only; dates are read from the text with the user's formats.
        Text,
        // Spreadsheet: typed values and group separators too; the caller reads dates from
        // the cell.
        Typed,
    };

    ResultCache(PseudoContext &context, Mode mode);

    // Registers a column with its template; the slot returned addresses it from then on.
    int addColumn(int column, const QString &templateText);
    // The field type of a template that is exactly one placeholder, else 0.
    int templateType(int slot) const;
    // Whether the slot's results depend on the order in which the run meets new values.
    bool dependsOnOrder(int slot) const;

    // The entry of text in the slot's column; -1 when the column has not met it yet.
    qint32 find(int slot, const QString &text) const;
    // Registers a text the column has not met yet, first seen in row. In Typed mode
    // sourceValue is the cell's date-time for the date types.
    qint32 add(int slot, const QString &text, int row, const QVariant &sourceValue = QVariant());
    // Makes the results still missing, on up to threads threads (0: one per core).
    void resolvePending(int threads);

    // The result of an entry; valid once resolvePending has run.
    const QString &text(int slot, qint32 entry) const;
    // Typed mode only.
    const CachedResult &typed(int slot, qint32 entry) const;

    // The entries of every column that met at least one text, by column, each list in order
    // of first occurrence. Leaves the cache empty.
    QMap<int, QList<MappingEntry>> takeMapping();

private:
    struct Column
    {
        int column = 0;
        QString templateText;
        int type = 0;
        bool deferred = false;
        TextIndex index;
        QList<MappingEntry> entries;
        QList<CachedResult> typed;
        // Entries before this one have their results.
        qint32 resolved = 0;
    };

    void resolve(Column &column, qint32 entry, const QVariant &sourceValue) const;

    PseudoContext &m_context;
    const Mode m_mode;
    std::vector<Column> m_columns;
};
