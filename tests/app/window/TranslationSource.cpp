#include "TranslationSource.h"

#include <QFile>
#include <QXmlStreamReader>

namespace {

// The text of the element just started; the format writes a control character such as a
// carriage return as <byte value="xd"/>.
QString readText(QXmlStreamReader &xml)
{
    QString text;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::Characters:
            text += xml.text();
            break;
        case QXmlStreamReader::StartElement:
            ++depth;
            if (xml.name() == QLatin1String("byte")) {
                const auto value = xml.attributes().value(QLatin1String("value"));
                text += QChar(value.mid(1).toUShort(nullptr, 16));
            }
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    return text;
}

} // namespace

QList<TranslationEntry> readTranslationSource(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return {};
    }
    QList<TranslationEntry> entries;
    QString context;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = readText(xml);
        } else if (xml.name() == QLatin1String("message")) {
            entries.append({context, {}, {}, true});
        } else if (xml.name() == QLatin1String("source") && !entries.isEmpty()) {
            entries.last().source = readText(xml);
        } else if (xml.name() == QLatin1String("translation") && !entries.isEmpty()) {
            entries.last().finished = xml.attributes().value(QLatin1String("type")).isEmpty();
            entries.last().translation = readText(xml);
        }
    }
    if (xml.hasError()) {
        *error = xml.errorString();
        return {};
    }
    return entries;
}
