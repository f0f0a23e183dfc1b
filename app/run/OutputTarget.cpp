#include "OutputTarget.h"

#include "AppLog.h"
#include "FileErrorMessage.h"

#include <QFileInfo>

#include <cerrno>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

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

// Hands the written data to the disk. A disk that cannot be asked to counts as done, as for a
// save file's own commit; one that fails to take the data does not.
bool syncToDisk(QFileDevice &file)
{
    const int handle = file.handle();
    if (handle < 0)
        return true;
#ifdef Q_OS_WIN
    if (::_commit(handle) == 0)
        return true;
#elif defined(Q_OS_LINUX)
    // The data and the size; the times can wait.
    if (::fdatasync(handle) == 0)
        return true;
#else
    if (::fsync(handle) == 0)
        return true;
#endif
    return errno != EIO && errno != ENOSPC && errno != EDQUOT;
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
    // Flushed and synced here, so that a full disk shows before the commit rather than inside
    // it, and so that committing several files is only their renames, close together even
    // when the process is killed.
    int number = writeErrorNumber(errno);
    if (!written || !m_file.flush() || m_file.error() != QFileDevice::NoError ||
        !syncToDisk(m_file)) {
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
