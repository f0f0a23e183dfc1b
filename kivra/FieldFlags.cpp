#include <kivra/FieldFlags.h>

#include "KivraLog_p.h"

#include <QtAlgorithms>

namespace kivra {

FieldFlags FieldFlags::fromBitArray(const QBitArray &bits)
{
    FieldFlags flags;
    const int size = qMin(qsizetype(kBitCount), bits.size());
    for (int i = 0; i < size; ++i)
        if (bits.testBit(i))
            flags.setBit(i);
    return flags;
}

int FieldFlags::count() const
{
    int result = 0;
    for (const quint64 word : m_words)
        result += int(qPopulationCount(word));
    return result;
}

int FieldFlags::lowestSetBit() const
{
    for (int i = 0; i < kWordCount; ++i)
        if (m_words[i] != 0)
            return i * 64 + int(qCountTrailingZeroBits(m_words[i]));
    return -1;
}

QBitArray FieldFlags::toBitArray() const
{
    QBitArray bits(kBitCount);
    for (int i = 0; i < kBitCount; ++i)
        if (testBit(i))
            bits.setBit(i);
    return bits;
}

void FieldFlags::reportOutOfRange(int position)
{
    qCWarning(lcKivra) << "FieldFlags: bit position out of range:" << position;
}

bool hasFlags(const FieldFlags &flags, const FieldFlags &mask)
{
    return !(flags & mask).isEmpty();
}

bool testFlags(const FieldFlags &flags, const FieldFlags &mask)
{
    if (mask.isEmpty())
        return flags.isEmpty();
    return (flags & mask) == mask;
}

QBitArray flagsToBitArray(const FieldFlags &flags)
{
    return flags.toBitArray();
}

int selectorValue(const FieldFlags &flags, const FieldFlags &first, const FieldFlags &last)
{
    const int low = first.lowestSetBit();
    const int high = last.lowestSetBit();
    if (flags.isEmpty() || low < 0 || high < low)
        return -1;
    for (int i = high; i >= low; --i)
        if (flags.testBit(i))
            return i - low;
    return -1;
}

} // namespace kivra
