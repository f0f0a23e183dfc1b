#pragma once

#include "IndexedSet.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace QXlsx {

// The shared string table of a workbook being saved, built from the cells as they are written:
// it holds exactly the texts the saved cells use, never a table taken over from the original.
class SharedStringTable
{
public:
    // The index of the text, adding it on first use.
    int add(const QString &text);

    // Writes xl/sharedStrings.xml piece by piece; sink returns false to stop.
    bool write(const std::function<bool(const QByteArray &piece)> &sink) const;

private:
    IndexedSet<QString> m_strings;
    qsizetype m_references = 0;
};

} // namespace QXlsx
