#include "OutputTarget.h"

#include "AppLog.h"
#include "FileErrorMessage.h"

#include <QFileInfo>

#include <cerrno>

namespace {

// The error numbers that a failed write or flush leaves and that say why; any other number
// found later may be left over from an unrelated call.
int writeErrorNumber(int number)
{
    switch (number) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
    case EIO:
    case EROFS:
        return number;
    default:
        return 0;
    }
}

} // namespace

OutputTarget::OutputTarget(const QString &fileName)
    : m_file(fileName)
{ }

void OutputTarget::setOwnerOnly(bool ownerOnly)
{
    m_ownerOnly = ownerOnly;
}

bool OutputTarget::open()
{
    const QFileInfo info(m_file.fileName());
    // A save file replaces the directory entry: over a device such as /dev/full it would put a
    // plain file in its place.
    if (info.exists() && !info.isFile()) {
        m_errorString = FileErrorMessage::reason(fileName(), FileErrorMessage::Access::Write);
        return false;
    }
    errno = 0;
    if (!m_file.open(QIODevice::WriteOnly)) {
        const int number = errno;
        m_errorString = FileErrorMessage::reason(fileName(), FileErrorMessage::Access::Write,
                                                 m_file.error(), number);
        return false;
    }
    // On the temporary file, before anything is in it; whatever the umask or the permissions
    // of a file replaced.
    if (m_ownerOnly && !m_file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        m_errorString =
            FileErrorMessage::reason(fileName(), FileErrorMessage::Access::Write, m_file.error());
        m_file.cancelWriting();
        m_file.commit();
        return false;
    }
    return true;
}

QIODevice *OutputTarget::device()
{
    return m_file.isOpen() ? &m_file : nullptr;
}

bool OutputTarget::complete(bool written)
{
    if (!m_file.isOpen())
        return false;
    // Committing after a failed write would install a truncated file.
    // Flushed here, so that a full disk shows before the commit rather than inside it.
    int number = writeErrorNumber(errno);
    if (!written || !m_file.flush() || m_file.error() != QFileDevice::NoError) {
        if (number == 0)
            number = writeErrorNumber(errno);
        m_errorString = FileErrorMessage::reason(fileName(), FileErrorMessage::Access::Write,
                                                 m_file.error(), number);
        m_file.cancelWriting();
        m_file.commit(); // removes the temporary file now; the old file stays
        qCWarning(lcRun) << "Output discarded after a failed write";
        return false;
    }
    return true;
}

bool OutputTarget::commit()
{
    if (!m_file.isOpen())
        return false;
    errno = 0;
    if (!m_file.commit()) {
        const int number = errno;
        m_errorString = FileErrorMessage::reason(fileName(), FileErrorMessage::Access::Write,
                                                 m_file.error(), number);
        qCWarning(lcRun) << "Output could not be committed:" << m_errorString;
        return false;
    }
    return true;
}

QString OutputTarget::fileName() const
{
    return m_file.fileName();
}

QString OutputTarget::errorString() const
{
    return m_errorString;
}
