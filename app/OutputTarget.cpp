#include "OutputTarget.h"

#include "AppLog.h"

#include <QFileInfo>

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
        m_errorString = tr("Die Datei „%1“ ist keine gewöhnliche Datei.").arg(m_file.fileName());
        return false;
    }
    if (!m_file.open(QIODevice::WriteOnly)) {
        m_errorString = m_file.errorString();
        return false;
    }
    // On the temporary file, before anything is in it; whatever the umask or the permissions
    // of a file replaced.
    if (m_ownerOnly && !m_file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        m_errorString = m_file.errorString();
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
    if (!written || !m_file.flush() || m_file.error() != QFileDevice::NoError) {
        m_errorString = m_file.errorString();
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
    if (!m_file.commit()) {
        m_errorString = m_file.errorString();
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
