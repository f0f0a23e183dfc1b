#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>

class QXmlStreamReader;

namespace QXlsx {

// The relationships of one package part (its "_rels/<name>.rels" part), with every internal
// target resolved to a part name inside the package.
class Relationships
{
    Q_DECLARE_TR_FUNCTIONS(QXlsx::Relationships)

public:
    struct Relationship
    {
        QString id;
        QString type;
        QString target; // the part name, without a leading "/"
    };

    // "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels"; "" (the package) -> "_rels/.rels".
    static QString relationshipsPartOf(const QString &partName);

    // Reads a relationships part whose targets are relative to sourcePart.
    bool read(QXmlStreamReader &xml, const QString &sourcePart);

    // The relationship with that id; an empty one when there is none.
    Relationship byId(const QString &id) const;
    // The target of the first relationship whose type ends in "/" + typeName, such as
    // "worksheet" or "officeDocument"; empty when there is none.
    QString targetOfType(const QString &typeName) const;
    static bool hasType(const Relationship &relationship, const QString &typeName);

private:
    QList<Relationship> m_relationships;
};

} // namespace QXlsx
