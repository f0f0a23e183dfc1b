#include "TextPool.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

template<typename T>
TextPool::Items<T>::Items(const Items &other)
{
    reserve(other.size);
    if (other.size > 0)
        std::memcpy(items, other.items, size_t(other.size) * sizeof(T));
    size = other.size;
}

template<typename T>
TextPool::Items<T>::~Items()
{
    std::free(items);
}

template<typename T>
void TextPool::Items<T>::reserve(qsizetype wanted)
{
    static_assert(std::is_trivially_copyable_v<T>);
    if (wanted <= capacity)
        return;
    void *grown = std::realloc(items, size_t(wanted) * sizeof(T));
    if (!grown)
        throw std::bad_alloc();
    items = static_cast<T *>(grown);
    capacity = wanted;
}

TextPool::Data &TextPool::changeable()
{
    if (!m_data)
        m_data = std::make_shared<Data>();
    else if (m_data.use_count() > 1)
        m_data = std::make_shared<Data>(*m_data);
    return *m_data;
}

void TextPool::reserve(qsizetype texts, qsizetype characters)
{
    Data &data = changeable();
    data.text.reserve(characters);
    data.ends.reserve(texts);
}

void TextPool::append(QStringView text)
{
    Data &data = changeable();
    const qsizetype length = text.size();
    if (data.text.capacity - data.text.size < length)
        data.text.reserve(qMax(data.text.size + length, 2 * data.text.capacity + 256));
    if (data.ends.size == data.ends.capacity)
        data.ends.reserve(2 * data.ends.capacity + 64);
    if (length > 0)
        std::memcpy(data.text.items + data.text.size, text.data(), size_t(length) * sizeof(QChar));
    data.text.size += length;
    data.ends.items[data.ends.size++] = data.text.size;
}
