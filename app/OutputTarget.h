#pragma once

#include <QCoreApplication>
#include <QSaveFile>
#include <QString>

// A file that is replaced in one step once it has been written completely: until commit()
// the old file, if any, stays as it was, and a failed write leaves it so too. Only regular
// files are replaced, never a device, pipe or directory of the same name.
class OutputTarget
{
    Q_DECLARE_TR_FUNCTIONS(OutputTarget)

public:
    explicit OutputTarget(const QString &fileName);
    Q_DISABLE_COPY_MOVE(OutputTarget)

    // False, with errorString() set, when the file cannot be written.
    bool open();
    // Where to write; null until opened.
    QIODevice *device();
    // Replaces the file when written is true and every write succeeded; otherwise discards
    // what was written. False when the file was not replaced.
    bool finish(bool written);
    QString fileName() const;
    QString errorString() const;

private:
    QSaveFile m_file;
    QString m_errorString;
};
