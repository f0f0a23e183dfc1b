#pragma once

#include "CellReference.h"

#include <vector>

namespace QXlsx {

// A count per sheet column with sums over the columns up to one, both in a logarithm of the
// column count (a Fenwick tree).
class ColumnCounts
{
public:
    ColumnCounts()
        : m_tree(MaxColumnCount + 2, 0)
    { }

    // Adds delta to the count of column (1 to MaxColumnCount + 1).
    void add(int column, int delta)
    {
        for (int i = column; i < int(m_tree.size()); i += i & -i)
            m_tree[size_t(i)] += delta;
    }

    // The sum of the counts of columns 1 to column; 0 for column 0.
    int sumUpTo(int column) const
    {
        int sum = 0;
        for (int i = column; i > 0; i -= i & -i)
            sum += m_tree[size_t(i)];
        return sum;
    }

private:
    std::vector<int> m_tree;
};

} // namespace QXlsx
