#pragma once

#include <QList>
#include <QString>

namespace QXlsx {

class XmlPullReader;

// Reads the shared string table (xl/sharedStrings.xml): one plain text per string item, rich
// text flattened. A text longer than a cell can hold makes the table unreadable.
class SharedStringsReader
{
public:
    bool read(XmlPullReader &xml);
    QList<QString> takeStrings();

private:
    QList<QString> m_strings;
};

} // namespace QXlsx
