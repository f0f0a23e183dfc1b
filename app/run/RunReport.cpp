#include "RunReport.h"

#include "SettingLimits.h"

#include <engine/FieldTypes.h>
#include <xlsx/Document.h>
#include <xlsx/Workbook.h>
#include <xlsx/Worksheet.h>

#include <QSet>

#include <algorithm>

namespace FieldTypeId = vondrel::FieldTypeId;

QStringList RunReport::notes(const RunSettings &settings, const RunResult &result)
{
    QSet<int> columns(settings.templates.keyBegin(), settings.templates.keyEnd());
    for (auto it = result.unreadValues.cbegin(); it != result.unreadValues.cend(); ++it)
        columns.insert(it.key());
    QList<int> ordered(columns.cbegin(), columns.cend());
    std::sort(ordered.begin(), ordered.end());

    QStringList lines;
    for (const int column : std::as_const(ordered)) {
        if (const qsizetype unread = result.unreadValues.value(column); unread > 0)
            lines.append(unreadNote(settings.columnCaptions.value(column), unread));
        if (const QString note = unscaledNote(settings, column); !note.isEmpty())
            lines.append(note);
    }
    if (const QString note = copiedSheetsNote(result); !note.isEmpty())
        lines.append(note);
    return lines;
}

QString RunReport::unreadNote(const QString &caption, qsizetype count)
{
    if (count == 1)
        return tr("Spalte %1: 1 Wert konnte nicht gelesen werden und ist leer.").arg(caption);
    return tr("Spalte %1: %2 Werte konnten nicht gelesen werden und sind leer.")
        .arg(caption, QString::number(count));
}

QString RunReport::unscaledNote(const RunSettings &settings, int column)
{
    // A cleared column holds nothing of its values.
    if (settings.clearedColumns.contains(column))
        return QString();
    const FieldType type = placeholderTable.value(settings.templates.value(column));
    const bool integer = type == FieldTypeId::Integer;
    if (!integer && type != FieldTypeId::AmountComma && type != FieldTypeId::AmountDot)
        return QString();
    // As the run takes the factor. With 1 the values stay what they were, whether the amounts
    // are left alone ("Nur bei Werten ungleich 1 ändern") or multiplied by 1.
    const double factor =
        SettingLimits::factor(integer ? settings.intScaleFactor : settings.floatScaleFactor);
    if (factor != 1)
        return QString();
    const QString caption = settings.columnCaptions.value(column);
    return integer ? tr("Spalte %1: Faktor 1, die Ganzzahlen bleiben unverändert.").arg(caption)
                   : tr("Spalte %1: Faktor 1, die Beträge bleiben unverändert.").arg(caption);
}

QString RunReport::copiedSheetsNote(const RunResult &result)
{
    const QXlsx::Document *document = result.outputDocument.data();
    if (!document)
        return QString();
    const QXlsx::Worksheet *chosen = document->currentWorksheet();
    QStringList copied;
    for (const QString &name : document->sheetNames()) {
        const QXlsx::Worksheet *sheet = document->workbook()->sheet(name);
        if (!sheet || sheet == chosen)
            continue;
        copied.append(sheet->sheetState() == QXlsx::Worksheet::SheetVisible
                          ? name
                          : tr("%1 (ausgeblendet)").arg(name));
    }
    if (copied.isEmpty())
        return QString();
    const QString names = copied.join(QLatin1String(", "));
    return copied.size() == 1 ? tr("Unverändert kopiertes Tabellenblatt: %1").arg(names)
                              : tr("Unverändert kopierte Tabellenblätter: %1").arg(names);
}
