#pragma once

#include <QList>
#include <QString>

class QXmlStreamReader;

namespace QXlsx {

// Reads the shared string table (xl/sharedStrings.xml): one plain text per string item, rich
// text flattened.
class SharedStringsReader
{
public:
    bool read(QXmlStreamReader &xml);
    QList<QString> takeStrings();

private:
    QList<QString> m_strings;
};

} // namespace QXlsx
