#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <functional>
#include <vector>

namespace QXlsx {

// The shared string table of a workbook being saved, built from the cells as they are written:
// it holds exactly the texts the saved cells use, never a table taken over from the original.
class SharedStringTable
{
public:
    // The index of the text, adding it on first use.
    int add(const QString &text);

    // Writes xl/sharedStrings.xml piece by piece; sink returns false to stop.
    bool write(const std::function<bool(QByteArrayView piece)> &sink) const;

private:
    // An open-addressing index over m_strings that keeps each text's hash beside its position,
    // so that a lookup mostly touches one slot instead of the text itself: a sheet can hand
    // over millions of texts.
    struct Slot
    {
        quint32 hash;
        quint32 position; // index + 1; 0 for an empty slot
    };

    void grow();

    QList<QString> m_strings;
    std::vector<Slot> m_slots;
    qsizetype m_references = 0;
};

} // namespace QXlsx
