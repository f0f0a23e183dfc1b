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
    const quint64 hash = hashOf(key);
    Slot &slot = m_slots[slotFor(key, hash)];
    if (slot.entry != 0)
        return false;
    m_keys.push_back(key);
    slot.entry = quint32(m_keys.size());
    slot.hashBits = quint32(hash >> 32);
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

quint64 CodeSet::hashOf(const Key &key)
{
    quint64 hash = 0;
    for (size_t at = 0; at < keySize; at += sizeof(quint64)) {
        quint64 word;
        std::memcpy(&word, key.data() + at, sizeof word);
        hash = mix(hash ^ word);
    }
    return hash;
}

size_t CodeSet::slotFor(const Key &key, quint64 hash) const
{
    const size_t mask = m_slots.size() - 1;
    const auto hashBits = quint32(hash >> 32);
    for (size_t i = size_t(hash) & mask;; i = (i + 1) & mask) {
        const Slot &slot = m_slots[i];
        if (slot.entry == 0 || (slot.hashBits == hashBits && m_keys[slot.entry - 1] == key))
            return i;
    }
}

void CodeSet::grow()
{
    std::vector<Slot> table(m_slots.empty() ? 1024 : 2 * m_slots.size());
    const size_t mask = table.size() - 1;
    for (size_t index = 0; index < m_keys.size(); ++index) {
        const quint64 hash = hashOf(m_keys[index]);
        size_t i = size_t(hash) & mask;
        while (table[i].entry != 0)
            i = (i + 1) & mask;
        table[i] = {quint32(index + 1), quint32(hash >> 32)};
    }
    m_slots = std::move(table);
}

} // namespace vondrel
