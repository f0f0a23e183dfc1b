#pragma once

#include "MappingColumn.h"

#include <QChar>
#include <QCoreApplication>
#include <QDateTime>
#include <QMap>
#include <QStringConverter>
#include <QStringList>

#include <optional>

class QIODevice;

// The mapping file of a run: a CSV text with two columns per pseudonymised column, its input
// texts and their replacements, one row per distinct input text in order of first occurrence.
class MappingFile
{
    Q_DECLARE_TR_FUNCTIONS(Dialog)

public:
    // Its name beside the output file: vondrel_map_<date>_<time>.csv.
    static QString pathFor(const QString &exportFileName,
                           const QDateTime &at = QDateTime::currentDateTime());

    // mapping: the entries by column position; captions: the column captions by position.
    MappingFile(const QMap<int, MappingColumn> &mapping, const QStringList &captions);

    // Writes the header line and the rows into device, which is open for writing, encoding
    // them on up to threads threads (0: one per core); writes nothing at all when there is no
    // pseudonymised column. False when any write failed.
    bool write(QIODevice *device, QChar separator, int quoteMode,
               std::optional<QStringConverter::Encoding> encoding, int threads) const;

private:
    const QMap<int, MappingColumn> &m_mapping;
    const QStringList &m_captions;
};
