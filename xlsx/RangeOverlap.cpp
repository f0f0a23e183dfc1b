#include "RangeOverlap.h"

#include "ColumnCounts.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <queue>
#include <utility>

namespace QXlsx {

namespace {

// The column spans of the ranges that reach the current row of a sweep down the sheet. Those
// still free of overlap are disjoint and kept by first column; the others are only counted.
class ActiveSpans
{
public:
    explicit ActiveSpans(const std::vector<CellRange> &ranges, std::vector<bool> *free)
        : m_ranges(ranges)
        , m_free(*free)
    { }

    // Adds a range, marking it and every active range it overlaps as not free.
    void add(size_t index)
    {
        const CellRange &range = m_ranges[index];
        const int first = range.firstColumn();
        const int last = range.lastColumn();
        // Overlapped ranges that are already marked: those that start at or before the last
        // column and do not end before the first.
        bool overlaps = m_overlapped.sumUpTo(last) - m_overlappedEnds.sumUpTo(first - 1) > 0;
        auto it = m_disjoint.upper_bound(first);
        if (it != m_disjoint.begin())
            --it;
        while (it != m_disjoint.end() && it->first <= last) {
            if (m_ranges[it->second].lastColumn() < first) {
                ++it;
                continue;
            }
            overlaps = true;
            markOverlapped(it->second);
            it = m_disjoint.erase(it);
        }
        if (overlaps)
            markOverlapped(index);
        else
            m_disjoint.emplace(first, index);
    }

    // Takes a range out once the sweep has passed its last row.
    void remove(size_t index)
    {
        const CellRange &range = m_ranges[index];
        if (m_free[index]) {
            m_disjoint.erase(range.firstColumn());
        } else {
            m_overlapped.add(range.firstColumn(), -1);
            m_overlappedEnds.add(range.lastColumn(), -1);
        }
    }

private:
    void markOverlapped(size_t index)
    {
        m_free[index] = false;
        m_overlapped.add(m_ranges[index].firstColumn(), 1);
        m_overlappedEnds.add(m_ranges[index].lastColumn(), 1);
    }

    const std::vector<CellRange> &m_ranges;
    std::vector<bool> &m_free;
    std::map<int, size_t> m_disjoint; // by first column
    ColumnCounts m_overlapped; // by first column
    ColumnCounts m_overlappedEnds; // by last column
};

} // namespace

std::vector<bool> overlapFree(const std::vector<CellRange> &ranges)
{
    // Two ranges overlap when their columns do and one starts on a row the other reaches: a
    // sweep down the rows meets every overlapping pair as the later one starts.
    std::vector<bool> free(ranges.size(), true);
    std::vector<size_t> byFirstRow(ranges.size());
    std::iota(byFirstRow.begin(), byFirstRow.end(), size_t(0));
    std::stable_sort(byFirstRow.begin(), byFirstRow.end(), [&](size_t a, size_t b) {
        return ranges[a].firstRow() < ranges[b].firstRow();
    });
    const auto endsLater = [&](size_t a, size_t b) {
        return ranges[a].lastRow() > ranges[b].lastRow();
    };
    std::priority_queue<size_t, std::vector<size_t>, decltype(endsLater)> reaching(endsLater);
    ActiveSpans active(ranges, &free);
    for (const size_t index : byFirstRow) {
        while (!reaching.empty() && ranges[reaching.top()].lastRow() < ranges[index].firstRow()) {
            active.remove(reaching.top());
            reaching.pop();
        }
        active.add(index);
        reaching.push(index);
    }
    return free;
}

} // namespace QXlsx
