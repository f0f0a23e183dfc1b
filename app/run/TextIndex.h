#pragma once

#include "TextHash.h"

#include <QStringView>

#include <cstring>
#include <vector>

// Finds the entry number of a text among texts kept elsewhere (in a list of entries), for
// tables with millions of distinct values. Each slot keeps the text's hash beside the entry
// number, so a probe reads the kept text only when the hashes agree: one cache miss per lookup
// instead of one per probed key. Hashes are seeded per process, so crafted input cannot force
// collisions.
class TextIndex
{
public:
    static size_t hashOf(QStringView text) { return TextHash::of(text); }

    // The entry of text, or -1; textOf(entry) gives the text an entry was inserted for.
    template<typename TextOf>
    qint32 find(QStringView text, size_t hash, TextOf &&textOf) const
    {
        if (m_slots.empty())
            return -1;
        const auto shortHash = quint32(hash);
        for (size_t i = hash & m_mask;; i = (i + 1) & m_mask) {
            const Slot &slot = m_slots[i];
            if (slot.entry < 0)
                return -1;
            if (slot.hash == shortHash && sameText(textOf(slot.entry), text))
                return slot.entry;
        }
    }

    // Asks the processor to fetch the place where a text of this hash is looked up first. A
    // run of lookups over a large index then waits for memory once rather than per lookup.
    void prefetch(size_t hash) const
    {
        if (m_slots.empty())
            return;
        const Slot *slot = &m_slots[hash & m_mask];
#if defined(__GNUC__) || defined(__clang__)
        __builtin_prefetch(slot);
#else
        (void)slot;
#endif
    }

    // Adds an entry for a text that is not in the index yet.
    void insert(size_t hash, qint32 entry);

private:
    // Code unit by code unit, as == compares views, without a call into the library for the
    // short texts of cells.
    static bool sameText(QStringView a, QStringView b)
    {
        return a.size() == b.size() &&
            (a.isEmpty() || std::memcmp(a.data(), b.data(), size_t(a.size()) * sizeof(QChar)) == 0);
    }

    struct Slot
    {
        quint32 hash = 0;
        qint32 entry = -1;
    };

    void grow();
    void place(quint32 hash, qint32 entry);

    std::vector<Slot> m_slots;
    size_t m_mask = 0;
    size_t m_count = 0;
};
