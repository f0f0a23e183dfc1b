#include "FormatPool.h"

namespace QXlsx {

Format FormatPool::intern(const Format &format)
{
    if (!format.isValid())
        return format;
    const auto it = m_formats.constFind(format);
    if (it != m_formats.constEnd())
        return *it;
    m_formats.insert(format);
    return format;
}

} // namespace QXlsx
