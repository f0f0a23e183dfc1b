#pragma once

#include "Format.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

class QIODevice;

namespace QXlsx {

class Cell;
class Workbook;
class Worksheet;

// An XLSX workbook read from a device, with one selected worksheet that the cell functions
// address. Rows and columns are 1-based.
class Document
{
    Q_DECLARE_TR_FUNCTIONS(QXlsx::Document)

public:
    // Reads the whole workbook at once (the device may go away afterwards). On failure the
    // document has no sheets and errorString() tells the user why.
    explicit Document(QIODevice *device);
    ~Document();
    Q_DISABLE_COPY_MOVE(Document)

    // An independent copy made in memory, with the same sheet current: for an unchanged
    // document what reading its bytes again would give, without parsing them. Cells share their
    // texts and formats with this document until either side writes them, and the rows that
    // say where they lie until either side adds a cell.
    std::unique_ptr<Document> copy() const;
    // Whether the document was read from exactly these bytes (a digest of them is kept); false
    // for a copy.
    bool isReadFrom(const QByteArray &bytes) const;

    // German text for the user about the last failed load or save; empty after success.
    QString errorString() const;

    // The worksheets in workbook order; chart sheets are not offered.
    QStringList sheetNames() const;
    // Makes the named worksheet current; false when there is none of that name.
    bool selectSheet(const QString &name);
    // The current worksheet, the first one after loading; null when there is none.
    Worksheet *currentWorksheet() const;
    // Never null; empty when loading failed.
    Workbook *workbook() const;

    // The cell functions of the current worksheet (see Worksheet); no cell, an invalid value or
    // false when there is no current worksheet.
    const Cell *cellAt(int row, int column) const;
    QVariant read(int row, int column) const;
    bool write(int row, int column, const QVariant &value, const Format &format = Format());

    // Saves every worksheet into a device open for writing (or one this opens itself); the
    // document itself is not changed. Dates are always stored as serial numbers.
    bool saveAs(QIODevice *device);
    // Saves atomically: the file is replaced only once the whole workbook has been written.
    bool saveAs(const QString &fileName);

private:
    Document() = default;

    std::unique_ptr<Workbook> m_workbook;
    Worksheet *m_current = nullptr;
    QString m_errorString;
    QByteArray m_sourceDigest;
};

} // namespace QXlsx
