#pragma once

#include "TextPool.h"

#include <tables/CsvTable.h>

// Texts for a table column out of a text pool, e.g. the results of one column of a run: the
// pool's characters are shared, not copied.
class PooledColumnTexts : public vondrel::CsvColumnTexts
{
public:
    explicit PooledColumnTexts(TextPool pool)
        : m_pool(std::move(pool))
    { }

    QStringView text(qint32 entry) const override { return m_pool.at(entry); }

private:
    const TextPool m_pool;
};
