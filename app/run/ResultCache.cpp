#include "ResultCache.h"

#include "ParallelFor.h"

#include <engine/DateConversion.h>
#include <engine/FieldTypes.h>
#include <engine/PseudoContext.h>
#include <engine/Pseudonymizer.h>
#include <tables/WorkPulse.h>

#include <algorithm>
#include <memory>

namespace {

// Results made together before they are packed into their columns: enough to keep every
// thread busy, few enough that their separate strings stay small beside the packed ones.
constexpr qsizetype resolveBatch = 65536;

bool isDateType(int type)
{
    return type >= vondrel::FieldTypeId::Date && type <= vondrel::FieldTypeId::DateTimeConvert;
}

// Whether a single placeholder of the type can give a typed value (a number, a date) or needs
// the cell's own date-time.
bool isTypedType(int type)
{
    switch (type) {
    case vondrel::FieldTypeId::AmountComma:
    case vondrel::FieldTypeId::AmountDot:
    case vondrel::FieldTypeId::Integer:
        return true;
    default:
        return isDateType(type);
    }
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
    entry.whole = entry.type != 0 && entry.type != vondrel::FieldTypeId::Num &&
        entry.type != vondrel::FieldTypeId::Uuid;
    entry.textOnly = m_mode == Mode::Typed && entry.whole && !isTypedType(entry.type);
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

void ResultCache::prefetch(int slot, size_t hash) const
{
    m_columns[size_t(slot)].index.prefetch(hash);
}

qint32 ResultCache::find(int slot, QStringView text, size_t hash) const
{
    Q_ASSERT(!m_registeringEnded);
    const MappingColumn &mapping = m_columns[size_t(slot)].mapping;
    return m_columns[size_t(slot)].index.find(
        text, hash, [&mapping](qint32 entry) { return mapping.inputText(entry); });
}

qint32 ResultCache::add(int slot, QStringView text, size_t hash, int row,
                        const QVariant &sourceValue)
{
    Q_ASSERT(!m_registeringEnded);
    Column &column = m_columns[size_t(slot)];
    const qint32 entry = column.mapping.add(text, row);
    column.index.insert(hash, entry);
    if (column.textOnly) {
        column.texts.emplace_back();
    } else if (m_mode == Mode::Typed) {
        // Until the result is made, the value slot keeps the source the date types need.
        column.typed.push_back(CachedResult {sourceValue, QChar(), 0, QString()});
    }
    if (!column.deferred)
        m_metInOrder.push_back({slot, entry});
    return entry;
}

QVariant ResultCache::sourceOf(const Column &column, qint32 entry) const
{
    return m_mode == Mode::Typed && !column.textOnly ? column.typed[size_t(entry)].value
                                                     : QVariant();
}

QString ResultCache::inputTextOf(const Column &column, qint32 entry) const
{
    // The engine may hand back the input itself. A text result is packed before the packed
    // inputs can move; a typed one is kept as it is, so it must own its characters.
    return m_mode == Mode::Text ? column.mapping.rawInputText(entry)
                                : column.mapping.inputText(entry).toString();
}

QString ResultCache::resultFor(Column &column, qint32 entry, const QString &inputText,
                               const QVariant &sourceValue) const
{
    QVariant source;
    if (isDateType(column.type)) {
        source = m_mode == Mode::Typed
            ? sourceValue
            : QVariant(convertCellValue(m_context.dateSettings, inputText, QVariant(), column.type,
                                        false));
    }
    CachedResult *typed =
        m_mode == Mode::Typed && !column.textOnly ? &column.typed[size_t(entry)] : nullptr;
    QChar *groupSeparator = typed ? &typed->groupSeparator : nullptr;
    QVariant *value = typed ? &typed->value : nullptr;
    if (value)
        *value = QVariant();
    int type = column.type;
    // A template that is one placeholder was looked up once, when the column was added.
    const QString text = column.whole
        ? Pseudonymizer::replaceWholeValue(m_context, type, inputText, source, groupSeparator,
                                           value)
        : Pseudonymizer::replacePlaceholders(m_context, inputText, source, column.templateText,
                                             type, groupSeparator, value);
    if (typed) {
        typed->fieldType = type;
        typed->text = text;
    } else if (column.textOnly) {
        column.texts[size_t(entry)] = text;
    }
    return text;
}

void ResultCache::makeInOrder(const MetValues &met, const TextPool *texts)
{
    for (size_t i = 0; i < met.size(); ++i) {
        const auto [slot, entry] = met[i];
        Column &column = m_columns[size_t(slot)];
        const QVariant source = sourceOf(column, entry);
        const QString inputText =
            texts ? texts->rawString(qsizetype(i)) : inputTextOf(column, entry);
        column.mapping.addPseudonym(resultFor(column, entry, inputText, source));
    }
}

void ResultCache::startInOrderResults(int threads)
{
    if (m_metInOrder.empty() || m_mode != Mode::Text || threadCount(threads) <= 1)
        return;
    if (!m_inOrder.isRunning()) {
        // The context takes its scaling decisions on first use; taken here, before the
        // threads share it, they leave the threads only reading it.
        m_context.scalesAmounts();
        m_context.scalesIntegers();
        if (!m_inOrder.start())
            return;
    }
    // The inputs go along as copies: registering more values may move a column's packed
    // inputs while the results are made.
    struct Handed
    {
        MetValues met;
        TextPool texts;
    };
    auto handed = std::make_shared<Handed>();
    handed->met.swap(m_metInOrder);
    for (const auto &[slot, entry] : handed->met)
        handed->texts.append(m_columns[size_t(slot)].mapping.inputText(entry));
    m_inOrder.post([this, handed] { makeInOrder(handed->met, &handed->texts); });
}

void ResultCache::resolvePending(int threads)
{
    // The pending entries of all columns as one flat range, column after column.
    struct Range
    {
        size_t slot;
        qint32 firstEntry;
        qsizetype start;
    };
    std::vector<Range> ranges;
    qsizetype total = 0;
    for (size_t slot = 0; slot < m_columns.size(); ++slot) {
        if (!m_columns[slot].deferred)
            continue;
        const MappingColumn &mapping = m_columns[slot].mapping;
        const qsizetype pending = mapping.size() - mapping.resolvedCount();
        if (pending <= 0)
            continue;
        ranges.push_back({slot, qint32(mapping.resolvedCount()), total});
        total += pending;
    }
    const auto rangeOf = [&ranges](qsizetype flat) {
        return std::prev(std::upper_bound(
            ranges.cbegin(), ranges.cend(), flat,
            [](qsizetype value, const Range &range) { return value < range.start; }));
    };

    // Every text is registered by now; the tables that found them are not needed any more,
    // and their memory is better spent on the results.
    for (Column &column : m_columns)
        column.index = TextIndex();
    m_registeringEnded = true;

    // A column of a million distinct values would otherwise copy its growing replacements
    // over and over; most replacements are about as long as their inputs. The columns whose
    // results are being made already are left to grow.
    for (Column &column : m_columns) {
        if ((column.deferred || !m_inOrder.isRunning()) &&
            column.mapping.resolvedCount() < column.mapping.size())
            column.mapping.reservePseudonyms();
    }

    // The context takes its scaling decisions on first use; taken here, before the threads
    // share it, they leave the threads only reading it.
    m_context.scalesAmounts();
    m_context.scalesIntegers();

    // The order-dependent results one after the other, in the order the run met their
    // values, beside the others: they share no column and no part of the context with them.
    // Registering is over, so they are made from the columns' own texts unless handed over.
    startInOrderResults(threads);
    if (!m_metInOrder.empty()) {
        auto rest = std::make_shared<MetValues>();
        rest->swap(m_metInOrder);
        if (threadCount(threads) > 1 && m_inOrder.start())
            m_inOrder.post([this, rest] { makeInOrder(*rest, nullptr); });
        else
            // Without a thread of their own they are made here, first.
            makeInOrder(*rest, nullptr);
    }

    std::vector<QString> results;
    for (qsizetype batch = 0; batch < total; batch += resolveBatch) {
        const qsizetype count = qMin(resolveBatch, total - batch);
        results.assign(size_t(count), QString());
        // The workers only read the packed input texts and write their own result slots.
        parallelFor(count, threads, [&](qsizetype begin, qsizetype end) {
            auto range = rangeOf(batch + begin);
            for (qsizetype i = begin; i < end; ++i) {
                while (std::next(range) != ranges.cend() && batch + i >= std::next(range)->start)
                    ++range;
                Column &column = m_columns[range->slot];
                const auto entry = qint32(range->firstEntry + (batch + i - range->start));
                const QVariant source = sourceOf(column, entry);
                results[size_t(i)] = resultFor(column, entry, inputTextOf(column, entry), source);
            }
        });
        // Packed in entry order, which is the flat order within each column.
        auto range = rangeOf(batch);
        for (qsizetype i = 0; i < count; ++i) {
            while (std::next(range) != ranges.cend() && batch + i >= std::next(range)->start)
                ++range;
            m_columns[range->slot].mapping.addPseudonym(results[size_t(i)]);
        }
        vondrel::WorkPulse::pulse();
    }
    m_inOrder.finish();
}

QStringView ResultCache::text(int slot, qint32 entry) const
{
    return m_columns[size_t(slot)].mapping.pseudonym(entry);
}

TextPool ResultCache::results(int slot) const
{
    return m_columns[size_t(slot)].mapping.pseudonyms();
}

CachedResult ResultCache::typed(int slot, qint32 entry) const
{
    const Column &column = m_columns[size_t(slot)];
    if (column.textOnly)
        return CachedResult {QVariant(), QChar(), column.type, column.texts[size_t(entry)]};
    return column.typed[size_t(entry)];
}

bool ResultCache::isUnread(int slot, qint32 entry) const
{
    const Column &column = m_columns[size_t(slot)];
    return column.whole && isDateType(column.type) && column.mapping.pseudonym(entry).isEmpty() &&
        !column.mapping.inputText(entry).trimmed().isEmpty();
}

QMap<int, MappingColumn> ResultCache::takeMapping()
{
    m_inOrder.finish();
    QMap<int, MappingColumn> mapping;
    for (Column &column : m_columns) {
        if (!column.mapping.isEmpty())
            mapping.insert(column.column, std::move(column.mapping));
    }
    m_columns.clear();
    return mapping;
}
