#pragma once

#include <QSaveFile>
#include <QString>

// A file that is replaced in one step once it has been written completely: until commit()
// the old file, if any, stays as it was, and a failed write leaves it so too. Only regular
// files are replaced, never a device, pipe or directory of the same name. Completing and
// committing are separate steps, so that several files are committed only once all of them
// are complete.
class OutputTarget
{
public:
    explicit OutputTarget(const QString &fileName);
    Q_DISABLE_COPY_MOVE(OutputTarget)

    // Only the owner may read and write the file; set before open().
    void setOwnerOnly(bool ownerOnly);
    // False, with errorString() set, when the file cannot be written.
    bool open();
    // Where to write; null until opened.
    QIODevice *device();
    // Whether everything was written (written is true and every write succeeded), with the
    // data on the disk; otherwise what was written is discarded and the old file stays. False
    // when incomplete.
    bool complete(bool written);
    // Replaces the file with the completed one: a rename. False when it was not replaced.
    bool commit();
    QString fileName() const;
    // Why the file could not be written or replaced, in German.
    QString errorString() const;

private:
    QSaveFile m_file;
    QString m_errorString;
    bool m_ownerOnly = false;
};
