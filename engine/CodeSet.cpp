#include "CodeSet.h"

#include <cstring>

namespace vondrel {

namespace {

quint64 mix(quint64 x)
{
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ULL;
    x ^= x >> 33;
    return x;
}

quint64 rotl(quint64 x, int bits)
{
    return (x << bits) | (x >> (64 - bits));
}

} // namespace

bool CodeSet::contains(QStringView code) const
{
    Key key;
    if (!toKey(code, key))
        return m_others.contains(code.toString());
    if (m_slots.empty())
        return false;
    return m_slots[slotFor(key, hashOf(key))].entry != 0;
}

bool CodeSet::insert(QStringView code)
{
    Key key;
    if (!toKey(code, key)) {
        const qsizetype before = m_others.size();
        m_others.insert(code.toString());
        return m_others.size() != before;
    }
    // At most three quarters full keeps the probe sequences short.
    if (4 * (m_keys.size() + 1) > 3 * m_slots.size())
        grow();
    const quint32 hash = hashOf(key);
    Slot &slot = m_slots[slotFor(key, hash)];
    if (slot.entry != 0)
        return false;
    m_keys.push_back(key);
    slot.entry = quint32(m_keys.size());
    slot.hash = hash;
    return true;
}

qsizetype CodeSet::size() const
{
    return qsizetype(m_keys.size()) + m_others.size();
}

bool CodeSet::toKey(QStringView code, Key &key)
{
    if (code.size() >= keySize)
        return false;
    key.fill(0);
    key[0] = uchar(code.size());
    for (qsizetype i = 0; i < code.size(); ++i) {
        const char16_t c = code[i].unicode();
        if (c > 0xff)
            return false;
        key[size_t(i) + 1] = uchar(c);
    }
    return true;
}

quint32 CodeSet::hashOf(const Key &key)
{
    // The four words are mixed side by side, then folded into one.
    quint64 words[keySize / sizeof(quint64)];
    std::memcpy(words, key.data(), keySize);
    const quint64 folded = mix(words[0] ^ 0x9e3779b97f4a7c15ULL) ^ rotl(mix(words[1]), 16) ^
        rotl(mix(words[2]), 32) ^ rotl(mix(words[3]), 48);
    return quint32(mix(folded) >> 32);
}

size_t CodeSet::slotFor(const Key &key, quint32 hash) const
{
    const size_t mask = m_slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot &slot = m_slots[i];
        if (slot.entry == 0 || (slot.hash == hash && m_keys[slot.entry - 1] == key))
            return i;
    }
}

void CodeSet::grow()
{
    // Taken over in table order, each key lands near where it was: the new table
    // is written almost in sequence.
    std::vector<Slot> table(m_slots.empty() ? 1024 : 2 * m_slots.size());
    const size_t mask = table.size() - 1;
    for (const Slot &slot : m_slots) {
        if (slot.entry == 0)
            continue;
        size_t i = slot.hash & mask;
        while (table[i].entry != 0)
            i = (i + 1) & mask;
        table[i] = slot;
    }
    m_slots = std::move(table);
}

} // namespace vondrel
