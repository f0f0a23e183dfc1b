#include "ResultCache.h"

#include "DateConversion.h"
#include "FieldTypes.h"
#include "ParallelFor.h"
#include "PseudoContext.h"
#include "Pseudonymizer.h"

#include <algorithm>

namespace {

bool isDateType(int type)
{
    return type >= vondrel::FieldTypeId::Date && type <= vondrel::FieldTypeId::DateTimeConvert;
}

// Whether the result of a template depends only on the text, not on the values met before.
bool dependsOnTextOnly(int exactType)
{
    switch (exactType) {
    case 0: // mixed template: may hold a running number or UUID among its text
    case vondrel::FieldTypeId::Num:
    case vondrel::FieldTypeId::Uuid:
    case vondrel::FieldTypeId::Iban:
    case vondrel::FieldTypeId::Bic:
        return false;
    default:
        return true;
    }
}

} // namespace

ResultCache::ResultCache(PseudoContext &context, Mode mode)
    : m_context(context)
    , m_mode(mode)
{ }

int ResultCache::addColumn(int column, const QString &templateText)
{
    Column entry;
    entry.column = column;
    entry.templateText = templateText;
    entry.type = placeholderTable.value(templateText, 0);
    entry.deferred = dependsOnTextOnly(entry.type);
    m_columns.push_back(std::move(entry));
    return int(m_columns.size()) - 1;
}

int ResultCache::templateType(int slot) const
{
    return m_columns[size_t(slot)].type;
}

bool ResultCache::dependsOnOrder(int slot) const
{
    return !m_columns[size_t(slot)].deferred;
}

qint32 ResultCache::find(int slot, const QString &text) const
{
    const Column &column = m_columns[size_t(slot)];
    return column.index.find(text, TextIndex::hashOf(text), [&column](qint32 entry) {
        return QStringView(column.entries.at(entry).inputText);
    });
}

qint32 ResultCache::add(int slot, const QString &text, int row, const QVariant &sourceValue)
{
    Column &column = m_columns[size_t(slot)];
    const auto entry = qint32(column.entries.size());
    column.index.insert(TextIndex::hashOf(text), entry);
    column.entries.append(MappingEntry {row, text, QString()});
    if (m_mode == Mode::Typed) {
        // Until the result is made, the value slot keeps the source the date types need.
        column.typed.append(
            CachedResult {column.deferred ? sourceValue : QVariant(), QChar(), 0, QString()});
    }
    if (!column.deferred) {
        resolve(column, entry, sourceValue);
        column.resolved = entry + 1;
    }
    return entry;
}

void ResultCache::resolve(Column &column, qint32 entry, const QVariant &sourceValue) const
{
    MappingEntry &mapping = column.entries[entry];
    QVariant source;
    if (isDateType(column.type)) {
        source = m_mode == Mode::Typed
            ? sourceValue
            : QVariant(convertCellValue(m_context.dateSettings, mapping.inputText, QVariant(),
                                        column.type, false));
    }
    int type = 0;
    if (m_mode == Mode::Text) {
        mapping.pseudonym = Pseudonymizer::replacePlaceholders(m_context, mapping.inputText, source,
                                                               column.templateText, type);
        return;
    }
    CachedResult &result = column.typed[entry];
    result.value = QVariant();
    result.text = Pseudonymizer::replacePlaceholders(m_context, mapping.inputText, source,
                                                     column.templateText, type,
                                                     &result.groupSeparator, &result.value);
    result.fieldType = type;
    mapping.pseudonym = result.text;
}

void ResultCache::resolvePending(int threads)
{
    // One flat range over the pending entries of all columns.
    std::vector<qsizetype> starts;
    std::vector<size_t> rangeSlots;
    qsizetype total = 0;
    for (size_t slot = 0; slot < m_columns.size(); ++slot) {
        Column &column = m_columns[slot];
        const qsizetype pending = column.entries.size() - column.resolved;
        if (pending <= 0)
            continue;
        // Detached here, on one thread; the workers then only write distinct elements.
        column.entries.detach();
        column.typed.detach();
        starts.push_back(total);
        rangeSlots.push_back(slot);
        total += pending;
    }

    parallelFor(total, threads, [&](qsizetype begin, qsizetype end) {
        auto range =
            size_t(std::upper_bound(starts.begin(), starts.end(), begin) - starts.begin() - 1);
        for (qsizetype flat = begin; flat < end; ++flat) {
            while (range + 1 < starts.size() && flat >= starts[range + 1])
                ++range;
            Column &column = m_columns[rangeSlots[range]];
            const auto entry = qint32(column.resolved + (flat - starts[range]));
            const QVariant source =
                m_mode == Mode::Typed ? column.typed.at(entry).value : QVariant();
            resolve(column, entry, source);
        }
    });

    for (Column &column : m_columns)
        column.resolved = qint32(column.entries.size());
}

const QString &ResultCache::text(int slot, qint32 entry) const
{
    return m_columns[size_t(slot)].entries.at(entry).pseudonym;
}

const CachedResult &ResultCache::typed(int slot, qint32 entry) const
{
    return m_columns[size_t(slot)].typed.at(entry);
}

QMap<int, QList<MappingEntry>> ResultCache::takeMapping()
{
    QMap<int, QList<MappingEntry>> mapping;
    for (Column &column : m_columns) {
        if (!column.entries.isEmpty())
            mapping.insert(column.column, std::move(column.entries));
    }
    m_columns.clear();
    return mapping;
}
