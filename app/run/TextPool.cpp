#include "TextPool.h"

void TextPool::append(QStringView text)
{
    m_text.append(text);
    m_ends.append(m_text.size());
}
