#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// Many short texts packed into one buffer, addressed by their number in order of addition. A
// column of a million distinct values then costs its characters and one offset per text, not
// a string with an allocation of its own each, and texts added one after the other lie one
// after the other in memory.
class TextPool
{
public:
    qsizetype size() const { return m_ends.size(); }
    bool isEmpty() const { return m_ends.isEmpty(); }

    QStringView at(qsizetype index) const
    {
        const qsizetype begin = index > 0 ? m_ends.at(index - 1) : 0;
        return QStringView(m_text.constData() + begin, m_ends.at(index) - begin);
    }
    // The text as a string over the pool's own characters, without a copy; valid while the
    // pool is neither changed nor destroyed.
    QString rawString(qsizetype index) const
    {
        const QStringView text = at(index);
        return QString::fromRawData(text.data(), text.size());
    }

    void append(QStringView text);
    // Room for that many texts of that many characters in all, so that appending them moves
    // nothing.
    void reserve(qsizetype texts, qsizetype characters);
    qsizetype characterCount() const { return m_text.size(); }

private:
    // Shared by copies, which cost next to nothing.
    QString m_text;
    QList<qsizetype> m_ends;
};
