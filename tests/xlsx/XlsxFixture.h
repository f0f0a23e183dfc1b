#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <memory>

namespace QXlsx {
class Document;
}

// Builds XLSX packages from XML snippets, the way a spreadsheet program lays them out, so that
// tests can feed the reader exactly the constructs they are about.
namespace XlsxFixture {

struct Sheet
{
    QString name;
    QByteArray xml; // the whole worksheet part; see sheetXml()
    bool chart = false;
};

// A worksheet part around the given <sheetData> content and what follows it.
QByteArray sheetXml(const QByteArray &sheetData, const QByteArray &after = {});

// A workbook package with the given sheets and optional shared strings and styles parts.
QByteArray workbook(const QList<Sheet> &sheets, const QByteArray &sharedStrings = {},
                    const QByteArray &styles = {}, bool date1904 = false);

// A ZIP archive of the given entries, deflated or stored.
QByteArray zip(const QMap<QString, QByteArray> &entries, bool compressed = true);

// The entries of a ZIP archive.
QMap<QString, QByteArray> unzip(const QByteArray &archive);

// A document read from the bytes of a package.
std::unique_ptr<QXlsx::Document> load(const QByteArray &bytes);

} // namespace XlsxFixture
