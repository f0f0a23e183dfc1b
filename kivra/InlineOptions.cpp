#include "InlineOptions.h"

namespace kivra {

QStringList inlineOptionDelimiters()
{
    return {QStringLiteral("{{"), QStringLiteral("}{"), QStringLiteral("}}")};
}

bool parseInlineOptions(const QStringList &delimiters, QString &text, QVariantMap &options)
{
    if (delimiters.size() < 2 || delimiters.at(0).isEmpty() || delimiters.at(1).isEmpty())
        return false;
    const QString &open = delimiters.at(0);
    const QString &middle = delimiters.at(1);
    const QString close = delimiters.size() > 2 ? delimiters.at(2) : QString();

    bool found = false;
    for (;;) {
        const qsizetype start = text.indexOf(open);
        if (start < 0)
            break;
        const qsizetype keyStart = start + open.size();
        const qsizetype middleAt = text.indexOf(middle, keyStart);
        if (middleAt < 0)
            break;
        const QString key = text.mid(keyStart, middleAt - keyStart).trimmed();
        QString value;
        qsizetype end = middleAt + middle.size();
        if (!close.isEmpty()) {
            const qsizetype closeAt = text.indexOf(close, end);
            if (closeAt < 0)
                break;
            value = text.mid(end, closeAt - end);
            end = closeAt + close.size();
        }
        text.remove(start, end - start);
        if (!key.isEmpty()) {
            options.insert(key, value);
            found = true;
        }
    }
    return found;
}

} // namespace kivra
