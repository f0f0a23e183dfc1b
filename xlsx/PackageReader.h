#pragma once

#include "DefinedName.h"
#include "Worksheet.h"
#include "ZipReader.h"

#include <QCoreApplication>
#include <QString>

#include <functional>
#include <memory>

class QXmlStreamReader;

namespace QXlsx {
class XmlPullReader;
}

namespace QXlsx {

class Workbook;

// Reads an XLSX package (the bytes of a .xlsx file) into a Workbook, all at once. Fails as a
// whole with a German message for the user: a workbook is never handed out half read.
class PackageReader
{
    Q_DECLARE_TR_FUNCTIONS(QXlsx::PackageReader)

public:
    // The largest part this reader unpacks; far above any sheet a desktop tool can hold.
    static constexpr qint64 MaxPartSize = qint64(1) << 30;

    explicit PackageReader(const QByteArray &bytes);

    // The workbook, or null with errorString() set.
    std::unique_ptr<Workbook> read();
    QString errorString() const;

private:
    struct SheetEntry
    {
        QString name;
        QString relationshipId;
        Worksheet::SheetState state = Worksheet::SheetVisible;
    };

    struct NameEntry
    {
        DefinedName name;
        int sheetEntry = -1; // localSheetId: an index into the workbook's sheet list
    };

    QString findWorkbookPart();
    // Small parts go through QXmlStreamReader, the worksheets and shared strings through the
    // faster XmlPullReader.
    bool readPart(const QString &name, const std::function<bool(QXmlStreamReader &)> &parse);
    bool readLargePart(const QString &name, const std::function<bool(XmlPullReader &)> &parse);
    bool failPart(const QString &name, ZipReader::Status status);
    bool failXml(const QString &name, qint64 line, const QString &reason);
    bool charge(const QString &name, qint64 size);
    bool readWorkbookPart(const QString &name, bool *date1904, QList<SheetEntry> *sheets,
                          QList<NameEntry> *names);
    static void readDefinedNames(QXmlStreamReader &xml, QList<NameEntry> *names);
    bool fail(const QString &message);

    ZipReader m_zip;
    // What all parts together may inflate to. Each part is checked on its own, but a workbook
    // can name one part for any number of sheets.
    qint64 m_budget;
    QString m_errorString;
};

} // namespace QXlsx
