#include "TextPool.h"

void TextPool::reserve(qsizetype texts, qsizetype characters)
{
    m_text.reserve(characters);
    m_ends.reserve(texts);
}

void TextPool::append(QStringView text)
{
    m_text.append(text);
    m_ends.append(m_text.size());
}
