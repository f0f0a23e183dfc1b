#include "XlsxFixture.h"

#include <xlsx/Document.h>

#include <QBuffer>

#include <private/qzipreader_p.h>
#include <private/qzipwriter_p.h>

namespace XlsxFixture {

namespace {
const QByteArray Declaration = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)";
const QByteArray MainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const QByteArray RelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const QByteArray PackageRelNs = "http://schemas.openxmlformats.org/package/2006/relationships";
} // namespace

QByteArray sheetXml(const QByteArray &sheetData, const QByteArray &after)
{
    return Declaration + "<worksheet xmlns=\"" + MainNs + "\" xmlns:r=\"" + RelNs +
        "\"><sheetData>" + sheetData + "</sheetData>" + after + "</worksheet>";
}

QByteArray workbook(const QList<Sheet> &sheets, const QByteArray &sharedStrings,
                    const QByteArray &styles, bool date1904)
{
    QMap<QString, QByteArray> parts;
    parts[QStringLiteral("[Content_Types].xml")] = Declaration +
        R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
        R"(<Default Extension="xml" ContentType="application/xml"/></Types>)";
    parts[QStringLiteral("_rels/.rels")] = Declaration + "<Relationships xmlns=\"" + PackageRelNs +
        "\"><Relationship Id=\"rId1\" Type=\"" + RelNs +
        "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";

    QByteArray sheetList;
    QByteArray relationships;
    for (qsizetype i = 0; i < sheets.size(); ++i) {
        const QByteArray id = "rId" + QByteArray::number(i + 1);
        const QByteArray kind = sheets[i].chart ? "chartsheet" : "worksheet";
        const QByteArray target = (sheets[i].chart ? "chartsheets/sheet" : "worksheets/sheet") +
            QByteArray::number(i + 1) + ".xml";
        sheetList += "<sheet name=\"" + sheets[i].name.toUtf8() + "\" sheetId=\"" +
            QByteArray::number(i + 1) + "\" r:id=\"" + id + "\"/>";
        relationships += "<Relationship Id=\"" + id + "\" Type=\"" + RelNs + '/' + kind +
            "\" Target=\"" + target + "\"/>";
        parts[QStringLiteral("xl/") + QString::fromUtf8(target)] = sheets[i].xml;
    }
    if (!sharedStrings.isEmpty()) {
        relationships += "<Relationship Id=\"rIdS\" Type=\"" + RelNs +
            "/sharedStrings\" Target=\"sharedStrings.xml\"/>";
        parts[QStringLiteral("xl/sharedStrings.xml")] =
            Declaration + "<sst xmlns=\"" + MainNs + "\">" + sharedStrings + "</sst>";
    }
    if (!styles.isEmpty()) {
        relationships +=
            "<Relationship Id=\"rIdT\" Type=\"" + RelNs + "/styles\" Target=\"styles.xml\"/>";
        parts[QStringLiteral("xl/styles.xml")] =
            Declaration + "<styleSheet xmlns=\"" + MainNs + "\">" + styles + "</styleSheet>";
    }
    parts[QStringLiteral("xl/workbook.xml")] = Declaration + "<workbook xmlns=\"" + MainNs +
        "\" xmlns:r=\"" + RelNs + "\">" + (date1904 ? "<workbookPr date1904=\"1\"/>" : "") +
        "<sheets>" + sheetList + "</sheets></workbook>";
    parts[QStringLiteral("xl/_rels/workbook.xml.rels")] = Declaration + "<Relationships xmlns=\"" +
        PackageRelNs + "\">" + relationships + "</Relationships>";
    return zip(parts);
}

QByteArray zip(const QMap<QString, QByteArray> &entries, bool compressed)
{
    QByteArray archive;
    QBuffer buffer(&archive);
    buffer.open(QIODevice::WriteOnly);
    QZipWriter writer(&buffer);
    writer.setCompressionPolicy(compressed ? QZipWriter::AutoCompress : QZipWriter::NeverCompress);
    for (auto it = entries.cbegin(); it != entries.cend(); ++it)
        writer.addFile(it.key(), it.value());
    writer.close();
    return archive;
}

QMap<QString, QByteArray> unzip(const QByteArray &archive)
{
    QBuffer buffer;
    buffer.setData(archive);
    buffer.open(QIODevice::ReadOnly);
    QZipReader reader(&buffer);
    QMap<QString, QByteArray> entries;
    const QList<QZipReader::FileInfo> infos = reader.fileInfoList();
    for (const QZipReader::FileInfo &info : infos)
        entries.insert(info.filePath, reader.fileData(info.filePath));
    return entries;
}

std::unique_ptr<QXlsx::Document> load(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return std::make_unique<QXlsx::Document>(&buffer);
}

} // namespace XlsxFixture
