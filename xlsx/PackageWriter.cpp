#include "PackageWriter.h"

#include "SharedStringTable.h"
#include "StyleTable.h"
#include "Workbook.h"
#include "Worksheet.h"
#include "WorksheetWriter.h"
#include "XlsxLogging.h"
#include "XlsxNamespaces.h"

#include "ZipWriter.h"

#include <QIODevice>
#include <QXmlStreamWriter>

namespace QXlsx {

namespace {

const QString WorkbookPart = QStringLiteral("xl/workbook.xml");
const QString StylesPart = QStringLiteral("xl/styles.xml");
const QString SharedStringsPart = QStringLiteral("xl/sharedStrings.xml");
const QString ContentTypePrefix = QStringLiteral("application/vnd.openxmlformats-");
const QString RelationshipTypePrefix = RelationshipsNamespace + u'/';

QString sheetPart(int index)
{
    return QStringLiteral("xl/worksheets/sheet%1.xml").arg(index + 1);
}

void writeOverride(QXmlStreamWriter &xml, const QString &part, const QString &type)
{
    xml.writeEmptyElement(QStringLiteral("Override"));
    xml.writeAttribute(QStringLiteral("PartName"), u'/' + part);
    xml.writeAttribute(QStringLiteral("ContentType"), ContentTypePrefix + type);
}

void writeRelationship(QXmlStreamWriter &xml, int id, const QString &type, const QString &target)
{
    xml.writeEmptyElement(QStringLiteral("Relationship"));
    xml.writeAttribute(QStringLiteral("Id"), QStringLiteral("rId%1").arg(id));
    xml.writeAttribute(QStringLiteral("Type"), RelationshipTypePrefix + type);
    xml.writeAttribute(QStringLiteral("Target"), target);
}

} // namespace

PackageWriter::PackageWriter(const Workbook &workbook)
    : m_workbook(workbook)
{ }

QString PackageWriter::errorString() const
{
    return m_errorString;
}

QString PackageWriter::tooLarge()
{
    return tr("Die Arbeitsmappe ist zu groß für eine XLSX-Datei.");
}

bool PackageWriter::fail(const QString &message)
{
    if (m_errorString.isEmpty())
        m_errorString = message;
    qCWarning(lcXlsx).noquote() << "Cannot save workbook:" << message;
    return false;
}

bool PackageWriter::write(QIODevice *device)
{
    if (m_workbook.sheetCount() == 0)
        return fail(tr("Die Arbeitsmappe enthält keine Tabellenblätter."));

    // The package is built in memory first, so that the device receives it whole or not at
    // all.
    ZipWriter zip;
    StyleTable styles(m_workbook.defaultFont());
    SharedStringTable strings;
    // Parts that do not depend on the cells come first, the tables the cells fill last.
    bool ok = addXmlPart(zip, QStringLiteral("[Content_Types].xml"),
                         [this](QXmlStreamWriter &xml) { writeContentTypes(xml); }) &&
        addXmlPart(zip, QStringLiteral("_rels/.rels"),
                   [this](QXmlStreamWriter &xml) { writeRootRelationships(xml); }) &&
        addXmlPart(zip, WorkbookPart, [this](QXmlStreamWriter &xml) { writeWorkbook(xml); }) &&
        addXmlPart(zip, QStringLiteral("xl/_rels/workbook.xml.rels"),
                   [this](QXmlStreamWriter &xml) { writeWorkbookRelationships(xml); });
    // Large parts go into the archive piece by piece as they are composed.
    const auto addPieces = [&](const QString &name, const auto &write) {
        const auto sink = [&zip](QByteArrayView piece) {
            return zip.write(piece);
        };
        return (zip.beginFile(name) && write(sink) && zip.endFile()) || fail(tooLarge());
    };
    for (int i = 0; ok && i < m_workbook.sheetCount(); ++i) {
        WorksheetWriter sheet(*m_workbook.sheet(i), &styles, &strings);
        ok = addPieces(sheetPart(i), [&](const auto &sink) { return sheet.write(sink); });
    }
    ok = ok && addXmlPart(zip, StylesPart, [&](QXmlStreamWriter &xml) { styles.write(xml); }) &&
        addPieces(SharedStringsPart, [&](const auto &sink) { return strings.write(sink); });
    if (!ok)
        return false;
    const QByteArray package = zip.finish();
    if (device->write(package) != package.size())
        return fail(tr("Die Datei konnte nicht geschrieben werden: %1").arg(device->errorString()));
    return true;
}

bool PackageWriter::addPart(ZipWriter &zip, const QString &name, const QByteArray &content)
{
    return zip.addFile(name, content) || fail(tooLarge());
}

bool PackageWriter::addXmlPart(ZipWriter &zip, const QString &name,
                               const std::function<void(QXmlStreamWriter &)> &writeContent)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.writeStartDocument(QStringLiteral("1.0"), true);
    writeContent(xml);
    xml.writeEndDocument();
    if (xml.hasError())
        return fail(tr("Der Bestandteil „%1“ konnte nicht geschrieben werden.").arg(name));
    return addPart(zip, name, bytes);
}

void PackageWriter::writeContentTypes(QXmlStreamWriter &xml) const
{
    xml.writeStartElement(QStringLiteral("Types"));
    xml.writeDefaultNamespace(ContentTypesNamespace);
    xml.writeEmptyElement(QStringLiteral("Default"));
    xml.writeAttribute(QStringLiteral("Extension"), QStringLiteral("rels"));
    xml.writeAttribute(QStringLiteral("ContentType"),
                       ContentTypePrefix + QStringLiteral("package.relationships+xml"));
    xml.writeEmptyElement(QStringLiteral("Default"));
    xml.writeAttribute(QStringLiteral("Extension"), QStringLiteral("xml"));
    xml.writeAttribute(QStringLiteral("ContentType"), QStringLiteral("application/xml"));
    writeOverride(xml, WorkbookPart, QStringLiteral("officedocument.spreadsheetml.sheet.main+xml"));
    for (int i = 0; i < m_workbook.sheetCount(); ++i)
        writeOverride(xml, sheetPart(i),
                      QStringLiteral("officedocument.spreadsheetml.worksheet+xml"));
    writeOverride(xml, StylesPart, QStringLiteral("officedocument.spreadsheetml.styles+xml"));
    writeOverride(xml, SharedStringsPart,
                  QStringLiteral("officedocument.spreadsheetml.sharedStrings+xml"));
    xml.writeEndElement();
}

void PackageWriter::writeRootRelationships(QXmlStreamWriter &xml) const
{
    xml.writeStartElement(QStringLiteral("Relationships"));
    xml.writeDefaultNamespace(PackageRelationshipsNamespace);
    writeRelationship(xml, 1, QStringLiteral("officeDocument"), WorkbookPart);
    xml.writeEndElement();
}

void PackageWriter::writeWorkbook(QXmlStreamWriter &xml) const
{
    xml.writeStartElement(QStringLiteral("workbook"));
    xml.writeDefaultNamespace(MainNamespace);
    xml.writeNamespace(RelationshipsNamespace, QStringLiteral("r"));
    if (m_workbook.isDate1904()) {
        xml.writeEmptyElement(QStringLiteral("workbookPr"));
        xml.writeAttribute(QStringLiteral("date1904"), QStringLiteral("1"));
    }
    // The sheet that opens must be one the user can see.
    int firstVisible = 0;
    while (firstVisible + 1 < m_workbook.sheetCount() &&
           m_workbook.sheet(firstVisible)->sheetState() != Worksheet::SheetVisible)
        ++firstVisible;
    if (firstVisible > 0) {
        xml.writeStartElement(QStringLiteral("bookViews"));
        xml.writeEmptyElement(QStringLiteral("workbookView"));
        xml.writeAttribute(QStringLiteral("activeTab"), QString::number(firstVisible));
        xml.writeAttribute(QStringLiteral("firstSheet"), QString::number(firstVisible));
        xml.writeEndElement();
    }
    xml.writeStartElement(QStringLiteral("sheets"));
    for (int i = 0; i < m_workbook.sheetCount(); ++i) {
        const Worksheet *sheet = m_workbook.sheet(i);
        xml.writeEmptyElement(QStringLiteral("sheet"));
        xml.writeAttribute(QStringLiteral("name"), sheet->sheetName());
        xml.writeAttribute(QStringLiteral("sheetId"), QString::number(i + 1));
        if (sheet->sheetState() == Worksheet::SheetHidden)
            xml.writeAttribute(QStringLiteral("state"), QStringLiteral("hidden"));
        else if (sheet->sheetState() == Worksheet::SheetVeryHidden)
            xml.writeAttribute(QStringLiteral("state"), QStringLiteral("veryHidden"));
        xml.writeAttribute(RelationshipsNamespace, QStringLiteral("id"),
                           QStringLiteral("rId%1").arg(i + 1));
    }
    xml.writeEndElement();
    writeDefinedNames(xml);
    // Recorded formula results are not saved, so the spreadsheet program computes them anew.
    xml.writeEmptyElement(QStringLiteral("calcPr"));
    xml.writeAttribute(QStringLiteral("fullCalcOnLoad"), QStringLiteral("1"));
    xml.writeEndElement();
}

void PackageWriter::writeDefinedNames(QXmlStreamWriter &xml) const
{
    QList<DefinedName> names = m_workbook.definedNames();
    names.removeIf(
        [this](const DefinedName &name) { return name.sheetIndex >= m_workbook.sheetCount(); });
    if (names.isEmpty())
        return;
    xml.writeStartElement(QStringLiteral("definedNames"));
    for (const DefinedName &name : std::as_const(names)) {
        xml.writeStartElement(QStringLiteral("definedName"));
        xml.writeAttribute(QStringLiteral("name"), name.name);
        if (name.sheetIndex >= 0)
            xml.writeAttribute(QStringLiteral("localSheetId"), QString::number(name.sheetIndex));
        if (name.hidden)
            xml.writeAttribute(QStringLiteral("hidden"), QStringLiteral("1"));
        xml.writeCharacters(name.formula);
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

void PackageWriter::writeWorkbookRelationships(QXmlStreamWriter &xml) const
{
    xml.writeStartElement(QStringLiteral("Relationships"));
    xml.writeDefaultNamespace(PackageRelationshipsNamespace);
    const int count = m_workbook.sheetCount();
    for (int i = 0; i < count; ++i)
        writeRelationship(xml, i + 1, QStringLiteral("worksheet"),
                          QStringLiteral("worksheets/sheet%1.xml").arg(i + 1));
    writeRelationship(xml, count + 1, QStringLiteral("styles"), QStringLiteral("styles.xml"));
    writeRelationship(xml, count + 2, QStringLiteral("sharedStrings"),
                      QStringLiteral("sharedStrings.xml"));
    xml.writeEndElement();
}

} // namespace QXlsx
