#include "TextIndex.h"

namespace {

constexpr size_t initialSlots = 64;

} // namespace

void TextIndex::insert(size_t hash, qint32 entry)
{
    // At most half full, so that probe runs stay short.
    if (2 * (m_count + 1) > m_slots.size())
        grow();
    place(quint32(hash), entry);
    ++m_count;
}

void TextIndex::grow()
{
    std::vector<Slot> old;
    old.swap(m_slots);
    m_slots.assign(old.empty() ? initialSlots : 2 * old.size(), Slot());
    m_mask = m_slots.size() - 1;
    for (const Slot &slot : old) {
        if (slot.entry >= 0)
            place(slot.hash, slot.entry);
    }
}

void TextIndex::place(quint32 hash, qint32 entry)
{
    // Slots are chosen by the low hash bits, which the kept 32 bits hold for any table size
    // up to 2^32 slots.
    for (size_t i = hash & m_mask;; i = (i + 1) & m_mask) {
        if (m_slots[i].entry < 0) {
            m_slots[i] = Slot {hash, entry};
            return;
        }
    }
}
