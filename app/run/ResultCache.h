#pragma once

#include "CachedResult.h"
#include "MappingColumn.h"
#include "SerialWorker.h"
#include "TextIndex.h"

#include <QMap>
#include <QString>
#include <QStringView>
#include <QVariant>

#include <utility>
#include <vector>

struct PseudoContext;

// The replacements of one run, column by column: each distinct input text of a column is
// pseudonymised once, the first time the run meets it, and kept together with the row of its
// first occurrence for the mapping file.
//
// Results that depend on the order in which the run meets new values (running numbers,
// UUIDs, IBANs, BICs and templates with text around their placeholder) are made one after
// the other in the order the run met their values. All others depend on the text alone;
// they are made together, possibly on several threads, with the same results as one by
// one. All results are made by resolvePending.
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

    // The hash that find and add take for text; prefetch asks for the memory its lookup
    // reads, so that a run of lookups overlaps their waits.
    static size_t hashOf(QStringView text) { return TextIndex::hashOf(text); }
    void prefetch(int slot, size_t hash) const;
    // The entry of text in the slot's column; -1 when the column has not met it yet.
    qint32 find(int slot, QStringView text, size_t hash) const;
    qint32 find(int slot, QStringView text) const { return find(slot, text, hashOf(text)); }
    // Registers a text the column has not met yet, first seen in row. In Typed mode
    // sourceValue is the cell's date-time for the date types.
    qint32 add(int slot, QStringView text, size_t hash, int row,
               const QVariant &sourceValue = QVariant());
    qint32 add(int slot, QStringView text, int row, const QVariant &sourceValue = QVariant())
    {
        return add(slot, text, hashOf(text), row, sourceValue);
    }
    // Starts making the results of the order-dependent values met so far on a thread of their
    // own, while the caller registers more: in Text mode with more than one thread (0: one
    // per core), else it leaves them to resolvePending.
    void startInOrderResults(int threads);
    // Makes the results still missing, on up to threads threads (0: one per core). Ends the
    // registering: the tables that find texts are given back, so find and add may not be
    // called any more.
    void resolvePending(int threads);

    // The result of an entry, over the cache's own characters: valid once resolvePending has
    // run, until the cache is changed or its mapping taken.
    QStringView text(int slot, qint32 entry) const;
    // All results of a slot in entry order, sharing the cache's characters.
    TextPool results(int slot) const;
    // Typed mode only.
    CachedResult typed(int slot, qint32 entry) const;
    // Whether the entry's text could not be read as the date or date-time its field type
    // needs, so that its result is empty. Valid once resolvePending has run.
    bool isUnread(int slot, qint32 entry) const;

    // The entries of every column that met at least one text, by column. Leaves the cache
    // empty.
    QMap<int, MappingColumn> takeMapping();

private:
    struct Column
    {
        int column = 0;
        QString templateText;
        int type = 0;
        bool deferred = false;
        // The template is one placeholder whose rule replaces the whole value.
        bool whole = false;
        // Typed mode: the template is one placeholder whose result is text alone (a name, an
        // IBAN ...), so only the texts are kept, not a whole typed result per entry.
        bool textOnly = false;
        TextIndex index;
        MappingColumn mapping;
        std::vector<CachedResult> typed;
        std::vector<QString> texts;
    };

    using MetValues = std::vector<std::pair<int, qint32>>;

    // Typed mode: the source value kept for an entry (a cell's date-time), else none.
    QVariant sourceOf(const Column &column, qint32 entry) const;
    // The input text of an entry as the engine takes it.
    QString inputTextOf(const Column &column, qint32 entry) const;
    // Makes the result of an entry; in Typed mode also its typed part.
    QString resultFor(Column &column, qint32 entry, const QString &inputText,
                      const QVariant &sourceValue) const;
    // Makes the results of order-dependent values in the order given, from texts[i] for
    // met[i] where texts is given, else from the columns' own input texts.
    void makeInOrder(const MetValues &met, const TextPool *texts);

    PseudoContext &m_context;
    const Mode m_mode;
    std::vector<Column> m_columns;
    // The entries of order-dependent columns in the order the run met them: their results
    // are made in this order. Written by the one thread that registers those columns.
    MetValues m_metInOrder;
    bool m_registeringEnded = false;
    // Makes the order-dependent results; declared last, so that it is finished before the
    // columns it fills go.
    SerialWorker m_inOrder;
};
