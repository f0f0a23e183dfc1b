#include "Document.h"

#include "PackageReader.h"
#include "PackageWriter.h"
#include "Workbook.h"
#include "Worksheet.h"

#include <QCryptographicHash>
#include <QSaveFile>

namespace QXlsx {

namespace {

QByteArray digestOf(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}

} // namespace

Document::Document(QIODevice *device)
{
    QByteArray bytes;
    if (device && device->isOpen()) {
        bytes = device->readAll();
    } else if (device && device->open(QIODevice::ReadOnly)) {
        bytes = device->readAll();
        device->close();
    } else if (device) {
        // Reading no bytes would blame the content for what the device itself refused.
        m_errorString = tr("Die Datei kann nicht gelesen werden: %1").arg(device->errorString());
        m_workbook = std::make_unique<Workbook>();
        return;
    }
    m_sourceDigest = digestOf(bytes);
    PackageReader reader(bytes);
    m_workbook = reader.read();
    if (!m_workbook) {
        m_errorString = reader.errorString();
        m_workbook = std::make_unique<Workbook>();
    } else if (m_workbook->sheetCount() == 0) {
        m_errorString = tr("Die Arbeitsmappe enthält keine Tabellenblätter.");
    }
    m_current = m_workbook->sheet(0);
}

Document::~Document() = default;

std::unique_ptr<Document> Document::copy() const
{
    std::unique_ptr<Document> copied(new Document);
    copied->m_workbook = m_workbook->copy();
    copied->m_errorString = m_errorString;
    for (int i = 0; i < m_workbook->sheetCount(); ++i)
        if (m_workbook->sheet(i) == m_current)
            copied->m_current = copied->m_workbook->sheet(i);
    return copied;
}

bool Document::isReadFrom(const QByteArray &bytes) const
{
    return !m_sourceDigest.isEmpty() && m_sourceDigest == digestOf(bytes);
}

QString Document::errorString() const
{
    return m_errorString;
}

QStringList Document::sheetNames() const
{
    return m_workbook->sheetNames();
}

bool Document::selectSheet(const QString &name)
{
    Worksheet *sheet = m_workbook->sheet(name);
    if (!sheet)
        return false;
    m_current = sheet;
    return true;
}

Worksheet *Document::currentWorksheet() const
{
    return m_current;
}

Workbook *Document::workbook() const
{
    return m_workbook.get();
}

const Cell *Document::cellAt(int row, int column) const
{
    return m_current ? m_current->cellAt(row, column) : nullptr;
}

QVariant Document::read(int row, int column) const
{
    return m_current ? m_current->read(row, column) : QVariant();
}

bool Document::write(int row, int column, const QVariant &value, const Format &format)
{
    return m_current && m_current->write(row, column, value, format);
}

bool Document::saveAs(QIODevice *device)
{
    if (!device || (!device->isOpen() && !device->open(QIODevice::WriteOnly)) ||
        !device->isWritable()) {
        m_errorString = tr("Die Datei kann nicht zum Schreiben geöffnet werden.");
        return false;
    }
    PackageWriter writer(*m_workbook);
    const bool ok = writer.write(device);
    m_errorString = writer.errorString();
    return ok;
}

bool Document::saveAs(const QString &fileName)
{
    QSaveFile file(fileName);
    // Unbuffered, so that a full disk fails the write itself: a write that only fails while
    // the buffer is flushed by commit() can go unnoticed, and the truncated file would replace
    // the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        m_errorString = tr("Die Datei „%1“ kann nicht geschrieben werden: %2")
                            .arg(fileName, file.errorString());
        return false;
    }
    if (!saveAs(&file) || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        if (m_errorString.isEmpty())
            m_errorString = tr("Die Datei „%1“ kann nicht geschrieben werden: %2")
                                .arg(fileName, file.errorString());
        return false;
    }
    if (!file.commit()) {
        m_errorString = tr("Die Datei „%1“ kann nicht geschrieben werden: %2")
                            .arg(fileName, file.errorString());
        return false;
    }
    return true;
}

} // namespace QXlsx
