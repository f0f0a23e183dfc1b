#include "PackageReader.h"

#include "Relationships.h"
#include "SharedStringsReader.h"
#include "StylesReader.h"
#include "ThemeColors.h"
#include "Workbook.h"
#include "Worksheet.h"
#include "WorksheetReader.h"
#include "XlsxLogging.h"
#include "XmlPullReader.h"
#include "XmlReading.h"
#include "ZipEntryReader.h"

#include <QBuffer>
#include <QXmlStreamReader>

namespace QXlsx {

namespace {
const QString RootRelationshipsPart = QStringLiteral("_rels/.rels");
const QString UsualWorkbookPart = QStringLiteral("xl/workbook.xml");
} // namespace

PackageReader::PackageReader(const QByteArray &bytes)
    : m_zip(bytes)
    , m_budget(ZipReader::MaxCompressionRatio * bytes.size() + 8 * ZipReader::RatioFreeSize)
{ }

QString PackageReader::errorString() const
{
    return m_errorString;
}

bool PackageReader::fail(const QString &message)
{
    if (m_errorString.isEmpty())
        m_errorString = message;
    qCWarning(lcXlsx).noquote() << "Cannot read workbook:" << message;
    return false;
}

std::unique_ptr<Workbook> PackageReader::read()
{
    switch (m_zip.status()) {
    case ZipReader::Status::Ok:
        break;
    case ZipReader::Status::Unsupported:
        fail(tr("Die Datei ist in einem nicht unterstützten ZIP-Format gespeichert."));
        return nullptr;
    case ZipReader::Status::Corrupt:
        fail(tr("Die Datei ist beschädigt oder unvollständig."));
        return nullptr;
    default:
        fail(tr("Die Datei ist keine XLSX-Arbeitsmappe."));
        return nullptr;
    }

    const QString workbookPart = findWorkbookPart();
    if (workbookPart.isEmpty()) {
        fail(tr("Die Datei enthält keine Arbeitsmappe."));
        return nullptr;
    }
    bool date1904 = false;
    QList<SheetEntry> sheets;
    QList<NameEntry> names;
    if (!readWorkbookPart(workbookPart, &date1904, &sheets, &names))
        return nullptr;

    Relationships relationships;
    const QString relationshipsPart = Relationships::relationshipsPartOf(workbookPart);
    if (m_zip.contains(relationshipsPart) &&
        !readPart(relationshipsPart,
                  [&](QXmlStreamReader &xml) { return relationships.read(xml, workbookPart); }))
        return nullptr;

    auto workbook = std::make_unique<Workbook>(date1904);
    ThemeColors theme;
    const QString themePart = relationships.targetOfType(QStringLiteral("theme"));
    // Styles name theme colours by index; without a theme part the default theme applies.
    if (!themePart.isEmpty() && m_zip.contains(themePart) &&
        !readPart(themePart, [&](QXmlStreamReader &xml) { return theme.read(xml); }))
        return nullptr;

    QList<Format> cellFormats;
    const QString stylesPart = relationships.targetOfType(QStringLiteral("styles"));
    if (!stylesPart.isEmpty()) {
        StylesReader styles(&workbook->formats(), theme);
        if (!readPart(stylesPart, [&](QXmlStreamReader &xml) { return styles.read(xml); }))
            return nullptr;
        cellFormats = styles.cellFormats();
        if (styles.defaultFont().isValid())
            workbook->setDefaultFont(styles.defaultFont());
    }

    QList<QString> sharedStrings;
    const QString stringsPart = relationships.targetOfType(QStringLiteral("sharedStrings"));
    if (!stringsPart.isEmpty()) {
        SharedStringsReader strings;
        if (!readLargePart(stringsPart, [&](XmlPullReader &xml) { return strings.read(xml); }))
            return nullptr;
        sharedStrings = strings.takeStrings();
    }

    // Where each entry of the sheet list went among the worksheets; -1 for the other sheets.
    QList<int> worksheetOfEntry;
    for (const SheetEntry &sheet : std::as_const(sheets)) {
        worksheetOfEntry.append(-1);
        const Relationships::Relationship relationship = relationships.byId(sheet.relationshipId);
        if (relationship.target.isEmpty()) {
            fail(tr("Die Arbeitsmappe verweist auf ein fehlendes Tabellenblatt „%1“.")
                     .arg(sheet.name));
            return nullptr;
        }
        // Chart, dialog and macro sheets hold no table to offer.
        if (!Relationships::hasType(relationship, QStringLiteral("worksheet")))
            continue;
        worksheetOfEntry.last() = workbook->sheetCount();
        Worksheet *worksheet = workbook->addSheet(sheet.name);
        worksheet->setSheetState(sheet.state);
        WorksheetReader reader(worksheet, sharedStrings, cellFormats);
        if (!readLargePart(relationship.target,
                           [&](XmlPullReader &xml) { return reader.read(xml); }))
            return nullptr;
    }
    QList<DefinedName> scoped;
    for (NameEntry &entry : names) {
        if (entry.sheetEntry >= 0) {
            // A name of a chart sheet, or of a sheet the list lacks, has nowhere to go.
            entry.name.sheetIndex = worksheetOfEntry.value(entry.sheetEntry, -1);
            if (entry.name.sheetIndex < 0)
                continue;
        }
        scoped.append(entry.name);
    }
    workbook->setDefinedNames(keptNames(scoped));
    qCDebug(lcXlsx) << "Defined names:" << names.size() << "read,"
                    << workbook->definedNames().size() << "kept";
    return workbook;
}

QString PackageReader::findWorkbookPart()
{
    if (m_zip.contains(RootRelationshipsPart)) {
        Relationships root;
        if (!readPart(RootRelationshipsPart,
                      [&](QXmlStreamReader &xml) { return root.read(xml, QString()); }))
            return {};
        const QString target = root.targetOfType(QStringLiteral("officeDocument"));
        if (m_zip.contains(target))
            return target;
    }
    return m_zip.contains(UsualWorkbookPart) ? UsualWorkbookPart : QString();
}

bool PackageReader::failPart(const QString &name, ZipReader::Status status)
{
    switch (status) {
    case ZipReader::Status::Ok:
        return true;
    case ZipReader::Status::Missing:
        return fail(tr("Der Bestandteil „%1“ fehlt in der Datei.").arg(name));
    case ZipReader::Status::TooLarge:
        return fail(tr("Der Bestandteil „%1“ ist zu groß (entpackt mehr als %2 MB).")
                        .arg(name)
                        .arg(MaxPartSize >> 20));
    case ZipReader::Status::TooCompressed:
        return fail(tr("Der Bestandteil „%1“ ist ungewöhnlich stark gepackt (mehr als %2:1). "
                       "So gepackte Dateien werden gebaut, um den Speicher zu erschöpfen; "
                       "die Datei wird nicht geöffnet.")
                        .arg(name)
                        .arg(ZipReader::MaxCompressionRatio));
    case ZipReader::Status::Unsupported:
        return fail(tr("Der Bestandteil „%1“ ist verschlüsselt oder in einem nicht "
                       "unterstützten Format gepackt.")
                        .arg(name));
    default:
        return fail(tr("Die Datei ist beschädigt: „%1“ lässt sich nicht entpacken.").arg(name));
    }
}

bool PackageReader::failXml(const QString &name, qint64 line, const QString &reason)
{
    return fail(tr("Die Datei ist beschädigt: „%1“ ist in Zeile %2 fehlerhaft (%3).")
                    .arg(name)
                    .arg(line)
                    .arg(reason));
}

bool PackageReader::charge(const QString &name, qint64 size)
{
    m_budget -= size;
    return m_budget >= 0 || failPart(name, ZipReader::Status::TooCompressed);
}

bool PackageReader::readPart(const QString &name,
                             const std::function<bool(QXmlStreamReader &)> &parse)
{
    QByteArray bytes;
    if (!failPart(name, m_zip.read(name, MaxPartSize, &bytes)) || !charge(name, bytes.size()))
        return false;
    // Through a device the reader decodes the text piece by piece; handed the whole array it
    // would keep a UTF-16 copy of it, four times the part's size.
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&buffer);
    if (!parse(xml) || xml.hasError())
        return failXml(name, xml.lineNumber(), xml.errorString());
    return true;
}

bool PackageReader::readLargePart(const QString &name,
                                  const std::function<bool(XmlPullReader &)> &parse)
{
    // Inflated while it is read, so that the unpacked part never has to be held whole.
    ZipEntryReader entry(m_zip, name, MaxPartSize);
    if (!failPart(name, entry.status()) || !charge(name, entry.size()))
        return false;
    XmlPullReader xml(
        [&entry](char *buffer, qsizetype capacity) { return entry.read(buffer, capacity); });
    bool ok = parse(xml);
    // Read to the end, so that the part's size and checksum are checked.
    while (ok && !xml.atEnd())
        xml.readNext();
    if (entry.status() != ZipReader::Status::Ok)
        return failPart(name, entry.status());
    if (!ok || xml.hasError())
        return failXml(name, xml.lineNumber(), xml.errorString());
    return true;
}

void PackageReader::readDefinedNames(QXmlStreamReader &xml, QList<NameEntry> *names)
{
    while (xml.readNextStartElement()) {
        if (xml.name() != u"definedName") {
            xml.skipCurrentElement();
            continue;
        }
        NameEntry entry;
        const QXmlStreamAttributes attributes = xml.attributes();
        entry.name.name = attributes.value(QLatin1String("name")).toString();
        entry.name.hidden = parseXmlBool(attributes.value(QLatin1String("hidden")));
        const QStringView sheet = attributes.value(QLatin1String("localSheetId"));
        entry.sheetEntry = sheet.isEmpty() ? -1 : parseXmlIndex(sheet);
        entry.name.formula = xml.readElementText(QXmlStreamReader::SkipChildElements);
        // A scope that cannot be read must not widen the name to the whole workbook.
        if (sheet.isEmpty() || entry.sheetEntry >= 0)
            names->append(entry);
    }
}

bool PackageReader::readWorkbookPart(const QString &name, bool *date1904, QList<SheetEntry> *sheets,
                                     QList<NameEntry> *names)
{
    bool isWorkbook = false;
    const bool ok = readPart(name, [&](QXmlStreamReader &xml) {
        if (!xml.readNextStartElement() || xml.name() != u"workbook")
            return !xml.hasError();
        isWorkbook = true;
        while (xml.readNextStartElement()) {
            if (xml.name() == u"workbookPr") {
                *date1904 = parseXmlBool(xml.attributes().value(QLatin1String("date1904")));
                xml.skipCurrentElement();
            } else if (xml.name() == u"sheets") {
                while (xml.readNextStartElement()) {
                    if (xml.name() == u"sheet") {
                        SheetEntry sheet;
                        const QXmlStreamAttributes attributes = xml.attributes();
                        for (const QXmlStreamAttribute &attribute : attributes) {
                            if (attribute.name() == u"name" && attribute.namespaceUri().isEmpty())
                                sheet.name = attribute.value().toString();
                            else if (attribute.name() == u"state" &&
                                     attribute.namespaceUri().isEmpty())
                                sheet.state = attribute.value() == u"veryHidden"
                                    ? Worksheet::SheetVeryHidden
                                    : attribute.value() == u"hidden" ? Worksheet::SheetHidden
                                                                     : Worksheet::SheetVisible;
                            else if (attribute.name() == u"id" &&
                                     attribute.namespaceUri().endsWith(u"relationships"))
                                sheet.relationshipId = attribute.value().toString();
                        }
                        sheets->append(sheet);
                    }
                    xml.skipCurrentElement();
                }
            } else if (xml.name() == u"definedNames") {
                readDefinedNames(xml, names);
            } else {
                xml.skipCurrentElement();
            }
        }
        return !xml.hasError();
    });
    if (ok && !isWorkbook)
        return fail(tr("Die Datei enthält keine Arbeitsmappe."));
    return ok;
}

} // namespace QXlsx
