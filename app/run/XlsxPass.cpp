#include "XlsxPass.h"

#include "AppLog.h"
#include "CellValueText.h"
#include "ResultCache.h"
#include "RowAddressing.h"
#include "RunSettings.h"

#include <engine/CellValue.h>
#include <engine/FieldTypes.h>
#include <tables/WorkPulse.h>
#include <xlsx/Cell.h>
#include <xlsx/Document.h>
#include <xlsx/Workbook.h>
#include <xlsx/Worksheet.h>

#include <QHash>

#include <vector>

namespace {

// Cells between two pulses, less one.
constexpr qsizetype pulseCells = 4095;

const QString textFormat = QStringLiteral("@");

// Marks a visited cell whose replacement is not written after resolving.
constexpr qint32 notPending = -1;

bool isBlank(const QString &text)
{
    return QStringView(text).trimmed().isEmpty();
}

// Whether an amount result reads as a plain number: digits, signs, separators only.
bool isPlainNumber(const QString &text, QChar groupSeparator)
{
    for (const QChar ch : QStringView(text).trimmed()) {
        const bool allowed = (ch >= u'0' && ch <= u'9') || ch == u'.' || ch == u',' || ch == u'+' ||
            ch == u'-' || (!groupSeparator.isNull() && ch == groupSeparator);
        if (!allowed)
            return false;
    }
    return true;
}

QString outputText(const QXlsx::Document &document, int row, int column)
{
    const QXlsx::Cell *cell = document.cellAt(row, column);
    return cell ? cellValueText(cell->value()) : QString();
}

} // namespace

XlsxPass::XlsxPass(const QXlsx::Document &input, QXlsx::Document &output)
    : m_input(input)
    , m_output(output)
{ }

bool XlsxPass::run(const RunSettings &settings, ResultCache &cache, int threads)
{
    const QXlsx::Worksheet *sheet = m_input.currentWorksheet();
    if (!sheet)
        return true;
    const int dataRow = RowAddressing::forSheet(settings.hasTitle, settings.rowOffset).dataRow;
    const bool date1904 = m_input.workbook()->isDate1904();

    // Sheet column -> cache slot; cleared columns are not registered.
    QHash<int, int> slotOfColumn;
    for (auto it = settings.templates.cbegin(); it != settings.templates.cend(); ++it) {
        if (!it.value().isEmpty() && !settings.clearedColumns.contains(it.key()))
            slotOfColumn.insert(it.key() + 1, cache.addColumn(it.key(), it.value()));
    }

    // Cells that are not stored read as blank and are left alone, so only stored ones are
    // visited, in row order as the run meets them: a far-out cell of a hostile sheet costs no
    // walk over the empty expanse before it. Every cell with text lies at or above the last
    // used row, so that row needs no bound of its own.
    // The input's cells stay where they are for the whole pass (only the output is written),
    // so a second walk meets them in the same order: per visited cell only the cache entry of
    // its replacement is kept, not where it lies.
    std::vector<qint32> pending;
    pending.reserve(size_t(sheet->cells().count()));
    bool ok = true;
    qsizetype visited = 0;
    qsizetype replaced = 0;
    sheet->cells().forEachCell([&](int row, int column, const QXlsx::Cell &cell) {
        if ((++visited & pulseCells) == 0)
            vondrel::WorkPulse::pulse();
        pending.push_back(notPending);
        if (!ok || row < dataRow)
            return;
        const int position = column - 1;
        const bool cleared = settings.clearedColumns.contains(position);
        const auto slot = slotOfColumn.constFind(column);
        if (!cleared && slot == slotOfColumn.cend())
            return;
        const QString text = cellValueText(cell.value());
        qCDebug(lcRun) << "cell" << row << column << "type" << cell.value().typeName()
                       << "number format" << cell.format().numberFormat();
        // A formula without a recorded result reads as blank; in a column to be emptied it goes
        // too, as the text it may spell out would otherwise reach the output.
        if (isBlank(text) && !(cleared && cell.formula().isValid())) {
            // The copy may have been made from the file's bytes: follow the input where it was
            // edited to blank.
            if (outputText(m_output, row, column) != text)
                ok = m_output.write(row, column, cell.value());
            return;
        }
        if (cleared) {
            // Only the value goes: borders, fills and fonts of the column stay as they were.
            ok = m_output.write(row, column, QVariant());
            return;
        }
        qint32 entry = cache.find(*slot, text);
        if (entry < 0) {
            const int type = cache.templateType(*slot);
            const QVariant source =
                type >= vondrel::FieldTypeId::Date && type <= vondrel::FieldTypeId::DateTimeConvert
                ? QVariant(cellValue(settings.dateText, m_input, row, column, type, date1904))
                : QVariant();
            entry = cache.add(*slot, text, row, source);
        }
        pending.back() = entry;
    });
    if (!ok) {
        qCWarning(lcRun) << "The output sheet refused a value";
        return false;
    }

    cache.resolvePending(threads);

    auto entry = pending.cbegin();
    sheet->cells().forEachCell([&](int row, int column, const QXlsx::Cell &cell) {
        if ((++visited & pulseCells) == 0)
            vondrel::WorkPulse::pulse();
        const qint32 pendingEntry = *entry++;
        if (!ok || pendingEntry == notPending)
            return;
        const int slot = slotOfColumn.value(column);
        if (cache.isUnread(slot, pendingEntry))
            ++m_unread[column - 1];
        const CachedResult &result = cache.typed(slot, pendingEntry);
        ok = writeResult(row, column, cell, result, settings);
        if (!ok) {
            qCWarning(lcRun) << "The output sheet refused a value at row" << row << "column"
                             << column << "of type" << result.fieldType;
        }
        ++replaced;
    });
    if (!ok)
        return false;
    qCInfo(lcRun) << "Sheet pass:" << replaced << "cells replaced";
    return true;
}

bool XlsxPass::writeResult(int row, int column, const QXlsx::Cell &source,
                           const CachedResult &result, const RunSettings &settings)
{
    const QXlsx::Format &format = source.format();
    // Without a typed value the engine left the text as it was (an amount at factor 1) or
    // could not read it; an unchanged cell is left alone, anything else is written as text,
    // never as a blank cell.
    const auto typedOrText = [&] {
        if (result.value.isValid())
            return m_output.write(row, column, result.value, format);
        if (result.text == cellValueText(source.value()))
            return true;
        return writeText(row, column, result.text, format);
    };

    switch (result.fieldType) {
    case vondrel::FieldTypeId::Num: {
        bool isNumber = false;
        const qlonglong number = result.text.toLongLong(&isNumber);
        return isNumber ? m_output.write(row, column, number, format)
                        : writeText(row, column, result.text, format);
    }
    case vondrel::FieldTypeId::Integer:
        return typedOrText();
    case vondrel::FieldTypeId::AmountComma:
    case vondrel::FieldTypeId::AmountDot:
        if (settings.saveFloatAsText || !isPlainNumber(result.text, result.groupSeparator))
            return writeText(row, column, result.text, format);
        return typedOrText();
    case vondrel::FieldTypeId::Date:
        return settings.saveDateAsText ? writeText(row, column, result.text, format)
                                       : typedOrText();
    case vondrel::FieldTypeId::DateTime:
        return settings.saveDateTimeAsText ? writeText(row, column, result.text, format)
                                           : typedOrText();
    default:
        return writeText(row, column, result.text, format);
    }
}

bool XlsxPass::writeText(int row, int column, const QString &text, const QXlsx::Format &format)
{
    auto made = m_textFormats.constFind(format);
    if (made == m_textFormats.cend()) {
        // The text format keeps a result that begins with "=" a string rather than a formula.
        QXlsx::Format madeFormat = format;
        madeFormat.setNumberFormat(textFormat);
        made = m_textFormats.insert(format, madeFormat);
    }
    return m_output.write(row, column, text, *made);
}
