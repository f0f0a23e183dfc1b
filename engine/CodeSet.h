#pragma once

#include <QSet>
#include <QString>

#include <array>
#include <vector>

namespace vondrel {

// A set of the short codes a run hands out (IBANs, BICs), sized for millions of
// them: codes of up to 31 Latin-1 characters are kept as fixed-size keys in one
// flat table; any other text is kept as well, in an ordinary set aside.
class CodeSet
{
public:
    bool contains(QStringView code) const;
    // Adds code; false when it was in the set already.
    bool insert(QStringView code);
    qsizetype size() const;
    bool isEmpty() const { return size() == 0; }

private:
    static constexpr int keySize = 32;
    // Byte 0 holds the length, the rest the characters, zero-padded.
    using Key = std::array<uchar, keySize>;

    struct Slot
    {
        // 1 + index into m_keys; 0 marks a free slot.
        quint32 entry = 0;
        // The key's hash: it places the key, so growing never reads the keys again.
        quint32 hash = 0;
    };

    static bool toKey(QStringView code, Key &key);
    static quint32 hashOf(const Key &key);
    // The slot holding key, or the free slot where it belongs.
    size_t slotFor(const Key &key, quint32 hash) const;
    void grow();

    std::vector<Key> m_keys;
    std::vector<Slot> m_slots;
    QSet<QString> m_others;
};

} // namespace vondrel
