#pragma once

#include "Format.h"

#include <QSet>

namespace QXlsx {

// Keeps one shared copy of every distinct format of a workbook, so that a million cells written
// with equal formats hold one format between them, and the writer can tell formats apart by
// their shared data.
class FormatPool
{
public:
    // The pool's format equal to format; an invalid format stays invalid.
    Format intern(const Format &format);

private:
    QSet<Format> m_formats;
};

} // namespace QXlsx
