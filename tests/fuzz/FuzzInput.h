#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstring>

// Reads a fuzz target's parameters off the front of its input; what remains is the data under
// test. Past the end every read gives zeros or empty bytes, so any input is a valid one.
class FuzzInput
{
public:
    FuzzInput(const uint8_t *data, size_t size)
        : m_data(reinterpret_cast<const char *>(data))
        , m_size(size)
    { }

    bool atEnd() const { return m_pos >= m_size; }
    quint8 takeByte() { return m_pos < m_size ? quint8(m_data[m_pos++]) : 0; }

    // Eight raw bytes, so NaN, infinities and denormals come up as often as ordinary numbers.
    double takeDouble() { return takeRaw<double>(); }
    qint64 takeInt64() { return takeRaw<qint64>(); }

    QByteArray takeBytes(size_t count)
    {
        const size_t n = qMin(count, m_size - m_pos);
        const QByteArray bytes(m_data + m_pos, qsizetype(n));
        m_pos += n;
        return bytes;
    }

    // The bytes up to the next separator, which is consumed; the rest when there is none.
    QByteArray takeUntil(QByteArrayView separator)
    {
        const QByteArrayView rest(m_data + m_pos, qsizetype(m_size - m_pos));
        const qsizetype at = rest.indexOf(separator);
        if (at < 0)
            return takeRest();
        const QByteArray part = rest.first(at).toByteArray();
        m_pos += size_t(at + separator.size());
        return part;
    }

    // takeUntil a NUL byte, read as UTF-8 (invalid sequences become U+FFFD, as in a file).
    QString takeText() { return QString::fromUtf8(takeUntil(QByteArrayView("\0", 1))); }

    QByteArray takeRest() { return takeBytes(m_size - m_pos); }

private:
    template<typename T>
    T takeRaw()
    {
        T value {};
        const QByteArray bytes = takeBytes(sizeof value);
        std::memcpy(&value, bytes.constData(), size_t(bytes.size()));
        return value;
    }

    const char *m_data;
    size_t m_size;
    size_t m_pos = 0;
};
