// The storage behind the crossing lists of shapes: records are appended as the scan finds
// them, then sorted by row and column once, and the records of one pixel folded in the
// order they were added, which is what inserting each into a sorted list would give at
// a fraction of the cost. Library-private.
#pragma once

#include <algorithm>
#include <cstdint>
#include <new>
#include <span>
#include <vector>

namespace lumatra {

// Row and Column name the record's pixel; fold(kept, added) merges a later record of the
// same pixel into the one kept.
template <typename Record, int32_t Record::*Row, int32_t Record::*Column>
class CrossingStore {
public:
    // False, and the store marked failed, when memory is short.
    bool Add(const Record& record)
    {
        try {
            m_items.push_back(record);
        } catch (const std::bad_alloc&) {
            m_failed = true;
            return false;
        }
        m_sorted = false;
        return true;
    }

    bool Failed() const { return m_failed; }

    template <typename Fold>
    std::vector<Record>& Sorted(Fold&& fold)
    {
        if (m_sorted)
            return m_items;
        std::stable_sort(m_items.begin(), m_items.end(), [](const Record& a, const Record& b) {
            return a.*Row != b.*Row ? a.*Row < b.*Row : a.*Column < b.*Column;
        });
        size_t kept = 0;
        for (size_t i = 0; i < m_items.size(); ++i) {
            if (kept > 0 && m_items[kept - 1].*Row == m_items[i].*Row &&
                m_items[kept - 1].*Column == m_items[i].*Column)
                fold(m_items[kept - 1], m_items[i]);
            else
                m_items[kept++] = m_items[i];
        }
        m_items.resize(kept);
        m_sorted = true;
        return m_items;
    }

    // The sorted records of rows first to last - 1 (Sorted must have run).
    std::span<const Record> RowsOf(int32_t first, int32_t last) const
    {
        const auto below = [](const Record& r, int32_t value) { return r.*Row < value; };
        const auto from = std::lower_bound(m_items.begin(), m_items.end(), first, below);
        return {from, std::lower_bound(from, m_items.end(), last, below)};
    }

private:
    std::vector<Record> m_items;
    bool m_sorted = true;
    bool m_failed = false;
};

}  // namespace lumatra
