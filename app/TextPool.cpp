#include "TextPool.h"

void TextPool::append(QStringView text)
{
    m_text.append(text);
    m_ends.push_back(m_text.size());
}
