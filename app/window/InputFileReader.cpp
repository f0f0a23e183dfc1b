#include "InputFileReader.h"

#include <run/FileErrorMessage.h>

#include <QFile>
#include <QLocale>

#include <cerrno>
#include <new>

namespace {

QString dataSize(qint64 bytes)
{
    return QLocale(QLocale::German).formattedDataSize(bytes, 2, QLocale::DataSizeTraditionalFormat);
}

QString byteCount(qint64 bytes)
{
    return QLocale(QLocale::German).toString(bytes) + QStringLiteral(" Bytes");
}

// A ZIP archive starts with one of its record signatures; no text starts with these bytes.
bool isPacked(const QByteArray &bytes)
{
    return bytes.startsWith("PK\x03\x04") || bytes.startsWith("PK\x05\x06") ||
        bytes.startsWith("PK\x07\x08");
}

} // namespace

InputFileReader::InputFileReader(qint64 limit, qint64 unsizedLimit)
    : m_limit(limit)
    , m_unsizedLimit(unsizedLimit)
{ }

bool InputFileReader::read(const QString &path, QByteArray &bytes, Kind kind)
{
    bytes.clear();
    m_errorString.clear();
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        m_errorString =
            FileErrorMessage::reason(path, FileErrorMessage::Access::Read, file.error(), errno);
        return false;
    }
    const qint64 size = file.size();
    if (size > m_limit) {
        m_errorString = tooLarge(size, m_limit);
        return false;
    }
    bool read = false;
    try {
        read = size == 0 ? readUnsized(file, bytes) : (bytes = file.readAll(), true);
    } catch (const std::bad_alloc &) {
        bytes.clear();
        m_errorString = tr("Es ist nicht genug Arbeitsspeicher frei, um die Datei zu laden.");
        return false;
    }
    if (read && file.error() != QFileDevice::NoError) {
        m_errorString =
            FileErrorMessage::reason(path, FileErrorMessage::Access::Read, file.error());
        bytes.clear();
        return false;
    }
    if (read && kind == Kind::Text && isPacked(bytes)) {
        bytes.clear();
        m_errorString = tr("Die Datei ist eine gepackte Datei (eine Arbeitsmappe) und kann nicht "
                           "als Text gelesen werden. Arbeitsmappen werden nur mit der Endung "
                           ".xlsx gelesen.");
        return false;
    }
    return read;
}

QString InputFileReader::errorString() const
{
    return m_errorString;
}

bool InputFileReader::readUnsized(QFile &file, QByteArray &bytes)
{
    // In whole blocks: some such files only serve reads of a multiple of their record size.
    constexpr qint64 blockSize = 1 << 20;
    qint64 total = 0;
    for (QByteArray block = file.read(blockSize); !block.isEmpty() && total <= m_unsizedLimit;
         block = file.read(blockSize)) {
        total += block.size();
        if (total <= m_unsizedLimit)
            bytes += block;
    }
    if (total > m_unsizedLimit) {
        bytes.clear();
        m_errorString = tr("Die Datei gibt keine Größe an und ist größer als %1; sie wird nicht "
                           "geladen.")
                            .arg(dataSize(m_unsizedLimit));
        return false;
    }
    return true;
}

QString InputFileReader::tooLarge(qint64 size, qint64 limit)
{
    QString shown = dataSize(size);
    QString allowed = dataSize(limit);
    // Rounded alike, a file just over the limit would seem to be within it.
    if (shown == allowed) {
        shown = byteCount(size);
        allowed = byteCount(limit);
    }
    return tr("Die Datei ist zu groß (%1); geladen werden Dateien bis %2.").arg(shown, allowed);
}
