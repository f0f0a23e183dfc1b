#include "ByteBuffer.h"

#include <charconv>
#include <cmath>

namespace QXlsx {

void ByteBuffer::reserve(qsizetype capacity)
{
    if (capacity > qsizetype(m_data.size()))
        m_data.resize(size_t(capacity));
}

void ByteBuffer::grow(qsizetype extra)
{
    m_data.resize(qMax(2 * m_data.size(), size_t(m_size + extra)));
}

ByteBuffer &ByteBuffer::appendInteger(qint64 value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return append(buffer, result.ptr - buffer);
}

ByteBuffer &ByteBuffer::appendNumber(double value)
{
    if (value == std::floor(value) && std::abs(value) < 1e15)
        return appendInteger(qint64(value));
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return append(buffer, result.ptr - buffer);
}

} // namespace QXlsx
