#include "Relationships.h"

#include <QUrl>
#include <QXmlStreamReader>

namespace QXlsx {

namespace {

QString directoryOf(const QString &partName)
{
    const qsizetype slash = partName.lastIndexOf(u'/');
    return slash < 0 ? QString() : partName.left(slash);
}

// Resolves a target against the directory of its source, removing "." and ".." segments.
QString resolveTarget(const QString &sourcePart, const QString &target)
{
    const QString decoded = QUrl::fromPercentEncoding(target.toUtf8());
    QString path =
        decoded.startsWith(u'/') ? decoded.mid(1) : directoryOf(sourcePart) + u'/' + decoded;
    QStringList segments;
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    for (const QString &segment : parts) {
        if (segment == u"..") {
            if (!segments.isEmpty())
                segments.removeLast();
        } else if (segment != u".") {
            segments.append(segment);
        }
    }
    return segments.join(u'/');
}

} // namespace

QString Relationships::relationshipsPartOf(const QString &partName)
{
    const QString directory = directoryOf(partName);
    const QString file = partName.mid(partName.lastIndexOf(u'/') + 1);
    return (directory.isEmpty() ? QString() : directory + u'/') + QStringLiteral("_rels/") + file +
        QStringLiteral(".rels");
}

bool Relationships::read(QXmlStreamReader &xml, const QString &sourcePart)
{
    if (!xml.readNextStartElement())
        return !xml.hasError();
    if (xml.name() != u"Relationships") {
        xml.raiseError(tr("unerwartetes Wurzelelement"));
        return false;
    }
    while (xml.readNextStartElement()) {
        if (xml.name() == u"Relationship") {
            const QXmlStreamAttributes attributes = xml.attributes();
            // External targets (links to web pages or other files) name no part.
            if (attributes.value(QLatin1String("TargetMode")) != u"External")
                m_relationships.append(
                    {attributes.value(QLatin1String("Id")).toString(),
                     attributes.value(QLatin1String("Type")).toString(),
                     resolveTarget(sourcePart,
                                   attributes.value(QLatin1String("Target")).toString())});
        }
        xml.skipCurrentElement();
    }
    return !xml.hasError();
}

Relationships::Relationship Relationships::byId(const QString &id) const
{
    for (const Relationship &relationship : m_relationships)
        if (relationship.id == id)
            return relationship;
    return {};
}

QString Relationships::targetOfType(const QString &typeName) const
{
    for (const Relationship &relationship : m_relationships)
        if (hasType(relationship, typeName))
            return relationship.target;
    return {};
}

bool Relationships::hasType(const Relationship &relationship, const QString &typeName)
{
    const QStringView type(relationship.type);
    return type.endsWith(typeName) && type.size() > typeName.size() &&
        type[type.size() - typeName.size() - 1] == u'/';
}

} // namespace QXlsx
