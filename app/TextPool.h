#pragma once

#include <QString>
#include <QStringView>

#include <vector>

// Many short texts packed into one buffer, addressed by their number in order of addition. A
// column of a million distinct values then costs its characters and one offset per text, not
// a string with an allocation of its own each, and texts added one after the other lie one
// after the other in memory.
class TextPool
{
public:
    qsizetype size() const { return qsizetype(m_ends.size()); }
    bool isEmpty() const { return m_ends.empty(); }

    QStringView at(qsizetype index) const
    {
        const qsizetype begin = index > 0 ? m_ends[size_t(index - 1)] : 0;
        return QStringView(m_text.constData() + begin, m_ends[size_t(index)] - begin);
    }
    // The text as a string over the pool's own characters, without a copy; valid while the
    // pool is neither changed nor destroyed.
    QString rawString(qsizetype index) const
    {
        const QStringView text = at(index);
        return QString::fromRawData(text.data(), text.size());
    }

    void append(QStringView text);

private:
    QString m_text;
    std::vector<qsizetype> m_ends;
};
