#pragma once

#include <QString>
#include <QStringView>

#include <memory>

// Many short texts packed into one buffer, addressed by their number in order of addition. A
// column of a million distinct values then costs its characters and one offset per text, not
// a string with an allocation of its own each, and texts added one after the other lie one
// after the other in memory. Copies share the buffer until one of them is changed.
class TextPool
{
public:
    qsizetype size() const { return m_data ? m_data->ends.size : 0; }
    bool isEmpty() const { return size() == 0; }

    QStringView at(qsizetype index) const
    {
        const qsizetype *ends = m_data->ends.items;
        const qsizetype begin = index > 0 ? ends[index - 1] : 0;
        return QStringView(m_data->text.items + begin, ends[index] - begin);
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
    qsizetype characterCount() const { return m_data ? m_data->text.size : 0; }

private:
    // A growing array of plain values in memory of its own: grown in place where the
    // allocator can, so that a large pool is neither copied nor held twice while it grows.
    template<typename T>
    struct Items
    {
        T *items = nullptr;
        qsizetype size = 0;
        qsizetype capacity = 0;

        Items() = default;
        Items(const Items &other);
        Items &operator=(const Items &) = delete;
        ~Items();
        void reserve(qsizetype wanted);
    };
    struct Data
    {
        Items<QChar> text;
        Items<qsizetype> ends;
    };

    Data &changeable();

    std::shared_ptr<Data> m_data;
};
