#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstring>
#include <vector>

namespace QXlsx {

// A growing byte buffer for composing large XML parts. Appending is a bounds check and a copy;
// QByteArray takes its general insert path for every piece, which costs a sheet of millions of
// cells a noticeable part of its save.
class ByteBuffer
{
public:
    void reserve(qsizetype capacity);

    ByteBuffer &append(const char *data, qsizetype size)
    {
        if (m_size + size > qsizetype(m_data.size()))
            grow(size);
        std::memcpy(m_data.data() + m_size, data, size_t(size));
        m_size += size;
        return *this;
    }
    ByteBuffer &append(QByteArrayView bytes) { return append(bytes.data(), bytes.size()); }
    ByteBuffer &append(const QByteArray &bytes) { return append(bytes.constData(), bytes.size()); }
    ByteBuffer &append(const char *text) { return append(text, qsizetype(std::strlen(text))); }
    ByteBuffer &append(char c) { return append(&c, 1); }
    // Decimal digits.
    ByteBuffer &appendInteger(qint64 value);
    // Whole numbers as integers, anything else as the shortest text that reads back as the same
    // double.
    ByteBuffer &appendNumber(double value);

    qsizetype size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    QByteArrayView view() const { return QByteArrayView(m_data.data(), m_size); }
    void clear() { m_size = 0; }
    void truncate(qsizetype size) { m_size = qBound(qsizetype(0), size, m_size); }

private:
    void grow(qsizetype extra);

    std::vector<char> m_data;
    qsizetype m_size = 0;
};

} // namespace QXlsx
