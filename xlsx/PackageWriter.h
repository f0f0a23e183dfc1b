#pragma once

#include <QCoreApplication>
#include <QString>

#include <functional>

class QIODevice;
class QXmlStreamWriter;

namespace QXlsx {

class Workbook;
class ZipWriter;

// Writes a Workbook as an XLSX package. The package holds the worksheets, the styles and a
// shared string table built from the cells, nothing else: no document properties (author
// names), no recorded formula results; the workbook asks for a full recalculation on load.
class PackageWriter
{
    Q_DECLARE_TR_FUNCTIONS(QXlsx::PackageWriter)

public:
    explicit PackageWriter(const Workbook &workbook);

    // Writes the whole package to device, which must be open for writing.
    bool write(QIODevice *device);
    QString errorString() const;

private:
    bool addPart(ZipWriter &zip, const QString &name, const QByteArray &content);
    bool addXmlPart(ZipWriter &zip, const QString &name,
                    const std::function<void(QXmlStreamWriter &)> &writeContent);
    void writeContentTypes(QXmlStreamWriter &xml) const;
    void writeRootRelationships(QXmlStreamWriter &xml) const;
    void writeWorkbook(QXmlStreamWriter &xml) const;
    void writeDefinedNames(QXmlStreamWriter &xml) const;
    void writeWorkbookRelationships(QXmlStreamWriter &xml) const;
    bool fail(const QString &message);
    static QString tooLarge();

    const Workbook &m_workbook;
    QString m_errorString;
};

} // namespace QXlsx
