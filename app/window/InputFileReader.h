#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

class QFile;

// Reads an input file whole, but only one that can be held: the bytes stay in memory beside
// the table parsed from them and the output copy, so a file beyond the limit is refused before
// anything is read, and a file that reports no size (such as those under /proc, which may not
// end at all) is read only up to a cap.
class InputFileReader
{
    Q_DECLARE_TR_FUNCTIONS(Dialog)

public:
    // The largest input read: far more than any table this program is used for, and as much
    // as a usual desktop can hold several times over.
    static constexpr qint64 maxBytes = qint64(2) << 30;
    // How much of a file that reports size 0 is read at most.
    static constexpr qint64 maxUnsizedBytes = qint64(64) << 20;

    // What the bytes are read as. Text must not be a packed file: read as text, a workbook
    // under another suffix would show as garbage and be written out as such.
    enum class Kind {
        Text,
        Workbook,
    };

    explicit InputFileReader(qint64 limit = maxBytes, qint64 unsizedLimit = maxUnsizedBytes);

    // The file's bytes; false with errorString() set (in German, without the file name) when
    // it cannot be opened or read, is too large, or is a packed file to be read as text.
    bool read(const QString &path, QByteArray &bytes, Kind kind = Kind::Workbook);
    QString errorString() const;

private:
    bool readUnsized(QFile &file, QByteArray &bytes);
    static QString tooLarge(qint64 size, qint64 limit);

    qint64 m_limit;
    qint64 m_unsizedLimit;
    QString m_errorString;
};
