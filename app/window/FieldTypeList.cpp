#include "FieldTypeList.h"

#include <engine/FieldTypes.h>

#include <QStringList>

#include <algorithm>

QString makeFieldTypeListText()
{
    QString text;
    for (int id = vondrel::FieldTypeId::First; id <= vondrel::FieldTypeId::Last; ++id)
        text += QStringLiteral("%1;%2\r\n")
                    .arg(vondrel::fieldTypeLabel(id), placeholderForFieldType(id));
    return text;
}

QList<std::pair<QString, QString>> parseFieldTypeList(const QString &text)
{
    QString lines = text;
    lines.remove(QLatin1Char('\r'));
    QList<std::pair<QString, QString>> pairs;
    for (const QString &line : lines.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList parts = line.split(QLatin1Char(';'));
        if (parts.size() == 2 && !parts.constFirst().isEmpty())
            pairs.append({parts.constFirst().trimmed(), parts.constLast().trimmed()});
    }
    std::stable_sort(pairs.begin(), pairs.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    return pairs;
}
